// Times the statistics printouts on a shop database: the revenue report and
// the sales summary for one year, from the menu command (period and target
// dialogs answered at once) to the last page rendered into a PDF file,
// against the bare command-line client running the same query; the pages per
// second of the rendering; and a 300-client list from the command to its
// first preview page on screen.
//
//   qo_bench_reports HOST PORT DATABASE [RUNS]
#include "BenchCommon.h"
#include "config/Config.h"
#include "config/StoredConnections.h"
#include "db/Connection.h"
#include "mainwindow/MainWindow.h"
#include "clients/ClientPrintouts.h"
#include "reports/ReportOutput.h"
#include "reports/RevenueReports.h"
#include "startup/Splash.h"

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QElapsedTimer>
#include "reports/ReportPreview.h"
#include "workorders/WorkOrderStore.h"
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

using namespace qo;

static double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v[v.size() / 2];
}

struct Server {
    QString host, db;
    int port;
};

static double clientMs(const Server &s, const QString &sql)
{
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    QStringList args{QStringLiteral("--no-defaults"), QStringLiteral("-h") + s.host,
                     QStringLiteral("-P%1").arg(s.port), QStringLiteral("-uqo"), QStringLiteral("-pqo"),
                     QStringLiteral("--default-character-set=latin2"), QStringLiteral("-B"), s.db,
                     QStringLiteral("-e"), sql};
    if (!IsLocalServer(s.host)) // the program's link options
        args.insert(1, QStringLiteral("--compress"));
    p.start(QStringLiteral("mariadb"), args);
    p.waitForFinished(-1);
    return t.nsecsElapsed() / 1e6;
}

// Answers the period dialog with the year and the target dialog with its
// default (preview), as soon as each is shown.
static void answerDialogs(const QDate &from, const QDate &to)
{
    auto *timer = new QTimer;
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, from, to] {
        QWidget *w = QApplication::activeModalWidget();
        if (!w || !w->isVisible())
            return;
        const auto dates = w->findChildren<QDateEdit *>();
        if (dates.size() == 2) {
            dates[0]->setDate(from);
            dates[1]->setDate(to);
        } else {
            timer->deleteLater();
        }
        QMetaObject::invokeMethod(w, "accept", Qt::QueuedConnection);
        if (dates.size() != 2)
            timer->stop();
    });
    timer->start();
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: qo_bench_reports HOST PORT DATABASE [RUNS]\n");
        return 2;
    }
    const Server s{QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[2]).toInt()};
    const int runs = argc > 4 ? std::atoi(argv[4]) : 5;
    SetSplashEnabled(false);
    QTemporaryDir dir;
    bench::UsePrivateConfig(dir);
    WriteStoredConnection(1, QStringLiteral("%1;%2;%3;qo;qo;Bench").arg(s.db, s.host).arg(s.port));
    MainWindow w;
    w.show();
    QApplication::processEvents();

    // The busiest year of the data set.
    const int year = SqlIntValue(QStringLiteral("SELECT YEAR(datum) FROM munkalap WHERE storno = 'N' GROUP BY 1 "
                                                "ORDER BY COUNT(*) DESC LIMIT 1;"), 2024);
    const QDate from(year, 1, 1), to(year, 12, 31);
    std::printf("orders in %d: %d\n", year,
                SqlIntValue(QStringLiteral("SELECT COUNT(*) FROM munkalap WHERE datum BETWEEN '%1-01-01' AND '%1-12-31';").arg(year), 0));

    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    SetReportFileHook([&](const ReportJob &) { return pdf; });
    struct Case {
        const char *name;
        const char *action;
        QString sql;
    } cases[] = {{"revenue report (Árbevétel)", "aArbevetel", RevenueQuery(from, to)},
                 {"sales summary (Fogyások)", "aFogyas", SalesQuery(from, to)}};
    for (const Case &c : cases) {
        QVector<double> total, render, client;
        int pages = 0;
        for (int i = 0; i < runs; ++i) {
            answerDialogs(from, to);
            QElapsedTimer t;
            t.start();
            w.action(QString::fromLatin1(c.action))->trigger();
            total << t.nsecsElapsed() / 1e6;
            pages = LastReportJob().pages;
            client << clientMs(s, c.sql);
        }
        // The rendering alone: the report built once, drawn into the PDF.
        QElapsedTimer bt;
        bt.start();
        const BandReport r = QString::fromLatin1(c.action) == QLatin1String("aArbevetel") ? BuildRevenueReport(from, to)
                                                                                          : BuildSalesReport(from, to);
        const double build = bt.nsecsElapsed() / 1e6;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer t;
            t.start();
            SaveReportPdf(r, pdf);
            render << t.nsecsElapsed() / 1e6;
        }
        // QO_BENCH_PDF_DIR keeps each printout to look at.
        if (qEnvironmentVariableIsSet("QO_BENCH_PDF_DIR"))
            SaveReportPdf(r, qEnvironmentVariable("QO_BENCH_PDF_DIR") + QLatin1Char('/') + QString::fromLatin1(c.action) + QStringLiteral(".pdf"));
        std::printf("%-30s %6d rows %5d pages | command to last page %8.1f ms | mariadb client %8.1f ms | ratio %.2f"
                    " | query and layout %8.1f ms | rendering %8.1f ms = %.0f pages/s\n",
                    c.name, r.data->rowCount(), pages, median(total), median(client), median(total) / median(client),
                    build, median(render), pages / (median(render) / 1000.0));
    }

    // 300 clients: from the command to the first preview page on screen.
    SetReportFileHook({});
    const QString sql = QStringLiteral("SELECT * FROM vw_ugyfel\nWHERE ugyfel > 0\nORDER BY ugyfel_nev\nLIMIT 300;");
    QVector<double> firstPage;
    int pages = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        auto *poll = new QTimer;
        poll->setInterval(0);
        QObject::connect(poll, &QTimer::timeout, poll, [&, poll] {
            auto *p = qobject_cast<ReportPreview *>(QApplication::activeModalWidget());
            if (!p || !p->isVisible() || p->pagesPainted() < 1)
                return;
            firstPage << t.nsecsElapsed() / 1e6;
            poll->deleteLater();
            p->reject();
        });
        poll->start();
        t.start();
        PrintClientList(false, sql, &w);
        pages = LastReportJob().pages;
    }
    std::printf("client list, 300 clients (%d pages): command to first preview page %8.1f ms\n", pages, median(firstPage));
    return 0;
}
