#include "export/NewsFeed.h"
#include "base/Text.h"
#include "config/Config.h"
#include "db/Connection.h"
#include "export/HtmlExport.h"
#include "export/OnlineService.h"
#include "export/ServiceStore.h"
#include "platform/Desktop.h"
#include "ui/FormBehaviour.h"
#include "ui/WindowKeys.h"

#include <QCheckBox>
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
    textLabel = new QLabel(text);
    textLabel->setTextFormat(Qt::PlainText);
    textLabel->setWordWrap(true);
    textLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    textLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

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
    outer->addWidget(textLabel, 1);
    outer->addLayout(linkRow);
    outer->addLayout(bottom);
    resize(480, 320);

    connect(okButton, &QPushButton::clicked, this, &NewsWindow::onOk);
    InstallFormBehaviour(this, Placement::Full, FormOption::EscCancels | FormOption::FontSize);
    titleLabel->setFont(tf);
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
    const QString id = FieldPart(QStringLiteral("|"), answer, 1).trimmed();
    if (id.isEmpty() || id == QLatin1String("0"))
        return nullptr;
    auto *w = new NewsWindow(TextToIntLoose(id), FieldPart(QStringLiteral("|"), answer, 2).trimmed(),
                             FieldPart(QStringLiteral("|"), answer, 3).trimmed(), parent);
    w->show();
    return w;
}

} // namespace qo
