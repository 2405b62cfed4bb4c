#pragma once
// "Tárhelyek": the stored connections of this computer, with the connection
// test and the two backups. The list lives in memory while the window is open
// and is written back, in list order, when it closes.
#include "admin/ConnectionEditor.h"
#include "admin/FullBackup.h"
#include "db/Connection.h"
#include "ui/SearchList.h"

#include <QVector>

class QFrame;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace qo {

class ConnectionList : public SearchList {
    Q_OBJECT
public:
    explicit ConnectionList(QWidget *parent = nullptr);
    ~ConnectionList() override;

    // The rows in list order (tests).
    QVector<ConnectionFields> rows() const;
    FullBackup *fullBackup() { return &m_fullBackup; }

    QAction *aUj = nullptr;
    QAction *aSzerkeszt = nullptr;
    QAction *aTorol = nullptr;
    QAction *aTeszt = nullptr;
    QAction *aBackup = nullptr;
    QAction *aMySQLDump = nullptr;
    QAction *aTeljesMentes = nullptr;
    QAction *aBezar = nullptr;
    QToolButton *btnMentes = nullptr;
    QProgressBar *progressBar = nullptr;
    QFrame *dumpPanel = nullptr;
    QLineEdit *edtDumpPath = nullptr;
    QToolButton *btnDumpBrowse = nullptr;
    QPushButton *btnTeljesMentes = nullptr;

public Q_SLOTS:
    void done(int result) override;

protected:
    void openRows() override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void aUjExecute();
    void aSzerkesztExecute();
    void aTorolExecute();
    void aTesztExecute();
    void aBackupExecute();
    void aMySQLDumpExecute();
    void aTeljesMentesExecute();
    void browseDumpTool();
    void fullBackupFinished(bool ok, const QString &message, const QString &details);
    void writeBack();
    void buildDumpPanel();
    int currentIndex() const; // index into m_rows, -1 without a current row
    // The save dialog "Biztonsági mentés készítés"; empty when cancelled.
    QString askBackupFile(bool offerZip);

    struct Entry {
        int id;
        ConnectionFields row;
        QString version; // read by a connection test, never stored
    };
    QVector<Entry> m_rows;
    int m_nextId = 1;
    Connection m_backupDb; // the window's own connection, for the data backup
    FullBackup m_fullBackup;
    bool m_busy = false;
};

// Loads the list, shows the window modally and writes the list back at close.
void ShowDatabaseList(QWidget *parent);

} // namespace qo
