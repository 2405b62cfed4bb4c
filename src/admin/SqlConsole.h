#pragma once
// "SQL lekérdezés": the free SQL console. Queries and scripts run on a
// connection of the console's own, opened with it on the main connection's
// database, so that a session's settings, temporary tables and a transaction
// begun in the console last across its statements, and a long result can
// stay open there, read page by page as its grid scrolls, while the main
// connection stays free. A query shows its rows, other text runs as a script
// statement by statement, and a first line "table:name" opens that table for
// editing in place, in the same session.
#include "db/RowSet.h"

#include <QDialog>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class QAbstractItemModel;
class QAction;
class QLabel;
class QKeySequence;

namespace qo {

namespace Ui {
class SqlConsole;
}

class Connection;
class Grid;
class GridModel;
class JobProgress;
class ResultStream;
class SessionRun;
class TableEditModel;

class SqlConsole : public QDialog {
    Q_OBJECT
public:
    explicit SqlConsole(QWidget *parent = nullptr);
    ~SqlConsole() override;

    // The current result for the export dialog: the model the result page
    // shows (query rows or the browsed table), nullptr before any result.
    QAbstractItemModel *currentResultModel() const;
    // The rows of the last query read so far (empty when none is open).
    const RowSet &queryRows() const;
    // The console's own connection.
    Connection &connection() const { return *m_db; }
    // The tab-separated clipboard text of the rows the current result holds
    // ("Másol" of the table mode; a query's result is copied as it streams).
    QString resultAsText() const;
    // Whether a statement runs now (the window stays live meanwhile).
    bool running() const { return m_running; }
    QString fileName() const { return m_fileName; }

public Q_SLOTS:
    void done(int result) override;

protected:
    bool eventFilter(QObject *obj, QEvent *e) override;

private:
    void aUjExecute();
    void aMegnyitExecute();
    void aMentExecute();
    void aMasolExecute();
    void aExportExecute();
    // Reads the unread rest of the query's result on the session, so that
    // the grid holds it whole; false when stopped or failed (the user was told).
    bool readWholeResult();
    bool ensureConnection();
    void aFuttatExecute();
    void aEredmenyExecute();
    void aTabExecute();
    bool runTableMode();
    void runQuery(const QString &sql, bool fixedWidths);
    void runScript(const QString &text);
    // Runs work on the session from a worker thread while this window stays
    // live; Esc or "Leállítás" (or the progress window's button, when given)
    // stop it. Throws the work's failure, JobCancelled when it was stopped.
    void runOnSession(const std::function<void()> &work, JobProgress *progress = nullptr,
                      const std::function<qint64()> &done = {});
    void setRunning(bool on);
    void stopStatement();
    void flushAudit();
    void copyQueryResult();
    // Runs first() and then reads the unread rest of the streamed result on
    // the session under the progress window, each batch to take(); done is
    // what the window counts. False when stopped or failed: the user has been
    // told (`cancelled` on a stop), and a result that was streaming is closed
    // with its grid emptied, since the rows read meanwhile are gone from it.
    bool readResultRest(JobProgress &progress, const QString &cancelled, const std::function<void()> &first,
                        const std::function<void(RowSet &batch)> &take, const std::atomic<qint64> &done);
    void resultOpened();
    void updatePosition();
    bool postPendingRow(int row, bool closing = false);
    void tableConflict(const QString &message, bool closing);
    void leaveTableRow();
    QString sqlFolder() const;

    void openSession();
    QString withSessionNote(const QString &message);
    std::unique_ptr<Ui::SqlConsole> m_ui;
    QLabel *m_positionLabel = nullptr;
    std::unique_ptr<Connection> m_db;
    std::unique_ptr<ResultStream> m_result; // reads the last query's rows from m_db
    GridModel *m_queryModel = nullptr;
    TableEditModel *m_tableModel = nullptr;
    QString m_fileName;
    QString m_copiedText; // the last copy, shared with the clipboard
    bool m_running = false;
    bool m_stopAsked = false;
    bool m_resultOpened = false;
    SessionRun *m_run = nullptr;
    // Statements sent from the worker, written to the audit log by this thread.
    std::mutex m_auditMutex;
    QStringList m_auditQueue;
};

// Shows the console modally.
void ShowSqlConsole(QWidget *parent);

} // namespace qo
