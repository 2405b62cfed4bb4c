// The client records driven as a user drives them: the client editor, the
// prescription editor, the client picker and the examination editor, typed
// at the keyboard against a real shop database.
#include "clients/Clients.h"
#include "clients/PrescriptionEditor.h"
#include "clients/ClientEditor.h"
#include "clients/ClientPicker.h"
#include "clients/ExaminationEditor.h"
#include "ui/FieldMark.h"
#include "clients/PrescriptionHistoryWindow.h"
#include "export/ExportDialog.h"
#include "reports/ReportOutput.h"
#include "clients/ClientPrivacy.h"
#include "clients/ReminderList.h"
#include "reports/PeriodDialog.h"
#include "config/AppState.h"
#include "config/Config.h"
#include "db/Connection.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"
#include "support/Drive.h"
#include "support/TestDb.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QRadioButton>
#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>

using namespace qo;
using namespace qo::test;

namespace {

// A control of an editor window, found by its object name.
template <class T = QLineEdit>
T *part(QObject *window, const QString &name)
{
    T *w = window->findChild<T *>(name);
    if (!w)
        qFatal("no control %s", qPrintable(name));
    return w;
}

// ---- driving the windows ---------------------------------------------------

QString focusedName()
{
    QWidget *w = focused();
    return w ? w->objectName() : QStringLiteral("<none>");
}

// Clears the focused line edit the way a user does.
void selectAllAndType(const QString &text)
{
    press(Qt::Key_A, Qt::ControlModifier);
    press(Qt::Key_Delete);
    typeText(text);
}

// Answers the next message box with the button; its caption and text are kept.
struct BoxSeen {
    QString caption, text;
    bool seen = false;
};
void answerBox(BoxSeen *seen, QMessageBox::StandardButton button = QMessageBox::Ok)
{
    onModal([](QWidget *w) { return qobject_cast<QMessageBox *>(w) != nullptr; },
            [seen, button](QWidget *w) {
                auto *box = qobject_cast<QMessageBox *>(w);
                seen->caption = box->windowTitle();
                seen->text = box->text();
                seen->seen = true;
                if (QAbstractButton *b = box->button(button))
                    b->click();
                else
                    box->reject();
            });
}

// ---- data --------------------------------------------------------------------

qint64 insertClient(const QString &name, const QString &phone = {}, const QString &extra = {})
{
    ExecSql(QStringLiteral("INSERT INTO ugyfel (ugyfel_nev, telefon%1) VALUES ('%2', '%3'%4)")
                .arg(extra.isEmpty() ? QString() : QStringLiteral(", ") + extra.section(QLatin1Char('='), 0, 0),
                     name, phone,
                     extra.isEmpty() ? QString() : QStringLiteral(", ") + extra.section(QLatin1Char('='), 1)));
    return SqlIntValue(QStringLiteral("SELECT MAX(ugyfel) FROM ugyfel"), -1);
}

qint64 newClientWithRows(const QString &name, const QString &phone = {})
{
    const qint64 key = insertClient(name, phone);
    ExecSql(QStringLiteral("CALL sp_oldal(%1);").arg(key));
    return key;
}

// Runs a statement with the stock command-line client; "" when it succeeded.
QString runStockClient(const ConnectParams &p, const QString &sql)
{
    QProcess proc;
    const QString client = QStandardPaths::findExecutable(QStringLiteral("mariadb")).isEmpty()
        ? QStringLiteral("mysql") : QStringLiteral("mariadb");
    proc.start(client, {QStringLiteral("--no-defaults"), QStringLiteral("-h127.0.0.1"), QStringLiteral("-P%1").arg(p.port),
                        QStringLiteral("-u") + p.user, QStringLiteral("-p") + p.password, p.database,
                        QStringLiteral("-e"), sql});
    if (!proc.waitForFinished(60000))
        return QStringLiteral("timeout");
    return proc.exitCode() == 0 ? QString() : QString::fromUtf8(proc.readAllStandardError());
}

// Types the values into the prescription editor at the keyboard, from the
// first field (where it opens) on in tab order; a null value is passed by.
void typePrescription(const QStringList &values)
{
    onWindow<PrescriptionEditor>([values](PrescriptionEditor *w) {
        for (const QString &v : values) {
            if (!v.isNull())
                selectAllAndType(v);
            press(Qt::Key_Tab);
        }
        part<QPushButton>(w, QStringLiteral("BitBtn1"))->click();
    });
}

int count(const QString &from)
{
    return SqlIntValue(QStringLiteral("SELECT COUNT(*) FROM ") + from, -1);
}

int prescriptionRows(qint64 client)
{
    int n = 0;
    for (const char *t : {"ugyfel_sz_tavol", "ugyfel_sz_kozel", "ugyfel_sz_egyeb", "ugyfel_k"})
        n += count(QStringLiteral("%1 WHERE ugyfel = %2").arg(QLatin1String(t)).arg(client));
    return n;
}

// Every value of the rows, for "nothing changed" comparisons.
QString dump(const QString &sql)
{
    const RowSet rs = Connection::main().query(sql);
    QStringList out;
    for (int r = 0; r < rs.rowCount(); ++r)
        for (int c = 0; c < rs.columnCount(); ++c)
            out << (rs.isNull(r, c) ? QStringLiteral("<NULL>") : rs.text(r, c));
    return out.join(QLatin1Char('|'));
}

// The value fields of the examination window in their tab order.
QStringList examinationColumns()
{
    QStringList cols;
    const QStringList g1 = {"sph1", "cyl1", "ax1", "fpd1", "add1", "prism1", "egyeb1"};
    const QStringList g2 = {"sph2", "cyl2", "ax2", "bcmin2", "bcmax2", "bcatl2", "efpd2"};
    const QStringList g3r = {"nyersv3", "sph3", "cyl3", "ax3", "korrv3", "fpd3", "add3", "prism3", "egyeb3"};
    const QStringList g3l = {"nyersv3", "sph3", "cyl3", "ax3", "korv3", "fpd3", "add3", "prism3", "egyeb3"};
    for (const QString &c : g1) cols << "jobb" + c;
    for (const QString &c : g1) cols << "bal" + c;
    for (const QString &c : g2) cols << "jobb" + c;
    for (const QString &c : g2) cols << "bal" + c;
    for (const QString &c : g3r) cols << "jobb" + c;
    for (const QString &c : g3l) cols << "bal" + c;
    return cols;
}

} // namespace

class TestClients : public QObject {
    Q_OBJECT

    TempConfig m_config; // window placements go to a configuration file of this test only
    std::unique_ptr<test::TestDb> m_examDb;
    qint64 m_examKey = -1, m_examClient = -1;
    QStringList m_examFocus;

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
        QCOMPARE(DataFolder(), QDir(m_config.path()).absolutePath());
    }
    void init() { appState().AlapVaros = QStringLiteral("Szeged"); }
    void cleanupTestCase() { m_examDb.reset(); }

    // ---- prescription history ----------------------------------------------

    // Two saves in the editor and one by the stock client: three states in
    // "Korábbi receptek", newest first, the changes marked; then its printout
    // and its export read back.
    void prescriptionHistoryWindow()
    {
        test::TestDb db(QStringLiteral("clients_rxhist"));
        Connection::setActingUser(QStringLiteral("pult"));
        const qint64 key = newClientWithRows(QStringLiteral("Előzmény Éva"));
        const QString none;
        // Both sides in one save, then the upper side: Sph changes sign, the
        // axis turns by 30 degrees, Cyl changes a little.
        typePrescription({QStringLiteral("-1,25"), QStringLiteral("-0,50"), QStringLiteral("90"), none, none,
                          QStringLiteral("-1,00")});
        QVERIFY(EditPrescription(key, QStringLiteral("ugyfel_sz_tavol"), QStringLiteral("Szemüveg - Távol")));
        typePrescription({QStringLiteral("+0,25"), QStringLiteral("-0,75"), QStringLiteral("120")});
        QVERIFY(EditPrescription(key, QStringLiteral("ugyfel_sz_tavol"), QStringLiteral("Szemüveg - Távol")));
        const QString err = runStockClient(db.params(), QStringLiteral("UPDATE ugyfel_sz_tavol SET sph = '+0,50' "
                                                                       "WHERE ugyfel = %1 AND kulcs = 2").arg(key));
        QVERIFY2(err.isEmpty(), qPrintable(err));
        QCOMPARE(count(QStringLiteral("recept_elozmeny WHERE ugyfel = %1 AND fajta = 'TAVOL'").arg(key)), 4);
        Connection::setActingUser(QString());

        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("elozmeny.pdf"));
        const QString csv = dir.filePath(QStringLiteral("elozmeny.csv"));
        SetReportFileHook([pdf](const ReportJob &) { return pdf; });
        QStringList captions, users, current;
        QList<QList<int>> marks; // per line: 0 plain, 1 bold, 2 bold red
        QString title;
        BoxSeen done;
        onWindow<PrescriptionHistoryWindow>([&](PrescriptionHistoryWindow *w) {
            title = w->windowTitle();
            current << w->currentText();
            PrescriptionHistoryModel *m = w->model();
            for (int c = 0; c < m->columnCount(); ++c)
                captions << m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
            for (int r = 0; r < m->rowCount(); ++r) {
                QList<int> line;
                for (int c = 0; c < m->columnCount(); ++c) {
                    const QModelIndex i = m->index(r, c);
                    const QVariant font = m->data(i, Qt::FontRole);
                    const QVariant colour = m->data(i, Qt::ForegroundRole);
                    const bool bold = font.isValid() && font.value<QFont>().bold();
                    const bool red = colour.isValid() && colour.value<QColor>() == PrescriptionHistoryModel::strongColour();
                    line << (bold ? (red ? 2 : 1) : (red ? 9 : 0));
                }
                marks << line;
                users << m->displayText(r, m->columnCount() - 1);
            }
            press(Qt::Key_P, Qt::ControlModifier);
            onWindow<ExportDialog>([&](ExportDialog *e) {
                QApplication::setActiveWindow(e);
                int presses = 0;
                while (QApplication::focusWidget() != part<QLineEdit>(e, QStringLiteral("fileEdit")) && presses++ < 20)
                    press(Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), part<QLineEdit>(e, QStringLiteral("fileEdit")));
                selectAllAndType(csv);
                answerBox(&done);
                press(Qt::Key_Return);
                QTRY_VERIFY(done.seen);
                QTest::keyClick(e, Qt::Key_Escape);
            });
            press(Qt::Key_E, Qt::ControlModifier);
            // The other kinds are a choice away: near has no state yet.
            QTest::keyClick(w->kindBox(), Qt::Key_Down);
            current << w->currentText();
            QTest::keyClick(w, Qt::Key_Escape);
        });
        ShowPrescriptionHistory(nullptr, key, 0);
        SetReportFileHook({});

        QCOMPARE(title, QStringLiteral("Korábbi receptek - Szemüveg - Távol"));
        QCOMPARE(captions.mid(0, 6), (QStringList{"Jobb Sph", "Jobb Cyl", "Jobb Ax", "Jobb Prism", "Jobb Pd", "Bal Sph"}));
        QCOMPARE(captions.mid(10), (QStringList{"Érvényes", "Rögzítette"}));
        QCOMPARE(marks.size(), 3);
        //                                 J: sph cyl ax prism pd  B: sph cyl ax prism pd, when, who
        QCOMPARE(marks[0], (QList<int>{0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0})); // stock client: Bal Sph -1,00 -> +0,50
        QCOMPARE(marks[1], (QList<int>{2, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0})); // editor: sign, Cyl, axis 90 -> 120
        QCOMPARE(marks[2], (QList<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})); // the first state
        QCOMPARE(users[1], QStringLiteral("pult"));
        QCOMPARE(users[2], QStringLiteral("pult"));
        QVERIFY2(!users[0].isEmpty() && users[0] != QLatin1String("pult"), qPrintable(users[0]));
        QVERIFY2(current.value(0).contains(QStringLiteral("Jobb: Sph +0,25, Cyl -0,75, Ax 120; Bal: Sph +0,50")),
                 qPrintable(current.value(0)));
        QCOMPARE(current.value(1), QStringLiteral("Ehhez a recepthez nincs tárolt állapot."));

        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(60000));
        const QString printed = QString::fromUtf8(text.readAllStandardOutput()).simplified();
        for (const char *t : {"Korábbi receptek", "Előzmény Éva - Szemüveg - Távol", "Jobb Sph", "Rögzítette", "+0,25",
                              "-0,75", "120", "+0,50", "-1,00", "pult"})
            QVERIFY2(printed.contains(QString::fromUtf8(t)), qPrintable(QString::fromUtf8(t) + QStringLiteral(" missing from: ") + printed));

        QVERIFY(done.seen);
        QProcess py;
        py.start(QStringLiteral("python3"), {QStringLiteral("-c"), QStringLiteral(
            "import csv,sys\n"
            "rows=list(csv.reader(open(sys.argv[1],encoding='cp1250',newline=''),delimiter=';'))\n"
            "print(len(rows)); print('|'.join(rows[0])); print('|'.join(rows[1]))"), csv});
        QVERIFY(py.waitForFinished(60000));
        const QStringList out = QString::fromUtf8(py.readAllStandardOutput()).split(QLatin1Char('\n'));
        QCOMPARE(out.value(0), QStringLiteral("4"));
        QVERIFY2(out.value(1).startsWith(QStringLiteral("Jobb Sph|Jobb Cyl|Jobb Ax|")), qPrintable(out.value(1)));
        QVERIFY2(out.value(2).startsWith(QStringLiteral("+0,25|-0,75|120|||+0,50|")), qPrintable(out.value(2)));
    }

    // How a value is marked against the state before.
    void prescriptionValueMarks_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("now");
        QTest::addColumn<int>("mark");
        QTest::newRow("same") << 0 << "+1,00" << "+1,00" << 0;
        QTest::newRow("same number, other writing") << 0 << "+1,00" << "1.0" << 0;
        QTest::newRow("sph changed") << 0 << "+1,00" << "+1,25" << 1;
        QTest::newRow("sph sign") << 0 << "+0,25" << "-0,25" << 2;
        QTest::newRow("cyl sign") << 1 << "-0,50" << "+0,50" << 2;
        QTest::newRow("from zero is no sign change") << 0 << "+0,00" << "-0,25" << 1;
        QTest::newRow("axis 20") << 2 << "90" << "110" << 1;
        QTest::newRow("axis 21") << 2 << "90" << "111" << 2;
        QTest::newRow("axis over 180 is near") << 2 << "175" << "5" << 1;
        QTest::newRow("axis 170 and 20") << 2 << "170" << "20" << 2;
        QTest::newRow("prism sign is plain") << 3 << "+1" << "-1" << 1;
        QTest::newRow("value given") << 0 << "" << "-1,00" << 1;
        QTest::newRow("text") << 4 << "64" << "64/62" << 1;
    }
    void prescriptionValueMarks()
    {
        QFETCH(int, column);
        QFETCH(QString, before);
        QFETCH(QString, now);
        QFETCH(int, mark);
        QCOMPARE(int(CompareValue(column, before, now)), mark);
    }

    // ---- reminder list -------------------------------------------------------

    // The list of a month keeps only due clients who consented to the channel
    // (a withdrawn consent counts as none), leaves out deleted ones, takes the
    // clients whose last valid order is older than the setting when ticked;
    // "Értesítve" records and logs them, and a second run of an overlapping
    // period lists none of them on any channel.
    void reminderListConsentAndNotified()
    {
        test::TestDb db(QStringLiteral("clients_reminders"));
        Connection::setActingUser(QStringLiteral("teszt"));
        SetPeriodToday(QDate(2027, 3, 10)); // the dialog opens on March 2027
        auto client = [](const QString &name, const QString &reminder, const QStringList &consents,
                         const QString &deleted = QStringLiteral("N")) {
            const qint64 k = insertClient(name, QStringLiteral("06301234567"),
                                          QStringLiteral("dat_figyelmeztet=") + (reminder.isEmpty() ? QStringLiteral("NULL") : "'" + reminder + "'"));
            ExecSql(QStringLiteral("UPDATE ugyfel SET torolve = '%1', emil = 'x@example.hu', cim_irsz = '6720', "
                                   "cim_varos = 'Szeged', cim_cim = 'Fő utca 1.' WHERE ugyfel = %2").arg(deleted).arg(k));
            for (const QString &c : consents) // "LEVEL=I", "LEVEL=N": in this order
                ExecSql(QStringLiteral("INSERT INTO hozzajarulas (ugyfel, cel, megadva, datum, felhasznalo) "
                                       "VALUES (%1, '%2', '%3', NOW(), 'teszt')")
                            .arg(k).arg(c.section('=', 0, 0), c.section('=', 1)));
            return k;
        };
        auto order = [](qint64 k, const QString &day, const QString &storno) {
            ExecSql(QStringLiteral("INSERT INTO munkalap (mlaptipus, ugyfel, datum, statusz, storno) VALUES (1, %1, '%2', 3, '%3')")
                        .arg(k).arg(day, storno));
        };
        const qint64 alma = client(QStringLiteral("Alma Anna"), QStringLiteral("2027-03-15"), {"LEVEL=I"});
        client(QStringLiteral("Barack Béla"), QStringLiteral("2027-03-20"), {"LEVEL=I", "LEVEL=N"});
        client(QStringLiteral("Citrom Cili"), QStringLiteral("2027-03-05"), {});
        client(QStringLiteral("Dinnye Dóra"), QStringLiteral("2027-03-06"), {"LEVEL=I"}, QStringLiteral("I"));
        client(QStringLiteral("Eper Elek"), QStringLiteral("2027-04-02"), {"LEVEL=I"});
        const qint64 fuge = client(QStringLiteral("Füge Feri"), QString(), {"LEVEL=I"});
        order(fuge, QStringLiteral("2024-01-10"), QStringLiteral("N"));
        order(fuge, QStringLiteral("2026-12-01"), QStringLiteral("I")); // cancelled: not his last order
        const qint64 gyomber = client(QStringLiteral("Gyömbér Géza"), QString(), {"LEVEL=I"});
        order(gyomber, QStringLiteral("2026-01-05"), QStringLiteral("N"));
        client(QStringLiteral("Hagyma Hedvig"), QStringLiteral("2027-03-10"), {"SMS=I", "LEVEL=N"});

        // Drives the criteria (Tab to the wanted control as a user does), then
        // hands the list window to `onList`.
        auto run = [&](int channelSteps, bool tick, const std::function<void(ReminderList *)> &onList) {
            onModal(named("frm_Idoszak"), [=](QWidget *w) {
                for (int i = 0; i < 20 && focusedName() != QLatin1String("rbLevel"); ++i)
                    press(Qt::Key_Tab);
                for (int i = 0; i < channelSteps; ++i)
                    press(Qt::Key_Right);
                if (tick) {
                    press(Qt::Key_Tab);
                    QCOMPARE(focusedName(), QStringLiteral("cbRegiMunkalap"));
                    press(Qt::Key_Space);
                }
                QVERIFY(w->findChild<QCheckBox *>(QStringLiteral("cbRegiMunkalap"))->text().contains(QStringLiteral("24 hónap")));
                press(Qt::Key_Return, Qt::ControlModifier);
            });
            onModal(named("frm_Emlekezteto"), [onList](QWidget *w) {
                onList(qobject_cast<ReminderList *>(w));
                QTest::keyClick(w, Qt::Key_Escape);
            });
            ShowReminderList(nullptr);
        };
        auto names = [](ReminderList *l) {
            QStringList out;
            const RowSet &rows = l->findChild<Grid *>(QStringLiteral("DBGrid1"))->gridModel()->rows();
            for (int r = 0; r < rows.rowCount(); ++r)
                out << rows.text(r, QStringLiteral("ugyfel_nev")) + QLatin1Char('@')
                           + rows.toDate(r, QStringLiteral("emlek_datum")).toString(Qt::ISODate);
            return out;
        };

        QStringList firstRun, afterMark, withoutTick;
        bool optionSeen = false;
        run(0, false, [&](ReminderList *l) { withoutTick = names(l); });
        QCOMPARE(withoutTick, QStringList{QStringLiteral("Alma Anna@2027-03-15")});
        run(0, true, [&](ReminderList *l) {
            firstRun = names(l);
            QCOMPARE(l->criteria().channel, ContactPurpose::Letter);
            QCOMPARE(l->criteria().from, QDate(2027, 3, 1));
            QCOMPARE(l->criteria().to, QDate(2027, 3, 31));
            // One row is selected, so the question offers "Mind" first.
            onModal(named("frm_Radio"), [&](QWidget *) {
                optionSeen = true;
                press(Qt::Key_Return);
            });
            QTest::mouseClick(l->findChild<QPushButton *>(QStringLiteral("btnErtesitve")), Qt::LeftButton);
            afterMark = names(l);
        });
        // Füge's reminder date: his last valid order plus the 24 months.
        QCOMPARE(firstRun, (QStringList{QStringLiteral("Alma Anna@2027-03-15"), QStringLiteral("Füge Feri@2026-01-10")}));
        QVERIFY(optionSeen);
        QCOMPARE(afterMark, QStringList());
        QCOMPARE(count(QStringLiteral("ertesites WHERE csatorna = 'LEVEL' AND tol = '2027-03-01' AND ig = '2027-03-31' "
                                      "AND felhasznalo = 'teszt' AND ugyfel IN (%1, %2)").arg(alma).arg(fuge)), 2);
        QCOMPARE(count(QStringLiteral("ertesites")), 2);
        QCOMPARE(count(QStringLiteral("naplo WHERE muvelet = 'ERTESITES' AND tabla = 'ertesites' AND felhasznalo = 'teszt' "
                                      "AND ugyfel IN (%1, %2)").arg(alma).arg(fuge)), 2);

        // Again for the same month by SMS: only the one who consented to SMS and
        // was not told yet.
        QStringList bySms;
        run(1, true, [&](ReminderList *l) {
            QCOMPARE(l->criteria().channel, ContactPurpose::Sms);
            bySms = names(l);
        });
        QCOMPARE(bySms, QStringList{QStringLiteral("Hagyma Hedvig@2027-03-10")});

        // The subject-access data names the reminder.
        const SubjectData d = ClientPrivacy(Connection::main()).read(alma);
        QCOMPARE(d.notifications.rowCount(), 1);
        QCOMPARE(d.notifications.text(0, QStringLiteral("csatorna")), QStringLiteral("LEVEL"));
        SetPeriodToday(QDate());
        Connection::setActingUser(QString());
    }

    // ---- client editor -------------------------------------------------------

    void newClientTypedAndSaved()
    {
        test::TestDb db(QStringLiteral("clients_new"));
        QStringList focusPath;
        QString cityShown, cityAfterPostcode;
        onWindow<ClientEditor>([&](ClientEditor *w) {
            cityShown = part(w, QStringLiteral("cim_varos"))->text();
            focusPath << focusedName();
            typeText(QStringLiteral("kovács Anna"));
            press(Qt::Key_Return);
            focusPath << focusedName();
            typeText(QStringLiteral("19800512"));
            press(Qt::Key_Return);
            focusPath << focusedName();
            typeText(QStringLiteral("06 30 123 4567"));
            press(Qt::Key_Return);
            focusPath << focusedName();
            typeText(QStringLiteral("anna@pelda.hu"));
            press(Qt::Key_Return);
            focusPath << focusedName();
            typeText(QStringLiteral("1011"));
            press(Qt::Key_Return);
            focusPath << focusedName();
            cityAfterPostcode = part(w, QStringLiteral("cim_varos"))->text();
            press(Qt::Key_Return);
            focusPath << focusedName();
            typeText(QStringLiteral("fő utca 1."));
            press(Qt::Key_Return);
            focusPath << focusedName(); // the date picker keeps today
            press(Qt::Key_Return);
            focusPath << focusedName();
            typeText(QStringLiteral("ray-Ban"));
            press(Qt::Key_Return);
            focusPath << focusedName();
            typeText(QStringLiteral("rb-123"));
            press(Qt::Key_Return);
            focusPath << focusedName();
            press(Qt::Key_Return); // Enter on the focused "OK"
        });
        const qint64 key = EditClient(-1);

        QCOMPARE(focusPath, (QStringList{"ugyfel_nev", "szuldatum", "telefon", "emil", "cim_irsz", "cim_varos",
                                         "cim_cim", "dat_utolso", "keret", "keretszam", "BitBtn1"}));
        QCOMPARE(cityShown, QStringLiteral("Szeged"));
        QCOMPARE(cityAfterPostcode, QStringLiteral("Budapest"));
        QVERIFY(key > 0);
        QCOMPARE(count(QStringLiteral("ugyfel")), 1);
        const RowSet rs = Connection::main().query(QStringLiteral("SELECT * FROM ugyfel WHERE ugyfel = %1").arg(key));
        QCOMPARE(rs.rowCount(), 1);
        QCOMPARE(rs.text(0, "ugyfel_nev"), QStringLiteral("Kovács Anna"));
        QCOMPARE(rs.text(0, "szuldatum"), QStringLiteral("1980.05.12"));
        QCOMPARE(rs.text(0, "telefon"), QStringLiteral("06 30 123 4567"));
        QCOMPARE(rs.text(0, "emil"), QStringLiteral("anna@pelda.hu"));
        QCOMPARE(rs.text(0, "cim_irsz"), QStringLiteral("1011"));
        QCOMPARE(rs.text(0, "cim_varos"), QStringLiteral("Budapest"));
        QCOMPARE(rs.text(0, "cim_cim"), QStringLiteral("Fő utca 1."));
        QCOMPARE(rs.text(0, "keret"), QStringLiteral("Ray-Ban"));
        QCOMPARE(rs.text(0, "keretszam"), QStringLiteral("rb-123")); // not a capitalised field
        QCOMPARE(rs.toDate(0, "dat_utolso"), QDate::currentDate());
        QCOMPARE(rs.text(0, "torolve"), QStringLiteral("N"));
        QVERIFY(rs.isNull(0, "dat_figyelmeztet"));
        QVERIFY(rs.isNull(0, "vnev"));
        // sp_oldal ran: two side rows in each of the four prescription tables.
        QCOMPARE(prescriptionRows(key), 8);
        QCOMPARE(dump(QStringLiteral("SELECT kulcs, oldal FROM ugyfel_k WHERE ugyfel = %1 ORDER BY kulcs").arg(key)),
                 QStringLiteral("1|Jobb|2|Bal"));
    }

    // Tab leaves the last-visit picker: what is typed next lands in the
    // frame fields, never in the date.
    void tabLeavesLastVisitPicker()
    {
        test::TestDb db(QStringLiteral("clients_datetab"));
        QStringList path;
        onWindow<ClientEditor>([&](ClientEditor *) {
            typeText(QStringLiteral("Tab Teréz"));
            for (int i = 0; i < 7; ++i)
                press(Qt::Key_Tab);
            path << focusedName();
            press(Qt::Key_Tab);
            path << focusedName();
            typeText(QStringLiteral("3"));
            press(Qt::Key_Tab);
            path << focusedName();
            typeText(QStringLiteral("15"));
            press(Qt::Key_Tab, Qt::ShiftModifier);
            press(Qt::Key_Tab, Qt::ShiftModifier);
            path << focusedName(); // back in the picker
            press(Qt::Key_Tab, Qt::ShiftModifier);
            path << focusedName(); // and out of it backwards
            press(Qt::Key_Return);
            press(Qt::Key_Return);
            press(Qt::Key_Return);
            press(Qt::Key_Return);
            path << focusedName();
            press(Qt::Key_Return); // OK
        });
        const qint64 key = EditClient(-1);
        QVERIFY(key > 0);
        QCOMPARE(path, (QStringList{"dat_utolso", "keret", "keretszam", "dat_utolso", "cim_cim", "BitBtn1"}));
        const RowSet rs = Connection::main().query(QStringLiteral("SELECT * FROM ugyfel WHERE ugyfel = %1").arg(key));
        QCOMPARE(rs.toDate(0, "dat_utolso"), QDate::currentDate());
        QCOMPARE(rs.text(0, "keret"), QStringLiteral("3"));
        QCOMPARE(rs.text(0, "keretszam"), QStringLiteral("15"));
    }

    void partlyTypedBirthDate_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("year only") << "1980" << "1980.  .  ";
        QTest::newRow("year and month") << "198005" << "1980.05.  ";
        QTest::newRow("whole") << "19800512" << "1980.05.12";
    }
    void partlyTypedBirthDate()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        test::TestDb db(QStringLiteral("clients_birth"));
        onWindow<ClientEditor>([&](ClientEditor *w) {
            typeText(QStringLiteral("Teszt"));
            part(w, QStringLiteral("szuldatum"))->setFocus();
            press(Qt::Key_Home);
            typeText(typed);
            part<QPushButton>(w, QStringLiteral("BitBtn1"))->click();
        });
        const qint64 key = EditClient(-1);
        QVERIFY(key > 0);
        QCOMPARE(SqlValue(QStringLiteral("SELECT szuldatum FROM ugyfel WHERE ugyfel = %1").arg(key), "-"), stored);
    }

    void cancelNewClientWritesNothing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Esc") << "esc";
        QTest::newRow("Mégsem") << "button";
        QTest::newRow("window closed") << "close";
    }
    void cancelNewClientWritesNothing()
    {
        QFETCH(QString, how);
        test::TestDb db(QStringLiteral("clients_cancel"));
        onWindow<ClientEditor>([&](ClientEditor *w) {
            typeText(QStringLiteral("Nagy Béla"));
            press(Qt::Key_Return);
            typeText(QStringLiteral("19700101"));
            part(w, QStringLiteral("cim_irsz"))->setFocus();
            typeText(QStringLiteral("6720"));
            press(Qt::Key_Tab);
            if (how == QLatin1String("esc"))
                press(Qt::Key_Escape);
            else if (how == QLatin1String("button"))
                part<QPushButton>(w, QStringLiteral("BitBtn2"))->click();
            else
                w->close();
        });
        QCOMPARE(EditClient(-1), qint64(-1));
        QCOMPARE(count(QStringLiteral("ugyfel")), 0);
        // No procedure ran: there are no prescription rows at all.
        for (const char *t : {"ugyfel_sz_tavol", "ugyfel_sz_kozel", "ugyfel_sz_egyeb", "ugyfel_k"})
            QCOMPARE(count(QLatin1String(t)), 0);
    }

    void cityFromPostcode_data()
    {
        QTest::addColumn<QString>("alapVaros");
        QTest::addColumn<QString>("typedCity"); // empty: the city is left as the window shows it
        QTest::addColumn<QString>("postcode");
        QTest::addColumn<QString>("expected");
        QTest::newRow("default city replaced") << "Szeged" << "" << "1011" << "Budapest";
        QTest::newRow("city typed by hand kept") << "Szeged" << "kistelek" << "1011" << "Kistelek";
        QTest::newRow("default city typed again is replaced") << "Szeged" << "Szeged" << "4024" << "Debrecen";
        QTest::newRow("unknown postcode") << "Szeged" << "" << "9999" << "Szeged";
        QTest::newRow("empty postcode") << "Szeged" << "" << "" << "Szeged";
        QTest::newRow("no default city") << "" << "" << "9021" << "Győr";
        QTest::newRow("quote in postcode") << "Szeged" << "" << "10'1" << "Szeged";
    }
    void cityFromPostcode()
    {
        QFETCH(QString, alapVaros);
        QFETCH(QString, typedCity);
        QFETCH(QString, postcode);
        QFETCH(QString, expected);
        test::TestDb db(QStringLiteral("clients_city"));
        appState().AlapVaros = alapVaros;
        QString shown;
        onWindow<ClientEditor>([&](ClientEditor *w) {
            typeText(QStringLiteral("Város Teszt"));
            if (!typedCity.isEmpty()) {
                part(w, QStringLiteral("cim_varos"))->setFocus();
                selectAllAndType(typedCity);
            }
            part(w, QStringLiteral("cim_irsz"))->setFocus();
            typeText(postcode);
            press(Qt::Key_Tab); // leaving the postcode looks the city up
            shown = part(w, QStringLiteral("cim_varos"))->text();
            part<QPushButton>(w, QStringLiteral("BitBtn1"))->click();
        });
        const qint64 key = EditClient(-1);
        QCOMPARE(shown, expected);
        QVERIFY(key > 0);
        QCOMPARE(SqlValue(QStringLiteral("SELECT cim_varos FROM ugyfel WHERE ugyfel = %1").arg(key), "-"),
                 expected);
    }

    void editClientKeepsWhatItDoesNotShow()
    {
        test::TestDb db(QStringLiteral("clients_edit"));
        ExecSql(QStringLiteral(
            "INSERT INTO ugyfel (ugyfel_nev, vnev, knev, kapcsolat, telefon, honlap, cim_varos, szuldatum, "
            "dat_figyelmeztet, csoport, dat_utolso) VALUES ('Kiss Ödön', 'Kiss', 'Ödön', 'Kiss Anna', '111', "
            "'kiss.hu', 'Pécs', '12/05/1980', '2030-01-02', 3, '2020-02-03')"));
        const qint64 key = SqlIntValue(QStringLiteral("SELECT MAX(ugyfel) FROM ugyfel"), -1);
        QCOMPARE(prescriptionRows(key), 0);
        const QString before = dump(QStringLiteral(
            "SELECT vnev, knev, kapcsolat, honlap, cim_varos, szuldatum, dat_figyelmeztet, csoport, torolve, "
            "dat_utolso FROM ugyfel"));
        QString nameShown;
        onWindow<ClientEditor>([&](ClientEditor *w) {
            nameShown = part(w, QStringLiteral("ugyfel_nev"))->text();
            part(w, QStringLiteral("telefon"))->setFocus();
            selectAllAndType(QStringLiteral("06 1 222 3333"));
            press(Qt::Key_Return);
            part<QPushButton>(w, QStringLiteral("BitBtn1"))->click();
        });
        QCOMPARE(EditClient(key), key);
        QCOMPARE(nameShown, QStringLiteral("Kiss Ödön"));
        QCOMPARE(SqlValue(QStringLiteral("SELECT telefon FROM ugyfel"), "-"), QStringLiteral("06 1 222 3333"));
        // Editing never calls sp_oldal, and the columns the window does not
        // show (or did not have typed, like the birth date of another form) stay.
        QCOMPARE(prescriptionRows(key), 0);
        QCOMPARE(dump(QStringLiteral(
                     "SELECT vnev, knev, kapcsolat, honlap, cim_varos, szuldatum, dat_figyelmeztet, csoport, "
                     "torolve, dat_utolso FROM ugyfel")),
                 before);
        QCOMPARE(count(QStringLiteral("ugyfel")), 1);
    }

    void lastVisitPicker_data()
    {
        QTest::addColumn<QString>("initial"); // SQL literal
        QTest::addColumn<QDate>("picked");    // invalid: left alone
        QTest::addColumn<QString>("stored");
        QTest::newRow("changed") << "'2020-02-03'" << QDate(2024, 3, 5) << "2024-03-05";
        QTest::newRow("untouched") << "'2020-02-03'" << QDate() << "2020-02-03";
        QTest::newRow("empty stays empty") << "NULL" << QDate() << "";
        QTest::newRow("empty set") << "NULL" << QDate(2024, 3, 5) << "2024-03-05";
    }
    void lastVisitPicker()
    {
        QFETCH(QString, initial);
        QFETCH(QDate, picked);
        QFETCH(QString, stored);
        test::TestDb db(QStringLiteral("clients_visit"));
        ExecSql(QStringLiteral("INSERT INTO ugyfel (ugyfel_nev, dat_utolso) VALUES ('Látogató', %1)").arg(initial));
        const qint64 key = SqlIntValue(QStringLiteral("SELECT MAX(ugyfel) FROM ugyfel"), -1);
        onWindow<ClientEditor>([&](ClientEditor *w) {
            if (picked.isValid())
                part<QDateEdit>(w, QStringLiteral("dat_utolso"))->setDate(picked);
            part<QPushButton>(w, QStringLiteral("BitBtn1"))->click();
        });
        QCOMPARE(EditClient(key), key);
        QCOMPARE(SqlValue(QStringLiteral("SELECT dat_utolso FROM ugyfel"), "-"), stored);
    }

    void unknownClientRefused()
    {
        test::TestDb db(QStringLiteral("clients_unknown"));
        BoxSeen box;
        answerBox(&box);
        QCOMPARE(EditClient(4711), qint64(-1));
        QVERIFY(box.seen);
        QCOMPARE(box.caption, QStringLiteral("Hiba"));
        QCOMPARE(count(QStringLiteral("ugyfel")), 0);
    }

    // ---- prescription editor ---------------------------------------------------

    void prescriptionFormatting_data()
    {
        QTest::addColumn<QString>("field"); // object name: column and block (1 upper, 2 lower)
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("Sph 1,5") << "sph1" << "1,5" << "+1,50";
        QTest::newRow("Sph abc") << "sph1" << "abc" << "abc";
        QTest::newRow("Sph empty") << "sph1" << "" << "";
        QTest::newRow("Cyl 0,00") << "cyl1" << "0,00" << "+0,00";
        QTest::newRow("Sph -3") << "sph2" << "-3" << "-3,00";
        QTest::newRow("Cyl 1,234") << "cyl2" << "1,234" << "+1,23";
        QTest::newRow("Sph -0,25") << "sph2" << "-0,25" << "-0,25";
        QTest::newRow("Sph 0") << "sph1" << "0" << "+0,00";
        QTest::newRow("Sph with a point") << "sph1" << "1.5" << "1.5";
        QTest::newRow("Cyl with digit grouping") << "cyl1" << "1 234" << "1 234";
        QTest::newRow("Sph too long to format") << "sph1" << "12345678,9" << "12345678,9";
        QTest::newRow("Ax 90") << "ax1" << "90" << "90";
        QTest::newRow("Prism not formatted") << "prism2" << "1,5" << "1,5";
        QTest::newRow("Pd not formatted") << "pd1" << "62" << "62";
    }
    void prescriptionFormatting()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        test::TestDb db(QStringLiteral("clients_rx"));
        const qint64 key = newClientWithRows(QStringLiteral("Recept Réka"));
        const qint64 other = newClientWithRows(QStringLiteral("Másik Máté"));
        QString seen;
        onWindow<PrescriptionEditor>([&](PrescriptionEditor *w) {
            auto *e = w->findChild<QLineEdit *>(field);
            e->setFocus();
            typeText(typed);
            press(Qt::Key_Tab);
            seen = e->text();
            part<QPushButton>(w, QStringLiteral("BitBtn1"))->click();
        });
        QVERIFY(EditPrescription(key, QStringLiteral("ugyfel_sz_tavol"), QStringLiteral("Szemüveg - Távol")));
        QCOMPARE(seen, shown);
        const QString column = field.left(field.size() - 1);
        const QString kulcs = field.right(1);
        QCOMPARE(SqlValue(QStringLiteral("SELECT %1 FROM ugyfel_sz_tavol WHERE ugyfel = %2 AND kulcs = %3")
                              .arg(column).arg(key).arg(kulcs), "-"),
                 shown);
        // Only this client's rows are written.
        QCOMPARE(dump(QStringLiteral("SELECT sph, cyl, ax, prism, pd FROM ugyfel_sz_tavol WHERE ugyfel = %1").arg(other)),
                 QStringLiteral("<NULL>|<NULL>|<NULL>|<NULL>|<NULL>|<NULL>|<NULL>|<NULL>|<NULL>|<NULL>"));
    }

    // With a decimal point the comma is the other separator (or grouping).
    void prescriptionValuePointLocale_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("formatted");
        QTest::newRow("point") << "1.5" << "+1.50";
        QTest::newRow("zero") << "0" << "+0.00";
        QTest::newRow("negative") << "-0.254" << "-0.25";
        QTest::newRow("comma") << "-0,25" << "-0,25";
        QTest::newRow("comma grouping") << "1,234" << "1,234";
    }
    void prescriptionValuePointLocale()
    {
        QFETCH(QString, typed);
        QFETCH(QString, formatted);
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        const QString got = FormatPrescriptionValue(typed);
        QLocale::setDefault(saved);
        QCOMPARE(got, formatted);
    }

    // Values a number reader would take but no prescription holds are
    // refused at OK; nothing is written and the window stays.
    void prescriptionRefusesNonNumbers_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("nan") << "nan";
        QTest::newRow("-inf") << "-inf";
        QTest::newRow("1e400") << "1e400";
        QTest::newRow("exponent") << "1,5e2";
        QTest::newRow("Infinity") << "+Infinity";
    }
    void prescriptionRefusesNonNumbers()
    {
        QFETCH(QString, typed);
        test::TestDb db(QStringLiteral("clients_rxnan"));
        const qint64 key = newClientWithRows(QStringLiteral("Szám Szilvia"));
        BoxSeen box;
        bool stayed = false;
        QString focusAfter;
        onWindow<PrescriptionEditor>([&](PrescriptionEditor *w) {
            typeText(typed); // the window opens in the upper Sph
            for (int i = 0; i < 10; ++i)
                press(Qt::Key_Return);
            answerBox(&box);
            press(Qt::Key_Return); // OK
            QTest::qWait(100);
            stayed = w->isVisible();
            focusAfter = focusedName();
            press(Qt::Key_Escape);
        });
        QVERIFY(!EditPrescription(key, QStringLiteral("ugyfel_sz_tavol"), QStringLiteral("Szemüveg - Távol")));
        QVERIFY(stayed);
        QCOMPARE(box.text, QStringLiteral("A(z) „%1” nem érvényes érték.").arg(typed));
        QCOMPARE(focusAfter, QStringLiteral("sph1"));
        QCOMPARE(count(QStringLiteral("ugyfel_sz_tavol WHERE sph IS NOT NULL")), 0);
    }

    // An unusual value gets a warning in the status line and a frame when
    // its field is left with Tab; it is still stored by "OK".
    void prescriptionWarnsUnusual_data()
    {
        QTest::addColumn<QStringList>("typed");    // upper Sph, Cyl, Ax
        QTest::addColumn<QString>("fix");          // typed again into Ax after Shift+Tab, or nothing
        QTest::addColumn<QStringList>("warnings"); // the status line after leaving each of them (and Ax again)
        QTest::addColumn<QStringList>("marked");
        QTest::addColumn<QString>("stored");
        const QString none;
        QTest::newRow("usual values") << QStringList{"-1,25", "-0,5", "180"} << none << QStringList{none, none, none}
                                      << QStringList{} << "-1,25|-0,50|180";
        QTest::newRow("zero Cyl needs no axis") << QStringList{"+2", "0", ""} << none << QStringList{none, none, none}
                                                << QStringList{} << "+2,00|+0,00|<NULL>";
        QTest::newRow("Sph off the quarter steps")
            << QStringList{"1,1", "", ""} << none
            << QStringList{"Jobb Sph: +1,10 nem 0,25 többszöröse.", none, none} << QStringList{"sph1"}
            << "+1,10|<NULL>|<NULL>";
        QTest::newRow("Cyl off the steps, axis beyond 180")
            << QStringList{"", "-0,3", "200"} << none
            << QStringList{none, "Jobb Cyl: -0,30 nem 0,25 többszöröse.", "Jobb Ax: 200 nem 0 és 180 közötti."}
            << QStringList{"cyl1", "ax1"} << "<NULL>|-0,30|200";
        QTest::newRow("negative axis corrected to 0")
            << QStringList{"-1", "-0,75", "-5"} << "0"
            << QStringList{none, none, "Jobb Ax: -5 nem 0 és 180 közötti.", none} << QStringList{}
            << "-1,00|-0,75|0";
        QTest::newRow("Cyl without axis") << QStringList{"-1", "-0,75", ""} << none
                                          << QStringList{none, none, "Jobb: Cyl tengely (Ax) nélkül."}
                                          << QStringList{"ax1"} << "-1,00|-0,75|<NULL>";
        QTest::newRow("axis without Cyl") << QStringList{"", "", "45"} << none
                                          << QStringList{none, none, "Jobb: Ax Cyl nélkül."} << QStringList{"cyl1"}
                                          << "<NULL>|<NULL>|45";
    }
    void prescriptionWarnsUnusual()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, fix);
        QFETCH(QStringList, warnings);
        QFETCH(QStringList, marked);
        QFETCH(QString, stored);
        test::TestDb db(QStringLiteral("clients_rxwarn"));
        const qint64 key = newClientWithRows(QStringLiteral("Szokatlan Szabolcs"));
        QStringList seen, framed, painted;
        onWindow<PrescriptionEditor>([&](PrescriptionEditor *w) {
            auto *status = part<QLabel>(w, QStringLiteral("statusLine"));
            for (const QString &t : typed) { // the window opens in the upper Sph
                typeText(t);
                press(Qt::Key_Tab);
                seen << status->text();
            }
            if (!fix.isEmpty()) {
                press(Qt::Key_Tab, Qt::ShiftModifier); // back from Prism to Ax
                selectAllAndType(fix);
                press(Qt::Key_Tab);
                seen << status->text();
            }
            for (const char *name : {"sph1", "cyl1", "ax1", "prism1", "pd1", "sph2", "cyl2", "ax2"}) {
                QLineEdit *e = part(w, QLatin1String(name));
                if (HasFieldMark(e))
                    framed << e->objectName();
                // The frame is seen on the field, at its left edge.
                if (e->grab().toImage().pixelColor(1, e->height() / 2) == FieldMarkColor())
                    painted << e->objectName();
            }
            for (int i = 0; i < 7; ++i) // on through the fields to "OK"
                press(Qt::Key_Return);
            press(Qt::Key_Return);
        });
        QVERIFY(EditPrescription(key, QStringLiteral("ugyfel_sz_tavol"), QStringLiteral("Szemüveg - Távol")));
        QCOMPARE(seen, warnings);
        QCOMPARE(framed, marked);
        QCOMPARE(painted, marked);
        QCOMPARE(dump(QStringLiteral("SELECT sph, cyl, ax FROM ugyfel_sz_tavol WHERE ugyfel = %1 AND kulcs = 1").arg(key)),
                 stored);
    }

    // The heading names the client; each value field shows ten characters
    // of the large bold font.
    void prescriptionHeadingAndWidths()
    {
        test::TestDb db(QStringLiteral("clients_rxhead"));
        const qint64 key = newClientWithRows(QStringLiteral("Fejléc Ferenc"));
        QString heading;
        QStringList narrow;
        onWindow<PrescriptionEditor>([&](PrescriptionEditor *w) {
            heading = part<QLabel>(w, QStringLiteral("Label1"))->text();
            for (int b = 0; b < 2; ++b)
                for (QLineEdit *e : {part(w, QStringLiteral("sph%1").arg(b + 1)), part(w, QStringLiteral("cyl%1").arg(b + 1)), part(w, QStringLiteral("ax%1").arg(b + 1)), part(w, QStringLiteral("prism%1").arg(b + 1)), part(w, QStringLiteral("pd%1").arg(b + 1))}) {
                    // What the field has for text: its inner rectangle less the line edit's own margins.
                    QStyleOptionFrame opt;
                    opt.initFrom(e);
                    opt.rect = e->rect();
                    opt.lineWidth = e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e);
                    const QRect text = e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e);
                    if (e->fontMetrics().horizontalAdvance(QStringLiteral("-888888,88")) > text.width() - 4)
                        narrow << e->objectName();
                }
            press(Qt::Key_Escape);
        });
        EditPrescription(key, QStringLiteral("ugyfel_sz_tavol"), QStringLiteral("Szemüveg - Távol"));
        QCOMPARE(heading, QStringLiteral("Fejléc Ferenc"));
        QCOMPARE(narrow, QStringList());
    }

    void prescriptionTabOrderAndEnter()
    {
        test::TestDb db(QStringLiteral("clients_rxtab"));
        const qint64 key = newClientWithRows(QStringLiteral("Tab Tamás"));
        QStringList path;
        bool stillOpen = false;
        QString title, oldal1, oldal2;
        onWindow<PrescriptionEditor>([&](PrescriptionEditor *w) {
            title = w->windowTitle();
            oldal1 = part(w, QStringLiteral("oldal%1").arg(0 + 1))->text();
            oldal2 = part(w, QStringLiteral("oldal%1").arg(1 + 1))->text();
            path << focusedName();
            for (int i = 0; i < 10; ++i) {
                press(Qt::Key_Return);
                path << focusedName();
            }
            stillOpen = w->isVisible(); // Enter in the lower Pd only moved to "OK"
            press(Qt::Key_Escape);
        });
        QVERIFY(!EditPrescription(key, QStringLiteral("ugyfel_sz_kozel"), QStringLiteral("Szemüveg - Közel")));
        QCOMPARE(path, (QStringList{"sph1", "cyl1", "ax1", "prism1", "pd1", "sph2", "cyl2", "ax2", "prism2", "pd2",
                                    "BitBtn1"}));
        QVERIFY(stillOpen);
        QCOMPARE(title, QStringLiteral("Szemüveg - Közel"));
        QCOMPARE(oldal1, QStringLiteral("Jobb"));
        QCOMPARE(oldal2, QStringLiteral("Bal"));
    }

    void contactLensFields()
    {
        test::TestDb db(QStringLiteral("clients_contact"));
        const qint64 key = newClientWithRows(QStringLiteral("Kontakt Klára"));
        ExecSql(QStringLiteral("UPDATE ugyfel_k SET gorb = CONCAT('g', kulcs) WHERE ugyfel = %1").arg(key));
        QStringList labels;
        onWindow<PrescriptionEditor>([&](PrescriptionEditor *w) {
            labels << part<QLabel>(w, QStringLiteral("prismLabel%1").arg(0 + 1))->text() << part<QLabel>(w, QStringLiteral("pdLabel%1").arg(0 + 1))->text() << part<QLabel>(w, QStringLiteral("prismLabel%1").arg(1 + 1))->text()
                   << part<QLabel>(w, QStringLiteral("pdLabel%1").arg(1 + 1))->text();
            // Sph, Cyl, Ax, BC, DIA of both sides, moving with Enter.
            for (const char *v : {"-2", "-0,5", "180", "8,6", "14,2", "-2,25", "", "", "8,7", "14,0"}) {
                typeText(QString::fromUtf8(v));
                press(Qt::Key_Return);
            }
            press(Qt::Key_Return); // "OK"
        });
        QVERIFY(EditPrescription(key, QStringLiteral("ugyfel_k"), QStringLiteral("Kontaktlencse")));
        QCOMPARE(labels, (QStringList{"BC", "DIA", "BC", "DIA"}));
        QCOMPARE(dump(QStringLiteral("SELECT kulcs, sph, cyl, ax, bc, dia, gorb FROM ugyfel_k WHERE ugyfel = %1 "
                                     "ORDER BY kulcs").arg(key)),
                 QStringLiteral("1|-2,00|-0,50|180|8,6|14,2|g1|2|-2,25|<NULL>|<NULL>|8,7|14,0|g2"));
    }

    void prescriptionCancelLeavesRows_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Esc") << "esc";
        QTest::newRow("Mégsem") << "button";
    }
    void prescriptionCancelLeavesRows()
    {
        QFETCH(QString, how);
        test::TestDb db(QStringLiteral("clients_rxcancel"));
        const qint64 key = newClientWithRows(QStringLiteral("Mégse Miklós"));
        ExecSql(QStringLiteral("UPDATE ugyfel_sz_egyeb SET sph = '+1,00', cyl = '-0,50', ax = '90', prism = '1', "
                               "pd = '31' WHERE ugyfel = %1").arg(key));
        const QString sql = QStringLiteral("SELECT * FROM ugyfel_sz_egyeb ORDER BY ugyfel, kulcs");
        const QString before = dump(sql);
        onWindow<PrescriptionEditor>([&](PrescriptionEditor *w) {
            for (int b = 0; b < 2; ++b) {
                part(w, QStringLiteral("sph%1").arg(b + 1))->setFocus();
                selectAllAndType(QStringLiteral("-5"));
                press(Qt::Key_Return);
                selectAllAndType(QStringLiteral("-1"));
                press(Qt::Key_Return);
                selectAllAndType(QStringLiteral("45"));
            }
            if (how == QLatin1String("esc"))
                press(Qt::Key_Escape);
            else
                part<QPushButton>(w, QStringLiteral("BitBtn2"))->click();
        });
        QVERIFY(!EditPrescription(key, QStringLiteral("ugyfel_sz_egyeb"), QStringLiteral("Szemüveg - Speciális")));
        QCOMPARE(dump(sql), before);
    }

    void prescriptionRefused_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("clientCase"); // missing2, missing1, none, zero
        QTest::addColumn<QString>("caption");    // of the message box
        QTest::newRow("no lower row") << "ugyfel_sz_kozel" << "missing2" << "Figyelmeztetés";
        QTest::newRow("no upper row") << "ugyfel_k" << "missing1" << "Figyelmeztetés";
        QTest::newRow("no rows at all") << "ugyfel_sz_tavol" << "none" << "Figyelmeztetés";
        QTest::newRow("no client") << "ugyfel_sz_tavol" << "zero" << "Figyelmeztetés";
        QTest::newRow("not a prescription table") << "ugyfel; DELETE FROM ugyfel_k" << "missing2" << "Hiba";
    }
    void prescriptionRefused()
    {
        QFETCH(QString, table);
        QFETCH(QString, clientCase);
        QFETCH(QString, caption);
        test::TestDb db(QStringLiteral("clients_rxmissing"));
        const qint64 zero = insertClient(QStringLiteral("Nulla"));
        ExecSql(QStringLiteral("UPDATE ugyfel SET ugyfel = 0 WHERE ugyfel = %1").arg(zero));
        ExecSql(QStringLiteral("CALL sp_oldal(0);"));
        const qint64 other = newClientWithRows(QStringLiteral("Teljes Tódor"));
        const qint64 key = newClientWithRows(QStringLiteral("Hiányos Hugó"));
        const QString realTable = table.startsWith(QLatin1String("ugyfel_")) ? table : QStringLiteral("ugyfel_k");
        if (clientCase == QLatin1String("missing2"))
            ExecSql(QStringLiteral("DELETE FROM %1 WHERE ugyfel = %2 AND kulcs = 2").arg(realTable).arg(key));
        else if (clientCase == QLatin1String("missing1"))
            ExecSql(QStringLiteral("DELETE FROM %1 WHERE ugyfel = %2 AND kulcs = 1").arg(realTable).arg(key));
        else if (clientCase == QLatin1String("none"))
            ExecSql(QStringLiteral("DELETE FROM %1 WHERE ugyfel = %2").arg(realTable).arg(key));
        const QString all = QStringLiteral("SELECT * FROM %1 ORDER BY ugyfel, kulcs").arg(realTable);
        const QString before = dump(all);
        BoxSeen box;
        answerBox(&box);
        const bool saved = EditPrescription(clientCase == QLatin1String("zero") ? 0 : key, table, QStringLiteral("X"));
        QVERIFY(!saved);
        QVERIFY(box.seen);
        QCOMPARE(box.caption, caption);
        QVERIFY(!box.text.isEmpty());
        QCOMPARE(dump(all), before);
        QCOMPARE(prescriptionRows(other), 8);
    }

    // ---- client picker ---------------------------------------------------------

    void pickerSearch_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("found"); // the one client listed
        QTest::addColumn<bool>("doubleClick"); // accepted by a double click instead of Enter
        QTest::newRow("part of a phone number") << "333 4" << "Nagy Béla" << false;
        QTest::newRow("part of a name") << "abó" << "Szabó Cecília" << true;
        QTest::newRow("contact person") << "péter" << "Kovács Anna" << false;
        QTest::newRow("address") << "fő utca" << "Szabó Cecília" << true;
        QTest::newRow("quote") << "o'b" << "O'Brien Olga" << false;
        QTest::newRow("worked example") << "kov" << "Kovács Anna" << false;
    }
    void pickerSearch()
    {
        QFETCH(QString, text);
        QFETCH(QString, found);
        QFETCH(bool, doubleClick);
        test::TestDb db(QStringLiteral("clients_pick"));
        insertClient(QStringLiteral("Kovács Anna"), QStringLiteral("06 30 111 2222"), QStringLiteral("kapcsolat='Kiss Péter'"));
        const qint64 nagy = insertClient(QStringLiteral("Nagy Béla"), QStringLiteral("06 20 333 4444"));
        insertClient(QStringLiteral("Szabó Cecília"), QStringLiteral("+36 1 555 6666"), QStringLiteral("cim_cim='Fő utca 2.'"));
        insertClient(QStringLiteral("O''Brien Olga"), QStringLiteral("+36 1 777"));
        insertClient(QStringLiteral("Törölt Tivadar"), QStringLiteral("06 20 333 4444"), QStringLiteral("torolve='I'"));
        Q_UNUSED(nagy);
        int rowsBefore = -1, rowsAfter = -1;
        QString counter, title, focusAtStart, whereLine;
        onWindow<ClientPicker>([&](ClientPicker *w) {
            title = w->windowTitle();
            focusAtStart = focusedName();
            rowsBefore = w->model()->rowCount();
            typeText(text);
            rowsAfter = w->model()->rowCount();
            whereLine = w->query().lines().value(1);
            counter = w->statusBar()->findChild<QLabel *>()->text();
            if (doubleClick) {
                const QRect cell = w->grid()->visualRect(w->model()->index(0, 1));
                QTest::mouseClick(w->grid()->viewport(), Qt::LeftButton, {}, cell.center());
                QTest::mouseDClick(w->grid()->viewport(), Qt::LeftButton, {}, cell.center());
            } else {
                press(Qt::Key_Return); // "Elfogad"
            }
        });
        QString name;
        const qint64 key = PickClient(-1, &name);
        QCOMPARE(title, QStringLiteral("Ügyfél választás"));
        QCOMPARE(focusAtStart, QStringLiteral("Edit1"));
        QCOMPARE(rowsBefore, 4); // the deleted client is not offered
        QCOMPARE(rowsAfter, 1);
        QCOMPARE(counter, QStringLiteral("1: 1"));
        if (text == QLatin1String("kov"))
            QCOMPARE(whereLine, QStringLiteral("WHERE (ugyfel > 0) AND ((ugyfel_nev LIKE '%kov%') OR (kapcsolat LIKE "
                                               "'%kov%') OR (irszvaroscim LIKE '%kov%') OR (telefon LIKE '%kov%'))"));
        QCOMPARE(name, found);
        QCOMPARE(key, qint64(SqlIntValue(QStringLiteral("SELECT ugyfel FROM ugyfel WHERE ugyfel_nev = %1")
                                             .arg(QStringLiteral("'") + QString(found).replace("'", "''") + "'"), -1)));
    }

    void pickerSortByPhoneThenLocate()
    {
        test::TestDb db(QStringLiteral("clients_sort"));
        insertClient(QStringLiteral("Anna"), QStringLiteral("30 700"));
        insertClient(QStringLiteral("Béla"), QStringLiteral("06 30 500"));
        insertClient(QStringLiteral("Cecil"), QStringLiteral("06 20 900"));
        insertClient(QStringLiteral("Dénes"), QStringLiteral("20 111"));
        QStringList phonesSorted;
        int marked = -1, markedAtStart = -1;
        QString focusAfterSort, searchText, current, counter;
        onWindow<ClientPicker>([&](ClientPicker *w) {
            markedAtStart = w->model()->markedColumn();
            QHeaderView *h = w->grid()->horizontalHeader();
            const int col = w->model()->columnOf(QStringLiteral("telefon"));
            QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionViewportPosition(col) + 5, h->height() / 2));
            marked = w->model()->markedColumn();
            focusAfterSort = focusedName();
            for (int r = 0; r < w->model()->rowCount(); ++r)
                phonesSorted << w->model()->rows().text(r, "telefon");
            press(Qt::Key_Down); // into the grid
            typeText(QStringLiteral("30")); // typed into the grid: goes to the search box
            searchText = w->searchBox()->text();
            current = w->currentText(QStringLiteral("telefon"));
            counter = w->statusBar()->findChild<QLabel *>()->text();
            press(Qt::Key_Escape);
        });
        QCOMPARE(PickClient(-1), qint64(-1));
        QCOMPARE(markedAtStart, 0);
        QCOMPARE(marked, 1);
        QCOMPARE(focusAfterSort, QStringLiteral("Edit1"));
        QCOMPARE(phonesSorted, (QStringList{"06 20 900", "06 30 500", "20 111", "30 700"}));
        QCOMPARE(searchText, QStringLiteral("30"));
        // "06 30 500" and "30 700" hold "30"; the one beginning with it is chosen.
        QCOMPARE(current, QStringLiteral("30 700"));
        QCOMPARE(counter, QStringLiteral("2: 2"));
    }

    void pickerCommands()
    {
        test::TestDb db(QStringLiteral("clients_pickcmd"));
        QStringList toolbar, menu, shortcuts;
        QString heading;
        onWindow<ClientPicker>([&](ClientPicker *w) {
            for (QAction *a : w->toolBar()->actions())
                toolbar << (a->isSeparator() ? QStringLiteral("|") : a->text());
            for (QAction *a : w->grid()->actions())
                menu << (a->isSeparator() ? QStringLiteral("|") : a->text());
            for (QAction *a : {w->aFrissit, w->aUj, w->aSzerkeszt, w->aTorol, w->aElfogad, w->aBezar})
                shortcuts << a->objectName() + QLatin1Char('=') + a->shortcut().toString(QKeySequence::PortableText);
            heading = w->heading()->text();
            press(Qt::Key_Escape);
        });
        QCOMPARE(PickClient(-1), qint64(-1));
        QCOMPARE(toolbar, (QStringList{"Új sor", "Szerkeszt", "Ügyfél törlése (GDPR)", "|", "Elfogad", "Bezár"}));
        QCOMPARE(menu, (QStringList{"Frissítés", "|", "Új sor", "Szerkeszt", "Ügyfél törlése (GDPR)", "|", "Elfogad", "Bezár"}));
        QCOMPARE(shortcuts, (QStringList{"aFrissit=F5", "aUj=Ins", "aSzerkeszt=F2", "aTorol=Ctrl+Del",
                                         "aElfogad=Return", "aBezar=Esc"}));
        QCOMPARE(heading, QStringLiteral("Ügyfelek  "));
    }

    void pickerRefreshKeepsRow()
    {
        test::TestDb db(QStringLiteral("clients_refresh"));
        insertClient(QStringLiteral("Anna"));
        insertClient(QStringLiteral("Béla"));
        insertClient(QStringLiteral("Cecil"));
        int rows = -1;
        QString current, counter;
        onWindow<ClientPicker>([&](ClientPicker *w) {
            press(Qt::Key_Down);
            press(Qt::Key_Down); // on "Béla"
            // Another workstation adds a client that sorts before him.
            insertClient(QStringLiteral("Aladár"));
            press(Qt::Key_F5);
            rows = w->model()->rowCount();
            current = w->currentText(QStringLiteral("ugyfel_nev"));
            counter = w->statusBar()->findChild<QLabel *>()->text();
            press(Qt::Key_Escape);
        });
        QCOMPARE(PickClient(-1), qint64(-1));
        QCOMPARE(rows, 4);
        QCOMPARE(current, QStringLiteral("Béla"));
        QCOMPARE(counter, QStringLiteral("4: 3"));
    }

    void pickerQueryError()
    {
        test::TestDb db(QStringLiteral("clients_pickerr"));
        insertClient(QStringLiteral("Anna"));
        ExecSql(QStringLiteral("DROP VIEW vw_ugyfel"));
        BoxSeen box;
        answerBox(&box);
        int rows = -1;
        onWindow<ClientPicker>([&](ClientPicker *w) {
            rows = w->model()->rowCount();
            press(Qt::Key_Escape);
        });
        QCOMPARE(PickClient(-1), qint64(-1));
        QVERIFY(box.seen);
        QCOMPARE(box.caption, QStringLiteral("Hiba"));
        QVERIFY2(box.text.contains(QStringLiteral("vw_ugyfel")), qPrintable(box.text));
        QCOMPARE(rows, 0);
    }

    void pickerAcceptWithoutRow_data()
    {
        QTest::addColumn<bool>("clients");
        QTest::addColumn<QString>("search");
        QTest::newRow("empty database") << false << "";
        QTest::newRow("nothing matches") << true << "zzz";
    }
    void pickerAcceptWithoutRow()
    {
        QFETCH(bool, clients);
        QFETCH(QString, search);
        test::TestDb db(QStringLiteral("clients_pickempty"));
        if (clients)
            insertClient(QStringLiteral("Valaki Vilma"));
        QString counter;
        onWindow<ClientPicker>([&](ClientPicker *w) {
            typeText(search);
            counter = w->statusBar()->findChild<QLabel *>()->text();
            w->aSzerkeszt->trigger(); // nothing to edit: nothing opens
            w->aTorol->trigger();     // nothing to delete: no question
            w->aElfogad->trigger();
        });
        QString name = QStringLiteral("x");
        QCOMPARE(PickClient(-1, &name), qint64(-1));
        QCOMPARE(name, QString());
        QCOMPARE(counter, QStringLiteral("0: 0"));
    }

    // The picker's delete command is the erasure of tst_privacy.

    void pickerNewClient_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("Elfogad") << true;
        QTest::newRow("Bezár") << false;
    }
    void pickerNewClient()
    {
        QFETCH(bool, accept);
        test::TestDb db(QStringLiteral("clients_picknew"));
        insertClient(QStringLiteral("Első Elek"));
        insertClient(QStringLiteral("Záró Zénó"));
        QString current;
        QString searchAfter;
        int listedWhileSearching = -1;
        onWindow<ClientPicker>([&](ClientPicker *w) {
            // A search that the new client will not match: the saved client
            // must still become the current row (Enter then picks it).
            typeText(QStringLiteral("zár"));
            listedWhileSearching = w->model()->rowCount();
            onWindow<ClientEditor>([](ClientEditor *e) {
                typeText(QStringLiteral("középső Kata"));
                part<QPushButton>(e, QStringLiteral("BitBtn1"))->click();
            });
            press(Qt::Key_Insert);
            current = w->currentText(QStringLiteral("ugyfel_nev"));
            searchAfter = w->searchBox()->text();
            press(accept ? Qt::Key_Return : Qt::Key_Escape);
        });
        QString name;
        const qint64 key = PickClient(-1, &name);
        QCOMPARE(current, QStringLiteral("Középső Kata"));
        QCOMPARE(listedWhileSearching, 1);
        QCOMPARE(searchAfter, QString());
        const qint64 added = SqlIntValue(QStringLiteral("SELECT ugyfel FROM ugyfel WHERE ugyfel_nev = 'Középső Kata'"), -1);
        QVERIFY(added > 0);
        QCOMPARE(prescriptionRows(added), 8);
        QCOMPARE(key, accept ? added : qint64(-1));
        if (accept)
            QCOMPARE(name, QStringLiteral("Középső Kata"));
    }

    // ---- examination editor ----------------------------------------------------

    void newExaminationAllFields_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("value");
        const QStringList cols = examinationColumns();
        QCOMPARE(cols.size(), 46);
        for (int i = 0; i < cols.size(); ++i)
            QTest::newRow(qPrintable(cols[i])) << cols[i] << QStringLiteral("é%1,%2").arg(i + 1).arg(cols[i].right(3));
    }
    void newExaminationAllFields()
    {
        QFETCH(QString, column);
        QFETCH(QString, value);
        // One examination, typed once at the keyboard through all 46 fields in
        // tab order, is checked column by column.
        if (!m_examDb) {
            m_examDb = std::make_unique<test::TestDb>(QStringLiteral("clients_exam"));
            m_examClient = newClientWithRows(QStringLiteral("Vizsgált Vilma"));
            const QStringList cols = examinationColumns();
            onWindow<ExaminationEditor>([&](ExaminationEditor *) {
                // The focus starts in the first field of the tab order: the
                // right eye's "Sph", so the values typed first land there.
                for (int i = 0; i < cols.size(); ++i) {
                    m_examFocus << focusedName();
                    typeText(QStringLiteral("é%1,%2").arg(i + 1).arg(cols[i].right(3)));
                    press(Qt::Key_Return);
                }
                m_examFocus << focusedName();
                typeText(QStringLiteral("első sor"));
                press(Qt::Key_Return); // a new line in the history
                typeText(QStringLiteral("második sor"));
                press(Qt::Key_Tab);
                m_examFocus << focusedName();
                typeText(QStringLiteral("diagnózis"));
                press(Qt::Key_Tab);
                m_examFocus << focusedName();
                press(Qt::Key_Return); // "OK"
            });
            m_examKey = EditExamination(-1, m_examClient);
        }
        Connection::main().open(m_examDb->params());
        QVERIFY(m_examKey > 0);
        QCOMPARE(m_examFocus.value(0), examinationColumns().value(0));
        QStringList expected = examinationColumns()
            + QStringList{QStringLiteral("anamnezis"), QStringLiteral("diagnozis"), QStringLiteral("BitBtn1")};
        QCOMPARE(m_examFocus, expected);
        QCOMPARE(count(QStringLiteral("vizsgalat")), 1);
        QCOMPARE(SqlValue(QStringLiteral("SELECT %1 FROM vizsgalat WHERE vizsgalat = %2").arg(column).arg(m_examKey), "-"),
                 value);
        QCOMPARE(SqlIntValue(QStringLiteral("SELECT ugyfel FROM vizsgalat"), -1), int(m_examClient));
        QCOMPARE(SqlValue(QStringLiteral("SELECT datum FROM vizsgalat"), "-"), QDate::currentDate().toString(Qt::ISODate));
        QCOMPARE(SqlValue(QStringLiteral("SELECT anamnezis FROM vizsgalat"), "-"), QStringLiteral("első sor\nmásodik sor"));
        QCOMPARE(SqlValue(QStringLiteral("SELECT diagnozis FROM vizsgalat"), "-"), QStringLiteral("diagnózis"));
        QCOMPARE(SqlValue(QStringLiteral("SELECT torolve FROM vizsgalat"), "-"), QStringLiteral("N"));
    }

    void examinationCancelOrRefused_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("message"); // caption of the expected message box, or empty
        QTest::newRow("Esc") << "esc" << "";
        QTest::newRow("Mégsem") << "button" << "";
        QTest::newRow("window closed") << "close" << "";
        QTest::newRow("no examination, no client") << "none" << "Figyelmeztetés";
        QTest::newRow("unknown client") << "unknown" << "Figyelmeztetés";
        QTest::newRow("unknown examination") << "unknownexam" << "Hiba";
    }
    void examinationCancelOrRefused()
    {
        QFETCH(QString, how);
        QFETCH(QString, message);
        test::TestDb db(QStringLiteral("clients_examcancel"));
        const qint64 client = newClientWithRows(QStringLiteral("Mégse Márta"));
        BoxSeen box;
        qint64 key = -1, clientArg = client;
        if (!message.isEmpty()) {
            answerBox(&box);
            if (how == QLatin1String("none"))
                clientArg = -1;
            else if (how == QLatin1String("unknown"))
                clientArg = client + 100;
            else
                key = 4711;
        } else {
            onWindow<ExaminationEditor>([&](ExaminationEditor *w) {
                typeText(QStringLiteral("+1,00"));
                part<QPlainTextEdit>(w, QStringLiteral("anamnezis"))->setFocus();
                typeText(QStringLiteral("valami"));
                if (how == QLatin1String("esc"))
                    press(Qt::Key_Escape);
                else if (how == QLatin1String("button"))
                    part<QPushButton>(w, QStringLiteral("BitBtn2"))->click();
                else
                    w->close();
            });
        }
        QCOMPARE(EditExamination(key, clientArg), qint64(-1));
        QCOMPARE(box.seen, !message.isEmpty());
        QCOMPARE(box.caption, message);
        QCOMPARE(count(QStringLiteral("vizsgalat")), 0);
    }

    void examinationHeaderAndEdit()
    {
        test::TestDb db(QStringLiteral("clients_examedit"));
        const qint64 client = newClientWithRows(QStringLiteral("Régi Rozália"));
        ExecSql(QStringLiteral("INSERT INTO vizsgalat (vizsgalat, ugyfel, datum, jobbkorrv3, balkorv3, anamnezis) "
                               "VALUES (42, %1, '2023-04-05', '0,8', '0,9', 'régi')").arg(client));
        ExecSql(QStringLiteral("UPDATE ugyfel SET torolve = 'I' WHERE ugyfel = %1").arg(client));
        const QString untouched = QStringLiteral("SELECT ugyfel, datum, jobbkorrv3, anamnezis, torolve FROM vizsgalat");
        const QString before = dump(untouched);
        QString number, name, date;
        bool headerReadOnly = false, headerSkipped = false;
        onWindow<ExaminationEditor>([&](ExaminationEditor *w) {
            number = part(w, QStringLiteral("Sorszam"))->text();
            name = part(w, QStringLiteral("UgyfelNev"))->text();
            date = part(w, QStringLiteral("Datum"))->text();
            headerReadOnly = part(w, QStringLiteral("Sorszam"))->isReadOnly() && part(w, QStringLiteral("UgyfelNev"))->isReadOnly() && part(w, QStringLiteral("Datum"))->isReadOnly();
            headerSkipped = part(w, QStringLiteral("Datum"))->focusPolicy() == Qt::NoFocus && part(w, QStringLiteral("UgyfelNev"))->focusPolicy() == Qt::NoFocus
                && part(w, QStringLiteral("Sorszam"))->focusPolicy() == Qt::NoFocus;
            w->field(QStringLiteral("balkorv3"))->setFocus();
            selectAllAndType(QStringLiteral("1,0"));
            press(Qt::Key_Return);
            part<QPushButton>(w, QStringLiteral("BitBtn1"))->click();
        });
        QCOMPARE(EditExamination(42, -1), qint64(42));
        QCOMPARE(number, QStringLiteral("00042"));
        QCOMPARE(name, QStringLiteral("Régi Rozália")); // also for a client marked deleted
        QCOMPARE(date, QStringLiteral("2023.04.05"));
        QVERIFY(headerReadOnly);
        QVERIFY(headerSkipped);
        QCOMPARE(SqlValue(QStringLiteral("SELECT balkorv3 FROM vizsgalat"), "-"), QStringLiteral("1,0"));
        QCOMPARE(dump(untouched), before);

        // A new one shows no number yet and today's date.
        onWindow<ExaminationEditor>([&](ExaminationEditor *w) {
            number = part(w, QStringLiteral("Sorszam"))->text();
            name = part(w, QStringLiteral("UgyfelNev"))->text();
            date = part(w, QStringLiteral("Datum"))->text();
            press(Qt::Key_Escape);
        });
        QCOMPARE(EditExamination(-1, client), qint64(-1));
        QCOMPARE(number, QString());
        QCOMPARE(name, QStringLiteral("Régi Rozália"));
        QCOMPARE(date, QDate::currentDate().toString(QStringLiteral("yyyy.MM.dd")));
    }

    // ---- a save the database refuses ------------------------------------------

    void saveRefusedKeepsWindowAndWritesNothing_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("trigger"); // makes the save fail part-way
        QTest::newRow("new client: its prescription rows fail")
            << "client" << "BEFORE INSERT ON ugyfel_sz_egyeb FOR EACH ROW";
        QTest::newRow("prescription: the lower row fails")
            << "prescription" << "BEFORE UPDATE ON ugyfel_sz_tavol FOR EACH ROW";
        QTest::newRow("new examination") << "examination" << "BEFORE INSERT ON vizsgalat FOR EACH ROW";
    }
    void saveRefusedKeepsWindowAndWritesNothing()
    {
        QFETCH(QString, window);
        QFETCH(QString, trigger);
        test::TestDb db(QStringLiteral("clients_refused"));
        const qint64 client = newClientWithRows(QStringLiteral("Meglévő Mária"));
        // For the prescription only the second (lower) row is refused, after the first was written.
        const QString when = window == QLatin1String("prescription") ? QStringLiteral("IF NEW.kulcs = 2 THEN ")
                                                                     : QStringLiteral("IF 1 = 1 THEN ");
        ExecSql(QStringLiteral("CREATE TRIGGER tr_refuse %1 BEGIN %2 SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = "
                               "'nem engedem'; END IF; END").arg(trigger, when));
        const QString everything = QStringLiteral(
            "SELECT (SELECT COUNT(*) FROM ugyfel), (SELECT COUNT(*) FROM ugyfel_sz_egyeb), "
            "(SELECT COUNT(*) FROM vizsgalat), (SELECT GROUP_CONCAT(CONCAT(kulcs, ':', IFNULL(sph, '-')) ORDER BY kulcs) "
            "FROM ugyfel_sz_tavol)");
        const QString before = dump(everything);
        BoxSeen error;
        bool openAfterError = false;
        QString afterError;
        auto attempt = [&](QPushButton *ok) {
            answerBox(&error);
            ok->click();
            openAfterError = ok->window()->isVisible();
            afterError = dump(everything);
            // The cause goes away; the same typing is saved with a second "OK".
            ExecSql(QStringLiteral("DROP TRIGGER tr_refuse"));
            ok->click();
        };
        bool saved = false;
        qint64 key = -1;
        if (window == QLatin1String("client")) {
            onWindow<ClientEditor>([&](ClientEditor *w) {
                typeText(QStringLiteral("Új Ubul"));
                attempt(part<QPushButton>(w, QStringLiteral("BitBtn1")));
            });
            key = EditClient(-1);
            saved = key > 0 && prescriptionRows(key) == 8
                && SqlValue(QStringLiteral("SELECT ugyfel_nev FROM ugyfel WHERE ugyfel = %1").arg(key), "") == "Új Ubul";
        } else if (window == QLatin1String("prescription")) {
            onWindow<PrescriptionEditor>([&](PrescriptionEditor *w) {
                typeText(QStringLiteral("1"));
                part(w, QStringLiteral("sph%1").arg(1 + 1))->setFocus();
                typeText(QStringLiteral("2"));
                attempt(part<QPushButton>(w, QStringLiteral("BitBtn1")));
            });
            saved = EditPrescription(client, QStringLiteral("ugyfel_sz_tavol"), QStringLiteral("Szemüveg - Távol"))
                && dump(QStringLiteral("SELECT sph FROM ugyfel_sz_tavol WHERE ugyfel = %1 ORDER BY kulcs").arg(client))
                    == QStringLiteral("+1,00|+2,00");
        } else {
            onWindow<ExaminationEditor>([&](ExaminationEditor *w) {
                typeText(QStringLiteral("0,5"));
                attempt(part<QPushButton>(w, QStringLiteral("BitBtn1")));
            });
            key = EditExamination(-1, client);
            saved = key > 0 && SqlValue(QStringLiteral("SELECT jobbsph1 FROM vizsgalat WHERE vizsgalat = %1").arg(key), "") == "0,5";
        }
        QVERIFY(error.seen);
        QCOMPARE(error.caption, QStringLiteral("Hiba"));
        QVERIFY2(error.text.contains(QStringLiteral("nem engedem")), qPrintable(error.text));
        QVERIFY(openAfterError);
        QCOMPARE(afterError, before); // nothing half-written
        QVERIFY(saved);
    }

    // ---- what the user sees ----------------------------------------------------

    // Another workstation stores or deletes the row while an editor has it
    // open: OK writes nothing of its own, says so, and shows the stored row
    // (or closes when the row is gone). Never a success over someone's data.
    void changedElsewhereWhileEditing_data()
    {
        QTest::addColumn<QString>("other"); // the other workstation's statement, %1 = client
        QTest::addColumn<bool>("gone");
        QTest::newRow("phone changed") << "UPDATE ugyfel SET telefon = '999' WHERE ugyfel = %1" << false;
        QTest::newRow("marked deleted") << "UPDATE ugyfel SET torolve = 'I' WHERE ugyfel = %1" << false;
        QTest::newRow("deleted for good") << "DELETE FROM ugyfel WHERE ugyfel = %1" << true;
    }
    void changedElsewhereWhileEditing()
    {
        QFETCH(QString, other);
        QFETCH(bool, gone);
        test::TestDb db(QStringLiteral("clients_conflict"));
        const qint64 key = insertClient(QStringLiteral("Kovács Béla"), QStringLiteral("111"));
        Connection elsewhere;
        elsewhere.open(db.params());
        BoxSeen box;
        QString phoneShown;
        bool openAfterOk = false;
        onWindow<ClientEditor>([&](ClientEditor *w) {
            part(w, QStringLiteral("cim_cim"))->setFocus();
            selectAllAndType(QStringLiteral("Fő utca 1"));
            press(Qt::Key_Return);
            elsewhere.exec(other.arg(key));
            answerBox(&box);
            part<QPushButton>(w, QStringLiteral("BitBtn1"))->click();
            openAfterOk = w->isVisible();
            phoneShown = part(w, QStringLiteral("telefon"))->text();
            if (openAfterOk)
                press(Qt::Key_Escape);
        });
        QCOMPARE(EditClient(key), -1);
        QCOMPARE(box.caption, QStringLiteral("Figyelmeztetés"));
        QCOMPARE(box.text, QStringLiteral("A sort időközben más módosította vagy törölte; az adatokat újraolvastam."));
        QCOMPARE(openAfterOk, !gone);
        if (!gone)
            QCOMPARE(phoneShown, SqlValue(QStringLiteral("SELECT telefon FROM ugyfel"), "-"));
        // Nothing of this editor was written, and nothing came back to life.
        QCOMPARE(SqlValue(QStringLiteral("SELECT COUNT(*) FROM ugyfel WHERE cim_cim = 'Fő utca 1'"), "-"),
                 QStringLiteral("0"));
        QCOMPARE(count(QStringLiteral("ugyfel")), gone ? 0 : 1);
    }

    // One eye typed here, the other eye stored elsewhere meanwhile: the two
    // rows are written together or not at all, never half over the other's.
    void prescriptionChangedElsewhere()
    {
        test::TestDb db(QStringLiteral("clients_rxconflict"));
        const qint64 key = newClientWithRows(QStringLiteral("Varga Péter"));
        Connection elsewhere;
        elsewhere.open(db.params());
        BoxSeen box;
        QString leftShown;
        onWindow<PrescriptionEditor>([&](PrescriptionEditor *w) {
            part(w, QStringLiteral("sph%1").arg(0 + 1))->setFocus();
            selectAllAndType(QStringLiteral("-2"));
            press(Qt::Key_Return);
            part(w, QStringLiteral("sph%1").arg(1 + 1))->setFocus();
            selectAllAndType(QStringLiteral("-3"));
            press(Qt::Key_Return);
            elsewhere.exec(QStringLiteral("UPDATE ugyfel_sz_tavol SET sph = '+1,00' WHERE ugyfel = %1 AND kulcs = 2")
                               .arg(key));
            answerBox(&box);
            part<QPushButton>(w, QStringLiteral("BitBtn1"))->click();
            leftShown = part(w, QStringLiteral("sph%1").arg(1 + 1))->text();
            QApplication::setActiveWindow(w);
            part(w, QStringLiteral("sph%1").arg(0 + 1))->setFocus();
            selectAllAndType(QStringLiteral("-2"));
            press(Qt::Key_Return);
            part<QPushButton>(w, QStringLiteral("BitBtn1"))->click();
        });
        QVERIFY(EditPrescription(key, QStringLiteral("ugyfel_sz_tavol"), QStringLiteral("Szemüveg - Távol")));
        QCOMPARE(box.text, QStringLiteral("A sort időközben más módosította vagy törölte; az adatokat újraolvastam."));
        QCOMPARE(leftShown, QStringLiteral("+1,00"));
        QCOMPARE(dump(QStringLiteral("SELECT kulcs, sph FROM ugyfel_sz_tavol ORDER BY kulcs")),
                 QStringLiteral("1|-2,00|2|+1,00"));
    }

    void windowsReadable_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("client editor") << "frm_Szerkeszt";
        QTest::newRow("prescription editor") << "frm_R1";
        QTest::newRow("contact lenses") << "frm_R1_k";
        QTest::newRow("client picker") << "frm_TorzsUgyfel";
        QTest::newRow("examination editor") << "frm_Vizsgalat";
    }
    void windowsReadable()
    {
        QFETCH(QString, window);
        test::TestDb db(QStringLiteral("clients_look"));
        ExecSql(QStringLiteral(
            "INSERT INTO ugyfel (ugyfel_nev, telefon, emil, cim_irsz, cim_varos, cim_cim, szuldatum, dat_utolso, "
            "keret, keretszam, megjegyzes) VALUES ('Dr. Árvíztűrő Tükörfúró Gépészmérnök Krisztina', "
            "'06 30 123 4567, 06 1 234 5678', 'krisztina.arvizturo@pelda-optika.hu', '1011', 'Budapest', "
            "'Hattyú utca 14. II. emelet 3.', '1968.11.23', '2024-09-30', 'Ray-Ban Wayfarer', 'RB2140-901', "
            "'Vékony keretet szeret.\\r\\nMultifokális lencsét visel.')"));
        const qint64 key = SqlIntValue(QStringLiteral("SELECT MAX(ugyfel) FROM ugyfel"), -1);
        ExecSql(QStringLiteral("CALL sp_oldal(%1);").arg(key));
        for (int i = 0; i < 12; ++i)
            insertClient(QStringLiteral("Ügyfél %1 Példa").arg(i, 2, 10, QLatin1Char('0')),
                         QStringLiteral("06 20 %1").arg(1000 + i), QStringLiteral("cim_cim='Fő utca %1.'").arg(i));
        ExecSql(QStringLiteral("UPDATE ugyfel_sz_tavol SET sph = '-12,75', cyl = '+3,25', ax = '175', prism = '2,5', "
                               "pd = '32,5' WHERE ugyfel = %1").arg(key));
        ExecSql(QStringLiteral("UPDATE ugyfel_k SET sph = '-12,75', cyl = '-2,25', ax = '180', bc = '8,60', "
                               "dia = '14,20' WHERE ugyfel = %1").arg(key));
        QStringList sets;
        for (const QString &c : examinationColumns())
            sets << c + QStringLiteral(" = '-12,75'");
        ExecSql(QStringLiteral("INSERT INTO vizsgalat (vizsgalat, ugyfel, datum) VALUES (12345, %1, CURDATE())").arg(key));
        ExecSql(QStringLiteral("UPDATE vizsgalat SET %1, anamnezis = 'Fejfájás olvasáskor.', diagnozis = "
                               "'Presbyopia.' WHERE vizsgalat = 12345").arg(sets.join(", ")));

        QStringList problems;
        const QString shotDir = qEnvironmentVariable("QO_SHOT_DIR");
        auto inspect = [&](QWidget *w) {
            QTest::qWait(50);
            for (QLabel *l : w->findChildren<QLabel *>()) {
                if (l->isVisibleTo(w) && l->pixmap().isNull() && l->width() < l->minimumSizeHint().width())
                    problems << QStringLiteral("label '%1' cut: %2 < %3").arg(l->text()).arg(l->width()).arg(l->minimumSizeHint().width());
            }
            const QList<QLineEdit *> edits = w->findChildren<QLineEdit *>();
            for (QLineEdit *e : edits) {
                if (!e->isVisibleTo(w) || e->objectName() == QLatin1String("Edit1") || qobject_cast<QDateEdit *>(e->parentWidget()))
                    continue;
                // Every field shows the whole of the (long but real-life) values it holds here.
                const int need = e->fontMetrics().horizontalAdvance(e->text()) + 8;
                if (e->width() < need)
                    problems << QStringLiteral("field %1 too narrow: %2 < %3").arg(e->objectName()).arg(e->width()).arg(need);
                for (QLineEdit *o : edits)
                    if (o != e && o->isVisibleTo(w)
                        && QRect(e->mapTo(w, QPoint()), e->size()).intersects(QRect(o->mapTo(w, QPoint()), o->size())))
                        problems << QStringLiteral("fields %1 and %2 overlap").arg(e->objectName(), o->objectName());
            }
            for (QToolButton *b : w->findChildren<QToolButton *>())
                if (b->isVisibleTo(w) && b->defaultAction() && b->width() < b->fontMetrics().horizontalAdvance(b->text()))
                    problems << QStringLiteral("toolbar button '%1' cut").arg(b->text());
            if (!shotDir.isEmpty()) {
                QDir().mkpath(shotDir);
                w->grab().save(shotDir + QLatin1Char('/') + window + QStringLiteral(".png"));
            }
        };
        if (window == QLatin1String("frm_Szerkeszt")) {
            onWindow<ClientEditor>([&](ClientEditor *w) { inspect(w); press(Qt::Key_Escape); });
            EditClient(key);
        } else if (window.startsWith(QLatin1String("frm_R1"))) {
            onWindow<PrescriptionEditor>([&](PrescriptionEditor *w) { inspect(w); press(Qt::Key_Escape); });
            if (window.endsWith(QLatin1String("_k")))
                EditPrescription(key, QStringLiteral("ugyfel_k"), QStringLiteral("Kontaktlencse"));
            else
                EditPrescription(key, QStringLiteral("ugyfel_sz_tavol"), QStringLiteral("Szemüveg - Távol"));
        } else if (window == QLatin1String("frm_TorzsUgyfel")) {
            onWindow<ClientPicker>([&](ClientPicker *w) {
                const int sum = w->grid()->horizontalHeader()->length();
                if (sum > w->grid()->viewport()->width())
                    problems << QStringLiteral("columns wider than the grid: %1 > %2").arg(sum).arg(w->grid()->viewport()->width());
                // Column widths follow their shares when the window is resized.
                w->resize(1000, 500);
                QTest::qWait(20);
                const int name = w->grid()->columnWidth(0), address = w->grid()->columnWidth(3);
                if (qAbs(name * 35 - address * 25) > 35 * 2)
                    problems << QStringLiteral("shares not kept: %1 / %2").arg(name).arg(address);
                inspect(w);
                press(Qt::Key_Escape);
            });
            PickClient(key);
        } else {
            onWindow<ExaminationEditor>([&](ExaminationEditor *w) { inspect(w); press(Qt::Key_Escape); });
            EditExamination(12345, -1);
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestClients)
#include "tst_clients.moc"
