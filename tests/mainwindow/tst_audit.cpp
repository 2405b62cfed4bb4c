// The audit log on the real server: the triggers record changes made by the
// stock client under another account and by the program's windows under the
// logged-in user; failed logins are recorded and slowed down; the upgrade
// runs at start; the Napló window finds rows and refuses non-administrators.
#include "admin/AuditLogList.h"
#include "admin/SqlConsole.h"
#include "clients/ClientEditor.h"
#include "clients/Clients.h"
#include "config/AppState.h"
#include "config/Config.h"
#include "config/StoredConnections.h"
#include "db/AuditLog.h"
#include "db/Connection.h"
#include "db/SchemaUpgrade.h"
#include "mainwindow/MainWindow.h"
#include "reports/ReportOutput.h"
#include "startup/LoginDialog.h"
#include "startup/Splash.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"
#include "support/Drive.h"
#include "support/TestDb.h"
#include "support/AdminFormParts.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <Qsci/qsciscintilla.h>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace qo;
using qo::test::formParts;
using namespace qo::test;

namespace {

Connection &db() { return Connection::main(); }

QString value(const QString &sql)
{
    const RowSet rs = db().query(sql);
    return rs.rowCount() == 0 ? QStringLiteral("<no row>") : rs.isNull(0, 0) ? QStringLiteral("<NULL>") : rs.text(0, 0);
}
int number(const QString &sql) { return int(db().query(sql).toInt(0, 0, -1)); }

// The log's rows after a key as "muvelet|tabla|kulcs|felhasznalo|reszlet".
QStringList logAfter(qint64 after)
{
    const RowSet rs = db().query(QStringLiteral(
        "SELECT CONCAT_WS('|', muvelet, IFNULL(tabla, ''), IFNULL(kulcs, ''), felhasznalo, IFNULL(reszlet, '')) "
        "FROM naplo WHERE naplo > %1 ORDER BY naplo").arg(after));
    QStringList out;
    for (int r = 0; r < rs.rowCount(); ++r)
        out << rs.text(r, 0);
    return out;
}
qint64 lastLogKey() { return db().query(QStringLiteral("SELECT COALESCE(MAX(naplo), 0) FROM naplo")).toInt(0, 0); }

qint64 newClient(const QString &name)
{
    db().exec(QStringLiteral("INSERT INTO ugyfel (ugyfel_nev) VALUES ('%1')").arg(name));
    const qint64 key = qint64(db().lastInsertId());
    db().exec(QStringLiteral("CALL sp_oldal(%1)").arg(key));
    return key;
}

// Runs statements with the stock command-line client under an account.
QString runClient(const ConnectParams &p, const QString &sql)
{
    QProcess proc;
    const QString client = QStandardPaths::findExecutable(QStringLiteral("mariadb")).isEmpty()
        ? QStringLiteral("mysql") : QStringLiteral("mariadb");
    proc.start(client, {QStringLiteral("--no-defaults"), QStringLiteral("-h127.0.0.1"),
                        QStringLiteral("-P%1").arg(p.port), QStringLiteral("-u") + p.user,
                        QStringLiteral("-p") + p.password, QStringLiteral("--default-character-set=utf8mb4"),
                        p.database, QStringLiteral("-e"), sql});
    if (!proc.waitForFinished(60000))
        return QStringLiteral("timeout");
    return proc.exitCode() == 0 ? QString() : QString::fromUtf8(proc.readAllStandardError());
}

// An account of the shop database that may only read and write rows.
ConnectParams counterAccount(const TestDb &shop)
{
    Connection admin;
    admin.open(serverParams());
    for (const char *h : {"127.0.0.1", "localhost"}) {
        admin.exec(QStringLiteral("DROP USER IF EXISTS 'qo_pult'@'%1'").arg(QLatin1String(h)));
        admin.exec(QStringLiteral("CREATE USER 'qo_pult'@'%1' IDENTIFIED BY 'pult'").arg(QLatin1String(h)));
        admin.exec(QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE, EXECUTE ON `%1`.* TO 'qo_pult'@'%2'")
                       .arg(shop.name(), QLatin1String(h)));
    }
    ConnectParams p = shop.params();
    p.user = QStringLiteral("qo_pult");
    p.password = QStringLiteral("pult");
    return p;
}

QStringList column(const Grid *g, int col)
{
    QStringList out;
    for (int r = 0; r < g->model()->rowCount(); ++r)
        out << g->model()->index(r, col).data().toString();
    return out;
}

} // namespace

class TestAudit : public QObject {
    Q_OBJECT

    std::unique_ptr<TempConfig> m_config;

    static QString record(const TestDb &shop)
    {
        const ConnectParams p = shop.params();
        return QStringLiteral("%1;%2;%3;%4;%5;Teszt bolt").arg(p.database, p.host).arg(p.port).arg(p.user, p.password);
    }

private Q_SLOTS:
    void init()
    {
        m_config = std::make_unique<TempConfig>();
        setWorkAreaForTests(QRect(0, 0, 1280, 800));
        appState() = AppState();
        Connection::setActingUser(QString());
        SetSplashEnabled(false);
        WriteConfigString(QStringLiteral("Alapertek"), QStringLiteral("SzolgaltatasCim"), QStringLiteral("http://127.0.0.1:9/"));
    }

    // Changes made outside the program, by the stock client under its own
    // account: old and new values of exactly the changed columns, the
    // account's name, no row for an update that changes nothing, and never a
    // password.
    void stockClientChangesAreLogged()
    {
        TestDb shop(QStringLiteral("audit_client"));
        const qint64 nagy = newClient(QStringLiteral("Nagy Ilona"));
        const qint64 gone = newClient(QStringLiteral("Törlendő Tamás"));
        const ConnectParams pult = counterAccount(shop);
        const qint64 before = lastLogKey();

        QCOMPARE(runClient(pult, QStringLiteral(
                                     "UPDATE ugyfel SET ugyfel_nev = 'Nagy-Kovács Ilona', telefon = '+36 30 111 2222' "
                                     "WHERE ugyfel = %1;"
                                     "UPDATE ugyfel SET ugyfel_nev = 'Nagy-Kovács Ilona' WHERE ugyfel = %1;"
                                     "UPDATE ugyfel SET ugyfel_nev = 'NAGY-Kovács Ilona' WHERE ugyfel = %1;"
                                     "UPDATE ugyfel_sz_tavol SET sph = '-1,25' WHERE ugyfel = %1 AND kulcs = 2;"
                                     "UPDATE felhasznalo SET jelszo = 'Titok-123', felhasznalo_nev = 'Admin Ádám' "
                                     "WHERE felhasznalo = 'admin';"
                                     "DELETE FROM ugyfel WHERE ugyfel = %2;").arg(nagy).arg(gone)),
                 QString());

        const QStringList rows = logAfter(before);
        QVERIFY2(!rows.join(QLatin1Char('\n')).contains(QStringLiteral("Titok-123")), qPrintable(rows.join(QLatin1Char('\n'))));
        for (const QString &r : rows)
            QVERIFY2(r.section(QLatin1Char('|'), 3, 3).startsWith(QStringLiteral("qo_pult@")), qPrintable(r));
        QStringList shapes;
        for (const QString &r : rows)
            shapes << r.section(QLatin1Char('|'), 0, 2) + QLatin1Char('|') + r.section(QLatin1Char('|'), 4);
        const QString n = QString::number(nagy), g = QString::number(gone);
        QCOMPARE(shapes.mid(0, 4),
                 (QStringList{
                     "UPDATE|ugyfel|" + n + "|ugyfel_nev: 'Nagy Ilona' -> 'Nagy-Kovács Ilona'\ntelefon: NULL -> '+36 30 111 2222'",
                     // only the letter case changed: still a change
                     "UPDATE|ugyfel|" + n + "|ugyfel_nev: 'Nagy-Kovács Ilona' -> 'NAGY-Kovács Ilona'",
                     "UPDATE|ugyfel_sz_tavol|" + n + "/2|sph: NULL -> '-1,25'",
                     "UPDATE|felhasznalo|admin|felhasznalo_nev: 'Rendszergazda' -> 'Admin Ádám'\njelszo: (megváltozott)"}));
        // The delete, with a summary of what was deleted. (The prescription
        // rows the foreign key takes with it fire no trigger on the server.)
        QCOMPARE(shapes.size(), 5);
        QCOMPARE(shapes.last(), "DELETE|ugyfel|" + g + "|ugyfel_nev: 'Törlendő Tamás', cim_varos: NULL, torolve: 'N'");
    }

    // The program's own work under the name it runs with: the procedures
    // still work with the triggers in place and their changes are logged,
    // also after the link was dropped and re-made.
    void programChangesCarryTheUser()
    {
        TestDb shop(QStringLiteral("audit_program"));
        const qint64 client = newClient(QStringLiteral("Vevő Vera"));
        // Without a name the database account stands there.
        QVERIFY(value(QStringLiteral("SELECT felhasznalo FROM naplo WHERE tabla = 'ugyfel' AND kulcs = '%1'").arg(client))
                    .startsWith(QStringLiteral("qo@")));

        Connection::setActingUser(QStringLiteral("Kiss Éva"));
        // Drop the main link from a second session; the next statement re-makes it.
        Connection killer;
        killer.open(shop.params());
        killer.exec(QStringLiteral("KILL %1").arg(db().sessionId()));
        const unsigned long oldSession = db().sessionId();
        killer.exec(QStringLiteral("DO 1"));
        const qint64 before = lastLogKey(); // this statement re-makes the link
        QVERIFY(db().sessionId() != oldSession);
        db().exec(QStringLiteral("CALL sp_ujmunkalap(%1, 2)").arg(client));
        const qint64 order = db().query(QStringLiteral("SELECT @uj_munkalap")).toInt(0, 0);
        QVERIFY(order > 0);
        db().exec(QStringLiteral("UPDATE munkalap SET ar_keret = 15000, eloleg = 5000 WHERE munkalap = %1").arg(order));
        db().exec(QStringLiteral("CALL sp_munkalapkesz(%1)").arg(order));
        db().exec(QStringLiteral("CALL sp_setstatusz(%1, 'Kiss Éva', 2)").arg(order));
        QCOMPARE(value(QStringLiteral("SELECT statusz FROM munkalap WHERE munkalap = %1").arg(order)), QStringLiteral("2"));
        QCOMPARE(value(QStringLiteral("SELECT @qo_felhasznalo")), QStringLiteral("Kiss Éva"));

        // The new order, its prices, its status step; sp_munkalapkesz found
        // nothing to fill in, so it wrote no row.
        const QStringList rows = logAfter(before);
        QVERIFY2(rows.size() == 3, qPrintable(rows.join(QLatin1Char('\n'))));
        for (const QString &r : rows) {
            QCOMPARE(r.section(QLatin1Char('|'), 1, 2), QStringLiteral("munkalap|%1").arg(order));
            QCOMPARE(r.section(QLatin1Char('|'), 3, 3), QStringLiteral("Kiss Éva"));
        }
        QVERIFY2(rows.first().startsWith(QStringLiteral("INSERT|")), qPrintable(rows.first()));
        QCOMPARE(rows.at(1).section(QLatin1Char('|'), 4), QStringLiteral("ar_keret: 0 -> 15000\neloleg: 0 -> 5000"));
        QCOMPARE(rows.at(2).section(QLatin1Char('|'), 4),
                 QStringLiteral("dat_kesz: NULL -> %1\nstatusz: 1 -> 2").arg(QDate::currentDate().toString(Qt::ISODate)));
        // A program event is written with the same name.
        QVERIFY(AddAuditEvent(QLatin1String(Audit::kExport), QStringLiteral("ugyfel"), QString::number(client),
                              QStringLiteral("próba")));
        QCOMPARE(value(QStringLiteral("SELECT CONCAT_WS('|', muvelet, felhasznalo, ugyfel, reszlet) FROM naplo "
                                      "ORDER BY naplo DESC LIMIT 1")),
                 QStringLiteral("EXPORT|Kiss Éva|%1|próba").arg(client));
    }

    // Each statement the SQL console runs is recorded with its text (one
    // that sets a password without its texts), and the changes it makes
    // carry the program's user.
    void consoleStatementsAreLogged()
    {
        TestDb shop(QStringLiteral("audit_console"));
        const qint64 client = newClient(QStringLiteral("Konzol Kornél"));
        Connection::setActingUser(QStringLiteral("Kiss Éva"));
        const qint64 before = lastLogKey();
        SqlConsole c;
        c.show();
        c.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&c));
        typeText(formParts(c).editor, QStringLiteral("UPDATE ugyfel SET telefon = '555' WHERE ugyfel = %1;").arg(client));
        QTest::keyClick(formParts(c).editor, Qt::Key_Return);
        typeText(formParts(c).editor, QStringLiteral("UPDATE felhasznalo SET jelszo = 'Titok-9' WHERE felhasznalo = 'admin';"));
        ModalLog answers;
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        QTest::keyClick(formParts(c).editor, Qt::Key_F5);
        QTRY_VERIFY(answers.done());
        QCOMPARE(answers.texts.first(), QStringLiteral("SQL futtatás kész."));
        const QStringList rows = logAfter(before);
        QVERIFY2(!rows.join(QLatin1Char('\n')).contains(QStringLiteral("Titok-9")), qPrintable(rows.join(QLatin1Char('\n'))));
        QVERIFY2(rows.contains(QStringLiteral("SQL|||Kiss Éva|UPDATE ugyfel SET telefon = '555' WHERE ugyfel = %1").arg(client)),
                 qPrintable(rows.join(QLatin1Char('\n'))));
        QVERIFY2(rows.contains(QStringLiteral("SQL|||Kiss Éva|UPDATE felhasznalo SET jelszo = '***' WHERE felhasznalo = '***'")),
                 qPrintable(rows.join(QLatin1Char('\n'))));
        QVERIFY(rows.contains(QStringLiteral("UPDATE|ugyfel|%1|Kiss Éva|telefon: NULL -> '555'").arg(client)));
        QVERIFY(rows.contains(QStringLiteral("UPDATE|felhasznalo|admin|Kiss Éva|jelszo: (megváltozott)")));
        c.close();
    }

    // Wrong passwords are recorded with the typed code only; after the fifth
    // one in a row the dialog makes the user wait, longer after each further
    // one; the right password then logs in and is recorded under the user.
    void failedLoginsAreLoggedAndSlowed()
    {
        TestDb shop(QStringLiteral("audit_login"));
        db().exec(QStringLiteral("INSERT INTO felhasznalo (felhasznalo, felhasznalo_nev, jelszo, rendszergazda) "
                                 "VALUES ('anna', 'Kiss Anna', 'titok', 'N')"));
        LoginDialog::setLockoutBaseForTests(1000);
        LoginDialog dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        ModalLog answers;
        QTest::keyClicks(dlg.edtFelhasznalo, QStringLiteral("anna"));
        QTest::keyClick(dlg.edtFelhasznalo, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(dlg.edtJelszo));
        QTest::keyClicks(dlg.edtJelszo, QStringLiteral("rossz"));
        QStringList countdowns;
        for (int attempt = 1; attempt <= 7; ++attempt) {
            QTRY_VERIFY(dlg.btnOK->isEnabled());
            onModal(messageBox(), pressButton(QMessageBox::Ok));
            QTest::mouseClick(dlg.btnOK, Qt::LeftButton);
            QTRY_VERIFY(answers.done());
            QCOMPARE(dlg.isWaiting(), attempt >= LoginDialog::kFreeAttempts);
            if (dlg.isWaiting()) {
                QVERIFY(!dlg.btnOK->isEnabled());
                QVERIFY(!dlg.btnUjJelszo->isEnabled());
                QVERIFY(dlg.lblVarakozas->isVisible());
                countdowns << dlg.lblVarakozas->text();
                // A click while waiting tries nothing.
                QTest::mouseClick(dlg.btnOK, Qt::LeftButton);
            }
        }
        QCOMPARE(countdowns,
                 (QStringList{"Túl sok sikertelen belépési kísérlet. Újra próbálhatja 1 másodperc múlva.",
                              "Túl sok sikertelen belépési kísérlet. Újra próbálhatja 2 másodperc múlva.",
                              "Túl sok sikertelen belépési kísérlet. Újra próbálhatja 4 másodperc múlva."}));
        QCOMPARE(answers.texts, QStringList(7, QStringLiteral("Érvénytelen felhasználó, vagy jelszó")));
        QVERIFY(answers.unexpected.isEmpty());
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM naplo WHERE muvelet = 'HIBAS_BELEPES' AND kulcs = 'anna'")), 7);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM naplo WHERE reszlet LIKE '%rossz%'")), 0);

        QTRY_VERIFY_WITH_TIMEOUT(dlg.btnOK->isEnabled(), 10000);
        QVERIFY(!dlg.lblVarakozas->isVisible());
        dlg.edtJelszo->selectAll();
        QTest::keyClicks(dlg.edtJelszo, QStringLiteral("titok"));
        QTest::mouseClick(dlg.btnOK, Qt::LeftButton);
        QTRY_COMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(value(QStringLiteral("SELECT CONCAT_WS('|', muvelet, kulcs, felhasznalo) FROM naplo ORDER BY naplo DESC LIMIT 1")),
                 QStringLiteral("BELEPES|anna|Kiss Anna"));
        LoginDialog::setLockoutBaseForTests(2000);
    }

    // At the keyboard: a login as a user without the administrator right, a
    // client changed in the client editor (logged under that user), and the
    // Napló command refused.
    void editorChangeAfterLoginAndRefusedWindow()
    {
        TestDb shop(QStringLiteral("audit_editor"));
        db().exec(QStringLiteral("UPDATE beallit SET vanbelep = 'I'"));
        db().exec(QStringLiteral("INSERT INTO felhasznalo (felhasznalo, felhasznalo_nev, jelszo, rendszergazda) "
                                 "VALUES ('anna', 'Kiss Anna', 'titok', 'N')"));
        const qint64 client = newClient(QStringLiteral("Szabó Péter"));
        WriteStoredConnection(1, record(shop));
        ModalLog answers;
        onModal(anyWindow(), [](QWidget *w) {
            auto *login = qobject_cast<LoginDialog *>(w);
            QVERIFY(login);
            QTest::keyClicks(login->edtFelhasznalo, QStringLiteral("anna"));
            QTest::keyClick(login->edtFelhasznalo, Qt::Key_Return);
            QTest::keyClicks(login->edtJelszo, QStringLiteral("titok"));
            QTest::keyClick(login->edtJelszo, Qt::Key_Return); // on to "OK"
            QTest::keyClick(login->btnOK, Qt::Key_Space);
        });
        MainWindow w;
        QVERIFY(!w.isAborted());
        QTRY_VERIFY(answers.done());
        QCOMPARE(appState().felhasznalo_nev, QStringLiteral("Kiss Anna"));

        const qint64 before = lastLogKey();
        QStringList path;
        onWindow<ClientEditor>([&path](ClientEditor *) {
            path << focused()->objectName();
            QTest::keyClick(focused(), Qt::Key_End);
            QTest::keyClicks(focused(), QStringLiteral(" Ifj."));
            QTest::keyClick(focused(), Qt::Key_Return); // on to the birth date
            QTest::keyClick(focused(), Qt::Key_Return); // on to the telephone
            path << focused()->objectName();
            QTest::keyClicks(focused(), QStringLiteral("06 1 234 5678"));
            for (int i = 0; i < 8; ++i) // to "OK"
                QTest::keyClick(focused(), Qt::Key_Return);
            path << focused()->objectName();
            QTest::keyClick(focused(), Qt::Key_Return);
        });
        QCOMPARE(EditClient(client, &w), client);
        QCOMPARE(path, (QStringList{"ugyfel_nev", "telefon", "BitBtn1"}));
        const QStringList rows = logAfter(before);
        QCOMPARE(rows.size(), 1);
        QVERIFY2(rows.first().startsWith(QStringLiteral("UPDATE|ugyfel|%1|Kiss Anna|").arg(client)), qPrintable(rows.first()));
        QVERIFY2(rows.first().contains(QStringLiteral("ugyfel_nev: 'Szabó Péter' -> 'Szabó Péter Ifj.'")), qPrintable(rows.first()));
        QVERIFY2(rows.first().contains(QStringLiteral("telefon: NULL -> '06 1 234 5678'")), qPrintable(rows.first()));

        onModal(messageBox(), pressButton(QMessageBox::Ok));
        w.action(QStringLiteral("aNaplo"))->trigger();
        QTRY_VERIFY(answers.done());
        QCOMPARE(answers.texts.last(), QStringLiteral("Nincs jogosultság a művelethez."));
        QVERIFY(!QApplication::activeModalWidget());
    }

    // The window: newest first, found by client (name or key) and by user,
    // a deleted log row marked on the row after it; nothing in it edits.
    void windowFindsRows()
    {
        TestDb shop(QStringLiteral("audit_window"));
        const qint64 kovacs = newClient(QStringLiteral("Kovács Béla"));
        const qint64 szabo = newClient(QStringLiteral("Szabó Kata"));
        Connection::setActingUser(QStringLiteral("Tóth Ede"));
        db().exec(QStringLiteral("UPDATE ugyfel SET telefon = '1' WHERE ugyfel = %1").arg(kovacs));
        Connection::setActingUser(QStringLiteral("Kiss Anna"));
        db().exec(QStringLiteral("UPDATE ugyfel SET telefon = '2' WHERE ugyfel = %1").arg(szabo));
        db().exec(QStringLiteral("UPDATE ugyfel_k SET sph = '-3,00' WHERE ugyfel = %1 AND kulcs = 1").arg(kovacs));
        const qint64 last = lastLogKey();
        // A row taken out of the middle of the log.
        db().exec(QStringLiteral("DELETE FROM naplo WHERE naplo = %1").arg(last - 1));
        appState().rendszergazda = true;

        AuditLogList list;
        list.show();
        QVERIFY(QTest::qWaitForWindowActive(&list));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(list.edtUgyfel));
        Grid *g = list.grid();
        const int cKey = 0, cUser = 2, cTable = 4, cClient = 6, cGap = 8;
        QCOMPARE(g->model()->index(0, cKey).data().toString(), QString::number(last));
        QCOMPARE(g->model()->index(0, cGap).data().toString(), QStringLiteral("hiányzik előtte"));
        QCOMPARE(column(g, cGap).count(QStringLiteral("hiányzik előtte")), 1);
        QVERIFY(list.lblHezag->text().contains(QStringLiteral("hézag nélkül")));
        QVERIFY(list.memoReszlet->toPlainText().contains(QStringLiteral("sph: NULL -> '-3,00'")));

        // By client name: his own row and his prescription rows, nobody else's.
        typeText(list.edtUgyfel, QStringLiteral("kovács"));
        QTRY_VERIFY(g->model()->rowCount() > 0);
        QVERIFY(column(g, cClient).count(QStringLiteral("Kovács Béla")) == g->model()->rowCount());
        QVERIFY(column(g, cTable).contains(QStringLiteral("ugyfel_k")));
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM naplo WHERE ugyfel = %1").arg(kovacs)), g->model()->rowCount());
        // By client key.
        list.edtUgyfel->selectAll();
        QTest::keyClicks(list.edtUgyfel, QString::number(szabo));
        QCOMPARE(column(g, cClient).count(QStringLiteral("Szabó Kata")), g->model()->rowCount());
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM naplo WHERE ugyfel = %1").arg(szabo)), g->model()->rowCount());
        // By user, with the client field cleared; Tab moves on as a user would.
        list.edtUgyfel->selectAll();
        QTest::keyClick(list.edtUgyfel, Qt::Key_Delete);
        QTest::keyClick(list.edtUgyfel, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(list.edtFelhasznalo));
        typeText(list.edtFelhasznalo, QStringLiteral("tóth"));
        QCOMPARE(column(g, cUser), QStringList{QStringLiteral("Tóth Ede")});
        QCOMPARE(column(g, cClient), QStringList{QStringLiteral("Kovács Béla")});
        // A period that ended yesterday holds nothing of today's.
        list.dtIg->setDate(QDate::currentDate().addDays(-1));
        QCOMPARE(g->model()->rowCount(), 0);
        list.dtIg->setDate(QDate::currentDate());
        QCOMPARE(g->model()->rowCount(), 1);
        // The printout of the list as it stands, recorded as such.
        QTemporaryDir pdfDir;
        SetReportFileHook([&pdfDir](const ReportJob &) { return pdfDir.filePath(QStringLiteral("naplo.pdf")); });
        QTest::keyClick(list.grid(), Qt::Key_K, Qt::ControlModifier);
        SetReportFileHook({});
        QVERIFY(QFileInfo(pdfDir.filePath(QStringLiteral("naplo.pdf"))).size() > 0);
        QCOMPARE(value(QStringLiteral("SELECT CONCAT_WS('|', muvelet, kulcs, felhasznalo, reszlet) FROM naplo "
                                      "ORDER BY naplo DESC LIMIT 1")),
                 // the one row shows one client: the entry is found under that client
                 QStringLiteral("NYOMTATAS|%1|Kiss Anna|Napló (előnézet), 1 sor").arg(kovacs));
        // Read-only: no command to add, change or delete a row.
        QVERIFY(!list.command(SearchList::Command::New));
        QVERIFY(!list.command(SearchList::Command::Edit));
        QVERIFY(!list.command(SearchList::Command::Delete));
        list.grab().save(QStringLiteral("/tmp/audit-window.png"));
    }

    // At start an older database is upgraded before the login and the status
    // line says so; one from a newer program stops the start.
    void upgradeAtStart()
    {
        TestDb shop(QStringLiteral("audit_start"), false);
        {
            Connection c;
            c.open(shop.params());
            c.exec(QStringLiteral("DROP TABLE naplo"));
            for (const char *t : {"ugyfel", "ugyfel_sz_tavol", "ugyfel_sz_kozel", "ugyfel_sz_egyeb", "ugyfel_k",
                                  "vizsgalat", "munkalap", "felhasznalo"})
                for (const char *e : {"ins", "upd", "del"})
                    c.exec(QStringLiteral("DROP TRIGGER tr_%1_naplo_%2").arg(QLatin1String(t), QLatin1String(e)));
            c.exec(QStringLiteral("DROP TABLE sema_frissites"));
        }
        WriteStoredConnection(1, record(shop));
        {
            MainWindow w;
            QVERIFY(!w.isAborted());
            QStringList texts;
            for (QLabel *l : w.statusBar()->findChildren<QLabel *>())
                texts << l->text();
            // Every step runs again once its record is gone.
            const int steps = int(KnownUpgradeSteps().size());
            QVERIFY2(texts.contains(QStringLiteral("Adatbázis frissítve: %1 lépés.").arg(steps)), qPrintable(texts.join(QLatin1Char('|'))));
            QCOMPARE(value(QStringLiteral("SELECT COUNT(*) FROM sema_frissites")), QString::number(steps));
            // 24 audit triggers and 8 of the prescription history, none twice.
            QCOMPARE(value(QStringLiteral("SELECT COUNT(*) FROM information_schema.TRIGGERS WHERE TRIGGER_SCHEMA = DATABASE()")),
                     QStringLiteral("32"));
        }
        {
            MainWindow w;
            QVERIFY(!w.isAborted());
            for (QLabel *l : w.statusBar()->findChildren<QLabel *>())
                QVERIFY(!l->text().startsWith(QStringLiteral("Adatbázis frissítve")));
        }
        db().exec(QStringLiteral("INSERT INTO sema_frissites VALUES (900, 'jovobeli', NOW())"));
        ModalLog answers;
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        MainWindow w;
        QVERIFY(w.isAborted());
        QTRY_VERIFY(answers.done());
        QVERIFY2(answers.texts.last().contains(QStringLiteral("újabb változatához tartozik")), qPrintable(answers.texts.last()));
    }
};

QTEST_MAIN(TestAudit)
#include "tst_audit.moc"
