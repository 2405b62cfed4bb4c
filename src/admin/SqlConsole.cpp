#include "admin/SqlConsole.h"
#include "admin/SqlConsoleParts.h"
#include "export/ExportDialog.h"
#include "export/ExportAudit.h"
#include "db/AuditLog.h"

#include "admin/ResultStream.h"
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
#include <QMenuBar>
#include <QProgressBar>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

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

QAction *SqlConsole::makeAction(const char *name, const QString &caption, const QString &hint, const QKeySequence &key,
                                const QString &icon)
{
    auto *a = new QAction(caption, this);
    a->setObjectName(QLatin1String(name));
    a->setToolTip(hint.isEmpty() ? caption : hint);
    if (!key.isEmpty())
        a->setShortcut(key);
    if (!icon.isEmpty())
        a->setIcon(QIcon::fromTheme(icon));
    addAction(a);
    return a;
}

SqlConsole::SqlConsole(QWidget *parent) : QDialog(parent)
{
    setObjectName(WindowKeys::kSqlConsole);
    setWindowTitle(QStringLiteral("SQL lekérdezés"));
    setWindowFlags((windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint)
                   & ~Qt::WindowContextHelpButtonHint);

    aUj = makeAction("aUj", QStringLiteral("Új SQL file"), QStringLiteral("Új SQL"), QKeySequence(Qt::CTRL | Qt::Key_N), QStringLiteral("document-new"));
    aMegnyit = makeAction("aMegnyit", QStringLiteral("Megnyit"), QStringLiteral("SQL megnyitása"), QKeySequence(Qt::CTRL | Qt::Key_O), QStringLiteral("document-open"));
    aMent = makeAction("aMent", QStringLiteral("Mentés"), QStringLiteral("SQL mentése"), QKeySequence(Qt::CTRL | Qt::Key_S), QStringLiteral("document-save"));
    aExport = makeAction("aExport", QStringLiteral("Export"), QStringLiteral("Export"), QKeySequence(Qt::CTRL | Qt::Key_E), QStringLiteral("document-export"));
    aMasol = makeAction("aMasol", QStringLiteral("Másol"), QStringLiteral("Eredmény másolása vágólapra"), QKeySequence(Qt::Key_F3), QStringLiteral("edit-copy"));
    aFuttat = makeAction("aFuttat", QStringLiteral("Futtat"), QStringLiteral("SQL lekérdezés"), QKeySequence(Qt::Key_F5), QStringLiteral("media-playback-start"));
    aFuttat->setShortcuts({QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    aEredmeny = makeAction("aEredmeny", QStringLiteral("Eredmény"), QStringLiteral("Eredmény"), QKeySequence(Qt::Key_F9), {});
    aTab = makeAction("aTab", QStringLiteral("Tab"), {}, QKeySequence(Qt::CTRL | Qt::Key_Tab), {});
    aBezar = makeAction("aBezar", QStringLiteral("Bezár"), QStringLiteral("Bezár"), {}, QStringLiteral("window-close"));
    // The export dialog is joined to the console separately; until then the
    // command stands visibly disabled.
    aExport->setEnabled(false); // until a result has been opened
    aMasol->setEnabled(false);

    connect(aUj, &QAction::triggered, this, &SqlConsole::aUjExecute);
    connect(aMegnyit, &QAction::triggered, this, &SqlConsole::aMegnyitExecute);
    connect(aMent, &QAction::triggered, this, &SqlConsole::aMentExecute);
    connect(aMasol, &QAction::triggered, this, &SqlConsole::aMasolExecute);
    // The export always takes the last query's result, also while a table is browsed.
    connect(aExport, &QAction::triggered, this, &SqlConsole::aExportExecute);
    connect(aFuttat, &QAction::triggered, this, &SqlConsole::aFuttatExecute);
    connect(aEredmeny, &QAction::triggered, this, &SqlConsole::aEredmenyExecute);
    connect(aTab, &QAction::triggered, this, &SqlConsole::aTabExecute);
    connect(aBezar, &QAction::triggered, this, &QDialog::reject);

    auto *menuBar = new QMenuBar(this);
    QMenu *file = menuBar->addMenu(QStringLiteral("Fájl"));
    file->addActions({aUj, aMegnyit, aMent});
    file->addSeparator();
    file->addAction(aExport);
    file->addSeparator();
    file->addAction(aBezar);
    menuBar->addMenu(QStringLiteral("SQL"))->addAction(aFuttat);

    auto *toolBar = new QToolBar(this);
    toolBar->setObjectName(QStringLiteral("ToolBar1"));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolBar->setIconSize(QSize(16, 16));
    toolBar->addActions({aUj, aMegnyit, aMent});
    toolBar->addSeparator();
    toolBar->addActions({aExport, aMasol});
    toolBar->addSeparator();
    toolBar->addAction(aFuttat);
    toolBar->addSeparator();
    toolBar->addAction(aBezar);

    editor = new QsciScintilla(this);
    editor->setObjectName(QStringLiteral("Memo1"));
    setupEditor(editor);
    editor->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *sep = new QAction(editor);
    sep->setSeparator(true);
    editor->addActions({aFuttat, aEredmeny, sep, aUj, aMegnyit, aMent});

    m_db = std::make_unique<Connection>();
    m_db->setBeforeStatement([](const QString &sql) { AddAuditEvent(QLatin1String(Audit::kSql), {}, {}, sql); });
    m_queryModel = new GridModel(this);
    m_result = std::make_unique<ResultStream>(*m_db, m_queryModel);
    queryGrid = new Grid(this);
    queryGrid->setObjectName(QStringLiteral("DBGrid1"));
    queryGrid->setGridModel(m_queryModel);
    queryGrid->setTypeToSearch(false);
    queryGrid->addAction(aExport);

    // Table mode works in the console's session too: a "use otherdb;" run
    // before it decides where the table is read from and written to.
    m_tableModel = new TableEditModel(*m_db, this);
    tableGrid = new QTableView(this);
    tableGrid->setObjectName(QStringLiteral("DBGridTabla"));
    tableGrid->setModel(m_tableModel);
    tableGrid->setSelectionBehavior(QAbstractItemView::SelectItems);
    tableGrid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                               | QAbstractItemView::AnyKeyPressed);
    tableGrid->verticalHeader()->setDefaultSectionSize(tableGrid->fontMetrics().height() + 6);
    tableGrid->installEventFilter(this);
    tableGrid->addAction(aExport);
    tableGrid->setContextMenuPolicy(Qt::ActionsContextMenu);

    m_resultStack = new QStackedWidget(this);
    m_resultStack->addWidget(queryGrid);
    m_resultStack->addWidget(tableGrid);

    pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("PageControl1"));
    pages->addTab(editor, QStringLiteral("SQL"));
    pages->addTab(m_resultStack, QStringLiteral("Eredmény"));

    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar->setTextVisible(false);
    progressBar->setMaximumHeight(14);
    progressBar->hide();

    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(true);
    positionLabel = new QLabel(status);
    positionLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    positionLabel->setMinimumWidth(positionLabel->fontMetrics().horizontalAdvance(QStringLiteral("000000: 000000")) + 8);
    status->addWidget(positionLabel);

    auto *main = new QVBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 0);
    main->setSpacing(0);
    main->setMenuBar(menuBar);
    main->addWidget(toolBar);
    main->addWidget(pages, 1);
    main->addWidget(progressBar);
    main->addWidget(status);

    connect(queryGrid, &Grid::currentRowChanged, this, &SqlConsole::updatePosition);
    connect(tableGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current, const QModelIndex &previous) {
                // Leaving a changed row stores it.
                if (previous.isValid() && previous.row() != current.row())
                    postPendingRow(previous.row());
                updatePosition();
            });

    resize(760, 520);
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
    readWholeResult();
    ShowExportDialog(queryGrid, QString(), this);
}

QString SqlConsole::sqlFolder() const
{
    const QString dir = DataFolder() + QStringLiteral("/SQL");
    return QDir(dir).exists() ? dir : QString();
}

QAbstractItemModel *SqlConsole::currentResultModel() const
{
    if (m_resultStack->currentWidget() == tableGrid)
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
    if (m_resultStack->currentWidget() == tableGrid) {
        const QModelIndex i = tableGrid->currentIndex();
        positionLabel->setText(QStringLiteral("%1: %2").arg(m_tableModel->rowCount()).arg(i.isValid() ? i.row() + 1 : 0));
    } else {
        positionLabel->setText(RecordPositionText(queryGrid));
    }
}

void SqlConsole::resultOpened()
{
    // Once a result has been opened, "Export" and "Másol" stay usable.
    aExport->setEnabled(true);
    aMasol->setEnabled(true);
    updatePosition();
}

void SqlConsole::aUjExecute() { editor->clear(); }

void SqlConsole::aMasolExecute()
{
    if (m_resultStack->currentWidget() == queryGrid)
        readWholeResult();
    QApplication::clipboard()->setText(resultAsText());
    LogListExport(queryGrid, m_resultStack->currentWidget() == queryGrid ? m_queryModel->rowCount() : -1, QStringLiteral("szöveg"), {});
    if (m_resultStack->currentWidget() == queryGrid && m_queryModel->rowCount() > 0)
        queryGrid->setCurrentRowIndex(m_queryModel->rowCount() - 1);
}

void SqlConsole::aTabExecute()
{
    pages->setCurrentIndex(pages->currentIndex() == 0 ? 1 : 0);
    if (pages->currentIndex() == 0)
        editor->setFocus();
    else
        m_resultStack->currentWidget()->setFocus();
}

// The first line "table:name" (any letter case of "table") opens the table.
void SqlConsole::runQuery(const QString &sql, bool fixedWidths)
{
    leaveTableRow();
    m_resultStack->setCurrentWidget(queryGrid);
    m_queryModel->clear();
    m_result->close();
    if (!ensureConnection()) {
        updatePosition();
        return;
    }
    try {
        m_result->open(sql); // the first page now, the rest as the grid scrolls
    } catch (const Error &e) {
        m_queryModel->clear();
        updatePosition();
        ShowError(QStringLiteral("SQL hiba:\n") + withSessionNote(e.message()), this);
        return;
    }
    pages->setCurrentIndex(1);
    narrowColumns(queryGrid, fixedWidths);
    if (m_queryModel->rowCount() > 0)
        queryGrid->setCurrentRowIndex(0);
    queryGrid->setFocus(Qt::OtherFocusReason);
    resultOpened();
}

void SqlConsole::runScript(const QString &text)
{
    leaveTableRow();
    m_resultStack->setCurrentWidget(queryGrid);
    m_queryModel->clear();
    m_result->close();
    updatePosition();
    if (!ensureConnection())
        return;
    const QStringList lines = splitLines(text);
    progressBar->setMaximum(int(lines.size()));
    progressBar->setValue(0);
    progressBar->show();
    QElapsedTimer sinceRepaint;
    sinceRepaint.start();
    SqlScriptRunner runner(*m_db);
    const SqlScriptRunner::Result r = runner.run(text, [&](int line, int) {
        progressBar->setValue(line);
        // Repaint now and then; a long script would spend more time painting
        // than running if it did so after every statement.
        if (sinceRepaint.elapsed() >= 40) {
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            sinceRepaint.restart();
        }
    });
    progressBar->hide();
    progressBar->setValue(0);
    if (!r.ok) {
        // Which statement failed, and that those before it stay done.
        QString where = QStringLiteral("\n\nHibás utasítás: %1. (%2. sor)\n%3\n\n")
                            .arg(r.failedNumber)
                            .arg(r.failedLine)
                            .arg(lines.value(r.failedLine - 1).trimmed().left(200));
        where += r.statementsRun > 0
            ? QStringLiteral("Az előtte álló %1 utasítás lefutott; ez és a későbbiek nem.").arg(r.statementsRun)
            : QStringLiteral("Előtte nem futott le utasítás; ez és a későbbiek sem.");
        ShowError(withSessionNote(QStringLiteral("Hiba: ") + r.error + where), this);
        return;
    }
    QString done = QStringLiteral("SQL futtatás kész.");
    // Text after the last delimiter is not run; say so instead of keeping quiet.
    if (!r.leftOver.isEmpty())
        done += QStringLiteral("\n\nAz utolsó utasítás nem futott le, mert nincs a végén pontosvessző "
                               "(vagy a beállított határoló):\n")
            + r.leftOver.left(200);
    ShowInfo(done, this);
}

void SqlConsole::aFuttatExecute()
{
    if (runTableMode())
        return;
    const QString selection = currentSelection(editor);
    const QString text = selection.isNull() ? editor->text() : selection;
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
    const QString selection = currentSelection(editor);
    QString text = selection.isNull() ? editor->text() : selection;
    if (selection.isNull()) {
        const qsizetype semi = text.indexOf(QLatin1Char(';'));
        if (semi >= 0)
            text.truncate(semi);
    }
    runQuery(text, false);
}

bool SqlConsole::eventFilter(QObject *obj, QEvent *e)
{
    if (obj == tableGrid && e->type() == QEvent::KeyPress) {
        auto *ke = static_cast<QKeyEvent *>(e);
        const int row = tableGrid->currentIndex().isValid() ? tableGrid->currentIndex().row() : 0;
        if (ke->key() == Qt::Key_Insert && ke->modifiers() == Qt::NoModifier && m_tableModel->isOpen()) {
            if (m_tableModel->isDirty(row) && !postPendingRow(row))
                return true;
            const int at = m_tableModel->insertEmptyRow(row);
            tableGrid->setCurrentIndex(m_tableModel->index(at, 0));
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
    // A result still streaming would hold the session the row is written in.
    m_queryModel->clear();
    m_result->close();
    const QModelIndex i = tableGrid->currentIndex();
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
