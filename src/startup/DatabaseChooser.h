#pragma once
// The database chooser shown at start: the stored connections by display
// name; the chosen one is tested before it is accepted.
#include <QDialog>
#include <QStringList>

class QListWidget;
class QPushButton;

namespace qo {

struct ConnectParams;

// Opens and at once closes a short-lived connection of its own (never the
// main one). A failure shows "Hiba: " + the server's or client's message.
bool TestConnectionParams(const ConnectParams &params, QWidget *owner);
// The same for a stored record "database;host;port;user;password;name". A
// port that is not a whole number is reported and nothing is tried.
bool TestConnectionRecord(const QString &record, QWidget *owner);
// The port of a record or of the setup's field: a whole number 0..65535
// (0 and an empty text mean the default 3306). Otherwise false and the
// reason has been shown.
bool PortFromText(const QString &text, int &port, QWidget *owner);

class DatabaseChooser : public QDialog {
    Q_OBJECT
public:
    DatabaseChooser(const QStringList &entries, const QStringList &records, const QString &caption,
                       QWidget *parent = nullptr);
    // After acceptance: the chosen index, or the number of entries after "Új".
    int chosen() const { return m_chosen; }

    QListWidget *ListBox1 = nullptr;
    QPushButton *newButton = nullptr;    // Új
    QPushButton *okButton = nullptr;     // OK
    QPushButton *cancelButton = nullptr; // Mégsem

protected:
    bool eventFilter(QObject *obj, QEvent *ev) override;
    void showEvent(QShowEvent *ev) override;

private:
    void onOk();
    void onNew();

    QStringList m_records;
    int m_chosen = -1;
};

// 0-based index of the chosen entry, the number of entries when a new
// connection was made with "Új" (appState().ConStr holds it then), or -1 when
// cancelled. A single entry that connects is chosen without showing anything.
int ChooseDatabase(const QStringList &entries, const QStringList &records, const QString &caption,
                   QWidget *parent = nullptr);

} // namespace qo
