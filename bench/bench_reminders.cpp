// Times the reminder list ("Emlékeztető lista") on a shop database: from the
// command (the criteria dialog answered at once: a year, by letter, with the
// clients whose last work order is older than the setting's months) until the
// list window holds its rows, against the bare command-line client running
// the list's one query.
//
//   qo_bench_reminders HOST PORT DATABASE [RUNS]
//
// Prints `RATIO reminder-list <program ms> <client ms>` (with the tick) and
// `RATIO reminder-list-dates ...` (without it), medians over the runs
// (default 7), and the rows listed. The demo data records no consents: a
// database without any gets, once, a letter consent for two clients in three
// and a withdrawn one for every tenth, so that the consent condition has
// work to do.
#include "BenchCommon.h"
#include "clients/ReminderList.h"
#include "reports/PeriodDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QTimer>

using namespace qo;

namespace {

// Answers the criteria dialog as soon as it shows, and closes the list once
// it shows, noting the time and the rows.
void answer(const ReminderCriteria &c, QElapsedTimer &t, double &ms, int &rows)
{
    auto *timer = new QTimer;
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, c, &t, &ms, &rows] {
        QWidget *w = QApplication::activeModalWidget();
        if (!w || !w->isVisible())
            return;
        if (auto *list = qobject_cast<ReminderList *>(w)) {
            ms = bench::MsSince(t);
            rows = list->rowCount();
            timer->deleteLater();
            QMetaObject::invokeMethod(list, "reject", Qt::QueuedConnection);
            return;
        }
        if (auto *d = qobject_cast<PeriodDialog *>(w)) {
            d->fromDate->setDate(c.from);
            d->toDate->setDate(c.to);
            if (auto *tick = d->findChild<QCheckBox *>(QStringLiteral("cbRegiMunkalap")))
                tick->setChecked(c.oldOrders);
            t.start(); // from "OK": the query, the model and the window
            QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
        }
    });
    timer->start();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ConnectParams p;
    int runs = 7;
    if (!bench::ReadServerArgs(argc, argv, "qo_bench_reminders", 7, p, runs))
        return 2;
    QTemporaryDir dir;
    bench::UsePrivateConfig(dir);
    Connection::main().open(p);
    Connection &db = Connection::main();

    if (SqlIntValue(QStringLiteral("SELECT COUNT(*) FROM hozzajarulas;"), 0) == 0) {
        db.exec(QStringLiteral("INSERT INTO hozzajarulas (ugyfel, cel, megadva, datum, felhasznalo) "
                               "SELECT ugyfel, 'LEVEL', 'I', NOW(), 'bench' FROM ugyfel WHERE ugyfel % 3 <> 0;"));
        db.exec(QStringLiteral("INSERT INTO hozzajarulas (ugyfel, cel, megadva, datum, felhasznalo) "
                               "SELECT ugyfel, 'LEVEL', 'N', NOW(), 'bench' FROM ugyfel WHERE ugyfel % 10 = 0;"));
        std::printf("consents recorded for the benchmark\n");
    }
    // The year with the most reminder dates.
    const int year = SqlIntValue(QStringLiteral("SELECT YEAR(dat_figyelmeztet) FROM ugyfel WHERE dat_figyelmeztet IS NOT NULL "
                                                "GROUP BY 1 ORDER BY COUNT(*) DESC LIMIT 1;"), 2024);
    ReminderCriteria c;
    c.from = QDate(year, 1, 1);
    c.to = QDate(year, 12, 31);
    c.oldOrders = true;
    c.months = ReminderStore(db).settings().months;
    SetPeriodToday(c.from);

    // With the tick (the last orders grouped over the work orders), and
    // without it (the reminder dates alone, on their index).
    for (const bool oldOrders : {true, false}) {
        c.oldOrders = oldOrders;
        QVector<double> program, client;
        int rows = 0;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer t;
            double ms = 0;
            answer(c, t, ms, rows);
            ShowReminderList(nullptr);
            program << ms;
            client << bench::ClientMs(p, ReminderStore::listSql(c));
        }
        const double a = bench::Median(program), b = bench::Median(client);
        const char *name = oldOrders ? "reminder-list" : "reminder-list-dates";
        std::printf("RATIO %s %.1f %.1f\n", name, a, b);
        std::printf("    %d clients listed for %d (letter%s); ratio %.2f (medians of %d)\n", rows, year,
                    oldOrders ? qPrintable(QStringLiteral(", last order older than %1 months").arg(c.months)) : "",
                    a / b, runs);
    }
    return 0;
}
