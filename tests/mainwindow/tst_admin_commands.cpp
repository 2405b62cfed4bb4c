// The administration windows driven at the keyboard: users, the stored
// connections with their test and data backup, and the SQL console.
#include "admin/ConnectionList.h"
#include "admin/SqlConsole.h"
#include "admin/TableEditModel.h"
#include "admin/UserList.h"
#include "admin/UserEditor.h"
#include "admin/SettingsDialog.h"
#include "base/PasswordHash.h"
#include "startup/LoginDialog.h"
#include "config/AppState.h"
#include "config/Config.h"
#include "config/StoredConnections.h"
#include "db/Connection.h"
#include "mainwindow/MainWindow.h"
#include "startup/Splash.h"
#include "support/AdminFormParts.h"
#include "support/Drive.h"
#include "support/TestDb.h"
#include "support/TlsServer.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"

#include <QAction>
#include <QAbstractItemView>
#include <QClipboard>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QLabel>
#include <QProcess>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QScopeGuard>
#include <QtTest>
#include <memory>
#include <unistd.h>
#include <Qsci/qsciscintilla.h>

using namespace qo;
using namespace qo::test;

namespace {

// One step typed into whatever has the focus: a text, or a key with modifiers.
struct Key {
    Key(const char *t) : text(QString::fromUtf8(t)) {}
    Key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) : key(k), mods(m) {}
    QString text;
    Qt::Key key = Qt::Key_unknown;
    Qt::KeyboardModifiers mods;
};

void type(QWidget *window, std::initializer_list<Key> keys)
{
    // A window left open by a failed step would hang the whole run: it is
    // closed after a while, and the test's own checks then fail.
    QTimer::singleShot(30000, window, [window] {
        if (window->isVisible()) {
            qWarning("%s was left open", qPrintable(window->windowTitle()));
            QMetaObject::invokeMethod(window, "reject", Qt::QueuedConnection);
        }
    });
    // On a busy machine the activation may take a moment.
    if (!QTest::qWaitForWindowActive(window, 15000)) {
        window->activateWindow();
        QTest::qWaitForWindowActive(window, 15000);
    }
    for (const Key &k : keys) {
        QWidget *f = QApplication::focusWidget() ? QApplication::focusWidget()
                   : window->focusWidget()        ? window->focusWidget()
                                                  : window;
        if (!k.text.isEmpty())
            typeText(f, k.text);
        else
            QTest::keyClick(f, k.key, k.mods);
    }
}

} // namespace

class TestAdminCommands : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempConfig> m_config; // a fresh configuration file per case

private Q_SLOTS:
    void init()
    {
        m_config = std::make_unique<test::TempConfig>();
        setWorkAreaForTests(QRect(0, 0, 1280, 800));
        appState() = AppState();
        appState().rendszergazda = true;
        SetSplashEnabled(false);
    }

    // A user without the administrator right: "Szabad lekérdezés" from the
    // menu is refused with the message and opens nothing, and the settings
    // (Alt+Enter) show "Belépésnél jelszót kér" disabled. An administrator
    // gets the console through the same menu.
    void consoleAndLoginSettingForAdministratorsOnly()
    {
        test::TestDb db(QStringLiteral("adm_rights"));
        ExecSql(QStringLiteral("UPDATE beallit SET vanbelep = 'I'"));
        ExecSql(QStringLiteral("INSERT INTO felhasznalo (felhasznalo, felhasznalo_nev, jelszo, rendszergazda) "
                               "VALUES ('anna', 'Kiss Anna', 'titok', 'N')"));
        WriteStoredConnection(1, record(db.params(), QStringLiteral("Bolt")));
        ModalLog answers;
        onModal(anyWindow(), [](QWidget *dlg) {
            type(dlg, {"anna", Qt::Key_Return, "titok", Qt::Key_Return, Qt::Key_Return});
        });
        MainWindow m;
        QVERIFY(!m.isAborted());
        QTRY_VERIFY(answers.done());
        QCOMPARE(appState().felhasznalo_nev, QStringLiteral("Kiss Anna"));
        QVERIFY(!appState().rendszergazda);
        showActive(m);

        auto consoleFromMenu = [&m] {
            QMenu *system = nullptr;
            for (QAction *a : m.menuBar()->actions())
                if (a->text() == QLatin1String("Rendszer"))
                    system = a->menu();
            QVERIFY(system);
            QTest::mouseClick(m.menuBar(), Qt::LeftButton, {}, m.menuBar()->actionGeometry(system->menuAction()).center());
            QTRY_VERIFY(system->isVisible());
            QTest::keyClick(system, Qt::Key_Down);
            QTest::keyClick(system, Qt::Key_Down);
            QCOMPARE(system->activeAction()->text(), QStringLiteral("Szabad lekérdezés"));
            QTest::keyClick(system, Qt::Key_Return);
        };
        auto consoles = [] {
            int n = 0;
            for (QWidget *t : QApplication::topLevelWidgets())
                n += qobject_cast<SqlConsole *>(t) != nullptr;
            return n;
        };
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        consoleFromMenu();
        QTRY_VERIFY(answers.done());
        QCOMPARE(answers.texts, QStringList{QStringLiteral("Nincs jogosultság a művelethez.")});
        QCOMPARE(answers.titles, QStringList{QStringLiteral("Hiba")});
        QVERIFY(answers.unexpected.isEmpty());
        QCOMPARE(consoles(), 0);

        backTo(m);
        bool loginBoxEnabled = true, daysEnabled = false;
        onModal(anyWindow(), [&](QWidget *dlg) {
            auto *settings = qobject_cast<SettingsDialog *>(dlg);
            QVERIFY(settings);
            loginBoxEnabled = formParts(settings).loginRequired->isEnabled();
            daysEnabled = formParts(settings).dueDays->isEnabled();
            QMetaObject::invokeMethod(dlg, "reject", Qt::QueuedConnection);
        });
        QTest::keyClick(&m, Qt::Key_Return, Qt::AltModifier);
        QTRY_VERIFY(answers.done());
        QVERIFY(!loginBoxEnabled);
        QVERIFY(daysEnabled);

        // The administrator: the same menu item opens the console.
        backTo(m);
        appState().rendszergazda = true;
        QString title;
        onModal(anyWindow(), [&](QWidget *w) {
            title = w->windowTitle();
            QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection);
        });
        consoleFromMenu();
        QTRY_VERIFY(answers.done());
        QCOMPARE(title, QStringLiteral("SQL lekérdezés"));
        m.close();
    }

    // Deleting every row leaves no key: the next start runs the first-run setup.
    void deleteAllRunsSetupNextStart()
    {
        test::TestDb db(QStringLiteral("adm_conn_delall"));
        WriteStoredConnection(1, record(db.params(), QStringLiteral("Bolt")));
        WriteStoredConnection(3, record(db.params(), QStringLiteral("Másik")));
        {
            ConnectionList w;
            showActive(w);
            ModalLog answers;
            onModal(messageBox(), pressButton(QMessageBox::Yes));
            onModal(messageBox(), pressButton(QMessageBox::Yes));
            QTest::keyClick(w.grid(), Qt::Key_Delete, Qt::ControlModifier);
            backTo(w);
            QTest::keyClick(w.grid(), Qt::Key_Delete, Qt::ControlModifier);
            QTRY_VERIFY(answers.done());
            QCOMPARE(answers.texts.first(), QStringLiteral("Valóban töröljem az adatbázist a listából?"));
            QCOMPARE(w.model()->rowCount(), 0);
            QTest::keyClick(w.grid(), Qt::Key_Escape);
        }
        QVERIFY(storedRecords().isEmpty());
        QFile f(ConfigFile());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(!f.readAll().contains("ConStr"));
        Connection::main().close();
        ModalLog answers;
        QString first;
        onModal(anyWindow(), [&](QWidget *w) { first = w->windowTitle(); QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection); });
        MainWindow m;
        QVERIFY(m.isAborted());
        QCOMPARE(first, QStringLiteral("Adatbázis beállítás"));
        m.close();
    }

    // The three commands stand enabled in the main window.
    void mainWindowCommandsEnabled()
    {
        test::TestDb db(QStringLiteral("adm_main"));
        WriteStoredConnection(1, record(db.params(), QStringLiteral("Bolt")));
        MainWindow m;
        QVERIFY(!m.isAborted());
        for (const char *n : {"aFelhasznalo", "aAdatbazis", "aSQL"})
            QVERIFY(m.action(QString::fromLatin1(n))->isEnabled());
        ModalLog answers;
        QString title;
        onModal(anyWindow(), [&](QWidget *w) { title = w->windowTitle(); QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection); });
        m.action(QStringLiteral("aFelhasznalo"))->trigger();
        QTRY_VERIFY(answers.done());
        QCOMPARE(title, QStringLiteral("Felhasználók adatai"));
        m.close();
    }
};

QTEST_MAIN(TestAdminCommands)
#include "tst_admin_commands.moc"
