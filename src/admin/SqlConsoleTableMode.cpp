#include "admin/SqlConsole.h"
#include "ui_SqlConsole.h"
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

// The console's table mode: one table's rows edited in a grid on the
// console's own session, each change posted only while the row still holds
// what was read.
namespace qo {

using console::narrowColumns;
using console::splitLines;

bool SqlConsole::postPendingRow(int row, bool closing)
{
    try {
        m_tableModel->postRow(row);
    } catch (const RowConflict &conflict) {
        tableConflict(conflict.message(), closing);
        return false;
    } catch (const Error &e) {
        ShowError(QStringLiteral("Hiba: ") + e.message(), this);
        return false;
    }
    updatePosition();
    return true;
}

// The row was changed or deleted elsewhere since it was read: nothing was
// written. The table is read again, as the record windows read their row
// again, and then the user is told. While the grid is still moving to its
// next row the reading waits until the move is over.
void SqlConsole::tableConflict(const QString &message, bool closing)
{
    if (closing) {
        ShowWarning(message, this);
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this, message] {
            const QModelIndex at = m_ui->DBGridTabla->currentIndex();
            try {
                m_tableModel->reload();
            } catch (const Error &e) {
                updatePosition();
                ShowError(QStringLiteral("Hiba: ") + withSessionNote(e.message()), this);
                return;
            }
            const int rows = m_tableModel->rowCount();
            if (rows > 0)
                m_ui->DBGridTabla->setCurrentIndex(m_tableModel->index(qBound(0, at.row(), rows - 1), qMax(0, at.column())));
            updatePosition();
            ShowWarning(message, this);
        },
        Qt::QueuedConnection);
}

// A changed row of the browsed table is stored before anything else runs in
// the session, as leaving the row would store it.
void SqlConsole::leaveTableRow()
{
    const QModelIndex i = m_ui->DBGridTabla->currentIndex();
    if (m_tableModel->isOpen() && i.isValid() && m_tableModel->isDirty(i.row()))
        postPendingRow(i.row());
}

bool SqlConsole::runTableMode()
{
    const QString first = splitLines(m_ui->Memo1->text()).value(0);
    if (first.left(5).toLower() != QLatin1String("table"))
        return false;
    const QString name = FieldPart(QStringLiteral(":"), first, 2).trimmed();
    leaveTableRow();
    m_tableModel->close();
    if (m_result->isOpen()) {
        // The session reads the table: a query result still streaming from it
        // is dropped (one read whole stays for "Export").
        m_queryModel->clear();
        m_result->close();
    }
    m_ui->resultStack->setCurrentWidget(m_ui->DBGridTabla);
    if (!ensureConnection()) {
        updatePosition();
        return true;
    }
    try {
        m_tableModel->open(name);
    } catch (const Error &e) {
        updatePosition();
        ShowError(withSessionNote(e.message()), this);
        return true;
    }
    m_ui->PageControl1->setCurrentIndex(1);
    narrowColumns(m_ui->DBGridTabla, false);
    if (m_tableModel->rowCount() > 0)
        m_ui->DBGridTabla->setCurrentIndex(m_tableModel->index(0, 0));
    m_ui->DBGridTabla->setFocus(Qt::OtherFocusReason);
    resultOpened();
    return true;
}

} // namespace qo
