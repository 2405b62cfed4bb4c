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

// The console's script files: opened from and saved to the SQL folder.
namespace qo {

void SqlConsole::aMegnyitExecute()
{
    QFileDialog dlg(this, QStringLiteral("SQL megnyitás"), sqlFolder(), QStringLiteral("SQL állományok (*.sql)"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setDefaultSuffix(QStringLiteral("sql"));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return;
    const QString path = dlg.selectedFiles().constFirst();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        ShowError(f.errorString(), this);
        return;
    }
    QString text = fromCp1250(f.readAll());
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_ui->Memo1->setText(text);
    m_fileName = path;
}

void SqlConsole::aMentExecute()
{
    QFileDialog dlg(this, QStringLiteral("SQL mentése"), sqlFolder(), QStringLiteral("SQL file-ok (*.sql)"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setDefaultSuffix(QStringLiteral("sql"));
    if (!m_fileName.isEmpty())
        dlg.selectFile(m_fileName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return;
    const QString path = dlg.selectedFiles().constFirst();
    try {
        writeLocalTextFile(path, m_ui->Memo1->text());
    } catch (const Error &e) {
        ShowError(e.message(), this);
        return;
    }
    m_fileName = path;
}

} // namespace qo
