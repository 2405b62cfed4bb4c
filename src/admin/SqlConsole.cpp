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
    if (!readWholeResult())
        return;
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
