// Work orders: the price calculation, the editor driven at the keyboard
// against a real shop database (creation, saving, cancelling, brands, closed
// and vanished orders, concurrent creation) and the browser of a client's
// orders with its colours.
#include "config/AppState.h"
#include "config/Config.h"
#include "db/Connection.h"
#include "db/Kinds.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"
#include "masterdata/MasterDataList.h"
#include "support/Drive.h"
#include "support/TestDb.h"
#include "workorders/FieldEdits.h"
#include "workorders/WorkOrderEditor.h"
#include "workorders/WorkOrderHistory.h"
#include "workorders/WorkOrderCreate.h"
#include "workorders/WorkOrderPrice.h"

#include <QtTest>
#include <QAction>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <atomic>
#include <functional>
#include <thread>

using namespace qo;
using namespace qo::test;

namespace {

// Answers the next message box with its default button and records its text.
void answerBox(QString *text, QMessageBox::StandardButton button = QMessageBox::Ok)
{
    onModal(messageBox(), [text, button](QWidget *w) {
        auto *box = static_cast<QMessageBox *>(w);
        if (text)
            *text = box->text();
        box->button(button)->click();
    });
}

QLineEdit *edit(QWidget *dlg, const QString &name)
{
    return dlg->findChild<QLineEdit *>(name);
}

// Types into a field as a user does: focus, select what is there, type, and
// leave it with Enter (which moves to the next field).
void typeInto(QWidget *dlg, const QString &name, const QString &text)
{
    QLineEdit *e = edit(dlg, name);
    QVERIFY2(e, qPrintable(name));
    e->setFocus(Qt::TabFocusReason);
    e->selectAll();
    if (text.isEmpty())
        QTest::keyClick(e, Qt::Key_Delete);
    else
        typeText(e, text);
    QTest::keyClick(e, Qt::Key_Return);
}

qint64 addClient(const QString &name)
{
    ExecSql(QStringLiteral("INSERT INTO ugyfel (ugyfel_nev, torolve) VALUES ('%1', 'N');").arg(name));
    const qint64 k = qint64(Connection::main().lastInsertId());
    ExecSql(QStringLiteral("CALL sp_oldal(%1);").arg(k));
    return k;
}

qint64 addBrand(const QString &table, const QString &name)
{
    ExecSql(QStringLiteral("INSERT INTO %1 (%1_nev) VALUES ('%2');").arg(table, name));
    return qint64(Connection::main().lastInsertId());
}

QString cell(const QString &sql)
{
    return SqlValue(sql, QStringLiteral("<nincs>"));
}

double number(qint64 key, const QString &column)
{
    return Connection::main()
        .query(QStringLiteral("SELECT %1 FROM munkalap WHERE munkalap = %2").arg(column).arg(key))
        .toDouble(0, 0, -999999);
}

int orderCount()
{
    return SqlIntValue(QStringLiteral("SELECT COUNT(*) FROM munkalap"), -1);
}

} // namespace

class TestWorkOrders : public QObject {
    Q_OBJECT

    TempConfig m_config; // window placements go to a configuration file of this test only

private Q_SLOTS:
    void initTestCase()
    {
        // The shop runs with a Hungarian number format (decimal comma).
        QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
        appState().FormatFt = QStringLiteral("### ### ##0");
    }

    // ---- the calculation -------------------------------------------------------

    void recalculate_data()
    {
        QTest::addColumn<QVector<double>>("in"); // the fields in WorkOrderPriceColumns() order
        QTest::addColumn<double>("osszar");
        QTest::addColumn<double>("fizetendo");
        //                               jobb   bal   l%   keret  k%  adapt szin egy1 egy2 kedv  eloleg
        QTest::newRow("worked example, discount -1000")
            << QVector<double>{10000, 10000, 10, 20000, 0, 3000, 0, 0, 0, -1000, 5000} << 40000.0 << 35000.0;
        QTest::newRow("worked example, discount 1000")
            << QVector<double>{10000, 10000, 10, 20000, 0, 3000, 0, 0, 0, 1000, 5000} << 40000.0 << 35000.0;
        QTest::newRow("all empty") << QVector<double>(11, 0) << 0.0 << 0.0;
        QTest::newRow("lens percentage on both lenses")
            << QVector<double>{8000, 12000, 25, 0, 0, 0, 0, 0, 0, 0, 0} << 15000.0 << 15000.0;
        QTest::newRow("lens percentage over 100") << QVector<double>{1000, 1000, 150, 0, 0, 0, 0, 0, 0, 0, 0}
                                                  << -1000.0 << -1000.0;
        QTest::newRow("frame percentage over 100") << QVector<double>{0, 0, 0, 10000, 200, 0, 0, 0, 0, 0, 0}
                                                   << -10000.0 << -10000.0;
        QTest::newRow("negative percentage raises the price")
            << QVector<double>{0, 0, 0, 10000, -10, 0, 0, 0, 0, 0, 0} << 11000.0 << 11000.0;
        QTest::newRow("deposit above the total") << QVector<double>{5000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8000}
                                                 << 5000.0 << -3000.0;
        QTest::newRow("every item")
            << QVector<double>{12000, 11000, 5, 30000, 20, 2500, 1500, 800, 700, -2350, 10000} << 49000.0 << 39000.0;
        QTest::newRow("fractions are kept") << QVector<double>{333, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0.5}
                                            << 299.7 << 299.2;
        QTest::newRow("discount larger than the total")
            << QVector<double>{0, 0, 0, 0, 0, 1000, 0, 0, 0, -1500, 0} << -500.0 << -500.0;
    }
    void recalculate()
    {
        QFETCH(QVector<double>, in);
        QFETCH(double, osszar);
        QFETCH(double, fizetendo);
        QCOMPARE(WorkOrderPriceColumns().size(), in.size());
        WorkOrderPrices p;
        p.ar_jobb = in[0];
        p.ar_bal = in[1];
        p.lencseszazalek = in[2];
        p.ar_keret = in[3];
        p.keretszazalek = in[4];
        p.ar_adaptalas = in[5];
        p.ar_szinezes = in[6];
        p.ar_egyeb1 = in[7];
        p.ar_egyeb2 = in[8];
        p.ar_kedvezmeny = in[9];
        p.eloleg = in[10];
        const WorkOrderTotals t = RecalculateWorkOrder(p);
        QCOMPARE(t.osszar, osszar);
        QCOMPARE(t.fizetendo, fizetendo);
    }

    // The same calculation through the window: typed, shown, stored.
    void recalculateInWindow_data()
    {
        QTest::addColumn<QStringList>("typed"); // "column=text" in typing order
        QTest::addColumn<QString>("osszarShown");
        QTest::addColumn<QString>("fizetendoShown");
        QTest::addColumn<double>("osszar");
        QTest::addColumn<double>("fizetendo");
        const QStringList example = {"ar_bal=10000", "ar_jobb=10000", "lencseszazalek=10", "ar_keret=20000",
                                     "keretszazalek=0", "ar_adaptalas=3000", "eloleg=5000"};
        QTest::newRow("worked example, -1000") << (example + QStringList{"ar_kedvezmeny=-1000"}) << "40 000"
                                                << "35 000" << 40000.0 << 35000.0;
        QTest::newRow("worked example, 1000") << (example + QStringList{"ar_kedvezmeny=1000"}) << "40 000"
                                               << "35 000" << 40000.0 << 35000.0;
        QTest::newRow("deposit above the total") << QStringList{"ar_keret=12 500", "eloleg=20000"} << "12 500"
                                                  << "-7 500" << 12500.0 << -7500.0;
        QTest::newRow("percentage over 100") << QStringList{"ar_jobb=4000", "ar_bal=6000", "lencseszazalek=110"}
                                              << "-1 000" << "-1 000" << -1000.0 << -1000.0;
        QTest::newRow("fields emptied") << QStringList{"ar_jobb=5000", "ar_jobb=", "eloleg="} << "0" << "0" << 0.0 << 0.0;
        QTest::newRow("decimal comma") << QStringList{"ar_egyeb1=1499,6"} << "1 500" << "1 500" << 1499.6 << 1499.6;
    }
    void recalculateInWindow()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, osszarShown);
        QFETCH(QString, fizetendoShown);
        QFETCH(double, osszar);
        QFETCH(double, fizetendo);
        test::TestDb db(QStringLiteral("wo_recalc"));
        const qint64 client = addClient(QStringLiteral("Kiss Anna"));
        QString shownTotal, shownDue;
        onModal(named("frm_Munkalap"), [&](QWidget *w) {
            for (const QString &t : typed)
                typeInto(w, t.section(QLatin1Char('='), 0, 0), t.section(QLatin1Char('='), 1));
            shownTotal = edit(w, QStringLiteral("osszar"))->text();
            shownDue = edit(w, QStringLiteral("fizetendo"))->text();
            w->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
        });
        const qint64 key = EditWorkOrder(-1, client, 1);
        QVERIFY(key > 0);
        QCOMPARE(shownTotal, osszarShown);
        QCOMPARE(shownDue, fizetendoShown);
        QCOMPARE(number(key, QStringLiteral("osszar")), osszar);
        QCOMPARE(number(key, QStringLiteral("fizetendo")), fizetendo);
        QCOMPARE(cell(QStringLiteral("SELECT statusz FROM munkalap WHERE munkalap = %1").arg(key)), QStringLiteral("1"));
    }

    // ---- a whole order at the keyboard -------------------------------------------

    void wholeOrderAtKeyboard()
    {
        test::TestDb db(QStringLiteral("wo_keyboard"));
        const qint64 client = addClient(QStringLiteral("Nagy Péter"));
        addBrand(QStringLiteral("lencsemarka"), QStringLiteral("Essilor"));
        const qint64 hoya = addBrand(QStringLiteral("lencsemarka"), QStringLiteral("Hoya"));
        addBrand(QStringLiteral("lencsemarka"), QStringLiteral("Zeiss"));

        QStringList focusTrail;
        QString heading, clientShown, statusShown, lensBrandShown;
        onModal(named("frm_Munkalap"), [&](QWidget *w) {
            heading = w->findChild<QLabel *>(QStringLiteral("lblTipus"))->text();
            clientShown = edit(w, QStringLiteral("edUgyfel"))->text();
            statusShown = edit(w, QStringLiteral("edStatusz"))->text();
            // The window opens in the due-date picker; Enter walks the tab order.
            const auto type = [&](const QString &text) {
                QWidget *f = QApplication::focusWidget();
                focusTrail << f->objectName();
                if (auto *e = qobject_cast<QLineEdit *>(f))
                    e->selectAll();
                typeText(f, text);
                QTest::keyClick(f, Qt::Key_Return);
            };
            type(QString()); // the due date as proposed
            for (const char *v : {"-1,5", "0,5", "90", "", "32", "", "-1,75", "", "", "", "31", ""})
                type(QString::fromUtf8(v));
            type(QStringLiteral("12000")); // ar_jobb
            type(QStringLiteral("5"));     // lencseszazalek
            // Enter on the brand button opens the brand list: search, Enter accepts.
            focusTrail << QApplication::focusWidget()->objectName();
            onModal(named("frm_Torzsadat"), [&](QWidget *list) {
                typeText(QApplication::focusWidget(), QStringLiteral("ho"));
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                Q_UNUSED(list);
            });
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QApplication::setActiveWindow(w); // the window system gives it back after the list
            lensBrandShown = edit(w, QStringLiteral("edLencsemarka"))->text();
            type(QStringLiteral("essilor 1.6")); // tipus, upper-cased
            type(QStringLiteral("11000"));       // ar_bal
            type(QStringLiteral("30000"));       // ar_keret
            type(QStringLiteral("20"));          // keretszazalek
            focusTrail << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); // past the frame-brand button
            type(QStringLiteral("rb 3447"));  // kerettipus
            type(QStringLiteral("2500"));     // Munkadíj
            type(QStringLiteral("csiszolás"));
            type(QStringLiteral("1500"));     // Vizsgálat
            type(QString());
            type(QStringLiteral("800"));      // UHT, orrtámasz
            type(QString());
            type(QStringLiteral("700"));      // Egyéb
            type(QStringLiteral("tok"));
            type(QStringLiteral("-2350"));    // Kedvezmény
            type(QStringLiteral("törzsvásárló"));
            // The remark takes Enter as a new line; Tab leaves it.
            QWidget *memo = QApplication::focusWidget();
            focusTrail << memo->objectName();
            typeText(memo, QStringLiteral("Sürgős"));
            QTest::keyClick(memo, Qt::Key_Return);
            typeText(memo, QStringLiteral("péntekre"));
            QTest::keyClick(memo, Qt::Key_Tab);
            type(QStringLiteral("10000")); // eloleg
            focusTrail << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // OK
        });
        const qint64 key = EditWorkOrder(-1, client, 1);
        QVERIFY(key > 0);
        QCOMPARE(heading, QStringLiteral("Szemüveg - távol"));
        QCOMPARE(clientShown, QStringLiteral("Nagy Péter"));
        QCOMPARE(statusShown, QStringLiteral("Beérkezett"));
        QCOMPARE(lensBrandShown, QStringLiteral("Hoya"));
        const QStringList expectedTrail = {
            "DateTimePicker1", "jobbsph", "jobbcyl", "jobbax", "jobbprism", "jobbpd", "jobbegyeb",
            "balsph", "balcyl", "balax", "balprism", "balpd", "balegyeb", "ar_jobb", "lencseszazalek",
            "btnLencsemarka", "tipus", "ar_bal", "ar_keret", "keretszazalek", "btnKeretmarka", "kerettipus",
            "ar_adaptalas", "szoveg_adaptalas", "ar_szinezes", "szoveg_szinezes", "ar_egyeb1", "szoveg_egyeb1",
            "ar_egyeb2", "szoveg_egyeb2", "ar_kedvezmeny", "szoveg_kedvezmeny", "megj", "eloleg", "btnOK"};
        QCOMPARE(focusTrail, expectedTrail);

        const RowSet r = Connection::main().query(QStringLiteral("SELECT * FROM munkalap WHERE munkalap = %1").arg(key));
        QCOMPARE(r.rowCount(), 1);
        QCOMPARE(r.toInt(0, "ugyfel"), client);
        QCOMPARE(r.toInt(0, "mlaptipus"), 1);
        QCOMPARE(r.toInt(0, "statusz"), 1);
        QCOMPARE(r.text(0, "jobbsph"), QStringLiteral("-1,50"));
        QCOMPARE(r.text(0, "jobbcyl"), QStringLiteral("+0,50"));
        QCOMPARE(r.text(0, "jobbax"), QStringLiteral("90"));
        QCOMPARE(r.text(0, "balsph"), QStringLiteral("-1,75"));
        QCOMPARE(r.text(0, "balpd"), QStringLiteral("31"));
        QCOMPARE(r.toInt(0, "lencsemarka"), hoya);
        QVERIFY(r.isNull(0, "keretmarka")); // no frame brand: NULL, never 0
        QCOMPARE(r.text(0, "tipus"), QStringLiteral("ESSILOR 1.6"));
        QCOMPARE(r.text(0, "kerettipus"), QStringLiteral("RB 3447"));
        QCOMPARE(r.text(0, "szoveg_adaptalas"), QStringLiteral("csiszolás"));
        QCOMPARE(r.text(0, "szoveg_kedvezmeny"), QStringLiteral("törzsvásárló"));
        QCOMPARE(r.text(0, "megj"), QStringLiteral("Sürgős\npéntekre"));
        QCOMPARE(r.toDouble(0, "ar_kedvezmeny"), -2350.0);
        QCOMPARE(r.toDouble(0, "osszar"), 49000.0);
        QCOMPARE(r.toDouble(0, "fizetendo"), 39000.0);
        QCOMPARE(r.toDouble(0, "eloleg"), 10000.0);
        QVERIFY(r.toDate(0, "dat_hatid").isValid());
    }

    // ---- money fields ---------------------------------------------------------------

    void moneyFieldShowsPlainWhileFocused()
    {
        test::TestDb db(QStringLiteral("wo_money"));
        const qint64 key = CreateWorkOrder(Connection::main(), addClient(QStringLiteral("Tóth Éva")), 2);
        ExecSql(QStringLiteral("UPDATE munkalap SET ar_keret = 1234567 WHERE munkalap = %1").arg(key));
        QString idle, focused, afterTyping;
        onModal(named("frm_Munkalap"), [&](QWidget *w) {
            QLineEdit *e = edit(w, QStringLiteral("ar_keret"));
            idle = e->text();
            e->setFocus(Qt::TabFocusReason);
            focused = e->text();
            e->selectAll();
            typeText(e, QStringLiteral("1 500,5x")); // the letter cannot be typed
            QTest::keyClick(e, Qt::Key_Tab);
            afterTyping = e->text();
            w->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
        });
        QCOMPARE(EditWorkOrder(key, -1, 2), key);
        QCOMPARE(idle, QStringLiteral("1 234 567"));
        QCOMPARE(focused, QStringLiteral("1234567"));
        QCOMPARE(afterTyping, QStringLiteral("1 501"));
        QCOMPARE(number(key, QStringLiteral("ar_keret")), 1500.5); // stored unrounded
        QCOMPARE(number(key, QStringLiteral("osszar")), 1500.5);
    }

    void nullPrices()
    {
        test::TestDb db(QStringLiteral("wo_null"));
        const qint64 key = CreateWorkOrder(Connection::main(), addClient(QStringLiteral("Szabó Béla")), 1);
        QStringList cols = WorkOrderPriceColumns();
        cols << QStringLiteral("osszar") << QStringLiteral("fizetendo");
        for (QString &c : cols)
            c += QStringLiteral(" = NULL");
        ExecSql(QStringLiteral("UPDATE munkalap SET %1 WHERE munkalap = %2").arg(cols.join(QStringLiteral(", "))).arg(key));
        QString before, total, due;
        onModal(named("frm_Munkalap"), [&](QWidget *w) {
            before = edit(w, QStringLiteral("ar_jobb"))->text() + QLatin1Char('|') + edit(w, QStringLiteral("osszar"))->text();
            typeInto(w, QStringLiteral("szoveg_egyeb2"), QStringLiteral("semmi")); // leaving any field recomputes
            total = edit(w, QStringLiteral("osszar"))->text();
            due = edit(w, QStringLiteral("fizetendo"))->text();
            w->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
        });
        QCOMPARE(EditWorkOrder(key, -1, 1), key);
        QCOMPARE(before, QStringLiteral("|"));
        QCOMPARE(total, QStringLiteral("0"));
        QCOMPARE(due, QStringLiteral("0"));
        QCOMPARE(number(key, QStringLiteral("osszar")), 0.0);
        QCOMPARE(number(key, QStringLiteral("fizetendo")), 0.0);
    }

    // ---- prescription values ------------------------------------------------------------

    void prescriptionFormatting_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("sph 1,5") << "jobbsph" << "1,5" << "+1,50";
        QTest::newRow("cyl -0,25") << "balcyl" << "-0,25" << "-0,25";
        QTest::newRow("cyl 0") << "jobbcyl" << "0" << "+0,00";
        QTest::newRow("sph -3") << "balsph" << "-3" << "-3,00";
        QTest::newRow("sph 1,234") << "jobbsph" << "1,234" << "+1,23";
        QTest::newRow("a word stays") << "balsph" << "plano" << "plano";
        QTest::newRow("other separator stays") << "jobbsph" << "1.5" << "1.5";
        QTest::newRow("digit grouping stays") << "balsph" << "2 500" << "2 500";
        QTest::newRow("too long for the column stays") << "jobbsph" << "123456789" << "123456789";
        QTest::newRow("ax is not formatted") << "jobbax" << "90" << "90";
        QTest::newRow("prism is not formatted") << "balprism" << "1,5" << "1,5";
        QTest::newRow("pd is not formatted") << "jobbpd" << "32" << "32";
    }
    void prescriptionFormatting()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        test::TestDb db(QStringLiteral("wo_presc"));
        const qint64 key = CreateWorkOrder(Connection::main(), addClient(QStringLiteral("Varga Ida")), 1);
        QString after;
        onModal(named("frm_Munkalap"), [&](QWidget *w) {
            typeInto(w, field, typed);
            after = edit(w, field)->text();
            w->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
        });
        QCOMPARE(EditWorkOrder(key, -1, 1), key);
        QCOMPARE(after, shown);
        QCOMPARE(cell(QStringLiteral("SELECT %1 FROM munkalap WHERE munkalap = %2").arg(field).arg(key)), shown);
    }

    void nextStatus_data()
    {
        QTest::addColumn<qint64>("status");
        QTest::addColumn<int>("next"); // 0: may not step
        QTest::newRow("no status yet") << qint64(0) << 2;
        QTest::newRow("received") << qint64(1) << 2;
        QTest::newRow("ready") << qint64(2) << 3;
        QTest::newRow("handed over") << qint64(3) << 0;
        QTest::newRow("unknown") << qint64(7) << 0;
        QTest::newRow("negative") << qint64(-1) << 0;
    }
    void nextStatus()
    {
        QFETCH(qint64, status);
        QFETCH(int, next);
        const std::optional<WorkOrderStatus> stepped = NextWorkOrderStatus(status);
        QCOMPARE(stepped ? int(*stepped) : 0, next);
    }

    void typeHeading_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("prism");
        QTest::addColumn<QString>("pd");
        QTest::newRow("distance") << 1 << "Szemüveg - távol" << "Prism" << "Pd";
        QTest::newRow("near") << 2 << "Szemüveg - közel" << "Prism" << "Pd";
        QTest::newRow("special") << 3 << "Szemüveg - Speciális" << "Prism" << "Pd";
        QTest::newRow("contact lens") << 4 << "Kontaktlencse" << "Bc" << "Dia";
    }
    void typeHeading()
    {
        QFETCH(int, type);
        QFETCH(QString, heading);
        QFETCH(QString, prism);
        QFETCH(QString, pd);
        test::TestDb db(QStringLiteral("wo_type"));
        const qint64 client = addClient(QStringLiteral("Fekete Ágnes"));
        // The order takes the client's prescription of its kind.
        ExecSql(QStringLiteral("UPDATE ugyfel_k SET sph = '-2,00', bc = '8,6', dia = '14,2' WHERE ugyfel = %1 AND kulcs = 1").arg(client));
        QStringList labels;
        QString bc;
        onModal(named("frm_Munkalap"), [&](QWidget *w) {
            for (const char *name : {"lblTipus", "lblJobbPrism", "lblJobbPd", "lblBalPrism", "lblBalPd"})
                labels << w->findChild<QLabel *>(QLatin1String(name))->text();
            bc = edit(w, QStringLiteral("jobbprism"))->text();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        });
        QCOMPARE(EditWorkOrder(-1, client, type), -1);
        QCOMPARE(labels, (QStringList{heading, prism, pd, prism, pd}));
        QCOMPARE(bc, type == 4 ? QStringLiteral("8,6") : QString());
        QCOMPARE(orderCount(), 0);
    }

    // ---- cancelling ------------------------------------------------------------------------

    void cancelNewOrder_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Esc") << "esc";
        QTest::newRow("Mégsem") << "button";
        QTest::newRow("close box") << "close";
    }
    void cancelNewOrder()
    {
        QFETCH(QString, how);
        test::TestDb db(QStringLiteral("wo_cancel"));
        const qint64 client = addClient(QStringLiteral("Kovács Ödön"));
        int rowsWhileOpen = -1;
        onModal(named("frm_Munkalap"), [&](QWidget *w) {
            rowsWhileOpen = orderCount();
            typeInto(w, QStringLiteral("ar_keret"), QStringLiteral("25000"));
            if (how == QLatin1String("esc"))
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            else if (how == QLatin1String("button"))
                w->findChild<QPushButton *>(QStringLiteral("btnMegsem"))->click();
            else
                w->close();
        });
        QCOMPARE(EditWorkOrder(-1, client, 3), -1);
        QCOMPARE(rowsWhileOpen, 1); // the server created it before the window opened
        QCOMPARE(orderCount(), 0);
    }

    // The link dropped between the procedure call and the read of the key:
    // a silent reconnect would lose @uj_munkalap and take another
    // workstation's order (which Mégsem would then delete).
    void creationLinkLostBeforeKeyIsRead()
    {
        test::TestDb db(QStringLiteral("wo_linklost"));
        const qint64 mine = addClient(QStringLiteral("Fekete Ágnes"));
        const qint64 theirs = addClient(QStringLiteral("Fehér Béla"));
        const QString id = SqlValue(QStringLiteral("SELECT CONNECTION_ID()"), {});
        Connection other; // the second workstation
        other.open(db.params());
        qint64 otherKey = -1;
        bool broken = false;
        Connection::main().setBeforeStatement([&](const QString &sql) {
            if (broken || !sql.startsWith(QLatin1String("SELECT @uj_munkalap")))
                return;
            broken = true;
            otherKey = CreateWorkOrder(other, theirs, 1);
            other.exec(QStringLiteral("KILL CONNECTION %1").arg(id));
            QTest::qWait(100);
        });
        QString message;
        answerBox(&message);
        bool editorOpened = false;
        onModal(named("frm_Munkalap"), [&](QWidget *w) {
            editorOpened = true;
            w->findChild<QPushButton *>(QStringLiteral("btnMegsem"))->click();
        });
        const qint64 key = EditWorkOrder(-1, mine, 1);
        Connection::main().setBeforeStatement({});
        QVERIFY(broken);
        QCOMPARE(key, -1);
        QVERIFY(!editorOpened);
        QVERIFY2(message.startsWith(QStringLiteral("Hiba: ")), qPrintable(message));
        // The other workstation's order is untouched, ours was never half made.
        QCOMPARE(cell(QStringLiteral("SELECT ugyfel FROM munkalap WHERE munkalap = %1").arg(otherKey)), QString::number(theirs));
        QCOMPARE(SqlIntValue(QStringLiteral("SELECT COUNT(*) FROM munkalap WHERE ugyfel = %1").arg(mine), -1), 0);
        // The next try, on a fresh link, works.
        const qint64 again = CreateWorkOrder(Connection::main(), mine, 1);
        QCOMPARE(cell(QStringLiteral("SELECT ugyfel FROM munkalap WHERE munkalap = %1").arg(again)), QString::number(mine));
    }

    // Mégsem on a new order while the server cannot be reached: the user is
    // told which order is left, and it is deleted once the link is back.
    void cancelNewOrderWhileServerDown()
    {
        test::TestDb db(QStringLiteral("wo_down"));
        const qint64 client = addClient(QStringLiteral("Szürke Dóra"));
        Connection admin;
        admin.open(db.params());
        for (const char *host : {"127.0.0.1", "localhost"}) {
            admin.exec(QStringLiteral("CREATE USER IF NOT EXISTS 'wo_down'@'%1' IDENTIFIED BY 'x'").arg(QLatin1String(host)));
            admin.exec(QStringLiteral("GRANT ALL ON %1.* TO 'wo_down'@'%2'").arg(db.name(), QLatin1String(host)));
        }
        const auto lock = [&](bool on) {
            for (const char *host : {"127.0.0.1", "localhost"})
                admin.exec(QStringLiteral("ALTER USER 'wo_down'@'%1' ACCOUNT %2").arg(QLatin1String(host), on ? "LOCK" : "UNLOCK"));
        };
        ConnectParams p = db.params();
        p.user = QStringLiteral("wo_down");
        p.password = QStringLiteral("x");
        Connection::main().open(p);
        const QString id = SqlValue(QStringLiteral("SELECT CONNECTION_ID()"), {});

        QString message;
        onModal(named("frm_Munkalap"), [&](QWidget *w) {
            lock(true); // no new session can be opened: the server is out of reach
            admin.exec(QStringLiteral("KILL CONNECTION %1").arg(id));
            QTest::qWait(100);
            answerBox(&message);
            w->findChild<QPushButton *>(QStringLiteral("btnMegsem"))->click();
        });
        QCOMPARE(EditWorkOrder(-1, client, 1), -1);
        const qint64 left = admin.query(QStringLiteral("SELECT MAX(munkalap) FROM munkalap")).toInt(0, 0);
        QVERIFY(left > 0);
        QVERIFY2(message.contains(QStringLiteral("%1. számú munkalap").arg(left)), qPrintable(message));

        lock(false);
        // The next new order (cancelled as well) first removes the one left behind.
        onModal(named("frm_Munkalap"), [&](QWidget *w) { w->findChild<QPushButton *>(QStringLiteral("btnMegsem"))->click(); });
        QCOMPARE(EditWorkOrder(-1, client, 1), -1);
        QCOMPARE(admin.query(QStringLiteral("SELECT COUNT(*) FROM munkalap")).toInt(0, 0), 0);
        Connection::main().open(db.params());
    }

    // Typed into a price field: a point between groups of three digits groups
    // them; what is no number in range is refused with a message, keeping the value.
    void moneyFieldInput_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("stored");
        QTest::addColumn<bool>("refused");
        QTest::newRow("grouping points") << "12.500" << 12500.0 << false;
        QTest::newRow("grouping blanks") << "1 250 000" << 1250000.0 << false;
        QTest::newRow("points and comma") << "1.250,5" << 1250.5 << false;
        QTest::newRow("decimal comma") << "12,5" << 12.5 << false;
        QTest::newRow("lone minus") << "-" << 7000.0 << true;
        QTest::newRow("lone comma") << "," << 7000.0 << true;
        QTest::newRow("too large") << "100000000000000000000000" << 7000.0 << true;
        QTest::newRow("point not grouping") << "12.50" << 7000.0 << true;
    }
    void moneyFieldInput()
    {
        QFETCH(QString, typed);
        QFETCH(double, stored);
        QFETCH(bool, refused);
        test::TestDb db(QStringLiteral("wo_money_input"));
        const qint64 key = CreateWorkOrder(Connection::main(), addClient(QStringLiteral("Vörös Ádám")), 1);
        ExecSql(QStringLiteral("UPDATE munkalap SET ar_jobb = 7000 WHERE munkalap = %1").arg(key));
        QString message;
        QString shown;
        onModal(named("frm_Munkalap"), [&](QWidget *w) {
            if (refused)
                answerBox(&message);
            typeInto(w, QStringLiteral("ar_jobb"), typed);
            QTest::qWait(50);
            shown = edit(w, QStringLiteral("ar_jobb"))->text();
            w->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
        });
        QCOMPARE(EditWorkOrder(key, -1, 1), key);
        QCOMPARE(number(key, QStringLiteral("ar_jobb")), stored);
        if (refused) {
            QVERIFY2(message.contains(typed.trimmed()), qPrintable(message));
            QCOMPARE(shown, QStringLiteral("7 000"));
        } else {
            QVERIFY(message.isEmpty());
        }
    }

    // Values no prescription holds are refused at OK, in the order's eye rows too.
    void prescriptionNonNumbersRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("nan") << "nan";
        QTest::newRow("-inf") << "-inf";
        QTest::newRow("1e400") << "1e400";
    }
    void prescriptionNonNumbersRefused()
    {
        QFETCH(QString, typed);
        test::TestDb db(QStringLiteral("wo_rx_nan"));
        const qint64 key = CreateWorkOrder(Connection::main(), addClient(QStringLiteral("Lila Lenke")), 1);
        QString message;
        bool stayed = false;
        onModal(named("frm_Munkalap"), [&](QWidget *w) {
            typeInto(w, QStringLiteral("jobbcyl"), typed);
            answerBox(&message);
            w->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
            QTest::qWait(100);
            stayed = w->isVisible();
            w->findChild<QPushButton *>(QStringLiteral("btnMegsem"))->click();
        });
        QCOMPARE(EditWorkOrder(key, -1, 1), -1);
        QVERIFY(stayed);
        QCOMPARE(message, QStringLiteral("A(z) „%1” nem érvényes érték.").arg(typed));
        QCOMPARE(cell(QStringLiteral("SELECT COALESCE(jobbcyl, 'NULL') FROM munkalap WHERE munkalap = %1").arg(key)),
                 QStringLiteral("NULL"));
    }

    // Tab leaves the due-date picker: digits typed for the next field never
    // change the date.
    void tabLeavesTheDatePicker()
    {
        test::TestDb db(QStringLiteral("wo_date_tab"));
        const qint64 client = addClient(QStringLiteral("Zöld Edit"));
        QString start;
        QDate due;
        onModal(named("frm_Munkalap"), [&](QWidget *w) {
            QWidget *f = QApplication::focusWidget();
            start = f->objectName();
            due = static_cast<QDateEdit *>(f)->date();
            QTest::keyClick(f, Qt::Key_Tab);
            typeText(QApplication::focusWidget(), QStringLiteral("-1,5"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            typeText(QApplication::focusWidget(), QStringLiteral("0,5"));
            // Back into the picker and out again forwards.
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            typeText(QApplication::focusWidget(), QStringLiteral("5"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            for (int i = 0; i < 60 && QApplication::focusWidget()->objectName() != QLatin1String("btnOK"); ++i)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            Q_UNUSED(w);
        });
        const qint64 key = EditWorkOrder(-1, client, 1);
        QVERIFY(key > 0);
        QCOMPARE(start, QStringLiteral("DateTimePicker1"));
        const RowSet r = Connection::main().query(QStringLiteral("SELECT * FROM munkalap WHERE munkalap = %1").arg(key));
        QCOMPARE(r.toDate(0, "dat_hatid"), due);
        QCOMPARE(r.text(0, "jobbsph"), QStringLiteral("+5,00")); // typed over after coming back
        QCOMPARE(r.text(0, "jobbcyl"), QStringLiteral("+0,50"));
    }

    // Two Enters after the lens discount open the brand list: with no brand
    // chosen it stands on no row, so the second Enter cannot pick one.
    void brandListWithoutBrandPicksNothing()
    {
        test::TestDb db(QStringLiteral("wo_brand_enter"));
        const qint64 key = CreateWorkOrder(Connection::main(), addClient(QStringLiteral("Kék Ilona")), 1);
        addBrand(QStringLiteral("lencsemarka"), QStringLiteral("Essilor"));
        addBrand(QStringLiteral("lencsemarka"), QStringLiteral("Hoya"));
        bool listOpened = false, openAfterEnter = false;
        QString noRow;
        int currentRow = 99;
        onModal(named("frm_Munkalap"), [&](QWidget *w) {
            typeInto(w, QStringLiteral("lencseszazalek"), QStringLiteral("5"));
            onModal(named("frm_Torzsadat"), [&](QWidget *list) {
                listOpened = true;
                currentRow = static_cast<MasterDataList *>(list)->grid()->currentRowIndex();
                answerBox(&noRow);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                QTest::qWait(100);
                // Nothing chosen: the list says so and stays, Esc leaves it.
                openAfterEnter = list->isVisible();
                if (openAfterEnter)
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            });
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QApplication::setActiveWindow(w);
            w->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
        });
        QCOMPARE(EditWorkOrder(key, -1, 1), key);
        QVERIFY(listOpened);
        QCOMPARE(currentRow, -1);
        QVERIFY(openAfterEnter);
        QCOMPARE(noRow, QStringLiteral("Nincs kiválasztott sor."));
        QCOMPARE(cell(QStringLiteral("SELECT COALESCE(lencsemarka, 'NULL') FROM munkalap WHERE munkalap = %1").arg(key)),
                 QStringLiteral("NULL"));
    }

    void cancelExistingOrderKeepsIt()
    {
        test::TestDb db(QStringLiteral("wo_cancel_old"));
        const qint64 key = CreateWorkOrder(Connection::main(), addClient(QStringLiteral("Lakatos Jenő")), 1);
        ExecSql(QStringLiteral("UPDATE munkalap SET ar_keret = 9000, osszar = 9000, fizetendo = 9000 WHERE munkalap = %1").arg(key));
        onModal(named("frm_Munkalap"), [&](QWidget *w) {
            typeInto(w, QStringLiteral("ar_keret"), QStringLiteral("1"));
            typeInto(w, QStringLiteral("jobbsph"), QStringLiteral("2"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        });
        QCOMPARE(EditWorkOrder(key, -1, 1), -1);
        QCOMPARE(orderCount(), 1);
        QCOMPARE(number(key, QStringLiteral("ar_keret")), 9000.0);
        QCOMPARE(number(key, QStringLiteral("osszar")), 9000.0);
        QCOMPARE(cell(QStringLiteral("SELECT COALESCE(jobbsph, 'NULL') FROM munkalap WHERE munkalap = %1").arg(key)),
                 QStringLiteral("NULL"));
    }

    // ---- choosing the client first ----------------------------------------------------------

    void clientPicker_data()
    {
        QTest::addColumn<bool>("choose");
        QTest::addColumn<qint64>("result"); // -2: the new key
        QTest::newRow("cancelled: nothing created, 0") << false << qint64(0);
        QTest::newRow("chosen: the order is the client's") << true << qint64(-2);
    }
    void clientPicker()
    {
        QFETCH(bool, choose);
        QFETCH(qint64, result);
        test::TestDb db(QStringLiteral("wo_picker"));
        addClient(QStringLiteral("Balogh Anna"));
        const qint64 client = addClient(QStringLiteral("Molnár Zsófia"));
        bool editorOpened = false;
        QString pickerTitle, clientShown;
        onModal(named("frm_TorzsUgyfel"), [&](QWidget *w) {
            pickerTitle = w->windowTitle();
            if (!choose) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                return;
            }
            onModal(named("frm_Munkalap"), [&](QWidget *ed) {
                editorOpened = true;
                clientShown = edit(ed, QStringLiteral("edUgyfel"))->text();
                ed->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
            });
            typeText(QApplication::focusWidget(), QStringLiteral("molnár"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
        const qint64 key = EditWorkOrder(-1, -1, 2);
        QCOMPARE(pickerTitle, QStringLiteral("Ügyfél választás"));
        if (result == 0) {
            QCOMPARE(key, qint64(0));
            QVERIFY(!editorOpened);
            QCOMPARE(orderCount(), 0);
        } else {
            QVERIFY(key > 0);
            QVERIFY(editorOpened);
            QCOMPARE(clientShown, QStringLiteral("Molnár Zsófia"));
            QCOMPARE(cell(QStringLiteral("SELECT ugyfel FROM munkalap WHERE munkalap = %1").arg(key)), QString::number(client));
            QCOMPARE(cell(QStringLiteral("SELECT mlaptipus FROM munkalap WHERE munkalap = %1").arg(key)), QStringLiteral("2"));
        }
    }

    // ---- two workstations creating orders at once ------------------------------------------

    void concurrentCreationGetsOwnKeys()
    {
        test::TestDb db(QStringLiteral("wo_concurrent"));
        const qint64 c1 = addClient(QStringLiteral("Első Ügyfél"));
        const qint64 c2 = addClient(QStringLiteral("Második Ügyfél"));
        constexpr int kOrders = 40;
        QVector<qint64> keys1, keys2;
        std::atomic<int> ready{0};
        QString failure;
        const auto work = [&](qint64 client, QVector<qint64> *keys) {
            try {
                Connection c;
                c.open(db.params());
                ++ready;
                while (ready < 2) {
                }
                for (int i = 0; i < kOrders; ++i)
                    keys->append(CreateWorkOrder(c, client, 1));
            } catch (const Error &e) {
                failure = e.message();
            }
        };
        std::thread t1(work, c1, &keys1);
        std::thread t2(work, c2, &keys2);
        t1.join();
        t2.join();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(keys1.size(), kOrders);
        QCOMPARE(keys2.size(), kOrders);
        QSet<qint64> all;
        for (qint64 k : keys1) {
            QCOMPARE(cell(QStringLiteral("SELECT ugyfel FROM munkalap WHERE munkalap = %1").arg(k)), QString::number(c1));
            all.insert(k);
        }
        for (qint64 k : keys2) {
            QCOMPARE(cell(QStringLiteral("SELECT ugyfel FROM munkalap WHERE munkalap = %1").arg(k)), QString::number(c2));
            all.insert(k);
        }
        QCOMPARE(all.size(), 2 * kOrders);
    }

    void creationRefusedForUnknownClient()
    {
        test::TestDb db(QStringLiteral("wo_unknown"));
        QString text;
        answerBox(&text);
        QCOMPARE(EditWorkOrder(-1, 4711, 1), -1);
        QVERIFY2(text.startsWith(QStringLiteral("Hiba: ")) && text.contains(QStringLiteral("ügyfél")), qPrintable(text));
        QCOMPARE(orderCount(), 0);
    }

    // ---- closed, vanished ---------------------------------------------------------------------

    void handedOverOrderCannotBeSaved()
    {
        test::TestDb db(QStringLiteral("wo_closed"));
        const qint64 key = CreateWorkOrder(Connection::main(), addClient(QStringLiteral("Papp Gizella")), 1);
        ExecSql(QStringLiteral("UPDATE munkalap SET ar_keret = 20000, osszar = 20000, fizetendo = 20000, statusz = 3, "
                               "dat_kesz = '2024-05-02' WHERE munkalap = %1").arg(key));
        bool okEnabled = true, printEnabled = false;
        QString shownTotal, status, taken;
        onModal(named("frm_Munkalap"), [&](QWidget *w) {
            okEnabled = w->findChild<QPushButton *>(QStringLiteral("btnOK"))->isEnabled();
            printEnabled = w->findChild<QPushButton *>(QStringLiteral("btnNyomtat"))->isEnabled()
                || w->findChild<QPushButton *>(QStringLiteral("btnElokep"))->isEnabled();
            status = edit(w, QStringLiteral("edStatusz"))->text();
            taken = edit(w, QStringLiteral("edDatKesz"))->text();
            // It can still be recalculated on screen.
            typeInto(w, QStringLiteral("ar_keret"), QStringLiteral("15000"));
            shownTotal = edit(w, QStringLiteral("osszar"))->text();
            w->findChild<QPushButton *>(QStringLiteral("btnOK"))->click(); // disabled: nothing happens
            QVERIFY(w->isVisible());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        });
        QCOMPARE(EditWorkOrder(key, -1, 1), -1);
        QVERIFY(!okEnabled);
        QVERIFY(printEnabled); // a closed order still prints, as stored
        QCOMPARE(status, QStringLiteral("Átadva"));
        QCOMPARE(taken, QStringLiteral("2024.05.02"));
        QCOMPARE(shownTotal, QStringLiteral("15 000"));
        QCOMPARE(number(key, QStringLiteral("ar_keret")), 20000.0);
        QCOMPARE(number(key, QStringLiteral("osszar")), 20000.0);
        QCOMPARE(orderCount(), 1);
    }

    void missingOrder()
    {
        test::TestDb db(QStringLiteral("wo_missing"));
        QString text;
        answerBox(&text);
        QCOMPARE(EditWorkOrder(4242, -1, 1), -1);
        QCOMPARE(text, WorkOrderMissingText());
        QCOMPARE(orderCount(), 0);
    }

    void orderDeletedWhileOpen()
    {
        test::TestDb db(QStringLiteral("wo_vanish"));
        const qint64 client = addClient(QStringLiteral("Simon Aladár"));
        const qint64 other = CreateWorkOrder(Connection::main(), client, 1);
        const qint64 key = CreateWorkOrder(Connection::main(), client, 1);
        QString text;
        onModal(named("frm_Munkalap"), [&](QWidget *w) {
            typeInto(w, QStringLiteral("ar_keret"), QStringLiteral("30000"));
            Connection elsewhere;
            elsewhere.open(db.params());
            elsewhere.exec(QStringLiteral("DELETE FROM munkalap WHERE munkalap = %1").arg(key));
            answerBox(&text);
            w->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
        });
        QCOMPARE(EditWorkOrder(key, -1, 1), -1);
        QCOMPARE(text, WorkOrderMissingText());
        // Nothing came back, and the other order was not touched.
        QCOMPARE(orderCount(), 1);
        QCOMPARE(number(other, QStringLiteral("ar_keret")), 0.0);
    }

    // Two workstations on one order: B stores the right lens while A types
    // the left one. A's OK must not store totals computed from a stale right
    // price: it is told, sees B's values, and its second OK stores a
    // consistent order.
    void orderChangedElsewhereWhileOpen()
    {
        test::TestDb db(QStringLiteral("wo_conflict"));
        const qint64 client = addClient(QStringLiteral("Szabó Ilona"));
        const qint64 key = CreateWorkOrder(Connection::main(), client, 1);
        QString text, rightShown;
        bool stillOpen = false;
        onModal(named("frm_Munkalap"), [&](QWidget *w) {
            typeInto(w, QStringLiteral("ar_bal"), QStringLiteral("10000"));
            Connection elsewhere;
            elsewhere.open(db.params());
            elsewhere.exec(QStringLiteral("UPDATE munkalap SET ar_jobb = 14490, osszar = 14490, fizetendo = 14490 "
                                          "WHERE munkalap = %1").arg(key));
            answerBox(&text);
            w->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
            stillOpen = w->isVisible();
            QApplication::setActiveWindow(w); // back from the message, as the window system does
            rightShown = edit(w, QStringLiteral("ar_jobb"))->text();
            typeInto(w, QStringLiteral("ar_bal"), QStringLiteral("10000"));
            w->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
        });
        QCOMPARE(EditWorkOrder(key, -1, 1), key);
        QCOMPARE(text, QStringLiteral("A sort időközben más módosította vagy törölte; az adatokat újraolvastam."));
        QVERIFY(stillOpen);
        QCOMPARE(rightShown, QStringLiteral("14 490"));
        QCOMPARE(number(key, QStringLiteral("ar_jobb")), 14490.0);
        QCOMPARE(number(key, QStringLiteral("ar_bal")), 10000.0);
        QCOMPARE(number(key, QStringLiteral("osszar")), 24490.0);
        QCOMPARE(number(key, QStringLiteral("fizetendo")), 24490.0);
    }

    void windowDestroyedWhileShown()
    {
        test::TestDb db(QStringLiteral("wo_destroy"));
        const qint64 key = CreateWorkOrder(Connection::main(), addClient(QStringLiteral("Kelemen Vera")), 1);
        auto *w = new WorkOrderEditor;
        QVERIFY(w->loadOrder(key, 1));
        w->show();
        QApplication::setActiveWindow(w);
        QLineEdit *e = w->field(QStringLiteral("ar_keret"));
        e->setFocus();
        typeText(e, QStringLiteral("5"));
        QCOMPARE(QApplication::focusWidget(), e);
        // The field loses its focus inside the window's destruction.
        delete w;
        QCOMPARE(number(key, QStringLiteral("ar_keret")), 0.0);
    }

    // ---- brands ---------------------------------------------------------------------------------

    void brandChoice()
    {
        test::TestDb db(QStringLiteral("wo_brand"));
        const qint64 key = CreateWorkOrder(Connection::main(), addClient(QStringLiteral("Horváth Lili")), 1);
        addBrand(QStringLiteral("lencsemarka"), QStringLiteral("Essilor"));
        const qint64 hoya = addBrand(QStringLiteral("lencsemarka"), QStringLiteral("Hoya"));
        const qint64 rodenstock = addBrand(QStringLiteral("lencsemarka"), QStringLiteral("Rodenstock"));
        addBrand(QStringLiteral("keretmarka"), QStringLiteral("Ray-Ban"));
        addBrand(QStringLiteral("keretmarka"), QStringLiteral("Silhouette"));
        ExecSql(QStringLiteral("UPDATE munkalap SET lencsemarka = %1 WHERE munkalap = %2").arg(hoya).arg(key));

        QString lensBefore, lensCurrentInList, lensAfter, focusAfter, frameCurrentInList, frameAfter, listTitle;
        onModal(named("frm_Munkalap"), [&](QWidget *w) {
            lensBefore = edit(w, QStringLiteral("edLencsemarka"))->text();
            onModal(named("frm_Torzsadat"), [&](QWidget *list) {
                auto *l = static_cast<MasterDataList *>(list);
                listTitle = l->windowTitle();
                lensCurrentInList = l->currentText(QStringLiteral("lencsemarka_nev"));
                QTest::keyClick(l->grid(), Qt::Key_Down);
                QTest::keyClick(l->grid(), Qt::Key_Return);
            });
            w->findChild<QPushButton *>(QStringLiteral("btnLencsemarka"))->click();
            QApplication::setActiveWindow(w);
            lensAfter = edit(w, QStringLiteral("edLencsemarka"))->text();
            focusAfter = QApplication::focusWidget()->objectName();
            // No frame brand yet: the list stands on no row; Esc keeps none.
            onModal(named("frm_Torzsadat"), [&](QWidget *list) {
                frameCurrentInList = static_cast<MasterDataList *>(list)->currentText(QStringLiteral("keretmarka_nev"));
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            });
            w->findChild<QPushButton *>(QStringLiteral("btnKeretmarka"))->click();
            frameAfter = edit(w, QStringLiteral("edKeretmarka"))->text();
            w->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
        });
        QCOMPARE(EditWorkOrder(key, -1, 1), key);
        QCOMPARE(listTitle, QStringLiteral("Lencse márka"));
        QCOMPARE(lensBefore, QStringLiteral("Hoya"));
        QCOMPARE(lensCurrentInList, QStringLiteral("Hoya"));
        QCOMPARE(lensAfter, QStringLiteral("Rodenstock"));
        QCOMPARE(focusAfter, QStringLiteral("tipus"));
        QCOMPARE(frameCurrentInList, QString());
        QCOMPARE(frameAfter, QString());
        QCOMPARE(cell(QStringLiteral("SELECT lencsemarka FROM munkalap WHERE munkalap = %1").arg(key)),
                 QString::number(rodenstock));
        QCOMPARE(cell(QStringLiteral("SELECT COALESCE(keretmarka, 'NULL') FROM munkalap WHERE munkalap = %1").arg(key)),
                 QStringLiteral("NULL"));
    }

    // ---- the browser -------------------------------------------------------------------------------

    void browserColoursAndColumns()
    {
        test::TestDb db(QStringLiteral("wo_browse"));
        const qint64 client = addClient(QStringLiteral("Bognár Kata"));
        const qint64 other = addClient(QStringLiteral("Más Valaki"));
        // status, storno, total
        const QList<std::tuple<int, const char *, int>> orders = {
            {1, "N", 30000}, {2, "N", 10000}, {3, "N", 50000}, {3, "I", 20000}, {1, "I", 40000}};
        for (const auto &[status, storno, total] : orders) {
            const qint64 k = CreateWorkOrder(Connection::main(), client, status == 2 ? 4 : 1);
            ExecSql(QStringLiteral("UPDATE munkalap SET statusz = %1, storno = '%2', osszar = %3, eloleg = 1000, "
                                   "fizetendo = %3 - 1000 WHERE munkalap = %4")
                        .arg(status).arg(QLatin1String(storno)).arg(total).arg(k));
        }
        CreateWorkOrder(Connection::main(), other, 1);

        const QColor blue(196, 224, 255), green(193, 255, 224), red(255, 221, 221), darkRed(128, 0, 0);
        bool checked = false;
        onModal(named("frm_MunkalapBongeszo"), [&](QWidget *w) {
            auto *b = static_cast<WorkOrderHistory *>(w);
            GridModel *m = b->model();
            QCOMPARE(b->windowTitle(), QStringLiteral("Munkalapok"));
            QCOMPARE(b->heading()->text(), QStringLiteral("Bognár Kata  "));
            // No search box here: the keys go to the grid, also after a sort.
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(b->grid()));
            QCOMPARE(m->rowCount(), 5);
            QStringList captions;
            for (int c = 0; c < m->columnCount(); ++c)
                captions << m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
            QCOMPARE(captions, (QStringList{"Sorszám", "Típus", "Beérkezett", "Határidő", "Elkészült", "Előleg",
                                            "Összesen", "Utólag", "Státusz"}));
            const auto bg = [m](int r, int c) { return m->data(m->index(r, c), Qt::BackgroundRole).value<QColor>(); };
            const auto fg = [m](int r, int c) { return m->data(m->index(r, c), Qt::ForegroundRole).value<QColor>(); };
            // Rows in key order: received, ready, handed over, cancelled+closed, cancelled.
            QVERIFY(!m->data(m->index(0, 1), Qt::BackgroundRole).isValid());
            QCOMPARE(bg(1, 1), blue);
            QCOMPARE(bg(2, 8), green);
            QCOMPARE(bg(3, 1), red);
            QCOMPARE(fg(3, 1), darkRed);
            QCOMPARE(bg(4, 5), red);
            QCOMPARE(fg(4, 5), darkRed);
            QCOMPARE(m->displayText(1, 1), QStringLiteral("Kontaktlencse"));
            QCOMPARE(m->displayText(2, 8), QStringLiteral("Átadva"));
            QCOMPARE(m->displayText(2, 6), QStringLiteral("50 000"));
            QCOMPARE(m->displayText(2, 7), QStringLiteral("49 000"));
            // The sort column keeps its own colour, also in coloured rows.
            QCOMPARE(bg(3, 0), MarkColor());
            // Print, preview and export are there.
            QVERIFY(b->aNyomtat->isEnabled());
            QVERIFY(b->aNyomKep->isEnabled());
            QVERIFY(b->aExcelbe->isEnabled());
            // Sorting by "Összesen".
            QTest::mouseClick(b->grid()->horizontalHeader()->viewport(), Qt::LeftButton, {},
                              QPoint(b->grid()->horizontalHeader()->sectionViewportPosition(6) + 5, 5));
            QStringList totals;
            for (int r = 0; r < m->rowCount(); ++r)
                totals << m->displayText(r, 6);
            QCOMPARE(totals, (QStringList{"10 000", "20 000", "30 000", "40 000", "50 000"}));
            QCOMPARE(m->markedColumn(), 6);
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(b->grid()));
            QCOMPARE(bg(0, 6), MarkColor());
            QCOMPARE(bg(0, 0), blue); // the order of status 2 is now first
            // Widths: "Típus" 20 %, the others 10 % of the width less 44.
            b->resize(1000, 400);
            QCoreApplication::processEvents();
            const int c0 = b->grid()->columnWidth(0), c1 = b->grid()->columnWidth(1);
            QVERIFY2(qAbs(c1 - 2 * c0) <= 1, qPrintable(QStringLiteral("%1 %2").arg(c0).arg(c1)));
            int sum = 0;
            for (int c = 0; c < m->columnCount(); ++c)
                sum += b->grid()->columnWidth(c);
            QVERIFY(qAbs(sum - (b->grid()->viewport()->width() - 44)) <= 30);
            checked = true;
            QTest::keyClick(b->grid(), Qt::Key_Escape);
        });
        BrowseClientWorkOrders(client);
        QVERIFY(checked);
    }

    void browserEmpty()
    {
        test::TestDb db(QStringLiteral("wo_browse_empty"));
        const qint64 client = addClient(QStringLiteral("Új Ügyfél"));
        int rows = -1;
        QString counter;
        onModal(named("frm_MunkalapBongeszo"), [&](QWidget *w) {
            auto *b = static_cast<WorkOrderHistory *>(w);
            rows = b->model()->rowCount();
            counter = RecordPositionText(b->grid());
            b->aBezar->trigger();
        });
        BrowseClientWorkOrders(client);
        QCOMPARE(rows, 0);
        QCOMPARE(counter, QStringLiteral("0: 0"));
    }

    // "Új munkalap ebből" in the client's browser (Shift+F4): the editor opens
    // on a new order of the same type and client with the lens, frame and PD
    // values of the chosen one, prices, deposit, dates and status new; Esc
    // leaves no order behind, OK keeps it and the browser stands on it.
    void newOrderFromChosenOne()
    {
        test::TestDb db(QStringLiteral("wo_from"));
        const qint64 client = addClient(QStringLiteral("Ismét Irén"));
        const qint64 lens = addBrand(QStringLiteral("lencsemarka"), QStringLiteral("Élesítő"));
        const qint64 frame = addBrand(QStringLiteral("keretmarka"), QStringLiteral("Acélváz"));
        // The client's current special prescription differs from the order's.
        ExecSql(QStringLiteral("UPDATE ugyfel_sz_egyeb SET sph = '-2,00', ax = '45' WHERE ugyfel = %1").arg(client));
        const qint64 source = CreateWorkOrder(Connection::main(), client, 3);
        ExecSql(QStringLiteral("UPDATE munkalap SET lencsemarka = %1, tipus = 'Multifokális', keretmarka = %2, "
                               "kerettipus = 'Kerek titán', jobbsph = '+1,00', jobbcyl = '-0,25', jobbax = '10', "
                               "jobbpd = '32', jobbprism = '1', balsph = '+0,75', balpd = '31,5', balegyeb = 'B', "
                               "ar_keret = 20000, ar_jobb = 9000, eloleg = 5000, osszar = 29000, fizetendo = 24000, "
                               "megj = 'régi megjegyzés', datum = '2020-01-02', dat_hatid = '2020-01-09', "
                               "dat_kesz = '2020-01-08', statusz = 3 WHERE munkalap = %3")
                    .arg(lens).arg(frame).arg(source));
        const QString carried = QStringLiteral(
            "SELECT CONCAT_WS('|', mlaptipus, ugyfel, lencsemarka, tipus, keretmarka, kerettipus, jobbsph, jobbcyl, jobbax, "
            "jobbpd, jobbprism, jobbegyeb, balsph, balcyl, balax, balpd, balprism, balegyeb) FROM munkalap WHERE munkalap = %1");

        QStringList shown;
        qint64 standing = -1;
        int rowsAfterCancel = -1, ordersAfterCancel = -1, rowsAfterOk = -1;
        onModal(named("frm_MunkalapBongeszo"), [&](QWidget *w) {
            auto *b = static_cast<WorkOrderHistory *>(w);
            QCOMPARE(b->aUjEbbol->text(), QStringLiteral("Új munkalap ebből"));
            QCOMPARE(b->currentKey(), source);
            // First cancelled with Esc.
            onModal(named("frm_Munkalap"), [&](QWidget *e) {
                auto *ed = static_cast<WorkOrderEditor *>(e);
                shown << ed->findChild<QLineEdit *>(QStringLiteral("edLencsemarka"))->text() << ed->findChild<QLineEdit *>(QStringLiteral("edKeretmarka"))->text() << ed->field(QStringLiteral("jobbpd"))->text()
                      << ed->field(QStringLiteral("balpd"))->text() << ed->field(QStringLiteral("jobbsph"))->text()
                      << ed->numberField(QStringLiteral("eloleg"))->text() << ed->findChild<QLineEdit *>(QStringLiteral("edStatusz"))->text();
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            });
            QTest::keyClick(b->grid(), Qt::Key_F4, Qt::ShiftModifier);
            rowsAfterCancel = b->model()->rowCount();
            ordersAfterCancel = orderCount();
            // Then kept with OK (the window system would hand the activation back).
            QApplication::setActiveWindow(b);
            onModal(named("frm_Munkalap"), [](QWidget *e) { e->findChild<QPushButton *>(QStringLiteral("btnOK"))->click(); });
            QTest::keyClick(b->grid(), Qt::Key_F4, Qt::ShiftModifier);
            rowsAfterOk = b->model()->rowCount();
            standing = b->currentKey();
            QTest::keyClick(b->grid(), Qt::Key_Escape);
        });
        BrowseClientWorkOrders(client);

        QCOMPARE(shown.mid(0, 5), (QStringList{"Élesítő", "Acélváz", "32", "31,5", "+1,00"}));
        QVERIFY2(shown.value(5).startsWith(QLatin1Char('0')), qPrintable(shown.value(5)));
        QCOMPARE(rowsAfterCancel, 1);
        QCOMPARE(ordersAfterCancel, 1); // nothing left behind
        QCOMPARE(rowsAfterOk, 2);
        QVERIFY(standing > source);
        QCOMPARE(orderCount(), 2);
        QCOMPARE(cell(carried.arg(standing)), cell(carried.arg(source)));
        QCOMPARE(cell(QStringLiteral("SELECT CONCAT_WS('|', ar_keret, ar_jobb, eloleg, statusz, datum = CURDATE(), "
                                     "dat_kesz IS NULL, storno, COALESCE(megj, '-')) FROM munkalap WHERE munkalap = %1")
                          .arg(standing)),
                 QStringLiteral("0|0|0|1|1|1|N|-"));
        // The source order is as it was.
        QCOMPARE(cell(QStringLiteral("SELECT CONCAT_WS('|', osszar, statusz, megj) FROM munkalap WHERE munkalap = %1").arg(source)),
                 QStringLiteral("29000|3|régi megjegyzés"));
    }
};

QTEST_MAIN(TestWorkOrders)
#include "tst_workorders.moc"
