#pragma once
// The settings dialog "Beállítások": the shop settings of the single row of
// table beallit and the local display settings of appState().
#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace qo {

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit SettingsDialog(QWidget *parent = nullptr);

    // Reads the first row of beallit. Without a row (or when it cannot be
    // read) the database fields stay disabled and only the local settings can
    // be changed; the reason has been shown to the user.
    bool loadRow();
    bool hasRow() const { return m_hasRow; }

    QCheckBox *fullScreen = nullptr;         // Megnyitáskor teljes képernyő (local)
    QCheckBox *loginRequired = nullptr;      // vanbelep
    QLineEdit *dueDays = nullptr;            // mlaphatid
    QComboBox *printerName = nullptr;        // printer (local, this run only)
    QLineEdit *reminderDays = nullptr;       // figynap
    QLineEdit *retentionYears = nullptr;     // megorzes_ev
    QPlainTextEdit *workOrderNote = nullptr; // mlapmegj
    QPushButton *btnOK = nullptr;
    QPushButton *btnMegsem = nullptr;
    QLineEdit *quantityFormat = nullptr;     // FormatDb (local)
    QLineEdit *moneyFormat = nullptr;        // FormatFt (local)
    QCheckBox *a5WorkOrder = nullptr;        // a5munkalap

private:
    void okClick();
    bool storeRow();
    void setRowFieldsEnabled(bool on);

    bool m_hasRow = false;
    qint64 m_key = 0;
    QString m_loadedNote; // mlapmegj as read, written back unchanged when not edited
};

// Shows the settings dialog modally. The caller reloads the shop settings
// afterwards, whichever button closed it.
void ShowSettingsDialog(QWidget *parent);

} // namespace qo
