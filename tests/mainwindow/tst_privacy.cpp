// Consents, subject access and erasure, driven at the keyboard against a real
// shop database; the files read back by unzip, pdftotext and python3's csv.
#include "admin/SettingsDialog.h"
#include "clients/ClientEditor.h"
#include "clients/ClientPicker.h"
#include "clients/ClientPrivacy.h"
#include "clients/Clients.h"
#include "clients/ConsentTab.h"
#include "clients/ReminderStore.h"
#include "config/AppState.h"
#include "config/Config.h"
#include "config/StoredConnections.h"
#include "db/Connection.h"
#include "mainwindow/MainWindow.h"
#include "workorders/WorkOrderStore.h"
#include "startup/Splash.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"
#include "support/Drive.h"
#include "support/TestDb.h"
#include "support/AdminFormParts.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include <sys/stat.h>

using namespace qo;
using qo::test::formParts;
using namespace qo::test;

namespace {

QString focusedName()
{
    QWidget *w = focused();
    return w ? w->objectName() : QStringLiteral("<none>");
}

Connection &db() { return Connection::main(); }
QString value(const QString &sql)
{
    const RowSet rs = db().query(sql);
    return rs.rowCount() ? (rs.isNull(0, 0) ? QStringLiteral("<NULL>") : rs.text(0, 0)) : QStringLiteral("<no row>");
}
int number(const QString &sql) { return int(db().query(sql).toInt(0, 0, -999)); }

// A client with every field filled; `secret` gives the values an erasure must remove.
qint64 newClient(const QString &name, const QString &phone, const QString &mail, bool secret = true)
{
    const QString rest = secret ? QStringLiteral("'Rejtett utca 7.', '1975.03.04', 'Hívja a lányát: 06 20 111 2233', "
                                                 "'Titán keret', 'TK-4711', 'Lánya Zsófia'")
                                : QStringLiteral("'Fő utca 1.', '1980.01.01', 'Törzsvásárló', 'Acél', 'A-1', NULL");
    db().exec(QStringLiteral("INSERT INTO ugyfel (ugyfel_nev, telefon, emil, cim_irsz, cim_varos, cim_cim, szuldatum, "
                             "megjegyzes, keret, keretszam, kapcsolat, dat_utolso, dat_figyelmeztet) VALUES ('%1', '%2', '%3', "
                             "'6720', 'Szeged', %4, CURDATE(), CURDATE() + INTERVAL 30 DAY)")
                  .arg(name, phone, mail, rest));
    const qint64 key = qint64(db().lastInsertId());
    db().exec(QStringLiteral("CALL sp_oldal(%1)").arg(key));
    db().exec(QStringLiteral("UPDATE ugyfel_sz_tavol SET sph = '+1,25', cyl = '-0,50', ax = '90' WHERE ugyfel = %1 AND kulcs = 1").arg(key));
    db().exec(QStringLiteral("UPDATE ugyfel_k SET sph = '-2,75', bc = '8,6' WHERE ugyfel = %1 AND kulcs = 2").arg(key));
    return key;
}

// A work order as the editor leaves it: prices, deposit, total and amount due.
qint64 newOrder(qint64 client, double frame, double deposit, bool handedOver)
{
    db().exec(QStringLiteral("INSERT INTO keretmarka (keretmarka_nev) SELECT 'Acél' FROM DUAL "
                             "WHERE NOT EXISTS (SELECT 1 FROM keretmarka)"));
    db().exec(QStringLiteral("CALL sp_ujmunkalap(%1, 1)").arg(client));
    const qint64 order = db().query(QStringLiteral("SELECT @uj_munkalap")).toInt(0, 0);
    // The note names a way to reach the person.
    db().exec(QStringLiteral("UPDATE munkalap SET ar_keret = %1, eloleg = %2, osszar = %1, fizetendo = %1 - %2, kerettipus = 'Kerek', "
                             "keretmarka = (SELECT MIN(keretmarka) FROM keretmarka), "
                             "megj = CONCAT('Sürgős, hívja: ', (SELECT telefon FROM ugyfel WHERE ugyfel = %4)) "
                             "WHERE munkalap = %3").arg(frame).arg(deposit).arg(order).arg(client));
    db().exec(QStringLiteral("CALL sp_munkalapkesz(%1)").arg(order));
    if (handedOver) {
        db().exec(QStringLiteral("CALL sp_setstatusz(%1, 'Kiss Éva', 2)").arg(order));
        db().exec(QStringLiteral("CALL sp_setstatusz(%1, 'Kiss Éva', 3)").arg(order));
    }
    return order;
}

void newExamination(qint64 client, const QString &when, const QString &anamnesis)
{
    db().exec(QStringLiteral("INSERT INTO vizsgalat (ugyfel, datum, jobbsph1, anamnezis) VALUES (%1, %2, '+0,75', '%3')")
                  .arg(client)
                  .arg(when, anamnesis));
}

// Rows of the revenue and sales reports of a period, by their own queries.
QString reportRows(const QDate &from, const QDate &to)
{
    QStringList out;
    for (const QString &sql : {RevenueQuery(from, to), SalesQuery(from, to)}) {
        const RowSet rs = db().query(sql);
        double sum = 0;
        for (int r = 0; r < rs.rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < rs.columnCount(); ++c)
                if (rs.field(c).name != QLatin1String("ugyfel_nev"))
                    cells << rs.text(r, c);
            out << cells.join(QLatin1Char('|'));
            sum += rs.toDouble(r, rs.columnCount() - 1);
        }
        out << QStringLiteral("sum=%1 rows=%2").arg(sum, 0, 'f', 2).arg(rs.rowCount());
    }
    return out.join(QLatin1Char('\n'));
}

// Every text column of every table that holds one of the needles.
QStringList textsHolding(const QStringList &needles)
{
    QStringList hits;
    const RowSet cols = db().query(QStringLiteral(
        "SELECT c.TABLE_NAME, c.COLUMN_NAME FROM information_schema.COLUMNS c JOIN information_schema.TABLES t "
        "ON t.TABLE_SCHEMA = c.TABLE_SCHEMA AND t.TABLE_NAME = c.TABLE_NAME AND t.TABLE_TYPE = 'BASE TABLE' "
        "WHERE c.TABLE_SCHEMA = DATABASE() AND c.DATA_TYPE IN ('char', 'varchar', 'text', 'mediumtext', 'longtext', 'tinytext')"));
    for (int r = 0; r < cols.rowCount(); ++r)
        for (const QString &n : needles) {
            const QString sql = QStringLiteral("SELECT COUNT(*) FROM `%1` WHERE `%2` LIKE '%%3%'")
                                    .arg(cols.text(r, 0), cols.text(r, 1), n);
            if (number(sql) > 0)
                hits << cols.text(r, 0) + QLatin1Char('.') + cols.text(r, 1) + QStringLiteral(" holds ") + n;
        }
    return hits;
}

// Rows of the CSV files of a folder, read by python3's csv module.
QJsonObject readCsvFolder(const QString &dir)
{
    QProcess py;
    py.start(QStringLiteral("python3"),
             {QStringLiteral("-c"),
              QStringLiteral("import csv, glob, json, os, sys\n"
                             "out = {}\n"
                             "for p in sorted(glob.glob(os.path.join(sys.argv[1], '*.csv'))):\n"
                             "    raw = open(p, 'rb').read()\n"
                             "    assert raw.startswith(b'\\xef\\xbb\\xbf'), p\n"
                             "    with open(p, newline='', encoding='utf-8-sig') as f:\n"
                             "        out[os.path.basename(p)] = [r for r in csv.DictReader(f, delimiter=';')]\n"
                             "print(json.dumps(out))\n"),
              dir});
    if (!py.waitForFinished(30000) || py.exitCode() != 0) {
        qWarning("python3: %s", py.readAllStandardError().constData());
        return {};
    }
    return QJsonDocument::fromJson(py.readAllStandardOutput()).object();
}

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>").arg(program, QString::fromLocal8Bit(p.readAllStandardError()));
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestPrivacy : public QObject {
    Q_OBJECT

    std::unique_ptr<TempConfig> m_config;

private Q_SLOTS:
    void init()
    {
        m_config = std::make_unique<TempConfig>();
        appState() = AppState();
        appState().FormatFt = QStringLiteral("### ### ##0");
    }

    // Ticked at the keyboard in the client editor: stored with user and
    // date in the same save; unticked later: a second row, and the store and
    // the list condition then say no. Mégsem records nothing; a new client's
    // consent is saved with it.
    void consentAtTheKeyboard()
    {
        TestDb tdb(QStringLiteral("privacy_consent"));
        const qint64 key = newClient(QStringLiteral("Bódi Boglárka"), QStringLiteral("06 1 222 3333"), QStringLiteral("bogi@pelda.hu"));
        const qint64 other = newClient(QStringLiteral("Másik Béla"), QString(), QString(), false);
        db().exec(QStringLiteral("SET @qo_felhasznalo = 'Kiss Éva'"));
        ConsentStore store(db());
        QVERIFY(!store.mayContact(key, ContactPurpose::Sms)); // never given: no

        QStringList path;
        QString tabText;
        onWindow<ClientEditor>([&](ClientEditor *w) {
            tabText = w->findChild<QTabWidget *>(QStringLiteral("tabs"))->tabText(1);
            press(Qt::Key_Tab, Qt::ControlModifier); // to "Hozzájárulások"
            path << focusedName();
            press(Qt::Key_Tab);
            path << focusedName();
            press(Qt::Key_Space); // SMS
            press(Qt::Key_Return);
            press(Qt::Key_Return);
            path << focusedName();
            press(Qt::Key_Space); // marketing
            press(Qt::Key_Return); // the last box leads to "OK"
            path << focusedName() + QLatin1Char('@') + QString::number(w->findChild<QTabWidget *>(QStringLiteral("tabs"))->currentIndex());
            press(Qt::Key_Return);
        });
        QCOMPARE(EditClient(key), key);
        QCOMPARE(tabText, QStringLiteral("Hozzájárulások"));
        QCOMPARE(path, (QStringList{"hozzajarulas_LEVEL", "hozzajarulas_SMS", "hozzajarulas_MARKETING", "BitBtn1@0"}));
        QCOMPARE(value(QStringLiteral("SELECT GROUP_CONCAT(CONCAT_WS(':', cel, megadva, felhasznalo) ORDER BY hozzajarulas) "
                                      "FROM hozzajarulas WHERE ugyfel = %1").arg(key)),
                 QStringLiteral("SMS:I:Kiss Éva,MARKETING:I:Kiss Éva"));
        QCOMPARE(number(QStringLiteral("SELECT MAX(ABS(TIMESTAMPDIFF(SECOND, datum, NOW()))) < 60 FROM hozzajarulas")), 1);
        QVERIFY(store.mayContact(key, ContactPurpose::Sms));
        QVERIFY(store.mayContact(key, ContactPurpose::Marketing));
        QVERIFY(!store.mayContact(key, ContactPurpose::Email));
        QVERIFY(!store.mayContact(other, ContactPurpose::Sms));
        const QString smsList = QStringLiteral("SELECT GROUP_CONCAT(ugyfel) FROM vw_ugyfel WHERE ugyfel > 0 AND ")
            + ConsentStore::mayContactSql(ContactPurpose::Sms);
        QCOMPARE(value(smsList), QString::number(key));

        // Mégsem after a change writes nothing.
        onWindow<ClientEditor>([&](ClientEditor *) {
            press(Qt::Key_Tab, Qt::ControlModifier);
            press(Qt::Key_Space);
            press(Qt::Key_Escape);
        });
        QCOMPARE(EditClient(key), qint64(-1));
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM hozzajarulas")), 2);

        // Unticked later by another user: a new row; the history stays.
        db().exec(QStringLiteral("SET @qo_felhasznalo = 'Nagy Ádám'"));
        QString shown;
        onWindow<ClientEditor>([&](ClientEditor *w) {
            shown = w->findChild<ConsentTab *>(QStringLiteral("TabSheet2"))->lastChange(ContactPurpose::Sms)->text();
            press(Qt::Key_Tab, Qt::ControlModifier);
            press(Qt::Key_Tab);
            press(Qt::Key_Space); // SMS off
            press(Qt::Key_Tab);
            press(Qt::Key_Tab);
            press(Qt::Key_Tab); // from the last box to "OK"
            press(Qt::Key_Return);
        });
        QCOMPARE(EditClient(key), key);
        QVERIFY2(shown.startsWith(QStringLiteral("Megadva: ") + QDate::currentDate().toString(QStringLiteral("yyyy.MM.dd"))), qPrintable(shown));
        QVERIFY2(shown.endsWith(QStringLiteral(", Kiss Éva")), qPrintable(shown));
        QCOMPARE(value(QStringLiteral("SELECT GROUP_CONCAT(CONCAT_WS(':', cel, megadva, felhasznalo) ORDER BY hozzajarulas) "
                                      "FROM hozzajarulas WHERE ugyfel = %1").arg(key)),
                 QStringLiteral("SMS:I:Kiss Éva,MARKETING:I:Kiss Éva,SMS:N:Nagy Ádám"));
        QVERIFY(!store.mayContact(key, ContactPurpose::Sms));
        QVERIFY(store.mayContact(key, ContactPurpose::Marketing));
        QCOMPARE(value(smsList), QStringLiteral("<NULL>"));

        // Without a program user the database account records it.
        db().exec(QStringLiteral("SET @qo_felhasznalo = NULL"));
        onWindow<ClientEditor>([&](ClientEditor *w) {
            press(Qt::Key_Tab, Qt::ControlModifier);
            press(Qt::Key_Space); // letter
            for (int i = 0; i < 4; ++i)
                press(Qt::Key_Tab);
            QCOMPARE(w->findChild<QPushButton *>(QStringLiteral("BitBtn1"))->hasFocus(), true);
            press(Qt::Key_Return);
        });
        QCOMPARE(EditClient(key), key);
        QCOMPARE(value(QStringLiteral("SELECT felhasznalo = CURRENT_USER() FROM hozzajarulas WHERE cel = 'LEVEL'")), QStringLiteral("1"));

        // A new client and its consent are saved together.
        onWindow<ClientEditor>([&](ClientEditor *) {
            typeText(focused(), QStringLiteral("Új Ügyfél"));
            press(Qt::Key_Tab, Qt::ControlModifier);
            press(Qt::Key_Tab);
            press(Qt::Key_Tab);
            press(Qt::Key_Space); // e-mail
            press(Qt::Key_Tab);
            press(Qt::Key_Tab);
            press(Qt::Key_Return);
        });
        const qint64 added = EditClient(-1);
        QVERIFY(added > other);
        QCOMPARE(value(QStringLiteral("SELECT ugyfel_nev FROM ugyfel WHERE ugyfel = %1").arg(added)), QStringLiteral("Új Ügyfél"));
        QVERIFY(store.mayContact(added, ContactPurpose::Email));
        QVERIFY(!store.mayContact(added, ContactPurpose::Letter));
    }

    // "Adatkikérés" from the client list: one ZIP, owner-only, whose PDF and
    // CSV files hold the client's data and nobody else's; the request is logged.
    void subjectAccessFromTheClientList()
    {
        TestDb tdb(QStringLiteral("privacy_access"));
        db().exec(QStringLiteral("UPDATE tulajdonos SET tulajdonos = 'Éles Látás Bt.'"));
        const qint64 key = newClient(QStringLiteral("Adatkérő Aranka"), QStringLiteral("06 30 123 4567"), QStringLiteral("aranka@pelda.hu"));
        newClient(QStringLiteral("Másik Béla"), QStringLiteral("06 1 999 0000"), QStringLiteral("bela@pelda.hu"), false);
        newExamination(key, QStringLiteral("CURDATE()"), QStringLiteral("Fáj a feje \"estefelé\"\nés szúr"));
        newOrder(key, 45600, 10000, false);
        ConsentStore(db()).record(key, ContactPurpose::Email, true);
        // An earlier state of the distance prescription.
        db().exec(QStringLiteral("UPDATE ugyfel_sz_tavol SET sph = '+1,50' WHERE ugyfel = %1 AND kulcs = 1").arg(key));
        ReminderCriteria told;
        told.from = QDate(2026, 3, 1);
        told.to = QDate(2026, 3, 31);
        told.channel = ContactPurpose::Email;
        ReminderStore(db()).markNotified({key}, told);

        WriteStoredConnection(1, QStringLiteral("%1;%2;%3;%4;%5;Teszt bolt")
                                     .arg(tdb.params().database, tdb.params().host)
                                     .arg(tdb.params().port)
                                     .arg(tdb.params().user, tdb.params().password));
        setWorkAreaForTests(QRect(0, 0, 1280, 800));
        SetSplashEnabled(false);
        WriteConfigString(QStringLiteral("Alapertek"), QStringLiteral("SzolgaltatasCim"), QStringLiteral("http://127.0.0.1:9/"));
        MainWindow w;
        QVERIFY(!w.isAborted());
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.setActiveTab(MainWindow::TabClients);
        QTRY_COMPARE(w.currentKey(MainWindow::TabClients), key); // first by name

        QAction *a = w.findChild<QAction *>(QStringLiteral("aAdatkikeres"));
        QVERIFY(a);
        QCOMPARE(a->text(), QStringLiteral("Adatkikérés"));
        QVERIFY(w.grid(MainWindow::TabClients)->actions().contains(a));

        QTemporaryDir dir;
        const QString zip = dir.filePath(QStringLiteral("kerelem.zip"));
        QString offered;
        onModal([](QWidget *m) { return qobject_cast<QFileDialog *>(m) != nullptr; }, [&](QWidget *m) {
            auto *edit = m->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            offered = edit->text();
            edit->selectAll();
            typeText(edit, zip);
            QTest::keyClick(edit, Qt::Key_Return);
        });
        QTest::keyClick(w.grid(MainWindow::TabClients), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
        QTRY_VERIFY(QFile::exists(zip));
        QCOMPARE(offered, QStringLiteral("adatkikeres_%1_%2.zip").arg(key).arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(zip).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 0777), 0600);

        const QString out = dir.filePath(QStringLiteral("ki"));
        run(QStringLiteral("unzip"), {QStringLiteral("-q"), zip, QStringLiteral("-d"), out});
        QStringList names = QDir(out).entryList(QDir::Files);
        QCOMPARE(names, (QStringList{"adatkikeres.pdf", "ertesitesek.csv", "hozzajarulasok.csv", "korabbi_receptek.csv",
                                     "munkalapok.csv", "naplo.csv", "receptek.csv", "ugyfel.csv", "vizsgalatok.csv"}));

        const QString pdf = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), out + QStringLiteral("/adatkikeres.pdf"), QStringLiteral("-")});
        for (const QString &want : {QStringLiteral("Adatkikérés"), QStringLiteral("Éles Látás Bt."),
                                    QDate::currentDate().toString(QStringLiteral("yyyy.MM.dd")), QStringLiteral("Adatkérő Aranka"),
                                    QStringLiteral("aranka@pelda.hu"), QStringLiteral("+1,25"), QStringLiteral("8,6"),
                                    QStringLiteral("Fáj a feje"), QStringLiteral("45 600"), QStringLiteral("35 600"),
                                    QStringLiteral("megadva"), QStringLiteral("INSERT"), QStringLiteral("Korábbi receptek"),
                                    QStringLiteral("+1,50")})
            QVERIFY2(pdf.contains(want), qPrintable(want + QStringLiteral(" missing from:\n") + pdf));
        QVERIFY2(!pdf.contains(QStringLiteral("Másik Béla")), qPrintable(pdf));

        const QJsonObject csv = readCsvFolder(out);
        QCOMPARE(csv.size(), 8); // every file but the PDF
        QStringList states;
        for (const QJsonValue &r : csv.value(QStringLiteral("korabbi_receptek.csv")).toArray())
            states << r[QStringLiteral("recept")].toString() + QLatin1Char('/') + r[QStringLiteral("oldal")].toString()
                    + QLatin1Char('/') + r[QStringLiteral("sph")].toString() + QLatin1Char('/') + r[QStringLiteral("bc")].toString();
        // Oldest first within a kind: both states of the distance prescription, the contact lens.
        QCOMPARE(states, (QStringList{"Szemüveg - Távol/Jobb/+1,25/", "Szemüveg - Távol/Jobb/+1,50/", "Kontaktlencse/Bal/-2,75/8,6"}));
        const QJsonArray person = csv.value(QStringLiteral("ugyfel.csv")).toArray();
        QCOMPARE(person.size(), 1);
        QCOMPARE(person[0][QStringLiteral("ugyfel_nev")].toString(), QStringLiteral("Adatkérő Aranka"));
        QCOMPARE(person[0][QStringLiteral("megjegyzes")].toString(), QStringLiteral("Hívja a lányát: 06 20 111 2233"));
        QStringList values;
        for (const QJsonValue &r : csv.value(QStringLiteral("receptek.csv")).toArray())
            values << r[QStringLiteral("recept")].toString() + QLatin1Char('/') + r[QStringLiteral("sph")].toString();
        QCOMPARE(values.size(), 8);
        QVERIFY2(values.contains(QStringLiteral("Szemüveg - Távol/+1,50")), qPrintable(values.join(QLatin1Char(' '))));
        const QJsonArray exams = csv.value(QStringLiteral("vizsgalatok.csv")).toArray();
        QCOMPARE(exams.size(), 1);
        QCOMPARE(exams[0][QStringLiteral("anamnezis")].toString(), QStringLiteral("Fáj a feje \"estefelé\"\nés szúr"));
        const QJsonArray orders = csv.value(QStringLiteral("munkalapok.csv")).toArray();
        QCOMPARE(orders.size(), 1);
        QCOMPARE(orders[0][QStringLiteral("osszar")].toString(), QStringLiteral("45600"));
        QCOMPARE(orders[0][QStringLiteral("fizetendo")].toString(), QStringLiteral("35600"));
        QCOMPARE(csv.value(QStringLiteral("hozzajarulasok.csv")).toArray()[0][QStringLiteral("cel")].toString(), QStringLiteral("EMAIL"));
        const QJsonArray told2 = csv.value(QStringLiteral("ertesitesek.csv")).toArray();
        QCOMPARE(told2.size(), 1);
        QCOMPARE(told2[0][QStringLiteral("csatorna")].toString(), QStringLiteral("EMAIL"));
        QCOMPARE(told2[0][QStringLiteral("tol")].toString(), QStringLiteral("2026-03-01"));
        const QJsonArray log = csv.value(QStringLiteral("naplo.csv")).toArray();
        QVERIFY(log.size() >= 3); // the client, its prescription rows, the examination, the order
        for (const QJsonValue &r : log)
            QVERIFY2(!r[QStringLiteral("reszlet")].toString().contains(QStringLiteral("Másik")), qPrintable(r[QStringLiteral("reszlet")].toString()));

        QCOMPARE(value(QStringLiteral("SELECT CONCAT_WS('|', tabla, kulcs, ugyfel, reszlet) FROM naplo WHERE muvelet = 'ADATKIKERES'")),
                 QStringLiteral("ugyfel|%1|%1|fájl: kerelem.zip").arg(key));
        w.close();
    }

    // "Ügyfél törlése (GDPR)" at the keyboard in the client picker: after one
    // question with the counts, no row anywhere holds the client's data; the
    // health data goes or stays by the retention set in the settings dialog;
    // the work orders and the revenue and sales figures stay; No leaves all.
    void erasureInThePicker_data()
    {
        QTest::addColumn<QString>("retention"); // typed into the settings dialog
        QTest::addColumn<bool>("yes");
        QTest::addColumn<int>("examsLeft");
        QTest::addColumn<int>("prescriptionRowsLeft");
        QTest::addColumn<int>("historyLeft"); // stored prescription states
        QTest::addColumn<QString>("summary");
        QTest::newRow("no retention") << "0" << true << 0 << 0 << 0
                                      << "- 4 recept\n- 2 korábbi recept-állapot\n- 2 vizsgálat\n";
        QTest::newRow("5 years, a recent examination")
            << "5" << true << 1 << 8 << 2
            << "- 2 korábbi recept-állapot (megőrzési idő: 5 év)\n- 1 vizsgálat (megőrzési idő: 5 év)";
        QTest::newRow("answered No") << "0" << false << 2 << 8 << 2
                                     << "- 4 recept\n- 2 korábbi recept-állapot\n- 2 vizsgálat\n";
    }
    void erasureInThePicker()
    {
        QFETCH(QString, retention);
        QFETCH(bool, yes);
        QFETCH(int, examsLeft);
        QFETCH(int, prescriptionRowsLeft);
        QFETCH(int, historyLeft);
        QFETCH(QString, summary);
        TestDb tdb(QStringLiteral("privacy_erase"));
        const QString name = QStringLiteral("Aba Titkos Erzsébet");
        const qint64 key = newClient(name, QStringLiteral("06 30 999 8877"), QStringLiteral("titkos@pelda.hu"));
        const qint64 other = newClient(QStringLiteral("Zala Marad"), QStringLiteral("06 1 555 4444"), QStringLiteral("marad@pelda.hu"), false);
        newExamination(key, QStringLiteral("CURDATE() - INTERVAL 2 MONTH"), QStringLiteral("Szemnyomás magas"));
        newExamination(key, QStringLiteral("CURDATE() - INTERVAL 9 YEAR"), QStringLiteral("Régi panasz"));
        newExamination(other, QStringLiteral("CURDATE()"), QStringLiteral("Zala vizsgálata"));
        newOrder(key, 45600, 10000, true);
        newOrder(key, 20000, 5000, false);
        newOrder(other, 30000, 0, true);
        ConsentStore(db()).record(key, ContactPurpose::Sms, true);
        ConsentStore(db()).record(key, ContactPurpose::Marketing, true);
        ConsentStore(db()).record(other, ContactPurpose::Sms, true);
        ReminderCriteria told;
        told.from = QDate(2026, 3, 1);
        told.to = QDate(2026, 3, 31);
        told.channel = ContactPurpose::Sms;
        ReminderStore(db()).markNotified({key, other}, told);

        // The retention, typed into the settings dialog by an administrator.
        appState().rendszergazda = true;
        onWindow<SettingsDialog>([&](SettingsDialog *) {
            for (int i = 0; i < 5; ++i)
                press(Qt::Key_Tab);
            QCOMPARE(focusedName(), QStringLiteral("megorzes_ev"));
            press(Qt::Key_A, Qt::ControlModifier);
            typeText(focused(), retention);
            press(Qt::Key_Tab); // the note
            press(Qt::Key_Tab); // OK
            press(Qt::Key_Return);
        });
        ShowSettingsDialog(nullptr);
        QCOMPARE(number(QStringLiteral("SELECT megorzes_ev FROM beallit")), retention.toInt());

        const QDate from = QDate::currentDate().addYears(-1), to = QDate::currentDate();
        const QString reportsBefore = reportRows(from, to);
        // Deposits 10000 + 5000 + 0 when received, 35600 + 30000 due when handed over; frames 45600 + 20000 + 30000.
        QVERIFY2(reportsBefore.contains(QStringLiteral("sum=80600.00 rows=5")), qPrintable(reportsBefore));
        QVERIFY2(reportsBefore.contains(QStringLiteral("sum=95600.00 rows=1")), qPrintable(reportsBefore));
        const QString otherBefore = value(QStringLiteral("SELECT CONCAT_WS('|', u.ugyfel_nev, u.telefon, u.emil, u.megjegyzes, "
                                                         "(SELECT COUNT(*) FROM vizsgalat WHERE ugyfel = u.ugyfel), "
                                                         "(SELECT COUNT(*) FROM hozzajarulas WHERE ugyfel = u.ugyfel), "
                                                         "(SELECT GROUP_CONCAT(megj) FROM munkalap WHERE ugyfel = u.ugyfel)) "
                                                         "FROM ugyfel u WHERE ugyfel = %1").arg(other));
        const QString ordersBefore = value(QStringLiteral("SELECT GROUP_CONCAT(CONCAT_WS(':', munkalap, statusz, datum, dat_kesz, "
                                                          "osszar, eloleg, fizetendo, jobbsph) ORDER BY munkalap) FROM munkalap"));

        QString question, caption;
        int rowsAfter = -1;
        onWindow<ClientPicker>([&](ClientPicker *w) {
            QCOMPARE(w->currentKey(), key); // first by name
            onModal([](QWidget *m) { return qobject_cast<QMessageBox *>(m) != nullptr; }, [&](QWidget *m) {
                auto *box = qobject_cast<QMessageBox *>(m);
                question = box->text();
                caption = box->windowTitle();
                box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
            });
            press(Qt::Key_Delete, Qt::ControlModifier);
            rowsAfter = w->model()->rowCount();
            press(Qt::Key_Escape);
        });
        QCOMPARE(PickClient(-1), qint64(-1));
        QCOMPARE(caption, QStringLiteral("Megerősítés"));
        QVERIFY2(question.startsWith(QStringLiteral("Ügyfél törlése (GDPR): ") + name), qPrintable(question));
        QVERIFY2(question.contains(summary), qPrintable(question));
        QVERIFY2(question.contains(QStringLiteral("- 2 munkalap az összegeivel")), qPrintable(question));
        QVERIFY2(question.contains(QStringLiteral("- 2 hozzájárulás-bejegyzés")), qPrintable(question));

        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM vizsgalat WHERE ugyfel = %1").arg(key)), examsLeft);
        int rxRows = 0;
        for (const char *t : {"ugyfel_sz_tavol", "ugyfel_sz_kozel", "ugyfel_sz_egyeb", "ugyfel_k"})
            rxRows += number(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE ugyfel = %2").arg(QLatin1String(t)).arg(key));
        QCOMPARE(rxRows, prescriptionRowsLeft);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM recept_elozmeny WHERE ugyfel = %1").arg(key)), historyLeft);
        QVERIFY(number(QStringLiteral("SELECT COUNT(*) FROM recept_elozmeny WHERE ugyfel = %1").arg(other)) > 0);
        if (examsLeft == 1)
            QCOMPARE(value(QStringLiteral("SELECT anamnezis FROM vizsgalat WHERE ugyfel = %1").arg(key)), QStringLiteral("Szemnyomás magas"));
        QCOMPARE(reportRows(from, to), reportsBefore);

        const QStringList needles{QStringLiteral("Titkos"), QStringLiteral("999 8877"), QStringLiteral("titkos@"),
                                  QStringLiteral("Rejtett utca"), QStringLiteral("1975.03.04"), QStringLiteral("lányát"),
                                  QStringLiteral("Titán keret"), QStringLiteral("TK-4711"), QStringLiteral("Lánya Zsófia")};
        if (!yes) {
            QCOMPARE(rowsAfter, 2);
            QCOMPARE(value(QStringLiteral("SELECT ugyfel_nev FROM ugyfel WHERE ugyfel = %1").arg(key)), name);
            QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM hozzajarulas WHERE ugyfel = %1").arg(key)), 2);
            QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM naplo WHERE muvelet = 'TORLES'")), 0);
            QVERIFY(!textsHolding({QStringLiteral("Rejtett utca")}).isEmpty());
            return;
        }
        QCOMPARE(rowsAfter, 1); // the erased client left the list
        const QStringList hits = textsHolding(needles);
        QVERIFY2(hits.isEmpty(), qPrintable(hits.join(QLatin1Char('\n'))));
        QCOMPARE(value(QStringLiteral("SELECT CONCAT_WS('|', ugyfel_nev, torolve) FROM ugyfel WHERE ugyfel = %1").arg(key)),
                 QStringLiteral("Törölt ügyfél %1|I").arg(key));
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM hozzajarulas WHERE ugyfel = %1").arg(key)), 0);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM ertesites WHERE ugyfel = %1").arg(key)), 0);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM ertesites WHERE ugyfel = %1").arg(other)), 1);
        QVERIFY(!ConsentStore(db()).mayContact(key, ContactPurpose::Sms));
        // The orders keep every figure; only their free note is gone.
        QCOMPARE(value(QStringLiteral("SELECT GROUP_CONCAT(CONCAT_WS(':', munkalap, statusz, datum, dat_kesz, "
                                      "osszar, eloleg, fizetendo, jobbsph) ORDER BY munkalap) FROM munkalap")),
                 ordersBefore);
        QCOMPARE(value(QStringLiteral("SELECT CONCAT_WS('|', u.ugyfel_nev, u.telefon, u.emil, u.megjegyzes, "
                                      "(SELECT COUNT(*) FROM vizsgalat WHERE ugyfel = u.ugyfel), "
                                      "(SELECT COUNT(*) FROM hozzajarulas WHERE ugyfel = u.ugyfel), "
                                      "(SELECT GROUP_CONCAT(megj) FROM munkalap WHERE ugyfel = u.ugyfel)) "
                                      "FROM ugyfel u WHERE ugyfel = %1").arg(other)),
                 otherBefore);
        QCOMPARE(value(QStringLiteral("SELECT reszlet FROM naplo WHERE muvelet = 'TORLES' AND ugyfel = %1").arg(key)),
                 QStringLiteral("megőrzés: %1 év; recept törölve: %2, megőrizve: %3; vizsgálat törölve: %4, megőrizve: %5; "
                                "munkalap megőrizve: 2; hozzájárulás törölve: 2; korábbi recept törölve: %6, megőrizve: %7")
                     .arg(retention)
                     .arg(prescriptionRowsLeft ? 0 : 4)
                     .arg(prescriptionRowsLeft ? 4 : 0)
                     .arg(2 - examsLeft)
                     .arg(examsLeft)
                     .arg(historyLeft ? 0 : 2)
                     .arg(historyLeft));
    }
};

QTEST_MAIN(TestPrivacy)
#include "tst_privacy.moc"
