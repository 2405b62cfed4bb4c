// The SQL console's commands that take the whole result: "Másol" (the result
// as tab-separated lines on the clipboard) and the reading before "Export".
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

QString SqlConsole::resultAsText() const
{
    const QAbstractItemModel *m = currentResultModel();
    if (!m)
        return {};
    // A line of column names, then one line per row, every value followed by
    // a tab, ";" in values turned into ",", CR LF after every line.
    QString out;
    const int cols = m->columnCount();
    for (int c = 0; c < cols; ++c)
        out += m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() + QLatin1Char('\t');
    out += QStringLiteral("\r\n");
    for (int r = 0; r < m->rowCount(); ++r) {
        for (int c = 0; c < cols; ++c)
            out += m->index(r, c).data(Qt::DisplayRole).toString().replace(QLatin1Char(';'), QLatin1Char(','))
                + QLatin1Char('\t');
        out += QStringLiteral("\r\n");
    }
    return out;
}

void SqlConsole::aMasolExecute()
{
    if (m_running)
        return;
    if (m_ui->resultStack->currentWidget() == m_ui->DBGrid1) {
        copyQueryResult();
        return;
    }
    QApplication::clipboard()->setText(resultAsText());
    LogListExport(m_ui->DBGrid1, -1, QStringLiteral("szöveg"), {});
}

namespace {

constexpr int kCopyBatch = 2000; // held rows turned into text between two looks at the stop

void appendCopyLines(QString &out, const RowSet &rows, const QVector<GridColumn> &columns, int from, int to)
{
    for (int r = from; r < to; ++r) {
        for (const GridColumn &col : columns) {
            QString cell = CellText(rows, r, col);
            cell.replace(QLatin1Char(';'), QLatin1Char(','));
            out += cell;
            out += QLatin1Char('\t');
        }
        out += QLatin1String("\r\n");
    }
}

} // namespace

bool SqlConsole::readResultRest(JobProgress &progress, const QString &cancelled, const std::function<void()> &first,
                                const std::function<void(RowSet &)> &take, const std::atomic<qint64> &done)
{
    const bool streaming = m_result->isOpen();
    try {
        runOnSession(
            [&] {
                if (first)
                    first();
                m_result->readRest(take, [this] { m_run->checkStop(); });
            },
            &progress, [&done] { return done.load(); });
    } catch (const JobCancelled &) {
        QString message = cancelled;
        if (streaming) {
            // The server broke the result off, or the rows read meanwhile are
            // gone from it: it ends here.
            m_queryModel->clear();
            m_result->close();
            message += QStringLiteral("\n\nAz eredmény már nem olvasható tovább; futtassa újra a lekérdezést.");
        }
        updatePosition();
        ShowInfo(message, this);
        return false;
    } catch (const Error &e) {
        m_queryModel->clear();
        m_result->close();
        updatePosition();
        ShowError(QStringLiteral("SQL hiba:\n") + withSessionNote(e.message()), this);
        return false;
    }
    return true;
}

// "Export" takes the whole result: its unread rest is read on the session
// first, where a stop can reach it, and the grid then holds it whole.
bool SqlConsole::readWholeResult()
{
    if (!m_result->isOpen())
        return true;
    std::atomic<qint64> done{m_queryModel->rows().rowCount()};
    RowSet rest;
    rest.setFields(m_result->fields());
    JobProgress progress(QStringLiteral("Eredmény beolvasása"), QStringLiteral("sor"), this);
    if (!readResultRest(progress, QStringLiteral("A beolvasás megszakítva; az exportálás elmaradt."), {},
                        [&](RowSet &batch) {
                            rest.appendRows(batch, 0, batch.rowCount());
                            done += batch.rowCount();
                        },
                        done))
        return false;
    m_result->showRest(std::move(rest));
    updatePosition();
    return true;
}

// "Másol" of a query's result: the lines are built as the rows come from the
// streamed result and the rows read for it are not kept beside the text (the
// grid then holds the result's last rows, the last one current, as after a
// walk through the whole result). A stop leaves the clipboard as it was.
void SqlConsole::copyQueryResult()
{
    const QVector<GridColumn> columns = m_queryModel->columns();
    const bool streaming = m_result->isOpen();
    if (!m_queryModel->atStart() && !streaming) {
        // Copied before and only the last rows are held: the same text again.
        if (!m_copiedText.isNull())
            QApplication::clipboard()->setText(m_copiedText);
        return;
    }
    QString text;
    for (int c = 0; c < columns.size(); ++c)
        text += m_queryModel->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() + QLatin1Char('\t');
    text += QLatin1String("\r\n");
    const RowSet held = m_queryModel->rows();
    std::atomic<qint64> done{0};
    qint64 total = held.rowCount();
    RowSet last, previous; // the last two batches read, for the grid afterwards
    JobProgress progress(QStringLiteral("Másolás a vágólapra"), QStringLiteral("sor"), this);
    if (!streaming)
        progress.setTotal(held.rowCount());
    const bool read = readResultRest(
        progress, QStringLiteral("A másolás megszakítva; a vágólap változatlan."),
        [&] {
            for (int r = 0; r < held.rowCount(); r += kCopyBatch) {
                m_run->checkStop();
                const int to = qMin(held.rowCount(), r + kCopyBatch);
                appendCopyLines(text, held, columns, r, to);
                done = to;
            }
        },
        [&](RowSet &batch) {
            appendCopyLines(text, batch, columns, 0, batch.rowCount());
            total += batch.rowCount();
            done = total;
            previous = std::move(last);
            last = std::move(batch);
        },
        done);
    if (!read)
        return;
    QApplication::clipboard()->setText(text);
    m_copiedText = text;
    if (streaming) {
        RowSet tail = std::move(previous);
        if (tail.columnCount() == 0)
            tail.setFields(m_result->fields());
        tail.appendRows(last, 0, last.rowCount());
        m_result->showTail(std::move(tail), total);
    }
    LogListExport(m_ui->DBGrid1, int(total), QStringLiteral("szöveg"), {});
    if (m_queryModel->rowCount() > 0)
        m_ui->DBGrid1->setCurrentRowIndex(m_queryModel->rowCount() - 1);
    updatePosition();
}

} // namespace qo
