#include "startup/DatabaseChooser.h"
#include "ui/WindowKeys.h"

#include "config/StoredConnections.h"
#include "db/Connection.h"
#include "ui/WindowBehaviour.h"
#include "ui/Pictures.h"
#include "startup/ConnectionSetup.h"
#include "base/Text.h"
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace qo {

bool PortFromText(const QString &text, int &port, QWidget *owner)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        port = 3306;
        return true;
    }
    bool ok = false;
    const qint64 n = t.toLongLong(&ok);
    if (!ok) {
        ShowError(QStringLiteral("Hiba: A port nem egész szám: ") + text, owner);
        return false;
    }
    if (n < 0 || n > 65535) {
        ShowError(QStringLiteral("Hiba: A port 0 és 65535 közötti szám lehet: ") + text, owner);
        return false;
    }
    port = n == 0 ? 3306 : int(n);
    return true;
}

bool TestConnectionParams(const ConnectParams &params, QWidget *owner)
{
    QString failure;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        Connection test;
        test.open(params);
        test.close();
    } catch (const Error &e) {
        failure = e.message();
    }
    QGuiApplication::restoreOverrideCursor();
    if (failure.isNull())
        return true;
    ShowError(QStringLiteral("Hiba: ") + failure, owner);
    return false;
}

bool TestConnectionRecord(const QString &record, QWidget *owner)
{
    const ConnectionFields f = ConnectionFields::parse(record);
    ConnectParams p = ConnectParams::fromRecord(record); // with its stored TLS setting
    if (!PortFromText(f.port, p.port, owner))
        return false;
    return TestConnectionParams(p, owner);
}

DatabaseChooser::DatabaseChooser(const QStringList &entries, const QStringList &records,
                                       const QString &caption, QWidget *parent)
    : QDialog(parent), m_records(records)
{
    setObjectName(WindowKeys::kDatabaseChooser);
    setWindowTitle(caption);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    QFont lf(QStringLiteral("Arial"));
    lf.setPointSize(9);
    lf.setBold(true);
    ListBox1->setFont(lf);
    ListBox1->addItems(entries);
    if (ListBox1->count() > 0)
        ListBox1->setCurrentRow(0);
    ListBox1->installEventFilter(this);

    auto *picture = new QLabel(this);
    picture->setPixmap(DecorativePicture(QStringLiteral("database"), 32, 32));
    picture->setFixedSize(32, 32);
    newButton = new QPushButton(QStringLiteral("Új"), this);
    newButton->setObjectName(QStringLiteral("BitBtn1"));
    newButton->setAutoDefault(false);
    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("Button1"));
    okButton->setDefault(true);
    cancelButton = new QPushButton(QStringLiteral("Mégsem"), this);
    cancelButton->setObjectName(QStringLiteral("Button2"));
    cancelButton->setAutoDefault(false);

    auto *strip = new QHBoxLayout;
    strip->addWidget(picture);
    strip->addWidget(newButton);
    strip->addStretch(1);
    strip->addWidget(okButton);
    strip->addWidget(cancelButton);
    auto *main = new QVBoxLayout(this);
    main->addWidget(ListBox1, 1);
    main->addLayout(strip);
    resize(420, 260);

    connect(okButton, &QPushButton::clicked, this, &DatabaseChooser::onOk);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(newButton, &QPushButton::clicked, this, &DatabaseChooser::onNew);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &DatabaseChooser::onOk);

    InstallFormBehaviour(this, Placement::Full);
    ListBox1->setFocus();
}

bool DatabaseChooser::eventFilter(QObject *obj, QEvent *ev)
{
    // The arrow keys run round the list.
    if (obj == ListBox1 && ev->type() == QEvent::KeyPress) {
        const auto *ke = static_cast<QKeyEvent *>(ev);
        const int n = ListBox1->count();
        if (n > 0 && ke->modifiers() == Qt::NoModifier) {
            const int row = ListBox1->currentRow();
            if (ke->key() == Qt::Key_Up && row <= 0) {
                ListBox1->setCurrentRow(n - 1);
                return true;
            }
            if (ke->key() == Qt::Key_Down && row == n - 1) {
                ListBox1->setCurrentRow(0);
                return true;
            }
        }
    }
    return QDialog::eventFilter(obj, ev);
}

void DatabaseChooser::showEvent(QShowEvent *ev)
{
    QDialog::showEvent(ev);
    // The stored size is kept, but the chooser always comes up in the middle.
    if (!ev->spontaneous()) {
        QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
        if (s)
            move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    }
}

void DatabaseChooser::onOk()
{
    const int row = ListBox1->currentRow();
    if (row < 0)
        return;
    if (!TestConnectionRecord(m_records.value(row), this))
        return;
    m_chosen = row;
    accept();
}

void DatabaseChooser::onNew()
{
    if (RunFirstRunSetup(this)) {
        m_chosen = ListBox1->count();
        accept();
    } else {
        reject();
    }
}

int ChooseDatabase(const QStringList &entries, const QStringList &records, const QString &caption,
                   QWidget *parent)
{
    if (entries.size() == 1 && TestConnectionRecord(records.value(0), parent))
        return 0;
    DatabaseChooser dlg(entries, records, caption, parent);
    if (dlg.exec() != QDialog::Accepted)
        return -1;
    return dlg.chosen();
}

} // namespace qo
