#include "export/NewsFeed.h"
#include "base/Error.h"
#include "base/Text.h"
#include "config/Config.h"
#include "db/Connection.h"
#include "export/HtmlExport.h"
#include "export/OnlineService.h"
#include "export/ServiceStore.h"
#include "platform/Desktop.h"
#include "ui/FormParts.h"
#include "ui/WindowBehaviour.h"
#include "ui/MessageBoxes.h"
#include "ui/WindowKeys.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QScrollArea>
#include <QTimer>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qo {

NewsWindow::NewsWindow(int id, const QString &title, const QString &text, QWidget *parent)
    : QWidget(parent, Qt::Window), m_id(id)
{
    setObjectName(WindowKeys::kNewsWindow);
    setWindowTitle(QStringLiteral("Hírek"));
    setAttribute(Qt::WA_DeleteOnClose);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(181, 210, 240));
    setPalette(pal);
    setAutoFillBackground(true);

    titleLabel = new QLabel(title);
    titleLabel->setTextFormat(Qt::PlainText);
    titleLabel->setWordWrap(true);
    titleLabel->setAlignment(Qt::AlignCenter);
    QFont tf = titleLabel->font();
    tf.setBold(true);
    tf.setPointSize(14);
    titleLabel->setFont(tf);
    // A long text scrolls inside the window instead of stretching it.
    const ScrollingText scrolling = MakeScrollingText(text);
    textLabel = scrolling.label;
    textArea = scrolling.area;

    const QString url = NewsArticleUrl(id);
    auto *details = new QLabel(QStringLiteral("Részletek:"));
    linkLabel = new QLabel(QStringLiteral("<a href=\"%1\" style=\"color:#0000ff; text-decoration:underline\">%1</a>")
                               .arg(HtmlEscape(url)));
    linkLabel->setTextFormat(Qt::RichText);
    linkLabel->setCursor(Qt::PointingHandCursor);
    linkLabel->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(linkLabel, &QLabel::linkActivated, this, [](const QString &link) { OpenDocument(link); });

    dontShowBox = new QCheckBox(QStringLiteral("Többet ne mutassa"));
    okButton = new QPushButton(QStringLiteral("OK"));
    okButton->setDefault(true);

    auto *linkRow = new QHBoxLayout;
    linkRow->addWidget(details);
    linkRow->addWidget(linkLabel, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(dontShowBox);
    bottom->addStretch();
    bottom->addWidget(okButton);
    auto *outer = new QVBoxLayout(this);
    outer->addWidget(titleLabel);
    outer->addWidget(textArea, 1);
    outer->addLayout(linkRow);
    outer->addLayout(bottom);
    setMaximumSize(WorkArea().size());

    connect(okButton, &QPushButton::clicked, this, &NewsWindow::onOk);
    // The placement is restored here, before the window exists on screen: a
    // position given then is the frame's, so the title bar stands where the
    // window was closed (moved later it would be the inner area's, and the
    // title bar could land above the screen).
    InstallFormBehaviour(this, Placement::None, FormOption::EscCancels | FormOption::FontSize);
    titleLabel->setFont(tf);
    const QRect placed = RestoreWindowPlacement(objectName(), 480, 320);
    resize(placed.size());
    move(placed.topLeft());
}

void NewsWindow::keyPressEvent(QKeyEvent *event)
{
    // Enter presses "OK" wherever the focus stands (a link takes its own).
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && !(event->modifiers() & ~Qt::KeypadModifier)) {
        okButton->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void NewsWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (event->spontaneous())
        return;
    // pos() is the frame's position, as the restore takes it.
    try {
        SaveWindowPlacement(objectName(), x(), y(), height(), width());
    } catch (const Error &e) {
        const QString text = e.message();
        QTimer::singleShot(0, qApp, [text] { ShowError(text, nullptr); });
    }
}

void NewsWindow::onOk()
{
    if (dontShowBox->isChecked())
        ServiceStore(Connection::main()).acknowledgeNews(m_id);
    close();
}

NewsWindow *CheckNews(QWidget *parent)
{
    const int acknowledged = ServiceStore(Connection::main()).acknowledgedNews();
    QString answer;
    if (!FetchServiceAnswer(NewsAnswerUrl(acknowledged), QDir(DataFolder()).filePath(QStringLiteral("hirkov.txt")),
                            &answer))
        return nullptr;
    // Anything but a news number (a web page in place of the answer ...) is
    // not news.
    const std::optional<NewsAnswer> news = ParseNewsAnswer(answer);
    if (!news)
        return nullptr;
    auto *w = new NewsWindow(news->id, news->title, news->text, parent);
    w->show();
    return w;
}

} // namespace qo
