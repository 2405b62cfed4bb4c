#pragma once
// "Verziókövetés" (frm_Verziokovetes): a newer program version announced by
// the maker's web service, with its release notes, in a salmon window. Its
// "Többet ne figyelmeztessen" stores the version as acknowledged for the shop.
#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollArea;

namespace qo {

class VersionNotesWindow : public QDialog {
    Q_OBJECT
public:
    VersionNotesWindow(const QString &version, const QString &notes, QWidget *parent = nullptr);
    QLabel *notesLabel = nullptr;
    QScrollArea *notesArea = nullptr; // the notes scroll in it
    QCheckBox *dontWarnBox = nullptr; // "Többet ne figyelmeztessen"
    QPushButton *okButton = nullptr;

protected:
    void hideEvent(QHideEvent *event) override;

private:
    void onOk();
    QString m_version;
};

// The fourth "."-separated part of a version as a whole number, 0 when
// missing or not a number ("23.0.0.45" gives 45).
int BuildNumber(const QString &version);

// The version check, run once a few seconds after start: asks the service for
// the newest version and shows the window when its build number is above both
// the program's own and the acknowledged one. Silent when the service cannot
// be reached. A database error is thrown as qo::Error.
void CheckNewVersion(QWidget *parent = nullptr);

} // namespace qo
