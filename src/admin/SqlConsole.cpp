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

namespace {

constexpr int kColumnWidth = 100;


// A Courier-like face that the program's packages bring along.
QFont editorFont()
{
    QFont f(QStringLiteral("Liberation Mono"), 10);
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    return f;
}

void setupEditor(QsciScintilla *e)
{
    const QFont font = editorFont();
    auto *lexer = new QsciLexerSQL(e);
    lexer->setDefaultFont(font);
    lexer->setFont(font, -1);
    const QColor green(0, 128, 0), blue(0, 0, 255), red(200, 0, 0);
    for (int s : {QsciLexerSQL::Comment, QsciLexerSQL::CommentLine, QsciLexerSQL::CommentDoc,
                  QsciLexerSQL::CommentLineHash, QsciLexerSQL::CommentDocKeyword})
        lexer->setColor(green, s);
    lexer->setColor(blue, QsciLexerSQL::Number);
    lexer->setColor(red, QsciLexerSQL::SingleQuotedString);
    lexer->setColor(red, QsciLexerSQL::DoubleQuotedString);
    QFont bold = font;
    bold.setBold(true);
    for (int s : {QsciLexerSQL::Keyword, QsciLexerSQL::KeywordSet5, QsciLexerSQL::PlusKeyword})
        lexer->setFont(bold, s);
    lexer->setColor(QColor(0, 0, 128), QsciLexerSQL::Keyword);
    e->setLexer(lexer);
    e->setUtf8(true);
    e->setEolMode(QsciScintilla::EolUnix);
    e->setMarginType(0, QsciScintilla::NumberMargin);
    e->setMarginLineNumbers(0, true);
    e->setMarginsFont(font);
    e->setMarginWidth(0, QStringLiteral("0000"));
    e->setMarginWidth(1, 0); // no symbol margin
    e->SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTH, 1);
    e->SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTHTRACKING, 1);
    e->setCaretLineVisible(true);
    e->setCaretLineBackgroundColor(QColor(225, 240, 255));
    e->setTabWidth(2);
    e->setIndentationsUseTabs(false);
    e->setSelectionBackgroundColor(QColor(192, 192, 192));
    e->setSelectionForegroundColor(Qt::black);
    e->setBraceMatching(QsciScintilla::SloppyBraceMatch);
}

// The selected text, null when nothing is selected. Asked of the editor
// itself: QsciScintilla's own selection flag is refreshed only when the
// window repaints, so right after typing over a selection it still says so.
QString currentSelection(QsciScintilla *e)
{
    if (e->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEMPTY))
        return {};
    const long bytes = e->SendScintilla(QsciScintillaBase::SCI_GETSELTEXT, 0UL, static_cast<void *>(nullptr));
    QByteArray text(qMax(0L, bytes) + 1, '\0');
    e->SendScintilla(QsciScintillaBase::SCI_GETSELTEXT, 0UL, static_cast<void *>(text.data()));
    text.truncate(qstrnlen(text.constData(), text.size()));
    return QString::fromUtf8(text);
}


} // namespace

namespace console {

QStringList splitLines(const QString &text)
{
    static const QRegularExpression eol(QStringLiteral("\r\n|\n|\r"));
    return text.split(eol);
}

void narrowColumns(QTableView *view, bool widen)
{
    for (int c = 0; c < view->model()->columnCount(); ++c)
        if (widen || view->columnWidth(c) > kColumnWidth)
            view->setColumnWidth(c, kColumnWidth);
}

} // namespace console
using console::narrowColumns;
using console::splitLines;

SqlConsole::SqlConsole(QWidget *parent) : QDialog(parent), m_ui(std::make_unique<Ui::SqlConsole>())
{
    m_ui->setupUi(this);
    setObjectName(WindowKeys::kSqlConsole);
    setWindowFlags((windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint)
                   & ~Qt::WindowContextHelpButtonHint);
    m_ui->aFuttat->setShortcuts({QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_Return),
                                 QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    // Until a result has been opened.
    m_ui->aExport->setEnabled(false);
    m_ui->aMasol->setEnabled(false);

    connect(m_ui->aUj, &QAction::triggered, this, &SqlConsole::aUjExecute);
    connect(m_ui->aMegnyit, &QAction::triggered, this, &SqlConsole::aMegnyitExecute);
    connect(m_ui->aMent, &QAction::triggered, this, &SqlConsole::aMentExecute);
    connect(m_ui->aMasol, &QAction::triggered, this, &SqlConsole::aMasolExecute);
    // The export always takes the last query's result, also while a table is browsed.
    connect(m_ui->aExport, &QAction::triggered, this, &SqlConsole::aExportExecute);
    connect(m_ui->aFuttat, &QAction::triggered, this, &SqlConsole::aFuttatExecute);
    connect(m_ui->aEredmeny, &QAction::triggered, this, &SqlConsole::aEredmenyExecute);
    connect(m_ui->aTab, &QAction::triggered, this, &SqlConsole::aTabExecute);
    connect(m_ui->aBezar, &QAction::triggered, this, &QDialog::reject);

    QsciScintilla *editor = m_ui->Memo1;
    setupEditor(editor);
    // The editor takes Esc for itself; while a statement runs it stops it.
    editor->installEventFilter(this);
    editor->viewport()->installEventFilter(this);
    auto *sep = new QAction(editor);
    sep->setSeparator(true);
    editor->addActions({m_ui->aFuttat, m_ui->aEredmeny, sep, m_ui->aUj, m_ui->aMegnyit, m_ui->aMent});

    m_db = std::make_unique<Connection>();
    // The audit log is written on the main connection, which belongs to this
    // thread: statements sent from the worker wait in a queue for it.
    m_db->setBeforeStatement([this](const QString &sql) {
        if (QThread::currentThread() == thread()) {
            AddAuditEvent(QLatin1String(Audit::kSql), {}, {}, sql);
            return;
        }
        const std::lock_guard<std::mutex> lock(m_auditMutex);
        m_auditQueue << sql;
    });
    m_ui->btn_Leallitas->setEnabled(false);
    connect(m_ui->btn_Leallitas, &QPushButton::clicked, this, &SqlConsole::stopStatement);
    m_queryModel = new GridModel(this);
    m_result = std::make_unique<ResultStream>(*m_db, m_queryModel);
    m_ui->DBGrid1->setGridModel(m_queryModel);
    m_ui->DBGrid1->setTypeToSearch(false);
    m_ui->DBGrid1->addAction(m_ui->aExport);

    // Table mode works in the console's session too: a "use otherdb;" run
    // before it decides where the table is read from and written to.
    m_tableModel = new TableEditModel(*m_db, this);
    QTableView *tableGrid = m_ui->DBGridTabla;
    tableGrid->setModel(m_tableModel);
    tableGrid->verticalHeader()->setDefaultSectionSize(tableGrid->fontMetrics().height() + 6);
    tableGrid->installEventFilter(this);
    tableGrid->addAction(m_ui->aExport);

    m_positionLabel = new QLabel(m_ui->StatusBar1);
    m_positionLabel->setObjectName(QStringLiteral("positionLabel"));
    m_positionLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_positionLabel->setMinimumWidth(m_positionLabel->fontMetrics().horizontalAdvance(QStringLiteral("000000: 000000")) + 8);
    m_ui->StatusBar1->addWidget(m_positionLabel);

    connect(m_ui->DBGrid1, &Grid::currentRowChanged, this, &SqlConsole::updatePosition);
    connect(tableGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current, const QModelIndex &previous) {
                // Leaving a changed row stores it.
                if (previous.isValid() && previous.row() != current.row())
                    postPendingRow(previous.row());
                updatePosition();
            });

    InstallFormBehaviour(this, Placement::Full, FormOption::FontSize);
    editor->setFocus();
    try {
        openSession();
    } catch (const Error &) {
        // Tried again, and the reason shown, when a statement is run.
    }
}

// The console's statements share one server session (variables, temporary
// tables, a transaction begun here), held as one unit of work: a link lost
// under it is never re-made silently, so a COMMIT typed after a lost link
// fails instead of committing nothing in a fresh session. The next run then
// opens a new session, and the message before it said what was lost.
void SqlConsole::openSession()
{
    m_db->open(Connection::main().params());
    m_db->beginUnit();
}

SqlConsole::~SqlConsole()
{
    m_queryModel->clear(); // reads no more from the result
    m_result->close();
}

// A failure that took the session with it says so: what the console held
// on the server is gone, and the next run opens a new session.
QString SqlConsole::withSessionNote(const QString &message)
{
    if (!m_db->isOpen() || m_db->linkAlive())
        return message;
    m_db->close();
    return message + QStringLiteral("\n\nA konzol munkamenete a szerveren megszűnt: a változói, ideiglenes táblái és "
                                    "nyitott tranzakciója elvesztek. A következő futtatás új munkamenetet nyit.");
}

bool SqlConsole::ensureConnection()
{
    if (m_db->isOpen()) {
        if (m_db->linkAlive())
            return true;
        // Lost while idle: the statement is not run in a session that lacks
        // what the user set up in this one.
        ShowError(QStringLiteral("SQL hiba:\n") + withSessionNote(QString::fromUtf8(kLinkLostInUnit)), this);
        return false;
    }
    try {
        openSession();
    } catch (const Error &e) {
        ShowError(QStringLiteral("SQL hiba:\n") + e.message(), this);
        return false;
    }
    return true;
}

// Commands that take the whole result ("Export", "Másol") read its unread
// rest first; the grid then holds it whole, as a jump to its end leaves it.
void SqlConsole::readWholeResult()
{
    if (!m_result->isOpen())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_result->readToEnd();
    QApplication::restoreOverrideCursor();
    updatePosition();
}

void SqlConsole::aExportExecute()
{
    if (m_running)
        return;
    // A copy to the clipboard read the result through and kept only its last
    // rows: the export reads it again in the console's session.
    if (!m_queryModel->atStart() && !m_result->isOpen() && !m_result->wholeSql().isEmpty()) {
        runQuery(m_result->wholeSql(), false);
        if (!m_queryModel->atStart())
            return;
    }
    readWholeResult();
    ShowExportDialog(m_ui->DBGrid1, QString(), this);
}

QString SqlConsole::sqlFolder() const
{
    const QString dir = DataFolder() + QStringLiteral("/SQL");
    return QDir(dir).exists() ? dir : QString();
}

QAbstractItemModel *SqlConsole::currentResultModel() const
{
    if (m_ui->resultStack->currentWidget() == m_ui->DBGridTabla)
        return m_tableModel->isOpen() ? m_tableModel : nullptr;
    return m_queryModel->columnCount() ? m_queryModel : nullptr;
}

const RowSet &SqlConsole::queryRows() const { return m_queryModel->rows(); }

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

void SqlConsole::updatePosition()
{
    if (m_ui->resultStack->currentWidget() == m_ui->DBGridTabla) {
        const QModelIndex i = m_ui->DBGridTabla->currentIndex();
        m_positionLabel->setText(QStringLiteral("%1: %2").arg(m_tableModel->rowCount()).arg(i.isValid() ? i.row() + 1 : 0));
    } else {
        m_positionLabel->setText(RecordPositionText(m_ui->DBGrid1));
    }
}

void SqlConsole::resultOpened()
{
    m_resultOpened = true;
    // Once a result has been opened, "Export" and "Másol" stay usable.
    m_ui->aExport->setEnabled(true);
    m_ui->aMasol->setEnabled(true);
    updatePosition();
}

void SqlConsole::aUjExecute() { m_ui->Memo1->clear(); }

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

constexpr int kCopyBatch = 2000; // rows read from the server at once while copying

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
    const QVector<RowSet::Field> fields = m_result->fields();
    std::atomic<qint64> done{0};
    qint64 total = held.rowCount();
    RowSet last, previous; // the last two batches read, for the grid afterwards
    JobProgress progress(QStringLiteral("Másolás a vágólapra"), QStringLiteral("sor"), this);
    if (!streaming)
        progress.setTotal(held.rowCount());
    try {
        runOnSession(
            [&] {
                for (int r = 0; r < held.rowCount(); r += kCopyBatch) {
                    m_run->checkStop();
                    const int to = qMin(held.rowCount(), r + kCopyBatch);
                    appendCopyLines(text, held, columns, r, to);
                    done = to;
                }
                if (!streaming)
                    return;
                for (;;) {
                    m_run->checkStop();
                    RowSet batch;
                    batch.setFields(fields);
                    const int n = m_db->readStream(batch, kCopyBatch);
                    appendCopyLines(text, batch, columns, 0, n);
                    total += n;
                    done = total;
                    if (n > 0) {
                        previous = std::move(last);
                        last = std::move(batch);
                    }
                    if (n < kCopyBatch)
                        break;
                }
            },
            &progress, [&] { return done.load(); });
    } catch (const JobCancelled &) {
        QString message = QStringLiteral("A másolás megszakítva; a vágólap változatlan.");
        if (streaming) {
            // The rows read meanwhile are gone from the result: it ends here.
            m_queryModel->clear();
            m_result->close();
            message += QStringLiteral("\n\nAz eredmény már nem olvasható tovább; futtassa újra a lekérdezést.");
        }
        updatePosition();
        ShowInfo(message, this);
        return;
    } catch (const Error &e) {
        m_queryModel->clear();
        m_result->close();
        updatePosition();
        ShowError(QStringLiteral("SQL hiba:\n") + withSessionNote(e.message()), this);
        return;
    }
    QApplication::clipboard()->setText(text);
    m_copiedText = text;
    if (streaming) {
        RowSet tail = std::move(previous);
        if (tail.columnCount() == 0)
            tail.setFields(fields);
        tail.appendRows(last, 0, last.rowCount());
        m_result->showTail(std::move(tail), total);
    }
    LogListExport(m_ui->DBGrid1, int(total), QStringLiteral("szöveg"), {});
    if (m_queryModel->rowCount() > 0)
        m_ui->DBGrid1->setCurrentRowIndex(m_queryModel->rowCount() - 1);
    updatePosition();
}

void SqlConsole::aTabExecute()
{
    m_ui->PageControl1->setCurrentIndex(m_ui->PageControl1->currentIndex() == 0 ? 1 : 0);
    if (m_ui->PageControl1->currentIndex() == 0)
        m_ui->Memo1->setFocus();
    else
        m_ui->resultStack->currentWidget()->setFocus();
}

// The first line "table:name" (any letter case of "table") opens the table.
void SqlConsole::runQuery(const QString &sql, bool fixedWidths)
{
    leaveTableRow();
    m_ui->resultStack->setCurrentWidget(m_ui->DBGrid1);
    m_queryModel->clear();
    m_result->close();
    if (!ensureConnection()) {
        updatePosition();
        return;
    }
    try {
        // The first page now, the rest as the grid scrolls.
        RowSet first;
        runOnSession([&] { first = m_result->readFirstPage(sql); });
        m_result->show(std::move(first));
    } catch (const JobCancelled &) {
        m_queryModel->clear();
        m_result->close();
        updatePosition();
        ShowInfo(QStringLiteral("A lekérdezés leállítva."), this);
        return;
    } catch (const Error &e) {
        m_queryModel->clear();
        updatePosition();
        ShowError(QStringLiteral("SQL hiba:\n") + withSessionNote(e.message()), this);
        return;
    }
    m_ui->PageControl1->setCurrentIndex(1);
    narrowColumns(m_ui->DBGrid1, fixedWidths);
    if (m_queryModel->rowCount() > 0)
        m_ui->DBGrid1->setCurrentRowIndex(0);
    m_ui->DBGrid1->setFocus(Qt::OtherFocusReason);
    resultOpened();
}

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

void SqlConsole::aFuttatExecute()
{
    if (runTableMode())
        return;
    const QString selection = currentSelection(m_ui->Memo1);
    const QString text = selection.isNull() ? m_ui->Memo1->text() : selection;
    const QString head = text.trimmed().toUpper();
    if (head.startsWith(QLatin1String("SELECT")) || head.startsWith(QLatin1String("SHOW"))) {
        runQuery(text, true);
        return;
    }
    runScript(text);
}

void SqlConsole::aEredmenyExecute()
{
    if (runTableMode())
        return;
    const QString selection = currentSelection(m_ui->Memo1);
    QString text = selection.isNull() ? m_ui->Memo1->text() : selection;
    if (selection.isNull()) {
        const qsizetype semi = text.indexOf(QLatin1Char(';'));
        if (semi >= 0)
            text.truncate(semi);
    }
    runQuery(text, false);
}

bool SqlConsole::eventFilter(QObject *obj, QEvent *e)
{
    if (m_running && (e->type() == QEvent::KeyPress || e->type() == QEvent::ShortcutOverride)
        && static_cast<QKeyEvent *>(e)->key() == Qt::Key_Escape && (obj == m_ui->Memo1 || obj == m_ui->Memo1->viewport())) {
        if (e->type() == QEvent::KeyPress)
            stopStatement();
        e->accept();
        return true;
    }
    if (obj == m_ui->DBGridTabla && e->type() == QEvent::KeyPress) {
        auto *ke = static_cast<QKeyEvent *>(e);
        const int row = m_ui->DBGridTabla->currentIndex().isValid() ? m_ui->DBGridTabla->currentIndex().row() : 0;
        if (ke->key() == Qt::Key_Insert && ke->modifiers() == Qt::NoModifier && m_tableModel->isOpen()) {
            if (m_tableModel->isDirty(row) && !postPendingRow(row))
                return true;
            const int at = m_tableModel->insertEmptyRow(row);
            m_ui->DBGridTabla->setCurrentIndex(m_tableModel->index(at, 0));
            updatePosition();
            return true;
        }
        if (ke->key() == Qt::Key_Delete && (ke->modifiers() & Qt::ControlModifier) && m_tableModel->rowCount() > 0) {
            // Deleted at once, without a question, as the table mode always did.
            try {
                m_tableModel->deleteRow(row);
            } catch (const RowConflict &conflict) {
                tableConflict(conflict.message(), false);
            } catch (const Error &e) {
                ShowError(QStringLiteral("Hiba: ") + e.message(), this);
            }
            updatePosition();
            return true;
        }
    }
    return QDialog::eventFilter(obj, e);
}

void SqlConsole::done(int result)
{
    // While a statement runs, Esc and closing the window stop the statement;
    // the window stays.
    if (m_running) {
        stopStatement();
        return;
    }
    // A result still streaming would hold the session the row is written in.
    m_queryModel->clear();
    m_result->close();
    const QModelIndex i = m_ui->DBGridTabla->currentIndex();
    if (m_tableModel->isOpen() && i.isValid() && m_db->isOpen())
        postPendingRow(i.row(), true);
    // The console's session ends with it (a transaction left open rolls back).
    m_db->close();
    QDialog::done(result);
}

void ShowSqlConsole(QWidget *parent)
{
    SqlConsole w(parent);
    w.exec();
}

} // namespace qo
