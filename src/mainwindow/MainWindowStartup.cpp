// From process start to shutdown: configuration, connection choice, the
// connection itself, version check, shop settings, login, and at the end the
// local settings written back. An aborted start writes nothing.
#include "base/Version.h"
#include "config/LocalSettings.h"
#include "startup/ShopStore.h"
#include "startup/DatabaseChooser.h"
#include "config/AppState.h"
#include "config/Config.h"
#include "config/StoredConnections.h"
#include "db/Connection.h"
#include "db/SchemaUpgrade.h"
#include "ui/Grid.h"
#include "startup/ConnectionSetup.h"
#include "startup/Splash.h"
#include "startup/LoginDialog.h"
#include "base/Text.h"
#include "ui/MessageBoxes.h"
#include "mainwindow/MainListPage.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MessagePanel.h"
#include "export/NewsFeed.h"
#include "export/VersionNotes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTabBar>

namespace qo {

void MainWindow::AbortStartup()
{
    m_aborted = true;
    m_timer2.start();
}

void MainWindow::LoadLocalSettings()
{
    AppState &b = appState();
    QStringList entries, records;
    for (const StoredConnection &c : ReadStoredConnections(1, 25)) {
        const QString name = FieldPart(QStringLiteral(";"), c.record, 6);
        if (name.isEmpty())
            continue;
        entries << QStringLiteral("%1; %2").arg(c.key).arg(name);
        records << c.record;
    }
    if (!entries.isEmpty()) {
        const int i = ChooseDatabase(entries, records, QStringLiteral("Quorvin.Opt adatbázis választás"), this);
        if (i < 0) {
            AbortStartup();
            b.ConStr.clear();
        } else if (i < records.size()) {
            b.ConStr = records.at(i);
        } // i == entries: the setup behind "Új" has stored the new record in ConStr
    }

    qo::LoadLocalSettings(b);
    setGeometry(StoredMainWindowRect(QSize(640, 400)));
}

void MainWindow::startUp()
{
    m_aborted = false;
    AppState &b = appState();
    LoadLocalSettings();

    if (b.ConStr.isEmpty()) {
        // Also after a cancelled chooser: the setup is offered, but the start stays aborted.
        if (!RunFirstRunSetup(this))
            AbortStartup();
    }

    if (!m_aborted) {
        const ConnectParams p = ConnectParams::fromRecord(b.ConStr);
        b.adatbazisnev = FieldPart(QStringLiteral(";"), b.ConStr, 6);
        try {
            Connection::main().close();
            Connection::main().open(p);
            // A cluster's node that goes away is replaced by the next one of the list: say so.
            Connection::setServerChangeNotice([this](const QString &text) { m_statusPanels[3]->setText(text); });
        } catch (const Error &e) {
            ShowError(QStringLiteral("Sikertelen kapcsolódás: ") + e.message(), this);
            AbortStartup();
        }
    }

    // After a successful connection, a database error stops the start in order.
    auto step = [this](const std::function<void()> &f) {
        if (m_aborted)
            return;
        try {
            f();
        } catch (const Error &e) {
            ShowError(e.message(), this);
            AbortStartup();
        }
    };

    step([this] {
        // Before anything reads the database: bring its schema up to this program's.
        const QStringList applied = SchemaUpgrade(Connection::main()).run();
        if (!applied.isEmpty())
            m_statusPanels[3]->setText(UpgradeDoneText(int(applied.size())));
    });
    step([this] {
        // Compared as numbers part by part: as text "23.0.0.44" would be above "23.0.0.100".
        const QString dbVersion = HighestVersion(ShopStore(Connection::main()).versions());
        if (dbVersion.isEmpty() || CompareVersions(dbVersion, QLatin1String(kProgramVersion)) != 0)
            ShowWarning(QStringLiteral("Eltérő verziók, hiba lehetséges, frissítse programját, adatbázisát\r\n"
                                       "adatbázis : %1\r\nprogram: %2").arg(dbVersion, QLatin1String(kProgramVersion)),
                        this);
    });
    step([this] { LoadShopSettings(); });
    step([this, &b] {
        if (b.vanbelep) {
            try {
                if (!ShowLoginDialog(this))
                    AbortStartup();
            } catch (const Error &e) {
                ShowError(QStringLiteral("Ismeretlen hiba, indítsa újra a programot.\n") + e.message(), this);
                AbortStartup();
            }
        } else {
            b.rendszergazda = b.torzsszerkeszt = b.canins = b.canedit = b.candel = true;
            b.felhasznalo_nev = QStringLiteral("rendszergazda");
        }
        // The audit triggers name the program's user from now on.
        if (!m_aborted)
            Connection::setActingUser(b.felhasznalo_nev);
    });
    step([this] {
        const QString owner = ShopStore(Connection::main()).owner();
        setWindowTitle(QStringLiteral("Quorvin - Optika: [%1]").arg(owner));
    });
    step([this, &b] {
        for (const char *f : {"osszar", "eloleg", "fizetendo"})
            m_workOrders->model()->setMask(QString::fromLatin1(f), b.FormatFt);
    });

    m_tabControl1->blockSignals(true);
    m_tabControl1->setCurrentIndex(TabWorkOrders);
    m_tabControl1->blockSignals(false);
    m_pages->setCurrentIndex(TabWorkOrders);
    step([this] { openList(TabWorkOrders); });
}

void MainWindow::LoadShopSettings()
{
    AppState &b = appState();
    ShopSettingsRow row;
    const bool found = ShopStore(Connection::main()).readSettings(row);
    b.vanbelep = found && row.loginRequired;
    b.mlaphatid = found ? row.dueDays.toInt() : 0;
    b.mlapmegj = found ? row.workOrderNote : QString();
    b.figynap = found ? row.reminderDays.toInt() : 0;
    b.a5munkalap = found && row.a5WorkOrder;
    m_heading->setText(QStringLiteral("Quorvin.Opt: %1  ").arg(b.adatbazisnev));
}

void MainWindow::SaveLocalSettings()
{
    // The frame's position and the window's size: what showEvent() restores.
    qo::SaveLocalSettings(appState(), QRect(pos(), size()));
}

void MainWindow::applyFontSize()
{
    QFont f = font();
    f.setPointSize(appState().Betumeret);
    setFont(f);
}

void MainWindow::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    if (m_aborted || m_shownOnce)
        return;
    m_shownOnce = true;
    if (appState().TeljesKep) {
        setGeometry(WorkArea());
    } else {
        // Where it was closed: the rectangle stored under Alapertek at shutdown.
        const QRect r = ClampToWorkArea(StoredMainWindowRect(size()));
        move(r.topLeft());
        resize(r.size());
    }
    m_search->setFocus();
    applyFontSize();
    for (Grid *g : m_grids)
        g->gridModel()->setMarkedColumn(0);
    guarded([this] { ShowPendingMessage(); });
    ShowSplash();
    // The maker's version notes and news, once per run, shortly after start.
    connect(&m_timerVerzio, &QTimer::timeout, this, [this] { guarded([this] { CheckNewVersion(this); }); });
    connect(&m_timerHirek, &QTimer::timeout, this, [this] { guarded([this] { CheckNews(this); }); });
    m_timerVerzio.start();
    m_timerHirek.start();
}

void MainWindow::closeEvent(QCloseEvent *e)
{
    if (!m_aborted) {
        try {
            SaveLocalSettings();
        } catch (const Error &err) {
            ShowError(err.message(), this); // the program still closes
        }
    }
    Connection::main().close();
    QMainWindow::closeEvent(e);
}

} // namespace qo
