// Long lists held as a window: a list of 20,000 clients shows its first page,
// reads on as it is scrolled, jumps to either end, locates far down by
// typing, comes back positioned on an edited row, and counts in the
// background. Checked against the database's own order of the same rows.
#include "config/AppState.h"
#include "config/Config.h"
#include "config/StoredConnections.h"
#include "clients/ClientPicker.h"
#include "db/Connection.h"
#include "db/Keyset.h"
#include "db/RowCounter.h"
#include "startup/Splash.h"
#include "mainwindow/MainWindow.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"
#include "ui/ListQuery.h"
#include "support/Drive.h"
#include "support/TestDb.h"

#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

using namespace qo;
using namespace qo::test;

namespace {

const int kClients = 20000;

// 20,000 clients under 40 names (so that many rows share a name and only the
// key orders them), a reminder date on every third, none on the others.
void addClients()
{
    ExecSql(QStringLiteral(
        "INSERT INTO ugyfel (ugyfel_nev, telefon, torolve, dat_figyelmeztet) "
        "SELECT CONCAT(ELT(1 + seq % 8, 'Kovács', 'Nagy', 'Szabó', 'Tóth', 'Horváth', 'Kiss', 'Zsoldos', 'Árvai'), ' ', "
        "              ELT(1 + (seq DIV 8) % 5, 'Anna', 'Béla', 'Csaba', 'Dóra', 'Éva')), "
        "       CONCAT('06 30 ', LPAD(seq, 7, '0')), 'N', "
        "       IF(seq % 3 = 0, DATE_ADD('2020-01-01', INTERVAL seq % 700 DAY), NULL) "
        "FROM seq_1_to_%1").arg(kClients));
}

// The client keys in the order the server lists them.
QVector<qint64> serverOrder(const QString &where, const QString &order)
{
    const RowSet rs = Connection::main().query(QStringLiteral("SELECT ugyfel FROM vw_ugyfel WHERE ugyfel > 0 %1 ORDER BY %2")
                                                   .arg(where, order));
    QVector<qint64> keys;
    for (int r = 0; r < rs.rowCount(); ++r)
        keys << rs.toInt(r, 0);
    return keys;
}

QVector<qint64> heldKeys(const GridModel *m)
{
    QVector<qint64> keys;
    for (int r = 0; r < m->rows().rowCount(); ++r)
        keys << m->rows().toInt(r, QStringLiteral("ugyfel"));
    return keys;
}

// The counts come from the background thread, through the event loop.
void settleCounts()
{
    RowCounter::instance().waitIdle();
    QCoreApplication::processEvents();
}

// Drags the scroll bar to the bottom until the whole list is read, as a user
// dragging it down again and again.
void scrollToBottom(Grid *g)
{
    for (int i = 0; i < 100 && !g->gridModel()->atEnd(); ++i) {
        QCoreApplication::processEvents(); // the view lays out the rows it got
        g->verticalScrollBar()->setValue(g->verticalScrollBar()->maximum());
    }
}

} // namespace

class TestLists : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempConfig> m_config;
    std::unique_ptr<test::TestDb> m_db;

    std::unique_ptr<MainWindow> openMain()
    {
        const ConnectParams p = m_db->params();
        WriteStoredConnection(1, QStringLiteral("%1;%2;%3;%4;%5;Lista").arg(p.database, p.host).arg(p.port).arg(p.user, p.password));
        auto w = std::make_unique<MainWindow>();
        w->show();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w.get()))
            qWarning("main window not active");
        return w;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_config = std::make_unique<test::TempConfig>();
        setWorkAreaForTests(QRect(0, 0, 1280, 800));
        SetSplashEnabled(false);
        WriteConfigString(QStringLiteral("Alapertek"), QStringLiteral("SzolgaltatasCim"), QStringLiteral("http://127.0.0.1:9/"));
        m_db = std::make_unique<test::TestDb>(QStringLiteral("lists_long"));
        addClients();
    }
    void init() { appState() = AppState(); }
    void cleanupTestCase() { m_db.reset(); }

    // The sort terms of the list queries and the keyset conditions built
    // from them, NULLs and descending terms included.
    void keysetConditions()
    {
        RowSet rs = Connection::main().query(QStringLiteral("SELECT 5 AS munkalap, NULL AS datum, 'O''Brien' AS nev"));
        const QVector<SortTerm> terms = WithKey(ParseOrderBy(QStringLiteral("ORDER BY datum, nev DESC;")), QStringLiteral("munkalap"));
        QCOMPARE(terms.size(), 3);
        QCOMPARE(OrderByText(terms, false), QStringLiteral("datum, nev DESC, munkalap"));
        QCOMPARE(OrderByText(terms, true), QStringLiteral("datum DESC, nev, munkalap DESC"));
        QCOMPARE(KeysetCondition(terms, rs, 0, false, false),
                 QStringLiteral("((datum IS NOT NULL) OR (datum IS NULL AND (nev < 'O''Brien' OR nev IS NULL)) OR "
                                "(datum IS NULL AND nev = 'O''Brien' AND munkalap > 5))"));
        // Backwards from a NULL in an ascending term: nothing sorts before NULL but NULLs.
        QCOMPARE(KeysetCondition(terms, rs, 0, true, true),
                 QStringLiteral("((datum IS NULL AND nev > 'O''Brien') OR (datum IS NULL AND nev = 'O''Brien' AND (munkalap < 5 OR munkalap IS NULL)) OR "
                                "(datum IS NULL AND nev = 'O''Brien' AND munkalap = 5))"));
        // A column number is the select's column; a key already sorted by is not added again.
        const QVector<SortTerm> byNumber = WithKey(ParseOrderBy(QStringLiteral("ORDER BY 1 DESC;"), rs), QStringLiteral("munkalap"));
        QCOMPARE(byNumber.size(), 1);
        QCOMPARE(byNumber.first().expr, QStringLiteral("munkalap"));
        QVERIFY(byNumber.first().desc);
    }

    // Sorted by a FLOAT or DOUBLE column: every row comes once and in order,
    // also where a FLOAT's text (six digits: 12679.1 for 12679.083) is not its
    // value; such a list is read whole when sorted by it.
    void scrollThroughDoubles_data()
    {
        QTest::addColumn<QString>("type");
        QTest::newRow("float") << QStringLiteral("FLOAT");
        QTest::newRow("double") << QStringLiteral("DOUBLE");
    }
    void scrollThroughDoubles()
    {
        QFETCH(QString, type);
        ExecSql(QStringLiteral("CREATE TABLE tdbl (k INT PRIMARY KEY, d %1)").arg(type));
        ExecSql(QStringLiteral("INSERT INTO tdbl SELECT seq, IF(seq % 2, (seq % 7) / 10, 14490 * 0.875 + (seq % 3) / 3) "
                               "FROM seq_1_to_3000"));
        GridModel model;
        ListQuery q({QStringLiteral("SELECT k, d FROM tdbl"), QStringLiteral("WHERE 1 = 1"), QStringLiteral("ORDER BY d;")},
                    &model, QStringLiteral("k"));
        q.open();
        QCOMPARE(model.complete(), type == QLatin1String("FLOAT"));
        for (int i = 0; i < 50 && model.canFetchMore({}); ++i)
            model.fetchMore({});
        QVector<qint64> held, server;
        for (int r = 0; r < model.rows().rowCount(); ++r)
            held << model.rows().toInt(r, 0);
        const RowSet rs = Connection::main().query(QStringLiteral("SELECT k FROM tdbl ORDER BY d, k"));
        for (int r = 0; r < rs.rowCount(); ++r)
            server << rs.toInt(r, 0);
        ExecSql(QStringLiteral("DROP TABLE tdbl"));
        QCOMPARE(held, server);
    }

    // A page that cannot be read is reported once; the list reads no more
    // until it is opened again, and still knows it is not the whole list.
    void failedPageStopsReading()
    {
        ExecSql(QStringLiteral("CREATE TABLE tpage (k INT PRIMARY KEY) SELECT seq AS k FROM seq_1_to_500"));
        GridModel model;
        ListQuery q({QStringLiteral("SELECT k FROM tpage"), QStringLiteral("WHERE 1 = 1"), QStringLiteral("ORDER BY k;")},
                    &model, QStringLiteral("k"));
        q.open();
        QSignalSpy failed(&model, &GridModel::fetchFailed);
        ExecSql(QStringLiteral("RENAME TABLE tpage TO tpage_el"));
        model.fetchMore({});
        QCOMPARE(failed.count(), 1);
        QVERIFY(!model.canFetchMore({}));
        QVERIFY(!model.complete());
        QVERIFY(!model.wholeSql().isEmpty());
        QCOMPARE(model.rowCount(), GridModel::kFirstPage);
        ExecSql(QStringLiteral("RENAME TABLE tpage_el TO tpage"));
        q.open();
        while (model.canFetchMore({}))
            model.fetchMore({});
        ExecSql(QStringLiteral("DROP TABLE tpage"));
        QCOMPARE(model.rowCount(), 500);
        QCOMPARE(failed.count(), 1);
    }

    // Scrolling through the whole list, in the default order and in an order
    // with NULLs and many equal values, brings every row once, in the
    // server's order; memory stays with the rows held.
    void scrollThroughEveryRow_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("order");
        QTest::newRow("name") << -1 << QStringLiteral("ugyfel_nev, ugyfel");
        QTest::newRow("reminder date") << 4 << QStringLiteral("dat_figyelmeztet, ugyfel");
    }
    void scrollThroughEveryRow()
    {
        QFETCH(int, column);
        QFETCH(QString, order);
        auto w = openMain();
        w->setActiveTab(MainWindow::TabClients);
        Grid *g = w->grid(MainWindow::TabClients);
        GridModel *m = g->gridModel();
        if (column >= 0)
            Q_EMIT g->titleClicked(column);
        QCOMPARE(m->rowCount(), GridModel::kFirstPage);
        QVERIFY(!m->complete());
        QVERIFY(m->rows().memoryBytes() < 200000);
        QCOMPARE(w->statusText(), QStringLiteral("…: 1"));
        settleCounts();
        QCOMPARE(w->statusText(), QStringLiteral("20000: 1"));

        scrollToBottom(g);
        QVERIFY(m->atEnd());
        QCOMPARE(heldKeys(m), serverOrder(QString(), order));
        QVERIFY(m->rows().memoryBytes() <= 2 * (m->rows().dataBytes() + size_t(m->rows().rowCount()) * m->rows().columnCount()));
    }

    // Ctrl+End and Ctrl+Home jump to a page at either end; moving up from
    // the end reads the rows before the window, and the place in the status
    // line stays right all the way.
    void jumpToEitherEndAndMoveUp()
    {
        auto w = openMain();
        w->setActiveTab(MainWindow::TabClients);
        Grid *g = w->grid(MainWindow::TabClients);
        const QVector<qint64> all = serverOrder(QString(), QStringLiteral("ugyfel_nev, ugyfel"));
        settleCounts();
        g->setFocus();
        QTest::keyClick(g, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(w->currentKey(MainWindow::TabClients), all.last());
        QCOMPARE(w->statusText(), QStringLiteral("20000: 20000"));
        QCOMPARE(g->gridModel()->rowCount(), GridModel::kFirstPage);

        for (int i = 0; i < 40; ++i)
            QTest::keyClick(g, Qt::Key_PageUp);
        const QString status = w->statusText();
        const int place = status.section(QStringLiteral(": "), 1).toInt();
        QVERIFY2(place < kClients - GridModel::kFirstPage, qPrintable(status));
        QCOMPARE(w->currentKey(MainWindow::TabClients), all.at(place - 1));
        QTest::keyClick(g, Qt::Key_Up);
        QCOMPARE(w->currentKey(MainWindow::TabClients), all.at(place - 2));

        QTest::keyClick(g, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(w->currentKey(MainWindow::TabClients), all.first());
        QCOMPARE(w->statusText(), QStringLiteral("20000: 1"));
    }

    // Typing a name far down the sorted list stands on its first row, read
    // from the server; the row above it comes when the user moves up.
    void locateFarDownByTyping()
    {
        auto w = openMain();
        w->setActiveTab(MainWindow::TabClients);
        Grid *g = w->grid(MainWindow::TabClients);
        QTest::keyClicks(w->searchBox(), QStringLiteral("zsoldos d"));
        const QVector<qint64> all = serverOrder(QStringLiteral("AND ugyfel_nev LIKE '%zsoldos d%'"), QStringLiteral("ugyfel_nev, ugyfel"));
        QCOMPARE(w->currentKey(MainWindow::TabClients), all.first());

        // A prefix of a later name among many matches: "t" matches most rows,
        // the first "Tóth" is far below the first page.
        w->searchBox()->clear();
        test::typeText(w->searchBox(), QStringLiteral("tóth"));
        const QVector<qint64> toth = serverOrder(QStringLiteral("AND ugyfel_nev LIKE 'tóth%'"), QStringLiteral("ugyfel_nev, ugyfel"));
        QCOMPARE(w->currentKey(MainWindow::TabClients), toth.first());
        w->searchBox()->clear();
        QTest::keyClicks(w->searchBox(), QStringLiteral("t"));
        const QVector<qint64> withT = serverOrder(QStringLiteral("AND (ugyfel_nev LIKE '%t%' OR telefon LIKE '%t%')"),
                                                  QStringLiteral("ugyfel_nev, ugyfel"));
        const int first = int(withT.indexOf(toth.first()));
        QVERIFY(first > GridModel::kFirstPage);
        QCOMPARE(w->currentKey(MainWindow::TabClients), toth.first());
        settleCounts();
        // Nothing is read above the window before the user goes there.
        QCOMPARE(g->gridModel()->rowCount(), GridModel::kFirstPage);
        QCOMPARE(w->statusText(), QStringLiteral("%1: %2").arg(withT.size()).arg(first + 1));
        g->setFocus();
        QTest::keyClick(g, Qt::Key_Up);
        QCOMPARE(w->currentKey(MainWindow::TabClients), withT.at(first - 1));
        QCOMPARE(w->statusText(), QStringLiteral("%1: %2").arg(withT.size()).arg(first));
    }

    // A row far down edited with F2 (and renamed so that it moves): the list
    // comes back standing on it, read from the server.
    void editedRowFarDownIsShown()
    {
        auto w = openMain();
        w->setActiveTab(MainWindow::TabClients);
        Grid *g = w->grid(MainWindow::TabClients);
        const QVector<qint64> before = serverOrder(QString(), QStringLiteral("ugyfel_nev, ugyfel"));
        const qint64 key = before.at(15000);
        // Stand on it the way a user would: Ctrl+End, then up.
        g->setFocus();
        QTest::keyClick(g, Qt::Key_End, Qt::ControlModifier);
        while (w->currentKey(MainWindow::TabClients) != key && g->currentRowIndex() >= 0) {
            const int row = g->currentRowIndex();
            QTest::keyClick(g, Qt::Key_Up);
            if (row == g->currentRowIndex() && row == 0)
                break;
        }
        QCOMPARE(w->currentKey(MainWindow::TabClients), key);

        ModalLog answers;
        onModal(anyWindow(), [](QWidget *d) {
            QTest::keyClick(d->focusWidget(), Qt::Key_A, Qt::ControlModifier);
            test::typeText(d->focusWidget(), QStringLiteral("Mező Ilona"));
            d->findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
        });
        QTest::keyClick(g, Qt::Key_F2);
        QTRY_VERIFY(answers.done());
        QTRY_COMPARE(w->currentKey(MainWindow::TabClients), key);
        QCOMPARE(SqlValue(QStringLiteral("SELECT ugyfel_nev FROM ugyfel WHERE ugyfel = %1").arg(key), QString()),
                 QStringLiteral("Mező Ilona"));
        const QVector<qint64> after = serverOrder(QString(), QStringLiteral("ugyfel_nev, ugyfel"));
        settleCounts();
        QCOMPARE(w->statusText(), QStringLiteral("20000: %1").arg(after.indexOf(key) + 1));
        ExecSql(QStringLiteral("UPDATE ugyfel SET ugyfel_nev = 'Zsoldos Béla' WHERE ugyfel = %1").arg(key));
    }

    // The client picker is the same kind of list: the first page at once, a
    // name far down located by typing, the count in its status line, Ctrl+End
    // to the last client, Enter accepts the client stood on.
    void pickerOnALongList()
    {
        ClientPicker picker;
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        picker.reopen(-1);
        QCOMPARE(picker.model()->rowCount(), GridModel::kFirstPage);
        test::typeText(picker.searchBox(), QStringLiteral("zsoldos é"));
        const QVector<qint64> all = serverOrder(QStringLiteral("AND ugyfel_nev LIKE '%zsoldos é%'"), QStringLiteral("ugyfel_nev, ugyfel"));
        QCOMPARE(picker.currentKey(), all.first());
        picker.searchBox()->clear();
        QTest::keyClicks(picker.searchBox(), QStringLiteral("zs"));
        const QVector<qint64> zs = serverOrder(QStringLiteral("AND ugyfel_nev LIKE '%zs%'"), QStringLiteral("ugyfel_nev, ugyfel"));
        QCOMPARE(picker.currentKey(), zs.first());
        settleCounts();
        auto *counter = picker.statusBar()->findChild<QLabel *>();
        QVERIFY(counter);
        QCOMPARE(counter->text(), QStringLiteral("%1: 1").arg(zs.size()));
        QTest::keyClick(picker.searchBox(), Qt::Key_Down); // into the list
        QTest::keyClick(picker.grid(), Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(picker.currentKey(), zs.last());
        QCOMPARE(counter->text(), QStringLiteral("%1: %1").arg(zs.size()));
        QTest::keyClick(picker.grid(), Qt::Key_Return);
        QCOMPARE(picker.result(), int(QDialog::Accepted));
        QCOMPARE(picker.currentKey(), zs.last());
    }

    // Three letters typed faster than the list answers: the list and its
    // count show the last text's result, never an older one after it.
    void fastTypingShowsTheLastText()
    {
        auto w = openMain();
        w->setActiveTab(MainWindow::TabClients);
        Grid *g = w->grid(MainWindow::TabClients);
        w->searchBox()->setFocus();
        for (const char *k : {"k", "i", "s"})
            QCoreApplication::postEvent(w->searchBox(), new QKeyEvent(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromLatin1(k)));
        QTRY_COMPARE(w->searchBox()->text(), QStringLiteral("kis"));
        const QVector<qint64> kis = serverOrder(QStringLiteral("AND (ugyfel_nev LIKE '%kis%' OR telefon LIKE '%kis%')"),
                                                QStringLiteral("ugyfel_nev, ugyfel"));
        settleCounts();
        QCOMPARE(heldKeys(g->gridModel()), kis.mid(0, GridModel::kFirstPage));
        QCOMPARE(w->statusText(), QStringLiteral("%1: 1").arg(kis.size()));
    }

    // A newer count request of the same list makes an older one void, even
    // one the server is still working on.
    void olderCountIsDropped()
    {
        QObject context;
        const int owner = 0;
        QVector<qint64> answers;
        const ConnectParams p = m_db->params();
        RowCounter::instance().request(&owner, p, {QStringLiteral("SELECT 1 + SLEEP(0.3)")}, &context,
                                       [&](const QVector<qint64> &n) { answers << n.value(0); });
        QTest::qWait(50); // the first is running now
        RowCounter::instance().request(&owner, p, {QStringLiteral("SELECT 2")}, &context,
                                       [&](const QVector<qint64> &n) { answers << n.value(0); });
        settleCounts();
        QTRY_COMPARE(answers, QVector<qint64>{2});
        QTest::qWait(50);
        QCOMPARE(answers, QVector<qint64>{2});
    }
};

QTEST_MAIN(TestLists)
#include "tst_lists.moc"
