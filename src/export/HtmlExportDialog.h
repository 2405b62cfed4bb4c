#pragma once
// "HTML export" (frm_Grid2Html): where to save the page of a list, whether to
// open it afterwards, and "E-Mail" to hand the written page to the mail program.
#include <QDialog>

#include <memory>

namespace qo {

namespace Ui {
class HtmlExportDialog;
}

class Grid;

class HtmlExportDialog : public QDialog {
    Q_OBJECT
public:
    HtmlExportDialog(Grid *grid, const QString &title, QWidget *parent = nullptr);
    ~HtmlExportDialog() override;

    // The file name the page gets for a title: MakeFileNameSafe(title + ".htm").
    static QString fileNameFor(const QString &title);
    // folder + "/" + name with exactly one separator between them.
    static QString joinPath(const QString &folder, const QString &name);

public Q_SLOTS:
    void onOk();
    void onMail();
    void onBrowse();

private:
    bool writePage(); // false after an error was shown
    std::unique_ptr<Ui::HtmlExportDialog> m_ui;
    Grid *m_grid;
    QString m_title;
};

// Opens the HTML export dialog for the grid with the page title; the folder
// offered is the last one used (HtmlUt), else the data folder.
void ExportGridToHtml(Grid *grid, const QString &title, QWidget *parent = nullptr);

} // namespace qo
