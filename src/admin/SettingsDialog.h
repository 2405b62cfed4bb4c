#pragma once
// The settings dialog "Beállítások": the shop settings of the single row of
// table beallit (with those of client care) and the local display settings
// of appState().
#include <QDialog>

#include <memory>

namespace qo {

namespace Ui {
class SettingsDialog;
}

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit SettingsDialog(QWidget *parent = nullptr);
    ~SettingsDialog() override;

    // Reads the first row of beallit. Without a row (or when it cannot be
    // read) the database fields stay disabled and only the local settings can
    // be changed; the reason has been shown to the user.
    bool loadRow();
    bool hasRow() const { return m_hasRow; }

private:
    void okClick();
    bool storeRow();
    void setRowFieldsEnabled(bool on);

    std::unique_ptr<Ui::SettingsDialog> m_ui;
    bool m_hasRow = false;
    qint64 m_key = 0;
    QString m_loadedNote;   // mlapmegj as read, written back unchanged when not edited
    QString m_loadedLetter; // emlek_level likewise
};

// Shows the settings dialog modally. The caller reloads the shop settings
// afterwards, whichever button closed it.
void ShowSettingsDialog(QWidget *parent);

} // namespace qo
