#pragma once
// "HTML export" (frm_Grid2Html): where to save the page of a list, whether to
// open it afterwards, and "E-Mail" to hand the written page to the mail program.
#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace qo {

class Grid;

class HtmlExportDialog : public QDialog {
    Q_OBJECT
public:
    HtmlExportDialog(Grid *grid, const QString &title, QWidget *parent = nullptr);

    QLineEdit *pathEdit = nullptr;
    QPushButton *browseButton = nullptr;
    QCheckBox *openAfterBox = nullptr; // "Mentés után megnyitás"
    QPushButton *mailButton = nullptr; // "E-Mail"
    QPushButton *okButton = nullptr;
    QPushButton *cancelButton = nullptr;
    QProgressBar *progress = nullptr;
    QLabel *statusLine = nullptr;      // what became of the mail

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
    Grid *m_grid;
    QString m_title;
};

// Opens the HTML export dialog for the grid with the page title; the folder
// offered is the last one used (HtmlUt), else the data folder.
void ExportGridToHtml(Grid *grid, const QString &title, QWidget *parent = nullptr);

} // namespace qo
