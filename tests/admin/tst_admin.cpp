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
#include "startup/Splash.h"
#include "support/Drive.h"
#include "support/TestDb.h"
#include "support/AdminFormParts.h"
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

// As a keyboard does: each key goes to whatever has the focus at that moment
// (the first key typed into a table opens the cell's editor).
void typeToFocus(const QString &text)
{
    for (const QChar c : text)
        typeText(QApplication::focusWidget(), QString(c));
}

// The control that has the focus in `window`, with the window made the
// application's active one. A late activation of the list below (asked for
// twice when it was shown) can still arrive after a dialog opened over it:
// keys sent to "the focus" then go to the list, and a window shortcut such as
// Ctrl+Enter does not reach the dialog. The dialog is made active again, as
// the window system does for a modal window, and keys go to its own control.
QWidget *focusIn(QWidget *window)
{
    const auto active = [window] { return QApplication::activeWindow() == window; };
    if (!active()) {
        window->activateWindow();
        QApplication::setActiveWindow(window);
    }
    if (!QTest::qWaitFor(active, 30000))
        qWarning("%s did not become the active window", qPrintable(window->windowTitle()));
    return window->focusWidget() ? window->focusWidget() : window;
}

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
    // Each key to the window's own control: a late activation of the list
    // below must not take a key meant for the dialog (see focusIn).
    for (const Key &k : keys) {
        QWidget *f = focusIn(window);
        if (!k.text.isEmpty())
            typeText(f, k.text);
        else
            QTest::keyClick(f, k.key, k.mods);
    }
}

// A file dialog answered as a user does: the path typed into the name field
// once it has the focus, then Enter (a completer list that popped up is
// closed first, as a user would), until the dialog has closed.
void answerFileDialog(QWidget *w, const QString &path, QString *proposed = nullptr, int filter = -1)
{
    auto *dlg = qobject_cast<QFileDialog *>(w);
    QVERIFY(dlg);
    QTimer::singleShot(30000, dlg, [dlg] { if (dlg->isVisible()) dlg->reject(); });
    auto *name = dlg->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    QVERIFY(name);
    if (proposed)
        *proposed = name->text();
    if (filter >= 0)
        dlg->selectNameFilter(dlg->nameFilters().at(filter));
    // The answer comes as soon as the dialog is shown, which is before it is
    // active. Typed into a field without the focus, every prefix of the path
    // ("/", "/tmp" ...) stays selected in the dialog's list, and the dialog
    // then takes those folders for the answer: type only once the name field
    // has the focus, as the user sees it.
    focusIn(dlg);
    if (!name->hasFocus())
        QTest::mouseClick(name, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(name->hasFocus(), 30000);
    name->selectAll();
    typeText(name, path);
    // The completer lists the folder in the background and may open its popup
    // at any moment (on a slow machine well after the typing), and a popup
    // takes the Return. So until the dialog has closed, an open popup is
    // closed and Return pressed again: no guess at how long the listing takes.
    const QPointer<QFileDialog> open(dlg);
    QTRY_VERIFY_WITH_TIMEOUT(([&] {
        if (!open || !open->isVisible())
            return true;
        QAbstractItemView *popup = name->completer() ? name->completer()->popup() : nullptr;
        if (popup && popup->isVisible())
            QTest::keyClick(popup, Qt::Key_Escape);
        else
            QTest::keyClick(name, Qt::Key_Return);
        return !open || !open->isVisible();
    }()), 30000);
}

// A key that closes or confirms a window, sent from the event loop: a message
// box it opens can then be answered (the answering timer does not run again
// while one of its own answers is still running).
void pressLater(Key k)
{
    QTimer::singleShot(0, qApp, [k] {
        QWidget *f = QApplication::focusWidget();
        if (f)
            QTest::keyClick(f, k.key, k.mods);
    });
}

// Enter on the button that has the focus (the test checks that it has, once
// its window is active: a slow machine activates it late), sent from the
// event loop so that the box it opens can be answered.
void returnLater(QWidget *button)
{
    QVERIFY(button);
    QTRY_COMPARE(QApplication::focusWidget(), button);
    QTimer::singleShot(0, button, [button] { QTest::keyClick(button, Qt::Key_Return); });
}

// Keys typed into `window`'s focused control, each one where the focus then
// stands inside that window.
void typeInto(QWidget *window, std::initializer_list<Key> keys)
{
    for (const Key &k : keys) {
        if (!k.text.isEmpty())
            typeText(focusIn(window), k.text);
        else
            QTest::keyClick(focusIn(window), k.key, k.mods);
    }
}

// As pressLater, but the key goes to `window`'s own focused control once the
// window is active, whatever else has the focus at that moment.
void pressLaterIn(QWidget *window, Key k)
{
    const QPointer<QWidget> target(window);
    QTimer::singleShot(0, qApp, [target, k] {
        if (target)
            QTest::keyClick(focusIn(target), k.key, k.mods);
    });
}

QString userRow(const QString &code)
{
    // A hash stands as "<hash>": its text differs at every save.
    return SqlValue(QStringLiteral("SELECT CONCAT_WS('|', felhasznalo_nev, IF(jelszo LIKE '$argon2id$%', '<hash>', jelszo), "
                                   "rendszergazda, torzsszerkeszt) "
                                   "FROM felhasznalo WHERE felhasznalo = '%1'").arg(code), QStringLiteral("<nincs>"));
}

QString tableSums(const ConnectParams &p)
{
    Connection c;
    c.open(p);
    QStringList out;
    for (const QString &t : {"ugyfel", "munkalap", "felhasznalo", "irsz", "verzio", "uzenet"}) {
        out << c.query(QStringLiteral("CHECKSUM TABLE %1").arg(t)).text(0, 1)
             + QLatin1Char('/') + c.query(QStringLiteral("SELECT COUNT(*) FROM %1").arg(t)).text(0, 0);
    }
    return out.join(QLatin1Char(' '));
}

} // namespace

class TestAdmin : public QObject {
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

    // ---- users ---------------------------------------------------------------

    // Insert, type, Tab, Enter: the row is stored as typed.
    void addUserAtKeyboard()
    {
        test::TestDb db(QStringLiteral("adm_users_add"));
        UserList w;
        showActive(w);
        QCOMPARE(w.model()->rowCount(), 1);
        ModalLog answers;
        onModal(anyWindow(), [](QWidget *dlg) {
            QCOMPARE(dlg->windowTitle(), QStringLiteral("Felhasználó adatainak szerkesztése"));
            type(dlg, {"kata", Qt::Key_Tab, "Kiss Kata", Qt::Key_Tab, "jelszo1", Qt::Key_Tab, "jelszo1", Qt::Key_Tab,
                       Qt::Key_Space, Qt::Key_Tab, Qt::Key_Tab});
            dlg->grab().save(QDir::tempPath() + QStringLiteral("/qo_user_editor.png"));
            type(dlg, {Qt::Key_Return});
        });
        QTest::keyClick(w.grid(), Qt::Key_Insert);
        QTRY_VERIFY(answers.done());
        QVERIFY(answers.texts.isEmpty());
        QCOMPARE(userRow(QStringLiteral("kata")), QStringLiteral("Kiss Kata|<hash>|I|N"));
        QCOMPARE(w.model()->rowCount(), 2);
        QCOMPARE(w.currentText(QStringLiteral("felhasznalo")), QStringLiteral("kata"));
        w.resize(700, 300);
        QTest::qWait(50);
        w.grab().save(QDir::tempPath() + QStringLiteral("/qo_users.png"));
        QCOMPARE(w.grid()->columnWidth(2), 77);
    }

    // The password checks of "OK".
    void passwordChecks_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("confirmation");
        QTest::addColumn<QString>("message");
        QTest::newRow("confirmation differs") << "titok" << "Titok" << "Hibás jelszó megadás";
        QTest::newRow("empty password") << "" << "" << "Hiányos adat megadás";
        QTest::newRow("confirmation one longer") << "abcdefghij" << "abcdefghijk" << "Hibás jelszó megadás";
    }
    void passwordChecks()
    {
        QFETCH(QString, password);
        QFETCH(QString, confirmation);
        QFETCH(QString, message);
        test::TestDb db(QStringLiteral("adm_users_pw"));
        UserList w;
        showActive(w);
        ModalLog answers;
        onModal(anyWindow(), [&](QWidget *dlg) {
            typeInto(dlg, {"zoli", Qt::Key_Tab, "Nagy Zoltán", Qt::Key_Tab});
            typeText(focusIn(dlg), password);
            typeInto(dlg, {Qt::Key_Tab});
            typeText(focusIn(dlg), confirmation);
            typeInto(dlg, {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab});
            pressLaterIn(dlg, Qt::Key_Return);
        });
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        onModal(anyWindow(), rejectWindow()); // Mégsem: the new row is not kept
        QTest::keyClick(w.grid(), Qt::Key_Insert);
        QTRY_VERIFY(answers.done());
        QCOMPARE(answers.texts, QStringList{message});
        QCOMPARE(answers.titles, QStringList{QStringLiteral("Hiba")});
        QCOMPARE(userRow(QStringLiteral("zoli")), QStringLiteral("<nincs>"));
    }

    // Editing without touching the password stores the row (the confirmation
    // was prefilled); changing only the confirmation is refused.
    void editKeepsPassword()
    {
        test::TestDb db(QStringLiteral("adm_users_edit"));
        UserList w;
        showActive(w);
        ModalLog answers;
        onModal(anyWindow(), [](QWidget *dlg) {
            type(dlg, {Qt::Key_Tab, Qt::Key_End, " Fő", Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab,
                       Qt::Key_Return});
        });
        QTest::keyClick(w.grid(), Qt::Key_F2);
        QTRY_VERIFY(answers.done());
        QVERIFY(answers.texts.isEmpty());
        QCOMPARE(userRow(QStringLiteral("admin")), QStringLiteral("Rendszergazda Fő|admin|I|I"));

        onModal(anyWindow(), [](QWidget *dlg) {
            type(dlg, {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, "x", Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab});
            pressLater(Qt::Key_Return);
        });
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        onModal(anyWindow(), rejectWindow());
        QTest::keyClick(w.grid(), Qt::Key_Return); // Enter in the list edits too
        QTRY_VERIFY2(answers.done(), qPrintable(answers.texts.join(QLatin1Char('|')) + QStringLiteral(" / ") + answers.unexpected.join(QLatin1Char('|'))));
        QCOMPARE(answers.texts, QStringList{QStringLiteral("Hibás jelszó megadás")});
        QCOMPARE(userRow(QStringLiteral("admin")), QStringLiteral("Rendszergazda Fő|admin|I|I"));
    }

    // Another workstation renames the user while the editor is open: OK writes
    // nothing of its own, says so and shows the stored row.
    void userChangedElsewhere()
    {
        test::TestDb db(QStringLiteral("adm_users_conflict"));
        UserList w;
        showActive(w);
        Connection elsewhere;
        elsewhere.open(db.params());
        ModalLog answers;
        QString nameShown;
        onModal(anyWindow(), [&](QWidget *dlg) {
            type(dlg, {Qt::Key_Tab, Qt::Key_End, " Fő", Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab});
            elsewhere.exec(QStringLiteral("UPDATE felhasznalo SET felhasznalo_nev = 'Másik Név' WHERE felhasznalo = 'admin'"));
            pressLater(Qt::Key_Return);
        });
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        onModal(anyWindow(), [&](QWidget *dlg) {
            nameShown = dlg->findChild<QLineEdit *>(QStringLiteral("edtNev"))->text();
            QMetaObject::invokeMethod(dlg, "reject", Qt::QueuedConnection);
        });
        QTest::keyClick(w.grid(), Qt::Key_F2);
        QTRY_VERIFY(answers.done());
        QCOMPARE(answers.texts, QStringList{QStringLiteral("A sort időközben más módosította vagy törölte; az adatokat újraolvastam.")});
        QCOMPARE(nameShown, QStringLiteral("Másik Név"));
        QCOMPARE(userRow(QStringLiteral("admin")), QStringLiteral("Másik Név|admin|I|I"));
    }

    // Deleting the last administrator or the logged-in user takes a second yes.
    void deleteAsksTwiceForLastAdmin_data()
    {
        QTest::addColumn<int>("downs");
        QTest::addColumn<bool>("loggedIn");
        QTest::addColumn<bool>("secondYes");
        QTest::addColumn<QString>("gone");
        QTest::addColumn<QString>("warning");
        QTest::newRow("plain user") << 1 << false << true << "kata" << "";
        QTest::newRow("last admin kept") << 0 << false << false << "" << "utolsó rendszergazda";
        QTest::newRow("last admin deleted") << 0 << false << true << "admin" << "utolsó rendszergazda";
        QTest::newRow("logged-in user kept") << 1 << true << false << "" << "bejelentkezett";
    }
    void deleteAsksTwiceForLastAdmin()
    {
        QFETCH(int, downs);
        QFETCH(bool, loggedIn);
        QFETCH(bool, secondYes);
        QFETCH(QString, gone);
        QFETCH(QString, warning);
        test::TestDb db(QStringLiteral("adm_users_del"));
        ExecSql(QStringLiteral("INSERT INTO felhasznalo (felhasznalo, felhasznalo_nev, jelszo) VALUES ('kata', 'Kiss Kata', 'k')"));
        appState().vanbelep = loggedIn;
        appState().felhasznalo_nev = loggedIn ? QStringLiteral("Kiss Kata") : QStringLiteral("rendszergazda");
        UserList w;
        showActive(w);
        for (int i = 0; i < downs; ++i)
            QTest::keyClick(w.grid(), Qt::Key_Down);
        ModalLog answers;
        onModal(messageBox(), pressButton(QMessageBox::Yes));
        if (!warning.isEmpty())
            onModal(messageBox(), pressButton(secondYes ? QMessageBox::Yes : QMessageBox::No));
        QTest::keyClick(w.grid(), Qt::Key_Delete, Qt::ControlModifier);
        QTRY_VERIFY(answers.done());
        QCOMPARE(answers.texts.first(), QStringLiteral("Valóban töröljem a sort?"));
        QCOMPARE(answers.texts.size(), warning.isEmpty() ? 1 : 2);
        if (!warning.isEmpty())
            QVERIFY(answers.texts.last().contains(warning));
        for (const QString &code : {QStringLiteral("admin"), QStringLiteral("kata")})
            QCOMPARE(userRow(code) == QLatin1String("<nincs>"), code == gone);
        QCOMPARE(w.model()->rowCount(), gone.isEmpty() ? 2 : 1);
    }

    // A new user typed at the keyboard with a 14-character password: stored
    // as a hash, and that password logs in. Editing him without typing a
    // password keeps the hash; typing only one of the two fields is refused.
    void userPasswordStoredAsHash()
    {
        test::TestDb db(QStringLiteral("adm_users_hash"));
        const QString password = QStringLiteral("Hosszu-jelszo1");
        QCOMPARE(password.size(), 14);
        auto stored = [] { return SqlValue(QStringLiteral("SELECT jelszo FROM felhasznalo WHERE felhasznalo = 'dora'"), {}); };
        UserList w;
        showActive(w);
        ModalLog answers;
        QStringList shownPasswords;
        onModal(anyWindow(), [&](QWidget *dlg) {
            type(dlg, {"dora", Qt::Key_Tab, "Dóra", Qt::Key_Tab});
            typeText(QApplication::focusWidget(), password);
            type(dlg, {Qt::Key_Tab});
            typeText(QApplication::focusWidget(), password);
            type(dlg, {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Return});
        });
        QTest::keyClick(w.grid(), Qt::Key_Insert);
        QTRY_VERIFY(answers.done());
        QVERIFY2(answers.texts.isEmpty(), qPrintable(answers.texts.join(QLatin1Char('|'))));
        const QString hash = stored();
        QVERIFY2(hash.startsWith(QLatin1String("$argon2id$")), qPrintable(hash));
        QVERIFY(VerifyPassword(hash, password));
        {
            LoginDialog login;
            typeText(login.edtFelhasznalo, QStringLiteral("dora"));
            typeText(login.edtJelszo, password);
            QCOMPARE(login.edtJelszo->text(), password);
            QVERIFY(login.CheckCredentials());
            QCOMPARE(appState().felhasznalo_nev, QStringLiteral("Dóra"));
        }
        backTo(w);

        // Edited without a password: the fields start empty, the hash stays.
        QCOMPARE(w.currentText(QStringLiteral("felhasznalo")), QStringLiteral("dora"));
        onModal(anyWindow(), [&](QWidget *dlg) {
            for (const char *n : {"edtJelszo", "edtJelszo2"})
                shownPasswords << dlg->findChild<QLineEdit *>(QLatin1String(n))->text();
            type(dlg, {Qt::Key_Tab, Qt::Key_End, " Nagy", Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab,
                       Qt::Key_Tab, Qt::Key_Return});
        });
        QTest::keyClick(w.grid(), Qt::Key_F2);
        QTRY_VERIFY(answers.done());
        QVERIFY(answers.texts.isEmpty());
        QCOMPARE(shownPasswords, QStringList({QString(), QString()}));
        QCOMPARE(userRow(QStringLiteral("dora")), QStringLiteral("Dóra Nagy|<hash>|N|N"));
        QCOMPARE(stored(), hash);
        backTo(w);

        // A new password typed in the first field only does not match the empty confirmation.
        onModal(anyWindow(), [&](QWidget *dlg) {
            type(dlg, {Qt::Key_Tab, Qt::Key_Tab, "ujabb", Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab});
            returnLater(dlg->findChild<QPushButton *>(QStringLiteral("btnOK")));
        });
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        onModal(anyWindow(), rejectWindow());
        QTest::keyClick(w.grid(), Qt::Key_F2);
        QTRY_VERIFY(answers.done());
        QCOMPARE(answers.texts, QStringList{QStringLiteral("Hibás jelszó megadás")});
        QCOMPARE(stored(), hash);
        backTo(w);

        // Both typed: a new hash of the new password.
        onModal(anyWindow(), [&](QWidget *dlg) {
            type(dlg, {Qt::Key_Tab, Qt::Key_Tab, "ujabb", Qt::Key_Tab, "ujabb", Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab,
                       Qt::Key_Return});
        });
        QTest::keyClick(w.grid(), Qt::Key_F2);
        QTRY_VERIFY(answers.done());
        QVERIFY(stored() != hash);
        QVERIFY(VerifyPassword(stored(), QStringLiteral("ujabb")));
        QVERIFY(!VerifyPassword(stored(), password));
    }

    // Unticking "Rendszergazda" on the last administrator asks once more, as
    // deleting him does; No keeps the editor open and nothing stored.
    void untickLastAdministratorAsks_data()
    {
        QTest::addColumn<bool>("secondAdmin");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("stored");
        QTest::newRow("last, kept") << false << false << "Rendszergazda|admin|I|I";
        QTest::newRow("last, taken") << false << true << "Rendszergazda|admin|N|I";
        QTest::newRow("not the last: no question") << true << true << "Rendszergazda|admin|N|I";
    }
    void untickLastAdministratorAsks()
    {
        QFETCH(bool, secondAdmin);
        QFETCH(bool, yes);
        QFETCH(QString, stored);
        test::TestDb db(QStringLiteral("adm_users_lastadmin"));
        if (secondAdmin)
            ExecSql(QStringLiteral("INSERT INTO felhasznalo (felhasznalo, felhasznalo_nev, jelszo, rendszergazda) "
                                   "VALUES ('zeno', 'Zénó', 'z', 'I')"));
        UserList w;
        showActive(w);
        QCOMPARE(w.currentText(QStringLiteral("felhasznalo")), QStringLiteral("admin"));
        ModalLog answers;
        bool stillOpen = false;
        onModal(anyWindow(), [](QWidget *dlg) {
            type(dlg, {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab});
            QVERIFY(qobject_cast<QCheckBox *>(QApplication::focusWidget()));
            type(dlg, {Qt::Key_Space, Qt::Key_Tab, Qt::Key_Tab});
            returnLater(dlg->findChild<QPushButton *>(QStringLiteral("btnOK")));
        });
        if (!secondAdmin) {
            onModal(anyWindow(), [yes](QWidget *box) {
                static_cast<QMessageBox *>(box)->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
            });
            if (!yes)
                onModal(anyWindow(), [&](QWidget *dlg) {
                    stillOpen = dlg->windowTitle() == QStringLiteral("Felhasználó adatainak szerkesztése");
                    if (!stillOpen)
                        qWarning("%s", qPrintable(dlg->windowTitle()));
                    QMetaObject::invokeMethod(dlg, "reject", Qt::QueuedConnection);
                });
        }
        QTest::keyClick(w.grid(), Qt::Key_F2);
        QTRY_VERIFY(answers.done());
        QTRY_VERIFY(!QApplication::activeModalWidget() || QApplication::activeModalWidget() == &w);
        if (secondAdmin) {
            QVERIFY(answers.texts.isEmpty());
        } else {
            QCOMPARE(answers.texts, QStringList{LastAdministratorWarning(false)});
            QVERIFY(answers.texts.first().startsWith(QStringLiteral("Ez az utolsó rendszergazda. ")));
            QCOMPARE(answers.titles, QStringList{QStringLiteral("Megerősítés")});
            QCOMPARE(stillOpen, !yes);
        }
        QCOMPARE(userRow(QStringLiteral("admin")), stored);
    }

    // ---- stored connections --------------------------------------------------

    // Keys 2 and 7 become 1 and 2, by display name; a re-sort by host stores
    // the records in host order.
    void connectionsRenumbered_data()
    {
        QTest::addColumn<int>("sortColumn");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("by display name") << -1
                                         << QStringList{"1=db7;b-host;3306;u7;p7;Alfa;", "2=db2;a-host;3307;u2;p2;Béta;"};
        QTest::newRow("re-sorted by host") << 2
                                           << QStringList{"1=db2;a-host;3307;u2;p2;Béta;", "2=db7;b-host;3306;u7;p7;Alfa;"};
    }
    void connectionsRenumbered()
    {
        QFETCH(int, sortColumn);
        QFETCH(QStringList, expected);
        WriteStoredConnection(2, QStringLiteral("db2;a-host;3307x;u2;p2;Béta"));
        WriteStoredConnection(7, QStringLiteral("db7;b-host;3306;u7;p7;Alfa;"));
        {
            ConnectionList w;
            showActive(w);
            QCOMPARE(w.model()->rowCount(), 2);
            QCOMPARE(w.currentText(QStringLiteral("adatbazisnev")), QStringLiteral("Alfa"));
            QCOMPARE(w.model()->markedColumn(), 0);
            if (sortColumn >= 0) {
                QHeaderView *h = w.grid()->horizontalHeader();
                QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                                  QPoint(h->sectionViewportPosition(sortColumn) + 5, h->height() / 2));
                QCOMPARE(w.model()->markedColumn(), sortColumn);
            }
            QTest::keyClick(w.grid(), Qt::Key_Escape);
            QVERIFY(!w.isVisible());
        }
        QCOMPARE(storedRecords(), expected);
    }

    // A ";" in any field is refused before the row is kept.
    void semicolonRefused_data()
    {
        QTest::addColumn<int>("tabs");
        QTest::newRow("display name") << 0;
        QTest::newRow("host") << 1;
        QTest::newRow("password") << 3;
        QTest::newRow("database") << 4;
    }
    void semicolonRefused()
    {
        QFETCH(int, tabs);
        ConnectionList w;
        showActive(w);
        ModalLog answers;
        onModal(anyWindow(), [tabs](QWidget *dlg) {
            for (int i = 0; i < tabs; ++i)
                typeInto(dlg, {Qt::Key_Tab});
            typeInto(dlg, {"a;b", Qt::Key_Return});
            pressLaterIn(dlg, Key(Qt::Key_Return, Qt::ControlModifier));
        });
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        onModal(anyWindow(), rejectWindow());
        QTest::keyClick(w.grid(), Qt::Key_Insert);
        QTRY_VERIFY(answers.done());
        QCOMPARE(answers.texts, QStringList{QStringLiteral("Hiba: A mezők nem tartalmazhatnak pontosvesszőt (;).")});
        QCOMPARE(w.model()->rowCount(), 0);
    }

    // A connection added at the keyboard, tested (the version is read), and
    // stored when the window closes; a wrong password says why.
    void addAndTestConnection()
    {
        test::TestDb db(QStringLiteral("adm_conn_test"));
        const ConnectParams p = db.params();
        {
            ConnectionList w;
            showActive(w);
            ModalLog answers;
            onModal(anyWindow(), [&](QWidget *dlg) {
                QCOMPARE(dlg->windowTitle(), QStringLiteral("Tárhely"));
                type(dlg, {"Teszt bolt", Qt::Key_Tab});
                dlg->grab().save(QDir::tempPath() + QStringLiteral("/qo_connection_editor.png"));
                typeText(QApplication::focusWidget(), p.host);
                type(dlg, {Qt::Key_Tab});
                typeText(QApplication::focusWidget(), p.user);
                type(dlg, {Qt::Key_Tab});
                typeText(QApplication::focusWidget(), p.password);
                type(dlg, {Qt::Key_Tab});
                typeText(QApplication::focusWidget(), p.database);
                type(dlg, {Qt::Key_Tab});
                typeText(QApplication::focusWidget(), QString::number(p.port));
                type(dlg, {Key(Qt::Key_Return, Qt::ControlModifier)});
            });
            QTest::keyClick(w.grid(), Qt::Key_Insert);
            QTRY_VERIFY(answers.done());
            QCOMPARE(w.model()->rowCount(), 1);
            backTo(w);
            onModal(messageBox(), pressButton(QMessageBox::Ok));
            QTest::keyClick(w.grid(), Qt::Key_T, Qt::ControlModifier);
            QTRY_VERIFY(answers.done());
            QCOMPARE(answers.texts, QStringList{QStringLiteral("Kapcsolat vizsgálata sikeres")});
            QCOMPARE(w.currentText(QStringLiteral("verzio")), QStringLiteral("23.0.0.44"));
            backTo(w);

            // The same row with a wrong password.
            onModal(anyWindow(), [](QWidget *dlg) {
                type(dlg, {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_End, "rossz", Key(Qt::Key_Return, Qt::ControlModifier)});
            });
            QTest::keyClick(w.grid(), Qt::Key_F2);
            QTRY_VERIFY(answers.done());
            backTo(w);
            onModal(messageBox(), pressButton(QMessageBox::Ok));
            QTest::keyClick(w.grid(), Qt::Key_T, Qt::ControlModifier);
            QTRY_VERIFY(answers.done());
            backTo(w);
            QVERIFY(answers.texts.last().startsWith(QStringLiteral("Hiba: Access denied")));
            QTest::keyClick(w.grid(), Qt::Key_F6);
            QVERIFY(w.dumpPanel->isVisible());
            w.resize(760, 360);
            QTest::qWait(50);
            w.grab().save(QDir::tempPath() + QStringLiteral("/qo_connections.png"));
            QTest::keyClick(w.grid(), Qt::Key_Escape);
        }
        QCOMPARE(storedRecords(),
                 QStringList{QStringLiteral("1=%1;%2;%3;%4;%5rossz;Teszt bolt;").arg(p.database, p.host).arg(p.port).arg(p.user, p.password)});
    }

    // A connection to a server outside the shop, typed at the keyboard with
    // "Titkosított kapcsolat (TLS)" ticked and the CA file given: the test
    // connects encrypted; with a CA that did not sign the server's certificate
    // the test says so and nothing connects. The setting is stored beside the
    // unchanged six-field record.
    void tlsConnectionAtKeyboard()
    {
        test::TlsServer server;
        if (!server.skipReason.isEmpty())
            QSKIP(qPrintable(server.skipReason));
        QVERIFY2(server.ready(), qPrintable(server.error));
        const ConnectParams p = server.params();
        {
            Connection admin;
            admin.open(p);
            admin.exec(QStringLiteral("CREATE DATABASE tavoli"));
            admin.exec(QStringLiteral("CREATE TABLE tavoli.verzio (verzio VARCHAR(20))"));
            admin.exec(QStringLiteral("INSERT INTO tavoli.verzio VALUES ('23.0.0.44')"));
            // The account may come in only over TLS: a link made in clear would fail.
            admin.exec(QStringLiteral("ALTER USER 'qo'@'127.0.0.1' REQUIRE SSL"));
        }
        {
            ConnectionList w;
            showActive(w);
            ModalLog answers;
            bool caEnabledBefore = true;
            onModal(anyWindow(), [&](QWidget *dlg) {
                QApplication::setActiveWindow(dlg); // as the window system does; the shortcuts follow it
                type(dlg, {"Távoli bolt", Qt::Key_Tab});
                typeText(QApplication::focusWidget(), p.host);
                type(dlg, {Qt::Key_Tab, "qo", Qt::Key_Tab, "qo", Qt::Key_Tab, "tavoli", Qt::Key_Tab});
                typeText(QApplication::focusWidget(), QString::number(p.port));
                type(dlg, {Qt::Key_Tab});
                auto *tls = qobject_cast<QCheckBox *>(QApplication::focusWidget());
                QVERIFY(tls);
                QCOMPARE(tls->text(), QStringLiteral("Titkosított kapcsolat (TLS)"));
                caEnabledBefore = dlg->findChild<QLineEdit *>(QStringLiteral("edtCaFajl"))->isEnabled();
                type(dlg, {Qt::Key_Space, Qt::Key_Tab});
                QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("edtCaFajl"));
                typeText(QApplication::focusWidget(), server.caFile());
                type(dlg, {Qt::Key_Tab});
                QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("btnCaTallozas"));
                dlg->grab().save(QDir::tempPath() + QStringLiteral("/qo_connection_editor_tls.png"));
                type(dlg, {Key(Qt::Key_Return, Qt::ControlModifier)});
            });
            QTest::keyClick(w.grid(), Qt::Key_Insert);
            QTRY_VERIFY(answers.done());
            QVERIFY(!caEnabledBefore);
            QCOMPARE(w.model()->rowCount(), 1);
            QVERIFY(w.rows().first().tls);
            backTo(w);
            onModal(messageBox(), pressButton(QMessageBox::Ok));
            QTest::keyClick(w.grid(), Qt::Key_T, Qt::ControlModifier);
            QTRY_VERIFY(answers.done());
            QCOMPARE(answers.texts.last(), QStringLiteral("Kapcsolat vizsgálata sikeres"));
            QCOMPARE(w.currentText(QStringLiteral("verzio")), QStringLiteral("23.0.0.44"));
            backTo(w);

            // The other CA typed over the right one.
            onModal(anyWindow(), [&](QWidget *dlg) {
                QApplication::setActiveWindow(dlg); // as the window system does; the shortcuts follow it
                type(dlg, {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab});
                auto *ca = qobject_cast<QLineEdit *>(QApplication::focusWidget());
                QVERIFY(ca);
                QCOMPARE(ca->text(), server.caFile());
                ca->selectAll();
                typeText(ca, server.wrongCaFile());
                type(dlg, {Key(Qt::Key_Return, Qt::ControlModifier)});
            });
            QTest::keyClick(w.grid(), Qt::Key_F2);
            QTRY_VERIFY(answers.done());
            backTo(w);
            onModal(messageBox(), pressButton(QMessageBox::Ok));
            QTest::keyClick(w.grid(), Qt::Key_T, Qt::ControlModifier);
            QTRY_VERIFY(answers.done());
            QVERIFY2(answers.texts.last().startsWith(QStringLiteral("Hiba: A kiszolgáló tanúsítványa nem ellenőrizhető")),
                     qPrintable(answers.texts.last()));
            QCOMPARE(answers.titles.last(), QStringLiteral("Hiba"));
            backTo(w);

            // Unticked, the same account is refused: the server asks for TLS.
            onModal(anyWindow(), [&](QWidget *dlg) {
                QApplication::setActiveWindow(dlg); // as the window system does; the shortcuts follow it
                type(dlg, {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Space,
                           Key(Qt::Key_Return, Qt::ControlModifier)});
            });
            QTest::keyClick(w.grid(), Qt::Key_F2);
            QTRY_VERIFY(answers.done());
            QVERIFY(!w.rows().first().tls);
            backTo(w);
            onModal(messageBox(), pressButton(QMessageBox::Ok));
            QTest::keyClick(w.grid(), Qt::Key_T, Qt::ControlModifier);
            QTRY_VERIFY(answers.done());
            QVERIFY2(answers.texts.last().startsWith(QStringLiteral("Hiba: Access denied")), qPrintable(answers.texts.last()));
            backTo(w);

            // Ticked again with the right CA, and stored when the window closes.
            onModal(anyWindow(), [&](QWidget *dlg) {
                QApplication::setActiveWindow(dlg); // as the window system does; the shortcuts follow it
                type(dlg, {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Space,
                           Qt::Key_Tab});
                typeText(QApplication::focusWidget(), server.caFile());
                type(dlg, {Key(Qt::Key_Return, Qt::ControlModifier)});
            });
            QTest::keyClick(w.grid(), Qt::Key_F2);
            QTRY_VERIFY(answers.done());
            backTo(w);
            QTest::keyClick(w.grid(), Qt::Key_Escape);
        }
        const QString rec = QStringLiteral("tavoli;%1;%2;qo;qo;Távoli bolt;").arg(p.host).arg(p.port);
        QCOMPARE(storedRecords(), QStringList{QStringLiteral("1=") + rec});
        QCOMPARE(ReadStoredConnections(1, 1).value(0).tls, (ConnectionTls{true, server.caFile()}));
        // The start connects encrypted with what was stored.
        Connection c;
        c.open(ConnectParams::fromRecord(rec));
        QVERIFY(!c.query(QStringLiteral("SHOW SESSION STATUS LIKE 'Ssl_cipher'")).text(0, 1).isEmpty());
    }

    // F3 with the zip filter: name.zip holding name.sql, no script left
    // beside it and an unrelated name.sql already there untouched, the size
    // reported; the script restores in the console byte for byte, also a
    // latin2 text holding codes that Windows-1250 lacks.
    void dataBackupZipRestoresInConsole()
    {
        test::TestDb target(QStringLiteral("adm_conn_zipdst"), false);
        test::TestDb db(QStringLiteral("adm_conn_zip"));
        ExecSql(QStringLiteral("INSERT INTO ugyfel (ugyfel_nev, megjegyzes) VALUES ('O''Brien \\\\ x', 'sor1\\r\\nsor2'), ('Árvíztűrő', NULL)"));
        ExecSql(QStringLiteral("INSERT INTO munkalap (ugyfel, mlaptipus, statusz, ar_keret, eloleg) VALUES (1, 1, 1, 1e0/3e0, 0.1e0+0.2e0)"));
        ExecSql(QStringLiteral("INSERT INTO uzenet (szoveg) VALUES ('a¤b'), (_latin2 X'80859F41A9')"));
        const QString before = tableSums(db.params());
        WriteStoredConnection(1, record(db.params(), QStringLiteral("Bolt")));
        QTemporaryDir out;
        QString proposed, zipPath, neighbour;
        const QByteArray neighbourText = "-- egy m\xE1sik program f\xE1jlja\r\n";
        {
            ConnectionList w;
            showActive(w);
            ModalLog answers;
            onModal(anyWindow(), [&](QWidget *dlg) {
                QCOMPARE(dlg->windowTitle(), QStringLiteral("Biztonsági mentés készítés"));
                QCOMPARE(qobject_cast<QFileDialog *>(dlg)->nameFilters().size(), 2);
                const QString base = dlg->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text();
                zipPath = out.filePath(base + QStringLiteral(".zip"));
                neighbour = out.filePath(base + QStringLiteral(".sql"));
                QFile n(neighbour);
                QVERIFY(n.open(QIODevice::WriteOnly));
                n.write(neighbourText);
                n.close();
                // In the folder (as browsed to), the archive's name typed; the
                // script of that name beside it is offered by the completer.
                auto *fd = qobject_cast<QFileDialog *>(dlg);
                fd->setDirectory(out.path());
                fd->selectNameFilter(fd->nameFilters().at(1));
                auto *name = dlg->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                // Typed into the active dialog, as a user types: a dialog
                // without the focus writes the file it finds back over the text.
                QApplication::setActiveWindow(dlg);
                QTRY_VERIFY(name->hasFocus());
                proposed = base;
                name->selectAll();
                typeText(name, base + QStringLiteral(".zip"));
                QTest::qWait(100); // the completer lists the folder in the background
                if (name->completer() && name->completer()->popup()->isVisible())
                    QTest::keyClick(name->completer()->popup(), Qt::Key_Escape);
                QCOMPARE(fd->selectedFiles(), QStringList{zipPath});
                QTest::keyClick(name, Qt::Key_Return);
            });
            onModal(messageBox(), pressButton(QMessageBox::Ok));
            QTest::keyClick(w.grid(), Qt::Key_F3);
            QTRY_VERIFY_WITH_TIMEOUT(answers.done(), 20000);
            QVERIFY(QRegularExpression(QStringLiteral("^adm_conn_zip-\\d{4}-\\d\\d-\\d\\d-\\d\\d-\\d\\d-\\d\\d$")).match(proposed).hasMatch());
            QCOMPARE(answers.texts.size(), 1);
            QVERIFY2(answers.texts.first().startsWith(QStringLiteral("Biztonsági mentés kész: ") + zipPath + QStringLiteral(" (")),
                     qPrintable(answers.texts.first()));
            QVERIFY(answers.texts.first().endsWith(QStringLiteral(" bájt)")));
            QVERIFY(!w.progressBar->isVisible());
        }
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{proposed + QStringLiteral(".sql"), proposed + QStringLiteral(".zip")}));
        QFile n(neighbour);
        QVERIFY(n.open(QIODevice::ReadOnly));
        QCOMPARE(n.readAll(), neighbourText);
        QProcess list;
        list.start(QStringLiteral("unzip"), {QStringLiteral("-Z1"), zipPath});
        QVERIFY(list.waitForFinished());
        QCOMPARE(QString::fromUtf8(list.readAllStandardOutput()).trimmed(), proposed + QStringLiteral(".sql"));
        const QString unpacked = out.filePath(QStringLiteral("kicsomagolva"));
        QProcess unzip;
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-q"), zipPath, QStringLiteral("-d"), unpacked});
        QVERIFY(unzip.waitForFinished());
        QCOMPARE(unzip.exitCode(), 0);
        const QString script = unpacked + QLatin1Char('/') + proposed + QStringLiteral(".sql");
        QVERIFY(QFile::exists(script));

        // Restore through the console's script mode, opened with "Megnyit".
        Connection::main().open(target.params());
        ExecSql(QStringLiteral("INSERT INTO uzenet (szoveg) VALUES ('régi')"));
        SqlConsole c;
        showActive(c);
        ModalLog answers;
        onModal(anyWindow(), [&](QWidget *dlg) {
            QCOMPARE(dlg->windowTitle(), QStringLiteral("SQL megnyitás"));
            QApplication::setActiveWindow(dlg);
            QTRY_VERIFY(dlg->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->hasFocus());
            answerFileDialog(dlg, script);
        });
        QTest::keyClick(formParts(c).editor, Qt::Key_O, Qt::ControlModifier);
        QTRY_VERIFY(answers.done());
        QTRY_COMPARE_WITH_TIMEOUT(c.fileName(), script, 20000); // the dialog closes a moment after it was answered
        backTo(c);
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        QTest::keyClick(formParts(c).editor, Qt::Key_F5);
        QTRY_VERIFY_WITH_TIMEOUT(answers.done(), 20000);
        QCOMPARE(answers.texts.last(), QStringLiteral("SQL futtatás kész."));
        QCOMPARE(tableSums(target.params()), before);
        Connection::main().close();
    }

    // The full backup started at the keyboard over an earlier good file:
    // after "overwrite?" a dump that fails, is killed or breaks off leaves
    // that file byte for byte and nothing beside it; a long output of the
    // tool shows its end with the whole behind the details; a full disk says
    // so. A good dump replaces the file, readable by its owner only, with the
    // procedures in it.
    void fullBackupAtKeyboard_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("wrong password") << "password" << "A teljes mentés nem sikerült (kilépési kód: 2).";
        QTest::newRow("tool killed") << "killed" << "A teljes mentés megszakadt";
        QTest::newRow("dump cut short") << "cut" << "A teljes mentés hiányos";
        QTest::newRow("long output") << "views" << "A teljes mentés nem sikerült (kilépési kód: 2).";
        QTest::newRow("full disk") << "disk" << "Hiba: a fájl nem írható: ";
        QTest::newRow("good") << "good" << "Biztonsági mentés kész: ";
    }
    void fullBackupAtKeyboard()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        test::TestDb db(QStringLiteral("adm_full_kbd"));
        QTemporaryDir tools, out;
        QString folder = out.path();
        std::unique_ptr<QTemporaryDir> mount;
        if (kind == QLatin1String("disk")) {
            if (::geteuid() != 0)
                QSKIP("a full disk needs a small tmpfs, which only root can mount");
            mount = std::make_unique<QTemporaryDir>();
            QCOMPARE(QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                                                  QStringLiteral("size=200k"), QStringLiteral("tmpfs"), mount->path()}), 0);
            folder = mount->path();
            for (int i = 0; i < 5; ++i)
                ExecSql(QStringLiteral("INSERT INTO uzenet (szoveg) VALUES (REPEAT('x', 60000))"));
        }
        auto unmount = qScopeGuard([&] {
            if (mount)
                QProcess::execute(QStringLiteral("umount"), {mount->path()});
        });
        if (kind == QLatin1String("views")) {
            ExecSql(QStringLiteral("CREATE TABLE alap (a INT)"));
            for (int i = 1; i <= 80; ++i)
                ExecSql(QStringLiteral("CREATE VIEW nezet%1 AS SELECT a FROM alap").arg(i, 2, 10, QLatin1Char('0')));
            ExecSql(QStringLiteral("DROP TABLE alap"));
        }
        QString tool = FullBackup::resolveTool({});
        QVERIFY(!tool.isEmpty());
        auto script = [&](const QString &name, const QString &body) {
            const QString path = tools.filePath(name);
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(("#!/bin/sh\n" + body).toUtf8());
            f.close();
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            tool = path;
        };
        if (kind == QLatin1String("killed"))
            script(QStringLiteral("megolve"), tool + QStringLiteral(" \"$@\"\nkill -9 $$\n"));
        if (kind == QLatin1String("cut"))
            script(QStringLiteral("csonka"),
                   QStringLiteral("for a in \"$@\"; do case \"$a\" in --result-file=*) f=\"${a#--result-file=}\";; esac; done\n")
                       + tool + QStringLiteral(" \"$@\" || exit $?\nhead -n -1 \"$f\" > \"$f.x\"\ncat \"$f.x\" > \"$f\"\nrm \"$f.x\"\n"));

        ConnectParams p = db.params();
        if (kind == QLatin1String("password"))
            p.password += QStringLiteral("rossz");
        WriteStoredConnection(1, record(p, QStringLiteral("Bolt")));
        const QString target = folder + QStringLiteral("/teljes.sql");
        const QByteArray old = "-- a tegnapi j\xF3 ment\xE9s\r\n";
        {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(old);
        }

        ConnectionList w;
        showActive(w);
        QTest::keyClick(w.grid(), Qt::Key_F6);
        QVERIFY(w.dumpPanel->isVisible());
        QVERIFY(w.edtDumpPath->hasFocus());
        typeText(w.edtDumpPath, tool);
        QTest::keyClick(w.edtDumpPath, Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.btnTeljesMentes);

        ModalLog answers;
        QString replaceQuestion;
        onModal(anyWindow(), [&](QWidget *dlg) {
            QCOMPARE(dlg->windowTitle(), QStringLiteral("Biztonsági mentés készítés"));
            // The dialog asks whether to replace the file while it is being
            // answered, so that question is answered from a timer of its own.
            test::onModal(test::messageBox(), [&](QWidget *box) {
                replaceQuestion = qobject_cast<QMessageBox *>(box)->text();
                qobject_cast<QMessageBox *>(box)->button(QMessageBox::Yes)->click();
            });
            // In the folder (as browsed to), the name of the file already there.
            auto *fd = qobject_cast<QFileDialog *>(dlg);
            fd->setDirectory(folder);
            auto *name = dlg->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            name->selectAll();
            typeText(name, QStringLiteral("teljes.sql"));
            QTest::qWait(100); // the completer lists the folder in the background
            if (name->completer() && name->completer()->popup()->isVisible())
                QTest::keyClick(name->completer()->popup(), Qt::Key_Escape);
            QCOMPARE(fd->selectedFiles(), QStringList{target});
            QTest::keyClick(name, Qt::Key_Return);
        });
        QString text, details;
        bool fitsScreen = false;
        onModal(anyWindow(), [&](QWidget *box) {
            auto *m = qobject_cast<QMessageBox *>(box);
            QVERIFY(m);
            text = m->text();
            details = m->detailedText();
            fitsScreen = m->frameGeometry().height() <= m->screen()->availableGeometry().height();
            m->grab().save(QDir::tempPath() + QStringLiteral("/qo_full_backup_box.png"));
            m->button(QMessageBox::Ok)->click();
        });
        QTest::keyClick(w.btnTeljesMentes, Qt::Key_Space);
        QTRY_VERIFY2_WITH_TIMEOUT(answers.done(), qPrintable(answers.texts.join(QLatin1String(" | ")) + QLatin1String(" / ")
                                                             + answers.unexpected.join(QLatin1String(" | "))), 60000);
        QVERIFY(answers.unexpected.isEmpty());
        QVERIFY2(replaceQuestion.contains(QLatin1String("teljes.sql")), qPrintable(replaceQuestion + QLatin1String(" // ") + answers.texts.join(QLatin1String(" | "))));
        QVERIFY2(text.startsWith(message), qPrintable(text));
        QVERIFY(fitsScreen);
        const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(left, QStringList{QStringLiteral("teljes.sql")});
        QFile f(target);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray now = f.readAll();
        if (kind == QLatin1String("good")) {
            QVERIFY(now.trimmed().split('\n').last().startsWith("-- Dump completed"));
            QVERIFY(now.contains("PROCEDURE `sp_setstatusz`"));
            QCOMPARE(f.permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
                     QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            QVERIFY(details.isEmpty());
            return;
        }
        QCOMPARE(now, old);
        QVERIFY2(text.contains(QStringLiteral("A korábbi fájl változatlanul megmaradt: ") + target), qPrintable(text));
        if (kind == QLatin1String("disk"))
            QVERIFY2(text.startsWith(QStringLiteral("Hiba: a fájl nem írható: ") + target + QStringLiteral("\nBetelt a lemez")),
                     qPrintable(text));
        if (kind == QLatin1String("password"))
            QVERIFY(text.contains(QLatin1String("Access denied")));
        if (kind == QLatin1String("views")) {
            // The end of the output in the box, all of it behind the details.
            QCOMPARE(int(text.count(QLatin1String("mariadb-dump: "))) + int(text.count(QLatin1String("mysqldump: "))),
                     FullBackup::kShownLines);
            QVERIFY(text.endsWith(LastLines(details, FullBackup::kShownLines)));
            for (int i = 1; i <= 80; ++i)
                QVERIFY(details.contains(QStringLiteral("nezet%1").arg(i, 2, 10, QLatin1Char('0'))));
        } else {
            QVERIFY(details.isEmpty());
        }
    }

    // ---- SQL console ---------------------------------------------------------

    // ---- settings: client care ----------------------------------------------

    void settingsClientCare_data()
    {
        QTest::addColumn<QString>("months");
        QTest::addColumn<QString>("days");
        QTest::addColumn<QString>("letter"); // "" leaves the stored text as it is, "<clear>" empties it
        QTest::addColumn<QString>("error");  // the message OK gives, empty when it stores
        QTest::addColumn<QString>("row");    // emlek_honap|nemvitt_nap|emlek_level afterwards
        QTest::newRow("stored") << "36" << "10" << "Kedves {név}!\n{dátum} óta nem járt nálunk."
                                << "" << "36|10|Kedves {név}!\n{dátum} óta nem járt nálunk.|";
        QTest::newRow("letter cleared") << "24" << "14" << "<clear>" << "" << "24|14||NULL";
        QTest::newRow("months not a number")
            << "3x" << "10" << "" << "Hiba: A(z) \"Emlékeztető a legutóbbi munkalap után (hónap)\" mező értéke nem egész szám: 3x"
            << "24|14|régi levél|";
        QTest::newRow("days empty") << "12" << "" << "" << "Hiba: A(z) \"Kész, de el nem vitt munkalap (nap)\" mező nem lehet üres."
                                    << "24|14|régi levél|";
        QTest::newRow("days negative")
            << "12" << "-3" << "" << "Hiba: A(z) \"Kész, de el nem vitt munkalap (nap)\" mező értéke nem lehet negatív: -3"
            << "24|14|régi levél|";
    }
    // The three client-care settings typed at the keyboard, stored with OK in
    // the one write of the shop settings, and shown again on reopening.
    void settingsClientCare()
    {
        QFETCH(QString, months);
        QFETCH(QString, days);
        QFETCH(QString, letter);
        QFETCH(QString, error);
        QFETCH(QString, row);
        test::TestDb db(QStringLiteral("adm_settings_care"));
        ExecSql(QStringLiteral("UPDATE beallit SET emlek_level = 'régi levél'"));
        auto tabTo = [](QWidget *target) {
            for (int presses = 0; QApplication::focusWidget() != target && presses < 30; ++presses)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), target);
        };
        auto retype = [](QWidget *field, const QString &text) {
            QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(field, Qt::Key_Delete);
            const QStringList lines = text.split(QLatin1Char('\n'));
            for (int i = 0; i < lines.size(); ++i) {
                if (i > 0)
                    QTest::keyClick(field, Qt::Key_Return); // a new line in the letter
                test::typeText(field, lines.at(i));
            }
        };
        QString box, focusAfterBox;
        bool closedByOk = false;
        test::onModal(test::named("frm_Beallit"), [&](QWidget *w) {
            const auto ui = formParts(static_cast<SettingsDialog *>(w));
            QCOMPARE(ui.reminderMonths->text(), QStringLiteral("24"));
            QCOMPARE(ui.uncollectedDays->text(), QStringLiteral("14"));
            QCOMPARE(ui.reminderLetter->toPlainText(), QStringLiteral("régi levél"));
            tabTo(ui.reminderMonths);
            retype(ui.reminderMonths, months);
            QTest::keyClick(ui.reminderMonths, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), ui.uncollectedDays);
            retype(ui.uncollectedDays, days);
            QTest::keyClick(ui.uncollectedDays, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), ui.reminderLetter);
            if (letter == QLatin1String("<clear>"))
                retype(ui.reminderLetter, QString());
            else if (!letter.isEmpty())
                retype(ui.reminderLetter, letter);
            tabTo(ui.btnOK);
            if (!error.isEmpty())
                test::onModal(test::messageBox(), [&](QWidget *b) {
                    box = static_cast<QMessageBox *>(b)->text();
                    QTest::keyClick(b, Qt::Key_Return);
                });
            QTest::keyClick(ui.btnOK, Qt::Key_Return);
            closedByOk = !w->isVisible();
            if (w->isVisible()) {
                // The field at fault has the dialog's focus again; Esc leaves it.
                focusAfterBox = w->focusWidget() ? w->focusWidget()->objectName() : QString();
                QTest::keyClick(w->focusWidget() ? w->focusWidget() : w, Qt::Key_Escape);
            }
        });
        ShowSettingsDialog(nullptr);
        QCOMPARE(box, error);
        QCOMPARE(closedByOk, error.isEmpty());
        if (!error.isEmpty())
            QCOMPARE(focusAfterBox, months.toInt() ? QStringLiteral("nemvitt_nap") : QStringLiteral("emlek_honap"));

        const RowSet rs = Connection::main().query(QStringLiteral(
            "SELECT emlek_honap, nemvitt_nap, emlek_level, IF(emlek_level IS NULL, 'NULL', '') FROM beallit"));
        QCOMPARE(rs.rowCount(), 1);
        const QString got = rs.text(0, 0) + QLatin1Char('|') + rs.text(0, 1) + QLatin1Char('|') + rs.text(0, 2)
            + QLatin1Char('|') + rs.text(0, 3);
        QCOMPARE(got, row);

        // Reopened, the dialog shows what the row holds.
        QStringList shown;
        test::onModal(test::named("frm_Beallit"), [&](QWidget *w) {
            const auto ui = formParts(static_cast<SettingsDialog *>(w));
            shown << ui.reminderMonths->text() << ui.uncollectedDays->text() << ui.reminderLetter->toPlainText();
            QTest::keyClick(w->focusWidget() ? w->focusWidget() : w, Qt::Key_Escape);
        });
        ShowSettingsDialog(nullptr);
        QCOMPARE(shown, row.split(QLatin1Char('|')).mid(0, 3));
    }

    void consoleScripts_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("selectLastLine");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("expectedRows");
        QTest::addColumn<QString>("detail"); // a further part of the message
        QTest::newRow("delimiter $$ procedure")
            << QStringList{"delimiter $$", "CREATE PROCEDURE p_konzol()", "BEGIN", "INSERT INTO verzio VALUES ('p1');",
                           "INSERT INTO verzio VALUES ('p2');", "END$$", "delimiter ;", "CALL p_konzol();"}
            << false << "SQL futtatás kész." << "23.0.0.44,p1,p2" << "";
        QTest::newRow("DELIMITER in capitals")
            << QStringList{"DELIMITER $$", "INSERT INTO verzio VALUES ('d1')$$", "DELIMITER ;", "INSERT INTO verzio VALUES ('d2');"}
            << false << "SQL futtatás kész." << "23.0.0.44,d1,d2" << "";
        QTest::newRow("selection only")
            << QStringList{"INSERT INTO verzio VALUES ('s1');", "INSERT INTO verzio VALUES ('s2');"} << true
            << "SQL futtatás kész." << "23.0.0.44,s2" << "";
        QTest::newRow("last statement without ;")
            << QStringList{"INSERT INTO verzio VALUES ('y1');", "INSERT INTO verzio VALUES ('y2')"} << false
            << "SQL futtatás kész.\n\nAz utolsó utasítás nem futott le" << "23.0.0.44,y1" << "";
        QTest::newRow("currency sign in a value")
            << QStringList{"INSERT INTO verzio VALUES ('a¤b');"} << false << "SQL futtatás kész." << "23.0.0.44,a¤b" << "";
        QTest::newRow("comment first, then a select: script mode")
            << QStringList{"-- megjegyzés", "SELECT * FROM verzio;"} << false << "SQL futtatás kész." << "23.0.0.44" << "";
        QTest::newRow("comment after a statement")
            << QStringList{"INSERT INTO verzio VALUES ('c1'); # első", "INSERT INTO verzio VALUES ('c2'); -- második"}
            << false << "SQL futtatás kész." << "23.0.0.44,c1,c2" << "";
        QTest::newRow("; at a line end inside a string")
            << QStringList{"INSERT INTO verzio VALUES ('első;", "második');", "INSERT INTO verzio VALUES ('x;y');"}
            << false << "SQL futtatás kész." << "23.0.0.44,első;\nmásodik,x;y" << "";
        QTest::newRow("which statement failed")
            << QStringList{"INSERT INTO verzio VALUES ('f1');", "", "  INSERT INTO nincs", "VALUES (1);",
                           "INSERT INTO verzio VALUES ('f2');"}
            << false << "Hiba: " << "23.0.0.44,f1"
            << "\n\nHibás utasítás: 2. (3. sor)\nINSERT INTO nincs\n\nAz előtte álló 1 utasítás lefutott; ez és a későbbiek nem.";
    }
    void consoleScripts()
    {
        QFETCH(QStringList, lines);
        QFETCH(bool, selectLastLine);
        QFETCH(QString, message);
        QFETCH(QString, expectedRows);
        QFETCH(QString, detail);
        test::TestDb db(QStringLiteral("adm_console_script"));
        SqlConsole c;
        showActive(c);
        QVERIFY(formParts(c).editor->hasFocus());
        for (int i = 0; i < lines.size(); ++i) {
            if (i)
                QTest::keyClick(formParts(c).editor, Qt::Key_Return);
            typeText(formParts(c).editor, lines.at(i));
        }
        if (selectLastLine)
            QTest::keyClick(formParts(c).editor, Qt::Key_Home, Qt::ShiftModifier);
        ModalLog answers;
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        QTest::keyClick(formParts(c).editor, Qt::Key_F5);
        QTRY_VERIFY(answers.done());
        QVERIFY2(answers.texts.first().startsWith(message), qPrintable(answers.texts.first()));
        QVERIFY2(answers.texts.first().contains(detail), qPrintable(answers.texts.first()));
        QCOMPARE(SqlValue(QStringLiteral("SELECT GROUP_CONCAT(verzio ORDER BY verzio) FROM verzio"), {}), expectedRows);
        QVERIFY(!formParts(c).progressBar->isVisible());
        QCOMPARE(formParts(c).pages->currentIndex(), 0);
        QVERIFY(!formParts(c).aMasol->isEnabled());
    }

    // Query mode, "Eredmény" on the first statement, the error text, "Másol".
    void consoleQueries()
    {
        test::TestDb db(QStringLiteral("adm_console_query"));
        ModalLog answers;
        SqlConsole c;
        showActive(c);
        QVERIFY(!formParts(c).aExport->isEnabled());
        typeText(formParts(c).editor, QStringLiteral("  show tables"));
        QTest::keyClick(formParts(c).editor, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(formParts(c).pages->currentIndex(), 1);
        QVERIFY(formParts(c).queryGrid->model()->rowCount() > 10);
        QCOMPARE(formParts(c).queryGrid->columnWidth(0), 100);
        QVERIFY(formParts(c).aMasol->isEnabled());
        QVERIFY(formParts(c).aExport->isEnabled());

        QTest::keyClick(formParts(c).queryGrid, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(formParts(c).pages->currentIndex(), 0);
        QTest::keyClick(formParts(c).editor, Qt::Key_N, Qt::ControlModifier);
        typeText(formParts(c).editor, QStringLiteral("select 1 as elso, 2 as masodik; select 3 as harmadik"));
        QTest::keyClick(formParts(c).editor, Qt::Key_F9);
        QCOMPARE(formParts(c).pages->currentIndex(), 1);
        QCOMPARE(formParts(c).queryGrid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("elso"));
        QCOMPARE(formParts(c).queryGrid->model()->columnCount(), 2);
        QTest::keyClick(formParts(c).queryGrid, Qt::Key_Tab, Qt::ControlModifier);
        QTest::keyClick(formParts(c).editor, Qt::Key_N, Qt::ControlModifier);
        typeText(formParts(c).editor, QStringLiteral("select 'a;b' as elso, 2 as masodik"));
        QTest::keyClick(formParts(c).editor, Qt::Key_F5);
        QTest::keyClick(formParts(c).queryGrid, Qt::Key_F3);
        c.grab().save(QDir::tempPath() + QStringLiteral("/qo_console_result.png"));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("elso\tmasodik\t\r\na,b\t2\t\r\n"));
        // Ctrl+E hands the result to the export dialog.
        QString exportWindow;
        onModal(anyWindow(), [&](QWidget *d) {
            exportWindow = d->objectName();
            QMetaObject::invokeMethod(d, "reject", Qt::QueuedConnection);
        });
        QTest::keyClick(formParts(c).queryGrid, Qt::Key_E, Qt::ControlModifier);
        QTRY_COMPARE(exportWindow, QStringLiteral("frm_Hatarolt"));
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QApplication::setActiveWindow(&c);

        QTest::keyClick(formParts(c).queryGrid, Qt::Key_Tab, Qt::ControlModifier);
        QTest::keyClick(formParts(c).editor, Qt::Key_N, Qt::ControlModifier);
        typeText(formParts(c).editor, QStringLiteral("SELECT * FROM nincs_ilyen"));
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        QTest::keyClick(formParts(c).editor, Qt::Key_F5);
        QTRY_VERIFY(answers.done());
        QVERIFY(answers.texts.first().startsWith(QStringLiteral("SQL hiba:\n")));
        QCOMPARE(formParts(c).queryGrid->model()->rowCount(), 0);
        c.grab().save(QDir::tempPath() + QStringLiteral("/qo_console.png"));
    }

    // A long result: the first page at once, the rest as the grid goes on;
    // Ctrl+End reads on to the end and knows the count; "Export" and "Másol"
    // take the whole result; the console's statements share one session of
    // its own, so the main connection stays free meanwhile.
    void consoleLongResult_data()
    {
        QTest::addColumn<QString>("whole"); // what takes the whole result
        QTest::newRow("Ctrl+End") << "ctrl+end";
        QTest::newRow("End") << "end";
        QTest::newRow("Export") << "export";
        QTest::newRow("Másol") << "copy";
    }
    void consoleLongResult()
    {
        QFETCH(QString, whole);
        test::TestDb db(QStringLiteral("adm_console_long"));
        QTemporaryDir out;
        SqlConsole c;
        showActive(c);
        typeText(formParts(c).editor, QStringLiteral("SELECT seq, CONCAT('sor ', seq) AS nev FROM seq_1_to_20000"));
        QTest::keyClick(formParts(c).editor, Qt::Key_F5);
        auto *model = qobject_cast<GridModel *>(formParts(c).queryGrid->model());
        QVERIFY(model);
        QCOMPARE(model->rowCount(), GridModel::kFirstPage);
        QVERIFY(!model->complete());
        QCOMPARE(formParts(c).positionLabel->text(), QString(QChar(0x2026)) + QStringLiteral(": 1"));
        QVERIFY(c.connection().streamOpen());
        // The main connection is free while the result stays open.
        QCOMPARE(SqlIntValue(QStringLiteral("SELECT COUNT(*) FROM seq_1_to_300"), 0), 300);
        // Down past the rows held reads the next page, and so does the scroll
        // bar dragged to its end.
        for (int i = 0; i < GridModel::kFirstPage; ++i)
            QTest::keyClick(formParts(c).queryGrid, Qt::Key_Down);
        const int afterDown = model->rowCount();
        QVERIFY(afterDown > GridModel::kFirstPage);
        QScrollBar *bar = formParts(c).queryGrid->verticalScrollBar();
        bar->setValue(bar->maximum());
        QTRY_VERIFY(model->rowCount() > afterDown);
        QVERIFY(model->rowCount() < 20000);
        QCOMPARE(formParts(c).positionLabel->text(), QString(QChar(0x2026)) + QStringLiteral(": %1").arg(GridModel::kFirstPage + 1));
        c.grab().save(QDir::tempPath() + QStringLiteral("/qo_console_long.png"));

        const QString csv = out.filePath(QStringLiteral("eredmeny.csv"));
        if (whole == QLatin1String("ctrl+end") || whole == QLatin1String("end")) {
            QTest::keyClick(formParts(c).queryGrid, Qt::Key_End, whole == QLatin1String("end") ? Qt::NoModifier : Qt::ControlModifier);
        } else if (whole == QLatin1String("export")) {
            ModalLog answers;
            onModal(anyWindow(), [&](QWidget *d) {
                typeExportPath(d, csv);
                pressLater(Key(Qt::Key_Return));
            });
            onModal(messageBox(), pressButton(QMessageBox::Ok));
            // Back in the export dialog, Esc closes it.
            onModal(anyWindow(), [](QWidget *d) { QTest::keyClick(d->focusWidget() ? d->focusWidget() : d, Qt::Key_Escape); });
            QTest::keyClick(formParts(c).queryGrid, Qt::Key_E, Qt::ControlModifier);
            QTRY_VERIFY_WITH_TIMEOUT(answers.done(), 30000);
            QTRY_VERIFY(!QApplication::activeModalWidget());
            QCOMPARE(answers.texts, QStringList{csv + QStringLiteral(" file kész.")});
            QVERIFY(answers.unexpected.isEmpty());
            QFile f(csv);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QList<QByteArray> lines = f.readAll().split('\n');
            QCOMPARE(lines.size(), 20002); // header, 20,000 rows, the empty rest after the last CR LF
            QCOMPARE(lines.at(0), QByteArray("seq;nev;\r"));
            QCOMPARE(lines.at(1), QByteArray("1;sor 1\r"));
            QCOMPARE(lines.at(20000), QByteArray("20000;sor 20000\r"));
        } else {
            QTest::keyClick(formParts(c).queryGrid, Qt::Key_F3);
            const QStringList lines = QApplication::clipboard()->text().split(QStringLiteral("\r\n"));
            QCOMPARE(lines.size(), 20002);
            QCOMPARE(lines.at(20000), QStringLiteral("20000\tsor 20000\t"));
        }
        if (whole == QLatin1String("copy")) {
            // The copy keeps the rows it read only as text: the grid holds the
            // result's last rows.
            QVERIFY(model->atEnd());
            QVERIFY(model->rowCount() < 20000);
            QCOMPARE(model->totalCount(), 20000);
        } else {
            QCOMPARE(model->rowCount(), 20000);
            QVERIFY(model->complete());
        }
        QVERIFY(!c.connection().streamOpen());
        QCOMPARE(formParts(c).queryGrid->currentRowIndex(), model->rowCount() - 1);
        QCOMPARE(model->displayText(formParts(c).queryGrid->currentRowIndex(), 1), QStringLiteral("sor 20000"));
        QCOMPARE(formParts(c).positionLabel->text(), QStringLiteral("20000: 20000"));
    }

    // Another statement while a result is still open drops its unread rest at
    // once (the server stops sending), and the console's session lives on:
    // a variable and a temporary table set by a script stay for the next
    // statements, which the main connection does not see.
    void consoleSessionAcrossStatements()
    {
        test::TestDb db(QStringLiteral("adm_console_session"));
        SqlConsole c;
        showActive(c);
        ModalLog answers;
        auto run = [&](const QString &sql, Qt::Key key) {
            backTo(c); // after a message box the activation comes back a moment later
            if (formParts(c).pages->currentIndex() != 0)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
            QTest::keyClick(formParts(c).editor, Qt::Key_N, Qt::ControlModifier);
            const QStringList lines = sql.split(QLatin1Char('\n'));
            for (int i = 0; i < lines.size(); ++i) {
                if (i)
                    QTest::keyClick(formParts(c).editor, Qt::Key_Return);
                typeText(formParts(c).editor, lines.at(i));
            }
            QTest::keyClick(formParts(c).editor, key);
        };
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        run(QStringLiteral("SET @szam = 41;\nCREATE TEMPORARY TABLE tmp_konzol (a INT);\nINSERT INTO tmp_konzol SELECT seq FROM seq_1_to_300;"),
            Qt::Key_F5);
        QTRY_VERIFY(answers.done());
        QCOMPARE(answers.texts, QStringList{QStringLiteral("SQL futtatás kész.")});
        // A result of 100 million rows: its first page only.
        run(QStringLiteral("SELECT a.seq AS a, b.seq AS b FROM seq_1_to_100000 a, seq_1_to_1000 b"), Qt::Key_F5);
        QCOMPARE(formParts(c).queryGrid->model()->rowCount(), GridModel::kFirstPage);
        QVERIFY(c.connection().streamOpen());
        QElapsedTimer t;
        t.start();
        run(QStringLiteral("SELECT @szam + 1 AS x, (SELECT COUNT(*) FROM tmp_konzol) AS n"), Qt::Key_F5);
        QVERIFY2(t.elapsed() < 10000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(formParts(c).queryGrid->model()->rowCount(), 1);
        QCOMPARE(formParts(c).queryGrid->model()->index(0, 0).data().toString(), QStringLiteral("42"));
        QCOMPARE(formParts(c).queryGrid->model()->index(0, 1).data().toString(), QStringLiteral("300"));
        QCOMPARE(formParts(c).positionLabel->text(), QStringLiteral("1: 1"));
        // The main connection has a session of its own.
        QVERIFY_THROWS_EXCEPTION(Error, Connection::main().query(QStringLiteral("SELECT * FROM tmp_konzol")));
        QCOMPARE(SqlValue(QStringLiteral("SELECT IFNULL(@szam, 'nincs')"), {}), QStringLiteral("nincs"));

        // A session lost under the console (killed here, as a server restart
        // or a dropped link would) is never replaced silently: the next
        // statement fails and says what was lost, the one after runs in a new session.
        Connection::main().exec(QStringLiteral("KILL %1").arg(c.connection().sessionId()));
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        run(QStringLiteral("SELECT @szam AS x"), Qt::Key_F5);
        QTRY_VERIFY(answers.done());
        QVERIFY2(answers.texts.last().contains(QStringLiteral("Megszakadt a kapcsolat")), qPrintable(answers.texts.last()));
        QVERIFY2(answers.texts.last().contains(QStringLiteral("ideiglenes táblái")), qPrintable(answers.texts.last()));
        run(QStringLiteral("SELECT IFNULL(@szam, 'nincs') AS x"), Qt::Key_F5);
        QTRY_COMPARE(formParts(c).queryGrid->model()->rowCount(), 1);
        QCOMPARE(formParts(c).queryGrid->model()->index(0, 0).data().toString(), QStringLiteral("nincs"));

        // Closing the console with a result open ends its session.
        run(QStringLiteral("SELECT a.seq FROM seq_1_to_100000 a, seq_1_to_1000 b"), Qt::Key_F5);
        QVERIFY(c.connection().streamOpen());
        const unsigned long session = c.connection().sessionId();
        t.restart();
        QTest::keyClick(formParts(c).queryGrid, Qt::Key_Escape);
        QTRY_VERIFY(!c.isVisible());
        QVERIFY2(t.elapsed() < 10000, qPrintable(QString::number(t.elapsed())));
        QVERIFY(!c.connection().isOpen());
        QTRY_COMPARE(SqlIntValue(QStringLiteral("SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID = %1").arg(session), -1), 0);
    }

    // "table:name" opens the table whatever follows; a changed cell is
    // stored when the row is left, Insert adds a row, Ctrl+Delete deletes.
    void consoleTableMode()
    {
        test::TestDb db(QStringLiteral("adm_console_table"));
        ExecSql(QStringLiteral("INSERT INTO felhasznalo (felhasznalo, felhasznalo_nev, jelszo) VALUES ('kata', 'Kiss Kata', 'k')"));
        SqlConsole c;
        showActive(c);
        typeText(formParts(c).editor, QStringLiteral("TABLE : felhasznalo"));
        QTest::keyClick(formParts(c).editor, Qt::Key_Return);
        typeText(formParts(c).editor, QStringLiteral("DELETE FROM felhasznalo;"));
        QTest::keyClick(formParts(c).editor, Qt::Key_Home, Qt::ShiftModifier); // only a later part selected
        QTest::keyClick(formParts(c).editor, Qt::Key_F5);
        QCOMPARE(formParts(c).pages->currentIndex(), 1);
        QCOMPARE(formParts(c).tableGrid->model()->rowCount(), 2);
        QTableView *t = formParts(c).tableGrid;
        QVERIFY(t->hasFocus());
        QTest::keyClick(t, Qt::Key_Right);
        typeToFocus(QStringLiteral("Új Név"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(userRow(QStringLiteral("admin")), QStringLiteral("Rendszergazda|admin|I|I"));
        QTest::keyClick(t, Qt::Key_Down);
        QCOMPARE(userRow(QStringLiteral("admin")), QStringLiteral("Új Név|admin|I|I"));
        QCOMPARE(formParts(c).positionLabel->text(), QStringLiteral("2: 2"));

        QTest::keyClick(t, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(userRow(QStringLiteral("kata")), QStringLiteral("<nincs>"));
        QCOMPARE(t->model()->rowCount(), 1);

        QTest::keyClick(t, Qt::Key_Insert);
        QCOMPARE(t->model()->rowCount(), 2);
        QTest::keyClick(t, Qt::Key_Home);
        typeToFocus(QStringLiteral("uj"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(t, Qt::Key_Right);
        typeToFocus(QStringLiteral("Új Ember"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(t, Qt::Key_Down);
        QCOMPARE(userRow(QStringLiteral("uj")), QStringLiteral("Új Ember|N|N"));
    }

    // Text typed over a selection replaces it: F5 then runs the whole text,
    // F9 the first statement, as when nothing was ever selected; a selection
    // made afterwards is run alone.
    void consoleTypedOverSelection()
    {
        test::TestDb db(QStringLiteral("adm_console_overtype"));
        SqlConsole c;
        showActive(c);
        ModalLog answers;
        typeText(formParts(c).editor, QStringLiteral("INSERT INTO uzenet (szoveg) VALUES ('a1');"));
        QTest::keyClick(formParts(c).editor, Qt::Key_Return);
        typeText(formParts(c).editor, QStringLiteral("INSERT INTO uzenet (szoveg) VALUES ('a2');"));
        QTest::keyClick(formParts(c).editor, Qt::Key_Home, Qt::ShiftModifier);
        typeText(formParts(c).editor, QStringLiteral("INSERT INTO uzenet (szoveg) VALUES ('b2');"));
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        QTest::keyClick(formParts(c).editor, Qt::Key_F5);
        QTRY_VERIFY(answers.done());
        QCOMPARE(answers.texts.last(), QStringLiteral("SQL futtatás kész."));
        QCOMPARE(SqlValue(QStringLiteral("SELECT GROUP_CONCAT(szoveg ORDER BY szoveg) FROM uzenet"), {}),
                 QStringLiteral("a1,b2"));

        // Now a real selection: the first line only.
        backTo(c);
        QTest::keyClick(formParts(c).editor, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(formParts(c).editor, Qt::Key_End, Qt::ShiftModifier);
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        QTest::keyClick(formParts(c).editor, Qt::Key_F5);
        QTRY_VERIFY(answers.done());
        QCOMPARE(answers.texts.last(), QStringLiteral("SQL futtatás kész."));
        QCOMPARE(SqlValue(QStringLiteral("SELECT GROUP_CONCAT(szoveg ORDER BY szoveg) FROM uzenet"), {}),
                 QStringLiteral("a1,a1,b2"));

        backTo(c);
        QTest::keyClick(formParts(c).editor, Qt::Key_A, Qt::ControlModifier);
        typeText(formParts(c).editor, QStringLiteral("select 8 as y; select 9 as z"));
        QTest::keyClick(formParts(c).editor, Qt::Key_F9);
        QVERIFY(answers.texts.size() == 2); // no error box
        QCOMPARE(formParts(c).pages->currentIndex(), 1);
        QCOMPARE(formParts(c).queryGrid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("y"));
        QCOMPARE(formParts(c).queryGrid->model()->index(0, 0).data().toString(), QStringLiteral("8"));
    }

    // Table mode reads and writes in the console's own session (after
    // "use otherdb;" the table comes from there), finds a row of a table
    // without a key that holds a FLOAT, and never loses an edit silently:
    // a row changed or deleted elsewhere meanwhile is not written, the
    // table is read again and the user is told, as in the record windows.
    void consoleTableModeKeepsEdits()
    {
        test::TestDb db(QStringLiteral("adm_console_tedit"));
        const QString other = QStringLiteral("adm_console_tother");
        Connection admin;
        admin.open(test::serverParams());
        admin.exec(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(other));
        admin.exec(QStringLiteral("CREATE DATABASE %1 CHARACTER SET latin2 COLLATE latin2_hungarian_ci").arg(other));
        admin.exec(QStringLiteral("CREATE TABLE %1.masik (id INT PRIMARY KEY, nev VARCHAR(20))").arg(other));
        admin.exec(QStringLiteral("INSERT INTO %1.masik VALUES (1, 'egy'), (2, 'kettő')").arg(other));
        ExecSql(QStringLiteral("CREATE TABLE kulcs_nelkul (nev VARCHAR(20), ertek FLOAT, mikor DATE) DEFAULT CHARSET=latin2"));
        ExecSql(QStringLiteral("INSERT INTO kulcs_nelkul VALUES ('alma', 0.1, '2024-01-02'), ('körte', 2.5, NULL)"));
        const QString conflict = QStringLiteral("A sort időközben más módosította vagy törölte; az adatokat újraolvastam.");

        SqlConsole c;
        showActive(c);
        QTableView *t = formParts(c).tableGrid;
        ModalLog answers;
        auto run = [&](const QString &sql) {
            backTo(c);
            if (formParts(c).pages->currentIndex() != 0)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
            QTest::keyClick(formParts(c).editor, Qt::Key_N, Qt::ControlModifier);
            typeText(formParts(c).editor, sql);
            QTest::keyClick(formParts(c).editor, Qt::Key_F5);
        };
        auto editCell = [&](const QString &text) {
            typeToFocus(text);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        };

        onModal(messageBox(), pressButton(QMessageBox::Ok));
        run(QStringLiteral("use %1;").arg(other));
        QTRY_VERIFY(answers.done());
        QCOMPARE(answers.texts.last(), QStringLiteral("SQL futtatás kész."));
        run(QStringLiteral("table:masik"));
        QCOMPARE(answers.texts.size(), 1); // no error box
        QCOMPARE(t->model()->rowCount(), 2);
        QCOMPARE(t->model()->index(1, 1).data().toString(), QStringLiteral("kettő"));
        QTest::keyClick(t, Qt::Key_Right);
        editCell(QStringLiteral("első"));
        QTest::keyClick(t, Qt::Key_Down);
        QCOMPARE(admin.query(QStringLiteral("SELECT nev FROM %1.masik WHERE id = 1").arg(other)).text(0, 0), QStringLiteral("első"));
        // Changed elsewhere after it was read: not overwritten.
        admin.exec(QStringLiteral("UPDATE %1.masik SET nev = 'máshol' WHERE id = 2").arg(other));
        editCell(QStringLiteral("itt"));
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        QTest::keyClick(t, Qt::Key_Up);
        QTRY_VERIFY(answers.done());
        QCOMPARE(answers.texts.last(), conflict);
        QCOMPARE(admin.query(QStringLiteral("SELECT nev FROM %1.masik WHERE id = 2").arg(other)).text(0, 0), QStringLiteral("máshol"));
        QCOMPARE(t->model()->index(1, 1).data().toString(), QStringLiteral("máshol")); // read again

        onModal(messageBox(), pressButton(QMessageBox::Ok));
        run(QStringLiteral("use %1;").arg(db.name()));
        QTRY_VERIFY(answers.done());
        run(QStringLiteral("TABLE:kulcs_nelkul"));
        QCOMPARE(t->model()->rowCount(), 2);
        QTest::keyClick(t, Qt::Key_Home);
        editCell(QStringLiteral("alma2"));
        QTest::keyClick(t, Qt::Key_Down);
        const int boxes = int(answers.texts.size());
        QCOMPARE(SqlValue(QStringLiteral("SELECT GROUP_CONCAT(nev ORDER BY nev) FROM kulcs_nelkul WHERE ertek < 1"), {}),
                 QStringLiteral("alma2"));
        QCOMPARE(SqlValue(QStringLiteral("SELECT CONCAT(ertek) FROM kulcs_nelkul WHERE nev = 'alma2'"), {}), QStringLiteral("0.1"));
        // Deleted elsewhere while being edited: the edit does not pass for stored.
        editCell(QStringLiteral("körte2"));
        ExecSql(QStringLiteral("DELETE FROM kulcs_nelkul WHERE nev = 'körte'"));
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        QTest::keyClick(t, Qt::Key_Up);
        QTRY_VERIFY(answers.done());
        QCOMPARE(answers.texts.size(), boxes + 1);
        QCOMPARE(answers.texts.last(), conflict);
        QTRY_COMPARE(t->model()->rowCount(), 1);
        QCOMPARE(SqlIntValue(QStringLiteral("SELECT COUNT(*) FROM kulcs_nelkul"), -1), 1);
        QCOMPARE(formParts(c).positionLabel->text(), QStringLiteral("1: 1"));
        admin.exec(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(other));
    }
};

QTEST_MAIN(TestAdmin)
#include "tst_admin.moc"
