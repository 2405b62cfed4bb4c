#pragma once
// "Határolt szöveg export" (frm_Hatarolt): writes a list as delimited text, as
// a spreadsheet file (.xls: BIFF2 worksheet, .xlsx: Excel workbook) or as
// tab-separated text on the clipboard, with column choice and options.
#include "export/DelimitedWriter.h"

#include <QDialog>
#include <functional>

#include <array>
#include <memory>

class QRadioButton;

namespace qo {

class JobProgress;

// What a stopped export says.
inline const char *const kExportCancelled = "Az exportálás megszakítva; a korábbi fájl változatlan.";
inline const char *const kClipboardCancelled = "Az exportálás megszakítva; a vágólap változatlan.";

namespace Ui {
class ExportDialog;
}

class ExportDialog : public QDialog {
    Q_OBJECT
public:
    // suggestedName: the file name offered; empty offers "File001.csv" in the
    // user's documents folder.
    ExportDialog(const ExportSource &source, const QString &suggestedName, QWidget *parent = nullptr);
    ~ExportDialog() override;

    // The options as the controls stand.
    DelimitedOptions delimitedOptions() const;
    QVector<bool> chosenColumns() const;

public Q_SLOTS:
    void onStart();
    void onClipboard();
    void onBrowse();
    void reject() override;

private:
    std::array<QRadioButton *, 4> separatorButtons() const; // ; tab , |
    std::array<QRadioButton *, 3> quoteButtons() const;     // " ' none
    bool browse(); // false when the user cancelled
    void setRunning(bool on);
    bool step(int done);
    void standOnLastRow();
    void writeFile(const QString &path);
    bool runJob(const QString &title, const char *cancelled, const std::function<void()> &work,
                const std::function<QString(const QString &)> &failure);

    std::unique_ptr<Ui::ExportDialog> m_ui;
    const ExportSource &m_source;
    bool m_running = false;
    bool m_stop = false;
    JobProgress *m_job = nullptr; // while an export runs
    QString m_cancelText;
    qint64 m_lastPump = 0;
};

// Opens the export dialog modally on the source; the file name offered is
// suggestedName, or "File001.csv" in the documents folder when it is empty.
void ShowExportDialog(const ExportSource &source, const QString &suggestedName = {}, QWidget *parent = nullptr);
// The same for every field of a result (SQL console, reports).
void ShowExportDialog(const RowSet &rows, const QString &suggestedName = {}, QWidget *parent = nullptr);
// The same for a list on screen: its captions, alignment and widths are used,
// and it stands on its last row after a text or clipboard export.
void ShowExportDialog(Grid *grid, const QString &suggestedName = {}, QWidget *parent = nullptr);

} // namespace qo
