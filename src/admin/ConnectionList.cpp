#include "admin/ConnectionList.h"

#include "admin/BackupWriter.h"
#include "base/Error.h"
#include "base/SaveFile.h"
#include "config/Config.h"
#include "config/StoredConnections.h"
#include "ui/Grid.h"
#include "ui/JobProgress.h"
#include "ui/MessageBoxes.h"
#include "ui/WindowKeys.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>

namespace qo {

namespace {

const QString kDumpKey = QStringLiteral("MysqlDump");
constexpr int kMaxConnections = 100;

QString rowField(const ConnectionFields &r, const QString &field, const QString &version)
{
    if (field == QLatin1String("adatbazis")) return r.database;
    if (field == QLatin1String("kiszolgalo")) return r.host;
    if (field == QLatin1String("felhasznalo")) return r.user;
    if (field == QLatin1String("verzio")) return version;
    return r.displayName;
}

// The stored records ConStr1..ConStr100 in key order, the port as its digits
// only (as the list shows it and writes it back).
QVector<ConnectionFields> loadRows()
{
    QVector<ConnectionFields> rows;
    for (const StoredConnection &s : ReadStoredConnections(1, kMaxConnections)) {
        ConnectionFields f = ConnectionFields::parse(s.record, s.tls);
        f.port = QString::number(f.portNumber());
        rows << f;
    }
    return rows;
}

} // namespace

ConnectionList::ConnectionList(QWidget *parent) : SearchList(parent, Placement::Full)
{
    setObjectName(WindowKeys::kConnectionList);
    setWindowTitle(QStringLiteral("Tárhelyek"));
    setHeading(QStringLiteral("Tárhelyek"));
    // The rows come from the configuration file, not from a query.
    setQuery({{}, {}, QStringLiteral("sor"), QStringLiteral("adatbazisnev"), {}});
    setColumns({{QStringLiteral("adatbazisnev"), QStringLiteral("Megjelenített név")},
                {QStringLiteral("adatbazis"), QStringLiteral("Adatbázis / tárhely")},
                {QStringLiteral("kiszolgalo"), QStringLiteral("Kiszolgáló")},
                {QStringLiteral("port"), QStringLiteral("Port")},
                {QStringLiteral("felhasznalo"), QStringLiteral("Felhasználó")},
                {QStringLiteral("verzio"), QStringLiteral("Verzió")}},
               {0.30, 0.15, 0.15, 0.10, 0.15, 0.15}, 44);
    searchBox()->hide();
    grid()->setTypeToSearch(false);

    aUj = addCommand(Command::New, QStringLiteral("Új"));
    aSzerkeszt = addCommand(Command::Edit, QStringLiteral("Szerkeszt"));
    aTorol = addCommand(Command::Delete, QStringLiteral("Töröl"));
    aTeszt = addCommand(QStringLiteral("aTeszt"), QStringLiteral("Teszt"), QKeySequence(Qt::CTRL | Qt::Key_T),
                        QStringLiteral("network-connect"));
    aBackup = addCommand(QStringLiteral("aBackup"), QStringLiteral("Biztonsági mentés készítés"), QKeySequence(Qt::Key_F3),
                         QStringLiteral("document-save"));
    aMySQLDump = addCommand(QStringLiteral("aMySQLDump"), QStringLiteral("Teljes biztonsági mentés készítés"),
                            QKeySequence(Qt::Key_F6), QStringLiteral("document-save-as"));
    aTeljesMentes = addCommand(QStringLiteral("aTeljesMentes"), QStringLiteral("Teljes mentés futtatása"));
    aBezar = addCommand(Command::Close, QStringLiteral("Bezár"));
    connect(aUj, &QAction::triggered, this, &ConnectionList::aUjExecute);
    connect(aSzerkeszt, &QAction::triggered, this, &ConnectionList::aSzerkesztExecute);
    connect(aTorol, &QAction::triggered, this, &ConnectionList::aTorolExecute);
    connect(aTeszt, &QAction::triggered, this, &ConnectionList::aTesztExecute);
    connect(aBackup, &QAction::triggered, this, &ConnectionList::aBackupExecute);
    connect(aMySQLDump, &QAction::triggered, this, &ConnectionList::aMySQLDumpExecute);
    connect(aTeljesMentes, &QAction::triggered, this, &ConnectionList::aTeljesMentesExecute);

    setToolbar({aUj, aSzerkeszt, aTorol, nullptr, aTeszt, nullptr});
    auto *menu = new QMenu(this);
    menu->addAction(aBackup);
    menu->addSeparator();
    menu->addAction(aMySQLDump);
    btnMentes = new QToolButton(this);
    btnMentes->setObjectName(QStringLiteral("btnMentes"));
    btnMentes->setText(QStringLiteral("Mentés"));
    btnMentes->setIcon(QIcon::fromTheme(QStringLiteral("document-save")));
    btnMentes->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    btnMentes->setPopupMode(QToolButton::InstantPopup);
    btnMentes->setMenu(menu);
    toolBar()->addWidget(btnMentes);
    toolBar()->addSeparator();
    toolBar()->addAction(aBezar);
    setContextMenu({aUj, aSzerkeszt, aTorol, nullptr, aTeszt, nullptr, aBezar});

    // The backup's progress bar stands left of the heading.
    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar->setTextVisible(false);
    progressBar->setMaximumHeight(14);
    progressBar->hide();
    auto *box = qobject_cast<QVBoxLayout *>(layout());
    if (auto *panel = qobject_cast<QHBoxLayout *>(box->itemAt(1)->layout()))
        panel->insertWidget(0, progressBar, 1);
    buildDumpPanel();
    box->insertWidget(2, dumpPanel);

    // Told once the progress window is gone.
    connect(&m_fullBackup, &FullBackup::finished, this, &ConnectionList::fullBackupFinished, Qt::QueuedConnection);

    for (const ConnectionFields &r : loadRows())
        m_rows.push_back({m_nextId++, r, {}});
    edtDumpPath->setText(ReadConfigString(WindowKeys::kConnectionList, kDumpKey, {}));
    resize(720, 420);
    reopen(-1);
}

ConnectionList::~ConnectionList() = default;

void ConnectionList::buildDumpPanel()
{
    dumpPanel = new QFrame(this);
    dumpPanel->setObjectName(QStringLiteral("pnlTeljesMentes"));
    dumpPanel->setFrameShape(QFrame::StyledPanel);
    auto *title = new QLabel(QStringLiteral("Biztonsági mentés készítés"), dumpPanel);
    QFont tf = title->font();
    tf.setBold(true);
    title->setFont(tf);
    auto *close = new QToolButton(dumpPanel);
    close->setObjectName(QStringLiteral("btnPanelBezar"));
    close->setText(QStringLiteral("×"));
    close->setAutoRaise(true);
    close->setFocusPolicy(Qt::NoFocus);
    connect(close, &QToolButton::clicked, dumpPanel, &QWidget::hide);
    auto *label = new QLabel(QStringLiteral("MySQLDump.exe program helye"), dumpPanel);
    edtDumpPath = new QLineEdit(dumpPanel);
    edtDumpPath->setObjectName(QStringLiteral("edtMysqlDump"));
    edtDumpPath->setPlaceholderText(FullBackup::resolveTool({}));
    label->setBuddy(edtDumpPath);
    btnDumpBrowse = new QToolButton(dumpPanel);
    btnDumpBrowse->setObjectName(QStringLiteral("btnTallóz"));
    btnDumpBrowse->setText(QStringLiteral("..."));
    connect(btnDumpBrowse, &QToolButton::clicked, this, &ConnectionList::browseDumpTool);
    btnTeljesMentes = new QPushButton(aTeljesMentes->text(), dumpPanel);
    btnTeljesMentes->setObjectName(QStringLiteral("btnTeljesMentes"));
    btnTeljesMentes->setAutoDefault(false);
    connect(btnTeljesMentes, &QPushButton::clicked, aTeljesMentes, &QAction::trigger);

    auto *head = new QHBoxLayout;
    head->addWidget(title, 1);
    head->addWidget(close);
    auto *path = new QHBoxLayout;
    path->addWidget(edtDumpPath, 1);
    path->addWidget(btnDumpBrowse);
    auto *v = new QVBoxLayout(dumpPanel);
    v->setContentsMargins(6, 2, 6, 6);
    v->addLayout(head);
    v->addWidget(label);
    v->addLayout(path);
    v->addWidget(btnTeljesMentes);
    dumpPanel->hide();
}

QVector<ConnectionFields> ConnectionList::rows() const
{
    QVector<ConnectionFields> out;
    for (const Entry &e : m_rows)
        out << e.row;
    return out;
}

void ConnectionList::openRows()
{
    // Sorted by the chosen column, ascending; the order is kept in m_rows so
    // that closing stores the records in exactly this order.
    const QString field = sortField();
    std::stable_sort(m_rows.begin(), m_rows.end(), [&field](const Entry &a, const Entry &b) {
        if (field == QLatin1String("port"))
            return a.row.portNumber() < b.row.portNumber();
        return QString::compare(rowField(a.row, field, a.version), rowField(b.row, field, b.version),
                                Qt::CaseInsensitive) < 0;
    });
    RowSet rs;
    const char *names[] = {"sor", "adatbazisnev", "adatbazis", "kiszolgalo", "port", "felhasznalo", "verzio"};
    QVector<RowSet::Field> fields;
    for (const char *n : names) {
        RowSet::Field f;
        f.name = QString::fromLatin1(n);
        f.kind = (qstrcmp(n, "sor") == 0 || qstrcmp(n, "port") == 0) ? RowSet::Kind::Integer : RowSet::Kind::Text;
        fields << f;
    }
    rs.setFields(fields);
    for (const Entry &e : m_rows) {
        const QByteArray cells[] = {QByteArray::number(e.id), toLatin2(e.row.displayName), toLatin2(e.row.database),
                                    toLatin2(e.row.host), QByteArray::number(e.row.portNumber()),
                                    toLatin2(e.row.user), toLatin2(e.version)};
        const char *ptr[7];
        unsigned long len[7];
        for (int i = 0; i < 7; ++i) {
            ptr[i] = cells[i].constData();
            len[i] = static_cast<unsigned long>(cells[i].size());
        }
        rs.appendRow(ptr, len);
    }
    model()->setRowSet(std::move(rs));
}

int ConnectionList::currentIndex() const
{
    const qint64 id = currentKey();
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].id == id)
            return i;
    return -1;
}

void ConnectionList::resizeEvent(QResizeEvent *e)
{
    SearchList::resizeEvent(e);
    grid()->applyColumnShares();
}

void ConnectionList::aUjExecute()
{
    ConnectionFields row;
    row.port = QStringLiteral("3306");
    if (!EditConnectionRow(row, this))
        return; // the new row is dropped
    const int id = m_nextId++;
    m_rows.push_back({id, row, {}});
    reopen(id);
}

void ConnectionList::aSzerkesztExecute()
{
    const int i = currentIndex();
    if (i < 0)
        return;
    ConnectionFields row = m_rows[i].row;
    if (!EditConnectionRow(row, this))
        return;
    m_rows[i].row = row;
    reopen(m_rows[i].id);
}

void ConnectionList::aTorolExecute()
{
    const int i = currentIndex();
    if (i < 0)
        return;
    if (!AskConfirm(QStringLiteral("Valóban töröljem az adatbázist a listából?"), QStringLiteral("Megerősítés"), this))
        return;
    const int row = grid()->currentRowIndex();
    m_rows.remove(i);
    reopen(-1);
    grid()->setCurrentRowIndex(qMin(row, model()->rowCount() - 1));
}

void ConnectionList::aTesztExecute()
{
    const int i = currentIndex();
    if (i < 0)
        return;
    const int id = m_rows[i].id;
    QString version, failure;
    bool opened = false;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        Connection test;
        test.open(ConnectParams::fromFields(m_rows[i].row));
        opened = true;
        version = test.query(QStringLiteral("SELECT MAX(verzio) FROM verzio;")).text(0, 0);
    } catch (const Error &e) {
        failure = e.message();
    }
    QGuiApplication::restoreOverrideCursor();
    if (!failure.isNull()) {
        ShowError(opened ? failure : QStringLiteral("Hiba: ") + failure, this);
        return;
    }
    if (!version.isEmpty()) {
        m_rows[i].version = version;
        reopen(id);
    }
    ShowInfo(QStringLiteral("Kapcsolat vizsgálata sikeres"), this);
}

QString ConnectionList::askBackupFile(bool offerZip)
{
    const int i = currentIndex();
    const QString proposed = m_rows[i].row.database + QLatin1Char('-')
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HH-mm-ss"));
    QFileDialog dlg(this, QStringLiteral("Biztonsági mentés készítés"), DataFolder());
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    const QString sqlFilter = QStringLiteral("SQL file (*.sql)");
    const QString zipFilter = QStringLiteral("Tömörített SQL file (*.zip)");
    dlg.setNameFilters(offerZip ? QStringList{sqlFilter, zipFilter} : QStringList{sqlFilter});
    dlg.setDefaultSuffix(QStringLiteral("sql"));
    connect(&dlg, &QFileDialog::filterSelected, &dlg, [&dlg, zipFilter](const QString &f) {
        dlg.setDefaultSuffix(f == zipFilter ? QStringLiteral("zip") : QStringLiteral("sql"));
    });
    dlg.selectFile(proposed);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return dlg.selectedFiles().constFirst();
}

void ConnectionList::aBackupExecute()
{
    const int i = currentIndex();
    if (i < 0 || m_busy)
        return;
    const QString chosen = askBackupFile(true);
    if (chosen.isEmpty())
        return;
    m_backupDb.close();
    try {
        m_backupDb.open(ConnectParams::fromFields(m_rows[i].row));
    } catch (const Error &e) {
        ShowError(QStringLiteral("Hiba: ") + e.message(), this);
        return;
    }
    m_busy = true;
    progressBar->setValue(0);
    progressBar->show();
    QString result, failure;
    bool stopped = false;
    try {
        result = WriteDataBackup(m_backupDb, chosen, this, [this](int index, int count) {
            progressBar->setMaximum(count);
            progressBar->setValue(index);
        });
    } catch (const JobCancelled &) {
        stopped = true;
    } catch (const Error &e) {
        failure = e.message();
    }
    m_backupDb.close();
    progressBar->setValue(0);
    progressBar->hide();
    m_busy = false;
    if (stopped) {
        ShowInfo(QString::fromUtf8(kBackupCancelled), this);
        return;
    }
    if (!failure.isNull()) {
        // Nothing is left under the chosen name: a broken backup must never
        // pass for a good one.
        ShowError(ErrorText(failure) + QStringLiteral("\n\nA biztonsági mentés nem készült el."), this);
        return;
    }
    ShowInfo(QStringLiteral("Biztonsági mentés kész: %1 (%2)").arg(result, FileSizeText(QFileInfo(result).size())), this);
}

void ConnectionList::aMySQLDumpExecute()
{
    dumpPanel->setVisible(!dumpPanel->isVisible());
    if (dumpPanel->isVisible())
        edtDumpPath->setFocus();
}

void ConnectionList::browseDumpTool()
{
    QFileDialog dlg(this, QStringLiteral("Adatbázis visszaállítás"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setNameFilter(QStringLiteral("mysqldump (mysqldump mariadb-dump mysqldump.exe)"));
    const QString current = FullBackup::resolveTool(edtDumpPath->text());
    if (!current.isEmpty())
        dlg.selectFile(current);
    if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
        edtDumpPath->setText(dlg.selectedFiles().constFirst());
}

void ConnectionList::aTeljesMentesExecute()
{
    const int i = currentIndex();
    if (i < 0)
        return;
    if (m_fullBackup.isRunning()) {
        ShowInfo(QStringLiteral("A teljes mentés még fut."), this);
        return;
    }
    const QString chosen = askBackupFile(false);
    if (chosen.isEmpty())
        return;
    QString error;
    const ConnectParams params = ConnectParams::fromFields(m_rows[i].row);
    if (!m_fullBackup.start(FullBackup::resolveTool(edtDumpPath->text()), params, chosen, &error)) {
        ShowError(error, this);
        return;
    }
    btnTeljesMentes->setEnabled(false);
    aTeljesMentes->setEnabled(false);
    statusBar()->showMessage(QStringLiteral("Teljes mentés fut: ") + chosen);
    bool done = true;
    {
        JobProgress progress(QStringLiteral("Teljes mentés"), QStringLiteral("tábla"), this);
        done = m_fullBackup.follow(progress, CountTablesInBackground(params));
    }
    if (!done) {
        btnTeljesMentes->setEnabled(true);
        aTeljesMentes->setEnabled(true);
        statusBar()->clearMessage();
        ShowInfo(QString::fromUtf8(kBackupCancelled), this);
    }
}

void ConnectionList::fullBackupFinished(bool ok, const QString &message, const QString &details)
{
    btnTeljesMentes->setEnabled(true);
    aTeljesMentes->setEnabled(true);
    statusBar()->clearMessage();
    if (details.isEmpty()) {
        if (ok)
            ShowInfo(message, this);
        else
            ShowError(message, this);
        return;
    }
    // A long output of the tool would make the box taller than the screen:
    // the message holds its end, the whole of it is behind the details button.
    QMessageBox box(ok ? QMessageBox::Information : QMessageBox::Critical,
                    ok ? QStringLiteral("Üzenet") : QStringLiteral("Hiba"), message, QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.setDetailedText(details);
    box.exec();
}

void ConnectionList::writeBack()
{
    try {
        WriteConfigString(WindowKeys::kConnectionList, kDumpKey, edtDumpPath->text());
        QStringList records;
        QList<ConnectionTls> tls;
        for (const Entry &e : m_rows) {
            records << e.row.record(true); // every field followed by ";"
            tls << e.row.tlsSetting();
        }
        ReplaceStoredConnections(records, tls);
    } catch (const Error &e) {
        ShowError(e.message(), this);
    }
}

void ConnectionList::done(int result)
{
    if (m_busy)
        return; // a data backup is being written
    if (m_fullBackup.isRunning()) {
        ShowInfo(QStringLiteral("A teljes mentés még fut; megvárom, amíg befejeződik."), this);
        m_fullBackup.waitForFinished(-1);
    }
    writeBack();
    SearchList::done(result);
}

void ShowDatabaseList(QWidget *parent)
{
    ConnectionList w(parent);
    w.exec();
}

} // namespace qo
