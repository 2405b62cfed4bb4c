#pragma once
// The print-target dialog "Nyomtatás típusa": preview, print (on which
// printer) or export of a report's rows.
#include <QDialog>
#include <QStringList>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace qo {

enum PrintTarget { PrintPreview = 0, PrintToPrinter = 1, PrintExportCsv = 2 };

class PrintTargetDialog : public QDialog {
    Q_OBJECT
public:
    PrintTargetDialog(const QStringList &printers, QWidget *parent = nullptr);

    int target() const; // 0 preview, 1 print, 2 export

    QGroupBox *targetGroup = nullptr;
    QRadioButton *rbKep = nullptr;      // Nyomtatási kép
    QRadioButton *rbNyomtat = nullptr;  // Nyomtatás
    QRadioButton *rbExcel = nullptr;    // Excelbe (CSV)
    QLabel *Image1 = nullptr;           // follows the selected option
    QLabel *printerLabel = nullptr;     // Nyomtató
    QComboBox *printerChoice = nullptr; // printers; may be typed
    QPushButton *btnOK = nullptr;
    QPushButton *btnMegsem = nullptr;

private:
    void targetChanged();
};

// Asks where a report goes. The printer list holds `printers` (the installed
// printers when the overload without a list is used) and shows `printerName`,
// or the first printer when that is empty. After "OK" the list's text is
// written back to `printerName` and the result is 0 preview, 1 print, 2
// export; -1 after "Mégsem".
int ChoosePrintTarget(QString &printerName, QWidget *parent = nullptr);
int ChoosePrintTarget(QString &printerName, const QStringList &printers, QWidget *parent = nullptr);
// The same; "Excelbe (CSV)" stands disabled when no export is available.
int ChoosePrintTarget(QString &printerName, const QStringList &printers, bool exportAvailable,
                      QWidget *parent = nullptr);

// The printer a report goes to after the choice: the given name when it is an
// installed printer, otherwise the system's default (empty when there is none).
QString ReportPrinterName(const QString &chosen);

} // namespace qo
