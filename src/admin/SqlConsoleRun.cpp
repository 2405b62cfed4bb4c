// The SQL console's runs on its session: scripts statement by statement, the
// worker that holds the session while a statement runs, and its stop.
#include "admin/SqlConsole.h"
#include "ui_SqlConsole.h"
#include "admin/SqlConsoleParts.h"
#include "export/ExportDialog.h"
#include "export/ExportAudit.h"
#include "db/AuditLog.h"

#include "admin/ResultStream.h"
#include "admin/SqlConsoleSession.h"
#include "admin/SqlScriptRunner.h"
#include "admin/TableEditModel.h"
#include "base/Codec.h"
#include "base/Error.h"
#include "base/Text.h"
#include "config/Config.h"
#include "db/Connection.h"
#include "db/RowConflict.h"
#include "ui/WindowBehaviour.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"
#include "ui/MessageBoxes.h"
#include "ui/WindowKeys.h"
#include "ui/JobProgress.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QThread>

#include <atomic>

#include <Qsci/qscilexersql.h>
#include <Qsci/qsciscintilla.h>

namespace qo {

using namespace console;

void SqlConsole::runScript(const QString &text)
{
    leaveTableRow();
    m_ui->resultStack->setCurrentWidget(m_ui->DBGrid1);
    m_queryModel->clear();
    m_result->close();
    updatePosition();
    if (!ensureConnection())
        return;
    const QStringList lines = splitLines(text);
    m_ui->ProgressBar1->setMaximum(1);
    m_ui->ProgressBar1->setValue(0);
    m_ui->ProgressBar1->show();
    // Statements done of the total, counted on the worker.
    std::atomic<int> done{0}, total{0};
    JobProgress progress(QStringLiteral("SQL futtatás"), QStringLiteral("utasítás"), this);
    SqlScriptRunner runner(*m_db);
    SqlScriptRunner::Result r;
    try {
        runOnSession(
            [&] {
                r = runner.run(
                    text,
                    [&](int n, int of) {
                        total = of;
                        done = n;
                        m_run->checkStop();
                    },
                    [&](const QString &sql) {
                        m_run->checkStop();
                        try {
                            m_db->exec(sql);
                        } catch (const Error &e) {
                            if (m_run->stopAsked() && e.code() == SessionRun::kQueryInterrupted)
                                throw JobCancelled();
                            throw;
                        }
                    });
            },
            &progress,
            [&] {
                const int of = total.load();
                if (of > 0 && m_ui->ProgressBar1->maximum() != of) {
                    progress.setTotal(of);
                    m_ui->ProgressBar1->setMaximum(of);
                }
                m_ui->ProgressBar1->setValue(done.load());
                return qint64(done.load());
            });
    } catch (const Error &e) {
        // The run's own bookkeeping failed (the link itself).
        m_ui->ProgressBar1->hide();
        m_ui->ProgressBar1->setValue(0);
        ShowError(withSessionNote(QStringLiteral("Hiba: ") + e.message()), this);
        return;
    }
    m_ui->ProgressBar1->hide();
    m_ui->ProgressBar1->setValue(0);
    // A transaction the script left open is neither stored nor undone: say so.
    const QString openTransaction = r.transactionOpen
        ? QStringLiteral("\n\nA munkamenetben nyitott tranzakció maradt: a benne lefutott utasítások eredménye még "
                         "nincs véglegesítve. COMMIT tárolja, ROLLBACK visszavonja; a konzol bezárása visszavonja.")
        : QString();
    const QString doneBefore = r.statementsRun == 0 ? QStringLiteral("Előtte nem futott le utasítás")
        : r.transactionOpen ? QStringLiteral("Az előtte álló %1 utasítás lefutott").arg(r.statementsRun)
                            : QStringLiteral("Az előtte álló %1 utasítás lefutott, az eredménye tárolva").arg(r.statementsRun);
    if (r.stopped) {
        const QString message = QStringLiteral("A parancsfájl futása megszakítva a(z) %1. utasításnál (%2. sor), %3 utasításból.")
                                    .arg(r.stoppedNumber)
                                    .arg(r.stoppedLine)
                                    .arg(r.statementsTotal)
            + QStringLiteral("\n\n") + doneBefore
            + QStringLiteral("; ez nem futott le (amit már elkezdett, azt a szerver visszavonta), és a későbbiek sem.")
            + openTransaction;
        ShowInfo(withSessionNote(message), this);
        return;
    }
    if (!r.ok) {
        // Which statement failed, and that those before it stay done.
        QString where = QStringLiteral("\n\nHibás utasítás: %1. (%2. sor)\n%3\n\n")
                            .arg(r.failedNumber)
                            .arg(r.failedLine)
                            .arg(lines.value(r.failedLine - 1).trimmed().left(200));
        where += r.statementsRun > 0
            ? QStringLiteral("Az előtte álló %1 utasítás lefutott; ez és a későbbiek nem.").arg(r.statementsRun)
            : QStringLiteral("Előtte nem futott le utasítás; ez és a későbbiek sem.");
        ShowError(withSessionNote(QStringLiteral("Hiba: ") + r.error + where + openTransaction), this);
        return;
    }
    QString done_ = QStringLiteral("SQL futtatás kész.");
    // Text after the last delimiter is not run; say so instead of keeping quiet.
    if (!r.leftOver.isEmpty())
        done_ += QStringLiteral("\n\nAz utolsó utasítás nem futott le, mert nincs a végén pontosvessző "
                                "(vagy a beállított határoló):\n")
            + r.leftOver.left(200);
    ShowInfo(done_, this);
}

void SqlConsole::runOnSession(const std::function<void()> &work, JobProgress *progress,
                              const std::function<qint64()> &done)
{
    // A stop of the last result still on its way would break off this work's
    // statement instead.
    while (m_result->stopUnderWay(10))
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 30);
    SessionRun run(*m_db);
    m_run = &run;
    m_stopAsked = false;
    setRunning(true);
    run.start(work);
    // The window stays live while the worker holds the session: without a
    // progress window every event is handled here (the console's own
    // "Leállítás" and Esc); with one, that window decides, as for every long job.
    while (!run.waitFor(10)) {
        if (progress) {
            progress->advance(done ? done() : 0);
            if (progress->cancelled())
                m_stopAsked = true;
        } else {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 30);
        }
        if (m_stopAsked)
            run.stop();
        flushAudit();
    }
    if (progress && done)
        progress->advance(done());
    m_run = nullptr;
    setRunning(false);
    flushAudit();
    run.rethrow();
    if (m_stopAsked && !progress)
        throw JobCancelled(); // stopped, even if the statement had just ended
}

void SqlConsole::setRunning(bool on)
{
    m_running = on;
    m_ui->btn_Leallitas->setEnabled(on);
    for (QAction *a : {m_ui->aFuttat, m_ui->aEredmeny, m_ui->aMegnyit, m_ui->aUj})
        a->setEnabled(!on);
    m_ui->aExport->setEnabled(!on && m_resultOpened);
    m_ui->aMasol->setEnabled(!on && m_resultOpened);
    // The grids would read from or write to the session the worker holds.
    m_ui->resultStack->setEnabled(!on);
}

void SqlConsole::stopStatement()
{
    if (!m_running || m_stopAsked)
        return;
    m_stopAsked = true;
    m_ui->btn_Leallitas->setEnabled(false);
    if (m_run)
        m_run->stop();
}

void SqlConsole::flushAudit()
{
    QStringList queued;
    {
        const std::lock_guard<std::mutex> lock(m_auditMutex);
        queued.swap(m_auditQueue);
    }
    for (const QString &sql : std::as_const(queued))
        AddAuditEvent(QLatin1String(Audit::kSql), {}, {}, sql);
}

} // namespace qo
