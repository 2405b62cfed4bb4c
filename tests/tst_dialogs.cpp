// The behaviour every window shares and the small core dialogs, driven the way
// a user drives them: keys, clicks, and the modal boxes answered as they open.
#include "startup/DatabaseChooser.h"
#include "config/AppState.h"
#include "admin/SettingsDialog.h"
#include "config/Config.h"
#include "config/StoredConnections.h"
#include "db/Connection.h"
#include "ui/DateDialog.h"
#include "ui/WindowBehaviour.h"
#include "ui/TextGuards.h"
#include "ui/WheelAsArrows.h"
#include "startup/ConnectionSetup.h"
#include "ui/InputDialog.h"
#include "startup/LoginDialog.h"
#include "base/PasswordHash.h"

#include "platform/Download.h"
#include "support/TestDb.h"
#include "AdminFormParts.h"
#include "support/TlsServer.h"

#include <QtTest>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <functional>

using namespace qo;
using qo::test::formParts;

namespace {

// Answers, in order, the modal windows that open while the code under test
// runs its own modal loops. A window that no step expects is closed after a
// few seconds and noted, so a broken test fails instead of hanging.
class ModalScript : public QObject {
public:
    using Match = std::function<bool(QWidget *)>;
    using Act = std::function<void(QWidget *)>;

    ModalScript()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
        m_timer.start(15);
    }

    ModalScript &on(Match match, Act act)
    {
        m_steps.append({std::move(match), std::move(act)});
        return *this;
    }
    // The next window with this title.
    ModalScript &onTitle(const QString &title, Act act)
    {
        return on([title](QWidget *w) { return w->windowTitle() == title; }, std::move(act));
    }
    // The next message box: its caption and text are recorded, then the
    // button is pressed.
    ModalScript &onBox(QMessageBox::StandardButton button = QMessageBox::Ok)
    {
        return on([](QWidget *w) { return qobject_cast<QMessageBox *>(w) != nullptr; },
                  [this, button](QWidget *w) {
                      auto *box = static_cast<QMessageBox *>(w);
                      boxes << box->windowTitle() + QStringLiteral(": ") + box->text();
                      box->button(button)->click();
                  });
    }

    bool finished() const { return m_steps.isEmpty(); }
    QStringList boxes;      // "caption: text" of every box answered
    QStringList unexpected; // titles of windows nobody expected

private:
    struct Step {
        Match match;
        Act act;
    };

    void tick()
    {
        QWidget *w = QApplication::activeModalWidget();
        if (w != m_last)
            m_left = true;
        if (!w) {
            m_waiting.invalidate();
            return;
        }
        if ((w == m_last && !m_left) || m_steps.isEmpty() || !m_steps.first().match(w)) {
            // A window still waiting after its step has finished counts too.
            if (!(w == m_last && m_acting)) {
                if (!m_waiting.isValid())
                    m_waiting.start();
                else if (m_waiting.elapsed() > 4000) {
                    unexpected << w->windowTitle() + QStringLiteral(" / ")
                            + (qobject_cast<QMessageBox *>(w) ? static_cast<QMessageBox *>(w)->text() : QString());
                    m_waiting.invalidate();
                    w->close();
                }
            }
            return;
        }
        m_waiting.invalidate();
        const Step step = m_steps.takeFirst();
        m_last = w;
        m_left = false;
        QPointer<QWidget> guard(w);
        // Acted on from outside this timer's slot so that the step may open
        // modal windows of its own while the script keeps running.
        m_acting = true;
        QTimer::singleShot(0, this, [this, step, guard] {
            if (guard)
                step.act(guard);
            m_acting = false;
        });
    }

    QTimer m_timer;
    QList<Step> m_steps;
    QPointer<QWidget> m_last;
    bool m_left = true;
    bool m_acting = false;
    QElapsedTimer m_waiting;
};

template <typename T>
T *child(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QLatin1String(name));
    if (!c)
        qWarning("no child %s", name);
    return c;
}

// QTest::keyClicks only knows Latin-1; ő and ű are typed through their text.
void typeText(QWidget *w, const QString &text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
}

QPushButton *buttonByText(QWidget *w, const QString &text)
{
    const auto buttons = w->findChildren<QPushButton *>();
    for (QPushButton *b : buttons)
        if (b->text() == text)
            return b;
    return nullptr;
}

// A form with one of every kind of input field, in tab order.
class TestForm : public QDialog {
public:
    explicit TestForm(Placement kind = Placement::None, const QString &name = QStringLiteral("frm_Proba"))
    {
        setObjectName(name);
        auto *l = new QVBoxLayout(this);
        auto add = [&](QWidget *w, const char *n) {
            w->setObjectName(QLatin1String(n));
            l->addWidget(w);
        };
        add(e1 = new QLineEdit(this), "e1");
        add(memo = new QPlainTextEdit(this), "memo");
        add(combo = new QComboBox(this), "combo");
        combo->setEditable(true);
        combo->addItems({QStringLiteral("egy"), QStringLiteral("kettő")});
        add(list = new QComboBox(this), "list");
        list->addItems({QStringLiteral("három"), QStringLiteral("négy")});
        add(date = new QDateEdit(QDate(2024, 2, 29), this), "date");
        add(check = new QCheckBox(QStringLiteral("Jelölő"), this), "check");
        add(e2 = new QLineEdit(this), "e2");
        add(ok = new QPushButton(QStringLiteral("OK"), this), "ok");
        add(cancel = new QPushButton(QStringLiteral("Mégsem"), this), "cancel");
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, this, [this] { ++okClicks; });
        InstallFormBehaviour(this, kind);
    }
    QLineEdit *e1, *e2;
    QPlainTextEdit *memo;
    QComboBox *combo, *list;
    QDateEdit *date;
    QCheckBox *check;
    QPushButton *ok, *cancel;
    int okClicks = 0;
};

QColor pixelIn(QWidget *w)
{
    // Inside the frame, right of the short texts and left of any arrow button.
    const QImage img = w->grab().toImage();
    return img.pixelColor(img.width() / 2, img.height() / 2);
}

// A tiny HTTP server: /ok answers a body, /missing 404, /silent never answers.
class TinyHttp : public QTcpServer {
public:
    QByteArray body = QByteArray("Verzió 23.0.0.45\r\nÚj funkció\r\n");
    TinyHttp()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    const QByteArray req = s->readAll();
                    const QByteArray path = req.split(' ').value(1);
                    if (path == "/silent")
                        return;
                    QByteArray status = "200 OK", data = body;
                    if (path != "/ok") {
                        status = "404 Not Found";
                        data = "nincs";
                    }
                    s->write("HTTP/1.1 " + status + "\r\nContent-Type: text/plain\r\nContent-Length: "
                             + QByteArray::number(data.size()) + "\r\nConnection: close\r\n\r\n" + data);
                    s->disconnectFromHost();
                });
            }
        });
        listen(QHostAddress::LocalHost);
    }
    QString url(const char *path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(QLatin1String(path)); }
};

QString recordFor(const ConnectParams &p, const QString &name, const QString &password = {})
{
    return QStringList{p.database, p.host, QString::number(p.port), p.user,
                       password.isNull() ? p.password : password, name}
        .join(QLatin1Char(';'));
}

void saveShot(QWidget *w, const QString &name)
{
    const QString dir = qEnvironmentVariable("QO_SHOTS_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    w->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        initFolders(m_dir.path());
        setWorkAreaForTests(QRect(0, 0, 1920, 1040));
        InstallWheelAsArrows(qApp);
    }

    void init()
    {
        appState() = AppState();
        QFile::remove(ConfigFile());
    }

    // ---- Shared window behaviour ------------------------------------------

    void enterMovesFocus_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("okClicks");
        QTest::newRow("line edit") << "e1" << 0 << "memo" << 0;
        QTest::newRow("multi-line keeps Enter") << "memo" << 0 << "memo" << 0;
        QTest::newRow("editable combo") << "combo" << 0 << "list" << 0;
        QTest::newRow("drop-down list") << "list" << 0 << "date" << 0;
        QTest::newRow("date edit") << "date" << 0 << "check" << 0;
        QTest::newRow("check box") << "check" << 0 << "e2" << 0;
        QTest::newRow("before default button: no click") << "e2" << 0 << "ok" << 0;
        QTest::newRow("focused button is clicked") << "ok" << 0 << "ok" << 1;
        QTest::newRow("keypad Enter") << "e1" << int(Qt::KeypadModifier) << "memo" << 0;
        QTest::newRow("Ctrl+Enter left alone") << "e1" << int(Qt::ControlModifier) << "e1" << 0;
    }
    void enterMovesFocus()
    {
        QFETCH(QString, start);
        QFETCH(int, modifiers);
        QFETCH(QString, expected);
        QFETCH(int, okClicks);
        TestForm f;
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QWidget *w = f.findChild<QWidget *>(start);
        w->setFocus();
        QCOMPARE(QApplication::focusWidget(), w);
        const int key = modifiers & Qt::KeypadModifier ? Qt::Key_Enter : Qt::Key_Return;
        QTest::keyClick(w, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(QApplication::focusWidget()->objectName(), expected);
        QCOMPARE(f.okClicks, okClicks);
        QVERIFY(f.isVisible()); // the default button did not close anything
        if (start == QLatin1String("memo"))
            QCOMPARE(f.memo->toPlainText(), QStringLiteral("\n"));
    }

    void escCancels_data()
    {
        QTest::addColumn<QString>("start");
        QTest::newRow("line edit") << "e1";
        QTest::newRow("multi-line") << "memo";
        QTest::newRow("date edit") << "date";
        QTest::newRow("button") << "ok";
    }
    void escCancels()
    {
        QFETCH(QString, start);
        TestForm f;
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.findChild<QWidget *>(start)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!f.isVisible());
        QCOMPARE(f.result(), int(QDialog::Rejected));
        QCOMPARE(f.okClicks, 0);
    }

    void escClosesPlainWindow()
    {
        QWidget w;
        auto *e = new QLineEdit(&w);
        InstallFormBehaviour(&w, Placement::None);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        e->setFocus();
        QTest::keyClick(e, Qt::Key_Escape);
        QVERIFY(!w.isVisible());
    }

    void focusColour_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("checkPixel");
        QTest::newRow("line edit") << "e1" << true;
        QTest::newRow("multi-line") << "memo" << true;
        QTest::newRow("editable combo") << "combo" << true;
        QTest::newRow("drop-down list") << "list" << false; // drawn as a shaded button
        QTest::newRow("date edit") << "date" << true;
    }
    void focusColour()
    {
        QFETCH(QString, name);
        QFETCH(bool, checkPixel);
        TestForm f;
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.cancel->setFocus();
        QWidget *w = f.findChild<QWidget *>(name);
        const QColor normal = w->palette().color(QPalette::Base);
        QVERIFY(normal != FocusColor());
        const QColor normalPixel = pixelIn(w);

        w->setFocus();
        QCOMPARE(w->palette().color(QPalette::Base), FocusColor());
        if (checkPixel)
            QCOMPARE(pixelIn(w), FocusColor());
        else
            QVERIFY(pixelIn(w) != normalPixel);

        QTest::mouseClick(f.e2, Qt::LeftButton); // the user clicks into another field
        QVERIFY(!w->hasFocus());
        QCOMPARE(w->palette().color(QPalette::Base), normal);
        QCOMPARE(pixelIn(w), normalPixel);
    }

    void focusColourKeepsOwnPalette()
    {
        TestForm f;
        QPalette own = f.e2->palette();
        own.setColor(QPalette::Base, QColor(255, 255, 185));
        f.e2->setPalette(own);
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.e2->setFocus();
        QCOMPARE(f.e2->palette().color(QPalette::Base), FocusColor());
        f.e1->setFocus();
        QCOMPARE(f.e2->palette().color(QPalette::Base), QColor(255, 255, 185));
    }

    void fontSize_data()
    {
        QTest::addColumn<int>("configured");
        QTest::addColumn<int>("expected");
        QTest::newRow("8") << 8 << 8;
        QTest::newRow("10") << 10 << 10;
        QTest::newRow("12 is out of range") << 12 << 9;
        QTest::newRow("not configured") << 0 << 9;
    }
    void fontSize()
    {
        QFETCH(int, configured);
        QFETCH(int, expected);
        appState().Betumeret = configured;
        TestForm f;
        f.show();
        QCOMPARE(f.font().pointSize(), expected);
        QCOMPARE(f.e1->font().pointSize(), expected);
    }

    void placement_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("savesPosition");
        QTest::addColumn<bool>("savesSize");
        QTest::addColumn<bool>("restoresSize");
        QTest::newRow("position") << int(Placement::Position) << true << false << false;
        QTest::newRow("full") << int(Placement::Full) << true << true << true;
        QTest::newRow("position restored, full saved") << int(Placement::PositionRestoreFullSave) << true << true << false;
        QTest::newRow("none") << int(Placement::None) << false << false << false;
    }
    void placement()
    {
        QFETCH(int, kind);
        QFETCH(bool, savesPosition);
        QFETCH(bool, savesSize);
        QFETCH(bool, restoresSize);
        {
            TestForm f{Placement(kind)};
            f.show();
            QVERIFY(QTest::qWaitForWindowExposed(&f));
            f.move(123, 45);
            f.resize(f.width() + 50, f.height() + 20);
            QTest::keyClick(f.e1, Qt::Key_Escape); // closes: the placement is stored
        }
        QCOMPARE(ReadConfigInt(QStringLiteral("frm_Proba"), QStringLiteral("Left"), -1), savesPosition ? 123 : -1);
        QCOMPARE(ReadConfigInt(QStringLiteral("frm_Proba"), QStringLiteral("Top"), -1), savesPosition ? 45 : -1);
        QCOMPARE(ConfigKeyExists(QStringLiteral("frm_Proba"), QStringLiteral("Width")), savesSize);
        QCOMPARE(ConfigKeyExists(QStringLiteral("frm_Proba"), QStringLiteral("Height")), savesSize);

        TestForm again{Placement(kind)};
        const QSize natural = again.sizeHint();
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        if (savesPosition)
            QCOMPARE(again.pos(), QPoint(123, 45));
        if (restoresSize)
            QCOMPARE(again.width(), ReadConfigInt(QStringLiteral("frm_Proba"), QStringLiteral("Width"), -1));
        else
            QVERIFY(again.width() < natural.width() + 50);
    }

    // A window opened and closed again and again stays where the user put it.
    void placementDoesNotCreep_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("position") << int(Placement::Position);
        QTest::newRow("full") << int(Placement::Full);
        QTest::newRow("position restored, full saved") << int(Placement::PositionRestoreFullSave);
    }
    void placementDoesNotCreep()
    {
        QFETCH(int, kind);
        {
            TestForm f{Placement(kind)};
            f.show();
            QVERIFY(QTest::qWaitForWindowExposed(&f));
            f.move(200, 150);
            QTest::keyClick(f.e1, Qt::Key_Escape);
        }
        for (int i = 0; i < 4; ++i) {
            TestForm f{Placement(kind)};
            f.show();
            QVERIFY(QTest::qWaitForWindowExposed(&f));
            QCOMPARE(f.pos(), QPoint(200, 150));
            QCOMPARE(f.frameGeometry().topLeft(), QPoint(200, 150));
            QTest::keyClick(f.e1, Qt::Key_Escape);
        }
    }

    void placementClampedToWorkArea()
    {
        WriteConfigInt(QStringLiteral("frm_Proba"), QStringLiteral("Left"), 3000);
        WriteConfigInt(QStringLiteral("frm_Proba"), QStringLiteral("Width"), 2500);
        TestForm f(Placement::Full);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QCOMPARE(f.x(), 0);
        QCOMPARE(f.width(), 1920);
    }

    void capitalizeFirst_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first letter") << "a" << "A";
        QTest::newRow("only the first") << "ab" << "Ab";
        QTest::newRow("name") << "kovács éva" << "Kovács éva";
        QTest::newRow("accented first letter unchanged") << QStringLiteral("ádám") << QStringLiteral("ádám");
        QTest::newRow("digit first") << "1a" << "1a";
        QTest::newRow("capital typed") << "Zb" << "Zb";
    }
    void capitalizeFirst()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QLineEdit e;
        InstallCapitalizeFirst(&e);
        typeText(&e, typed);
        QCOMPARE(e.text(), expected);
        // Emptied again, the next first letter is a capital again.
        e.clear();
        typeText(&e, QStringLiteral("x"));
        QCOMPARE(e.text(), QStringLiteral("X"));
    }

    void wheelMovesOneRowPerNotch_data()
    {
        QTest::addColumn<bool>("grid");
        QTest::addColumn<QList<int>>("deltas");
        QTest::addColumn<int>("rowChange");
        QTest::newRow("list, notch towards user") << false << QList<int>{-120} << 1;
        QTest::newRow("list, notch away") << false << QList<int>{120} << -1;
        QTest::newRow("list, three notches at once") << false << QList<int>{360} << -3;
        QTest::newRow("list, two half notches") << false << QList<int>{-60, -60} << 1;
        QTest::newRow("list, half a notch") << false << QList<int>{-60} << 0;
        QTest::newRow("grid, notch towards user") << true << QList<int>{-120} << 1;
        QTest::newRow("grid, two notches away") << true << QList<int>{120, 120} << -2;
    }
    void wheelMovesOneRowPerNotch()
    {
        QFETCH(bool, grid);
        QFETCH(QList<int>, deltas);
        QFETCH(int, rowChange);
        QListWidget list;
        QTableWidget table(50, 3);
        QAbstractItemView *view = grid ? static_cast<QAbstractItemView *>(&table) : &list;
        for (int i = 0; i < 50; ++i)
            list.addItem(QString::number(i));
        view->resize(300, 200);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
        view->setCurrentIndex(view->model()->index(10, 0));
        for (int d : deltas) {
            QWheelEvent we(QPointF(20, 20), view->viewport()->mapToGlobal(QPointF(20, 20)), QPoint(),
                           QPoint(0, d), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(view->viewport(), &we);
        }
        QCOMPARE(view->currentIndex().row(), 10 + rowChange);
    }

    void wheelLeavesOtherWidgets()
    {
        // A text field still scrolls by its own lines, not by moving the cursor.
        QPlainTextEdit t;
        QStringList lines;
        for (int i = 0; i < 200; ++i)
            lines << QString::number(i);
        t.setPlainText(lines.join(QLatin1Char('\n')));
        t.resize(200, 100);
        t.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t));
        QWheelEvent we(QPointF(20, 20), t.viewport()->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, -120),
                       Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(t.viewport(), &we);
        QCOMPARE(t.verticalScrollBar()->value(), QApplication::wheelScrollLines());
        QCOMPARE(t.textCursor().blockNumber(), 0);
    }

    // ---- InputDialog ------------------------------------------------------

    void inputDialog_data()
    {
        QTest::addColumn<QString>("initial");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("finish"); // key or button
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("value");
        QTest::newRow("Enter is OK") << "régi" << "új jelszó" << "Return" << true << "új jelszó";
        QTest::newRow("OK button") << "" << "abc" << "OK" << true << "abc";
        QTest::newRow("initial text kept") << "marad" << "" << "OK" << true << "marad";
        QTest::newRow("Esc") << "régi" << "más" << "Escape" << false << "régi";
        QTest::newRow("Mégsem") << "régi" << "más" << "Mégsem" << false << "régi";
        QTest::newRow("255 characters at most") << "" << QString(300, QLatin1Char('x')) << "OK" << true
                                                << QString(255, QLatin1Char('x'));
    }
    void inputDialog()
    {
        QFETCH(QString, initial);
        QFETCH(QString, typed);
        QFETCH(QString, finish);
        QFETCH(bool, result);
        QFETCH(QString, value);
        QString selected;
        ModalScript script;
        script.onTitle(QStringLiteral("Jelszó megadása"), [&](QWidget *w) {
            auto *edit = w->findChild<QLineEdit *>();
            selected = edit->selectedText();
            QVERIFY(buttonByText(w, QStringLiteral("OK"))->isDefault());
            QVERIFY(w->findChild<QLabel *>()->text() == QStringLiteral("Add meg az új jelszót"));
            saveShot(w, QStringLiteral("InputDialog"));
            if (!typed.isEmpty())
                typeText(edit, typed);
            if (finish == QLatin1String("Return"))
                QTest::keyClick(edit, Qt::Key_Return);
            else if (finish == QLatin1String("Escape"))
                QTest::keyClick(edit, Qt::Key_Escape);
            else
                buttonByText(w, finish)->click();
        });
        QString v = initial;
        QCOMPARE(InputDialog(QStringLiteral("Jelszó megadása"), QStringLiteral("Add meg az új jelszót"), v), result);
        QCOMPARE(v, value);
        QCOMPARE(selected, initial); // the given text arrives selected
        QVERIFY(script.finished());
    }

    void inputDialogMeasures()
    {
        int width = 0, editRight = 0, okLeft = 0, cancelLeft = 0;
        bool clipped = true;
        ModalScript script;
        script.onTitle(QStringLiteral("Cím"), [&](QWidget *w) {
            width = w->width();
            editRight = w->findChild<QLineEdit *>()->geometry().right();
            okLeft = buttonByText(w, QStringLiteral("OK"))->x();
            QWidget *cancel = buttonByText(w, QStringLiteral("Mégsem"));
            cancelLeft = cancel->x();
            clipped = cancel->geometry().bottom() >= w->height() || cancel->sizeHint().width() > cancel->width();
            static_cast<QDialog *>(w)->reject();
        });
        QString v;
        InputDialog(QStringLiteral("Cím"), QStringLiteral("Kérdés"), v);
        const QFontMetrics fm([] { QFont f; f.setPointSize(9); return f; }());
        const int base = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52;
        auto du = [base](int x) { return int(std::lround(x * base / 4.0)); };
        QCOMPARE(width, du(180));
        QCOMPARE(okLeft, du(38));
        QCOMPARE(cancelLeft, du(92));
        QCOMPARE(editRight, du(8) + du(164) - 1);
        QVERIFY(!clipped);
    }

    // ---- Date dialog ------------------------------------------------------

    void askDate_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QDate>("expected");
        // The year section has the focus first; 29 February has no twin in 2025.
        QTest::newRow("Enter takes the date") << "Return" << true << QDate(2024, 2, 29);
        QTest::newRow("year up, then OK") << "Up Return" << true << QDate(2025, 2, 28);
        QTest::newRow("changed, then Esc") << "Up Escape" << false << QDate(2024, 2, 29);
        QTest::newRow("Mégsem") << "Up Mégsem" << false << QDate(2024, 2, 29);
    }
    void askDate()
    {
        QFETCH(QString, keys);
        QFETCH(bool, result);
        QFETCH(QDate, expected);
        bool timeHidden = false;
        QString format;
        ModalScript script;
        script.onTitle(QStringLiteral("Dátum megadása"), [&](QWidget *w) {
            auto *picker = w->findChild<QDateEdit *>(QStringLiteral("DateTimePicker1"));
            timeHidden = !w->findChild<QTimeEdit *>(QStringLiteral("DateTimePicker2"))->isVisible();
            format = picker->displayFormat();
            QVERIFY(QTest::qWaitForWindowActive(w));
            QTRY_COMPARE(picker->palette().color(QPalette::Base), FocusColor());
            saveShot(w, QStringLiteral("frm_Datumbe"));
            for (const QString &k : keys.split(QLatin1Char(' '))) {
                if (k == QLatin1String("Up"))
                    QTest::keyClick(picker, Qt::Key_Up);
                else if (k == QLatin1String("Return"))
                    QTest::keyClick(picker, Qt::Key_Return);
                else if (k == QLatin1String("Escape"))
                    QTest::keyClick(picker, Qt::Key_Escape);
                else
                    buttonByText(w, k)->click();
            }
        });
        QDate d(2024, 2, 29);
        QCOMPARE(AskDate(d), result);
        QCOMPARE(d, expected);
        QVERIFY(timeHidden);
        QCOMPARE(format, QStringLiteral("yyyy.MM.dd"));
        QVERIFY(script.finished());
    }

    void askDateCaption()
    {
        ModalScript script;
        script.onTitle(QStringLiteral("Figyelmeztetés dátuma"), [](QWidget *w) { static_cast<QDialog *>(w)->reject(); });
        QDate d(2024, 5, 1);
        QVERIFY(!AskDate(d, QStringLiteral("Figyelmeztetés dátuma")));
        QVERIFY(script.finished());
    }

    // ---- Settings dialog --------------------------------------------------

    void settingsDialog_data()
    {
        QTest::addColumn<QString>("hatid");    // typed into "Munkalap hatidő (nap)", null: untouched
        QTest::addColumn<QString>("note");     // typed at the end of the note
        QTest::addColumn<bool>("toggleLogin");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("error");    // expected error box, empty: none
        QTest::addColumn<QString>("row");      // vanbelep|mlaphatid|mlapmegj|figynap|a5munkalap afterwards
        const QString before = QStringLiteral("I|7|Első sor|30|N");
        QTest::newRow("untick login, OK stores N") << QString() << QString() << true << "OK" << ""
                                                   << "N|7|Első sor|30|N";
        QTest::newRow("note changed, Mégsem keeps the row") << "21" << " és még" << true << "Mégsem" << "" << before;
        QTest::newRow("note and days, OK") << "14" << "\nmásodik 'sor'" << false << "OK" << ""
                                           << "I|14|Első sor\r\nmásodik 'sor'|30|N";
        QTest::newRow("empty day count is NULL") << "" << "" << false << "OK" << "" << "I||Első sor|30|N";
        QTest::newRow("day count not a number") << "7 nap" << " x" << true << "OK"
                                                << "Hiba: A(z) \"Munkalap hatidő (nap)\" mező értéke nem egész szám: 7 nap"
                                                << before;
    }
    void settingsDialog()
    {
        QFETCH(QString, hatid);
        QFETCH(QString, note);
        QFETCH(bool, toggleLogin);
        QFETCH(QString, button);
        QFETCH(QString, error);
        QFETCH(QString, row);
        test::TestDb db(QStringLiteral("dialogs_beallit"));
        ExecSql(QStringLiteral("UPDATE beallit SET vanbelep = 'I', mlapmegj = 'Első sor';"));
        appState().FormatFt = QStringLiteral("### ### ##0");
        appState().rendszergazda = true; // "Belépésnél jelszót kér" is the administrator's

        SettingsDialog dlg;
        QVERIFY(dlg.loadRow());
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QCOMPARE(QApplication::focusWidget(), formParts(dlg).fullScreen);
        QVERIFY(formParts(dlg).loginRequired->isChecked());
        QCOMPARE(formParts(dlg).dueDays->text(), QStringLiteral("7"));
        QCOMPARE(formParts(dlg).workOrderNote->toPlainText(), QStringLiteral("Első sor"));
        if (toggleLogin) {
            QTest::keyClick(formParts(dlg).fullScreen, Qt::Key_Return); // Enter moves on
            QCOMPARE(QApplication::focusWidget(), formParts(dlg).loginRequired);
            QTest::keyClick(formParts(dlg).loginRequired, Qt::Key_Space);
        }
        if (!hatid.isNull()) {
            formParts(dlg).dueDays->setFocus();
            formParts(dlg).dueDays->selectAll();
            QTest::keyClick(formParts(dlg).dueDays, Qt::Key_Delete);
            typeText(formParts(dlg).dueDays, hatid);
        }
        if (!note.isEmpty()) {
            formParts(dlg).workOrderNote->setFocus();
            formParts(dlg).workOrderNote->moveCursor(QTextCursor::End);
            const QStringList parts = note.split(QLatin1Char('\n'));
            for (int i = 0; i < parts.size(); ++i) {
                if (i > 0)
                    QTest::keyClick(formParts(dlg).workOrderNote, Qt::Key_Return); // a new line, not the next field
                typeText(formParts(dlg).workOrderNote, parts[i]);
            }
            QCOMPARE(QApplication::focusWidget(), formParts(dlg).workOrderNote);
        }
        typeText(formParts(dlg).moneyFormat, QStringLiteral(" Ft"));

        ModalScript script;
        if (!error.isEmpty())
            script.onBox();
        (button == QLatin1String("OK") ? formParts(dlg).btnOK : formParts(dlg).btnMegsem)->click();
        QTRY_VERIFY(script.finished());

        const RowSet rs = Connection::main().query(
            QStringLiteral("SELECT vanbelep, mlaphatid, mlapmegj, figynap, a5munkalap FROM beallit;"));
        QCOMPARE(rs.rowCount(), 1);
        QStringList got;
        for (int c = 0; c < 5; ++c)
            got << rs.text(0, c);
        QCOMPARE(got.join(QLatin1Char('|')), row);
        if (!error.isEmpty()) {
            QCOMPARE(script.boxes, QStringList{QStringLiteral("Hiba: ") + error});
            // Still open, nothing typed lost.
            QVERIFY(dlg.isVisible());
            QCOMPARE(formParts(dlg).dueDays->text(), hatid);
            QVERIFY(formParts(dlg).workOrderNote->toPlainText().endsWith(note));
            QCOMPARE(appState().FormatFt, QStringLiteral("### ### ##0"));
        } else {
            QVERIFY(!dlg.isVisible());
            QCOMPARE(appState().FormatFt, button == QLatin1String("OK") ? QStringLiteral("### ### ##0 Ft")
                                                                     : QStringLiteral("### ### ##0"));
        }
    }

    void settingsDialogThroughTheCall()
    {
        test::TestDb db(QStringLiteral("dialogs_beallit2"));
        appState().TeljesKep = true;
        appState().nyomtato = QString();
        appState().Betumeret = 10;
        ModalScript script;
        script.onTitle(QStringLiteral("Beállítások"), [](QWidget *w) {
            auto *dlg = static_cast<SettingsDialog *>(w);
            QCOMPARE(formParts(dlg).workOrderNote->font().pointSize(), 10);
            saveShot(w, QStringLiteral("frm_Beallit"));
            QTest::keyClick(formParts(dlg).fullScreen, Qt::Key_Space);  // full screen off
            formParts(dlg).printerName->setFocus();
            typeText(formParts(dlg).printerName, QStringLiteral("Irodai nyomtató"));
            formParts(dlg).a5WorkOrder->setFocus();
            QTest::keyClick(formParts(dlg).a5WorkOrder, Qt::Key_Space); // A5 on
            formParts(dlg).btnOK->click();
        });
        ShowSettingsDialog(nullptr);
        QVERIFY(script.finished());
        QVERIFY(!appState().TeljesKep);
        QCOMPARE(appState().nyomtato, QStringLiteral("Irodai nyomtató"));
        QCOMPARE(SqlValue(QStringLiteral("SELECT a5munkalap FROM beallit"), {}), QStringLiteral("I"));
        QCOMPARE(ReadConfigInt(QStringLiteral("frm_Beallit"), QStringLiteral("Left"), -1) >= 0, true);
    }

    void settingsDialogWithoutRow()
    {
        test::TestDb db(QStringLiteral("dialogs_beallit3"));
        ExecSql(QStringLiteral("DELETE FROM beallit;"));
        ModalScript script;
        script.onBox().onTitle(QStringLiteral("Beállítások"), [](QWidget *w) {
            auto *dlg = static_cast<SettingsDialog *>(w);
            saveShot(w, QStringLiteral("frm_Beallit_sor_nelkul"));
            QVERIFY(!formParts(dlg).loginRequired->isEnabled());
            QVERIFY(!formParts(dlg).workOrderNote->isEnabled());
            QVERIFY(formParts(dlg).quantityFormat->isEnabled());
            typeText(formParts(dlg).quantityFormat, QStringLiteral("0"));
            formParts(dlg).btnOK->click();
        });
        appState().FormatDb = QStringLiteral("#");
        ShowSettingsDialog(nullptr);
        QVERIFY(script.finished());
        QCOMPARE(script.boxes, QStringList{QStringLiteral("Hiba: Hiányzik a beállítások sora az adatbázisból.")});
        QCOMPARE(appState().FormatDb, QStringLiteral("#0"));
        QCOMPARE(SqlIntValue(QStringLiteral("SELECT COUNT(*) FROM beallit"), -1), 0);
    }

    // ---- Database chooser -------------------------------------------------

    void chooserSingleWorkingEntry()
    {
        test::TestDb db(QStringLiteral("dialogs_choose"), false);
        ModalScript script; // nothing may open
        const int r = ChooseDatabase({QStringLiteral("1; Bolt")}, {recordFor(db.params(), QStringLiteral("Bolt"))},
                                     QStringLiteral("Quorvin.Opt adatbázis választás"));
        QCOMPARE(r, 0);
        QVERIFY(script.unexpected.isEmpty());
        QVERIFY(!Connection::main().isOpen()); // the test used a connection of its own
    }

    void chooserSingleFailingEntry()
    {
        test::TestDb db(QStringLiteral("dialogs_choose"), false);
        ModalScript script;
        QStringList listed;
        script.onBox().onTitle(QStringLiteral("Quorvin.Opt adatbázis választás"), [&](QWidget *w) {
            auto *dlg = static_cast<DatabaseChooser *>(w);
            for (int i = 0; i < dlg->ListBox1->count(); ++i)
                listed << dlg->ListBox1->item(i)->text();
            dlg->cancelButton->click();
        });
        const int r = ChooseDatabase({QStringLiteral("4; Rossz")},
                                     {recordFor(db.params(), QStringLiteral("Rossz"), QStringLiteral("nem-jo"))},
                                     QStringLiteral("Quorvin.Opt adatbázis választás"));
        QCOMPARE(r, -1);
        QCOMPARE(listed, QStringList{QStringLiteral("4; Rossz")});
        QCOMPARE(script.boxes.size(), 1);
        QVERIFY(script.boxes[0].startsWith(QStringLiteral("Hiba: Hiba: ")));
        QVERIFY(script.unexpected.isEmpty());
    }

    void chooserPicks_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("errors");
        QTest::newRow("Down, Enter") << "Down Return" << 1 << 0;
        QTest::newRow("Up on the first wraps to the last") << "Up Up OK" << 1 << 0;
        QTest::newRow("Down on the last wraps to the first") << "Down Down Down Return" << 0 << 0;
        QTest::newRow("double click on the second") << "Double" << 1 << 0;
        QTest::newRow("Esc") << "Escape" << -1 << 0;
        QTest::newRow("broken entry stays, then Mégsem") << "Down Down Return Mégsem" << -1 << 1;
    }
    void chooserPicks()
    {
        QFETCH(QString, how);
        QFETCH(int, result);
        QFETCH(int, errors);
        test::TestDb db(QStringLiteral("dialogs_choose"), false);
        const QStringList entries{QStringLiteral("1; A"), QStringLiteral("3; B"), QStringLiteral("7; C")};
        const QStringList records{recordFor(db.params(), QStringLiteral("A")), recordFor(db.params(), QStringLiteral("B")),
                                  recordFor(db.params(), QStringLiteral("C"), QStringLiteral("rossz"))};
        ModalScript script;
        script.onTitle(QStringLiteral("Választás"), [&](QWidget *w) {
            auto *dlg = static_cast<DatabaseChooser *>(w);
            QCOMPARE(dlg->ListBox1->currentRow(), 0);
            QCOMPARE(dlg->ListBox1->font().bold(), true);
            saveShot(w, QStringLiteral("frm_AdatbazisNyit"));
            for (const QString &k : how.split(QLatin1Char(' '))) {
                if (k == QLatin1String("Down"))
                    QTest::keyClick(dlg->ListBox1, Qt::Key_Down);
                else if (k == QLatin1String("Up"))
                    QTest::keyClick(dlg->ListBox1, Qt::Key_Up);
                else if (k == QLatin1String("Return"))
                    QTest::keyClick(dlg->ListBox1, Qt::Key_Return);
                else if (k == QLatin1String("Escape"))
                    QTest::keyClick(dlg->ListBox1, Qt::Key_Escape);
                else if (k == QLatin1String("OK"))
                    dlg->okButton->click();
                else if (k == QStringLiteral("Mégsem"))
                    dlg->cancelButton->click();
                else if (k == QLatin1String("Double")) {
                    const QRect r = dlg->ListBox1->visualItemRect(dlg->ListBox1->item(1));
                    // A double click is a press followed by the double-click event.
                    QTest::mouseClick(dlg->ListBox1->viewport(), Qt::LeftButton, {}, r.center());
                    QTest::mouseDClick(dlg->ListBox1->viewport(), Qt::LeftButton, {}, r.center());
                }
            }
        });
        for (int i = 0; i < errors; ++i)
            script.onBox();
        // The broken entry's error opens from inside the steps; the last step
        // (Mégsem) must run after it, so those steps are issued in order here.
        QCOMPARE(ChooseDatabase(entries, records, QStringLiteral("Választás")), result);
        QVERIFY2(script.unexpected.isEmpty(), qPrintable(script.unexpected.join(QLatin1Char('|'))));
        QCOMPARE(script.boxes.size(), errors);
    }

    void chooserNew()
    {
        test::TestDb db(QStringLiteral("dialogs_choose"), false);
        const ConnectParams p = db.params();
        ModalScript script;
        script.onTitle(QStringLiteral("Választás"), [](QWidget *w) { static_cast<DatabaseChooser *>(w)->newButton->click(); })
            .onTitle(QStringLiteral("Adatbázis beállítás"), [&](QWidget *w) {
                auto *dlg = static_cast<ConnectionSetup *>(w);
                typeText(dlg->edtAdatbazis, p.database);
                typeText(dlg->edtNev, QStringLiteral("Új bolt"));
                typeText(dlg->edtSzerver, p.host);
                QTest::keyClick(dlg->edtSzerver, Qt::Key_Return, Qt::ControlModifier);
            });
        QCOMPARE(ChooseDatabase({QStringLiteral("1; A"), QStringLiteral("2; B")}, {QString(), QString()},
                                QStringLiteral("Választás")),
                 2);
        QVERIFY(appState().ConStr.endsWith(QStringLiteral(";Új bolt")));
        QCOMPARE(ReadStoredConnections(1, 100).size(), 1);
    }

    // ---- First-run setup --------------------------------------------------

    void setupTest_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("port");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("error");
        QTest::newRow("connects") << "qo" << "" << true << "";
        QTest::newRow("wrong password") << "rossz" << "" << false << "Hiba: ";
        QTest::newRow("port not a number") << "qo" << "33o6" << false << "Hiba: A port nem egész szám: 33o6";
        QTest::newRow("port too large") << "qo" << "70000" << false << "Hiba: A port 0 és 65535 közötti szám lehet: 70000";
    }
    void setupTest()
    {
        QFETCH(QString, password);
        QFETCH(QString, port);
        QFETCH(bool, enabled);
        QFETCH(QString, error);
        test::TestDb db(QStringLiteral("dialogs_init"), false);
        const ConnectParams p = db.params();
        ConnectionSetup dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QVERIFY(!dlg.btnRendben->isEnabled());
        QCOMPARE(dlg.edtPort->text(), QStringLiteral("3306"));
        QCOMPARE(QApplication::focusWidget(), dlg.edtSzerver);
        // Typed field after field with Enter, as a user does.
        const QString values[] = {p.host, p.user, password, p.database, QStringLiteral("Teszt bolt")};
        for (const QString &v : values) {
            typeText(QApplication::focusWidget(), v);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        QCOMPARE(QApplication::focusWidget(), dlg.edtPort);
        dlg.edtPort->selectAll();
        typeText(dlg.edtPort, port.isEmpty() ? QString::number(p.port) : port);
        ModalScript script;
        if (!error.isEmpty())
            script.onBox();
        dlg.btnTeszt->click();
        QTRY_VERIFY(script.finished());
        QCOMPARE(dlg.btnRendben->isEnabled(), enabled);
        QVERIFY(dlg.isVisible());
        if (enabled) {
            QCOMPARE(QApplication::focusWidget(), dlg.btnRendben);
            // Stays usable after later edits.
            typeText(dlg.edtNev, QStringLiteral("!"));
            QVERIFY(dlg.btnRendben->isEnabled());
            saveShot(&dlg, QStringLiteral("frm_Init"));
        } else {
            QCOMPARE(script.boxes.size(), 1);
            QVERIFY2(script.boxes[0].startsWith(QStringLiteral("Hiba: ") + error), qPrintable(script.boxes[0]));
        }
        QVERIFY(!Connection::main().isOpen());
    }

    // The first-run setup with "Titkosított kapcsolat (TLS)": a CA that did
    // not sign the server's certificate is refused with the reason, the right
    // one connects, and the setting is stored beside the new record.
    void setupTls()
    {
        test::TlsServer server;
        if (!server.skipReason.isEmpty())
            QSKIP(qPrintable(server.skipReason));
        QVERIFY2(server.ready(), qPrintable(server.error));
        const ConnectParams p = server.params();
        ConnectionSetup dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QVERIFY(!dlg.edtCaFajl->isEnabled());
        const QString values[] = {p.host, p.user, p.password, QString(), QStringLiteral("Távoli")};
        for (const QString &v : values) {
            typeText(QApplication::focusWidget(), v);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        QCOMPARE(QApplication::focusWidget(), dlg.edtPort);
        dlg.edtPort->selectAll();
        typeText(dlg.edtPort, QString::number(p.port));
        QTest::keyClick(dlg.edtPort, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), dlg.cbTls);
        QTest::keyClick(dlg.cbTls, Qt::Key_Space);
        QTest::keyClick(dlg.cbTls, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), dlg.edtCaFajl);
        typeText(dlg.edtCaFajl, server.wrongCaFile());
        ModalScript script;
        script.onBox();
        dlg.btnTeszt->click();
        QTRY_VERIFY(script.finished());
        QCOMPARE(script.boxes.size(), 1);
        QVERIFY2(script.boxes[0].startsWith(QStringLiteral("Hiba: Hiba: A kiszolgáló tanúsítványa nem ellenőrizhető")),
                 qPrintable(script.boxes[0]));
        QVERIFY(!dlg.btnRendben->isEnabled());

        dlg.edtCaFajl->selectAll();
        typeText(dlg.edtCaFajl, server.caFile());
        dlg.btnTeszt->click();
        QTRY_VERIFY(dlg.btnRendben->isEnabled());
        saveShot(&dlg, QStringLiteral("frm_Init_tls"));
        dlg.btnRendben->click();
        QVERIFY(!dlg.isVisible());
        const auto stored = ReadStoredConnections(0, 100);
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored[0].record, QStringLiteral(";%1;%2;%3;%4;Távoli").arg(p.host).arg(p.port).arg(p.user, p.password));
        QVERIFY(stored[0].tls.on);
        QCOMPARE(stored[0].tls.caFile, server.caFile());
        QCOMPARE(appState().ConStr, stored[0].record);
        QFile::remove(ConfigFile());
    }

    void setupStores_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("key");
        QTest::newRow("Ctrl+Enter in host, untested") << "CtrlEnter" << true << 3;
        QTest::newRow("tested, Rendben") << "Test Rendben" << true << 3;
        QTest::newRow("Mégsem") << "Mégsem" << false << 0;
        QTest::newRow("Esc") << "Escape" << false << 0;
    }
    void setupStores()
    {
        QFETCH(QString, how);
        QFETCH(bool, result);
        QFETCH(int, key);
        test::TestDb db(QStringLiteral("dialogs_init"), false);
        const ConnectParams p = db.params();
        WriteStoredConnection(1, QStringLiteral("a;h;3306;u;p;Egy"));
        WriteStoredConnection(2, QStringLiteral("b;h;3306;u;p;Kettő"));
        const QString expected = QStringList{p.database, p.host, QString::number(p.port), p.user, p.password,
                                             QStringLiteral("Fiók bolt")}.join(QLatin1Char(';'));
        ModalScript script;
        script.onTitle(QStringLiteral("Adatbázis beállítás"), [&](QWidget *w) {
            auto *dlg = static_cast<ConnectionSetup *>(w);
            typeText(dlg->edtFelhasznalo, p.user);
            typeText(dlg->edtJelszo, p.password);
            typeText(dlg->edtAdatbazis, p.database);
            typeText(dlg->edtNev, QStringLiteral("Fiók bolt"));
            dlg->edtPort->clear();
            typeText(dlg->edtPort, QString::number(p.port));
            typeText(dlg->edtSzerver, p.host);
            for (const QString &k : how.split(QLatin1Char(' '))) {
                if (k == QLatin1String("CtrlEnter"))
                    QTest::keyClick(dlg->edtSzerver, Qt::Key_Return, Qt::ControlModifier);
                else if (k == QLatin1String("Test"))
                    dlg->btnTeszt->click();
                else if (k == QLatin1String("Rendben"))
                    QTest::keyClick(dlg->btnRendben, Qt::Key_Return); // the focused button
                else if (k == QLatin1String("Escape"))
                    QTest::keyClick(dlg->edtSzerver, Qt::Key_Escape);
                else
                    dlg->btnMegsem->click();
            }
        });
        QCOMPARE(RunFirstRunSetup(), result);
        QVERIFY(script.unexpected.isEmpty());
        const auto stored = ReadStoredConnections(1, 100);
        QCOMPARE(stored.size(), result ? 3 : 2);
        QCOMPARE(appState().ConStr, result ? expected : QString());
        if (result) {
            QCOMPARE(stored.last().key, key);
            QCOMPARE(stored.last().record, expected);
            // Scrambled in the file, not readable at a glance.
            QVERIFY(!ReadConfigBytes(QStringLiteral("Adatbazis"), QStringLiteral("ConStr3")).contains("Fiók"));
        }
    }

    void setupRefusesSemicolon()
    {
        ConnectionSetup dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        typeText(dlg.edtJelszo, QStringLiteral("ab;cd"));
        ModalScript script;
        script.onBox();
        QTest::keyClick(dlg.edtSzerver, Qt::Key_Return, Qt::ControlModifier);
        QTRY_VERIFY(script.finished());
        QVERIFY(dlg.isVisible());
        QVERIFY(ReadStoredConnections(0, 100).isEmpty());
        QCOMPARE(script.boxes, QStringList{QStringLiteral("Hiba: Hiba: A mezők nem tartalmazhatnak pontosvesszőt (;).")});
    }

    // ---- Login ------------------------------------------------------------

    void login_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("name");
        QTest::newRow("right") << "anna" << "Titok9" << true << QStringLiteral("Kovács Anna");
        QTest::newRow("password in other case") << "anna" << "titok9" << false << "";
        QTest::newRow("code in other case") << "Anna" << "Titok9" << false << "";
        QTest::newRow("unknown code") << "senki" << "" << false << "";
        QTest::newRow("NULL password, empty typed") << "bela" << "" << false << "";
        QTest::newRow("NULL password, text typed") << "bela" << "NULL" << false << "";
        QTest::newRow("empty stored password never matches") << "cili" << "" << false << "";
        QTest::newRow("accented letters") << QStringLiteral("őrző") << QStringLiteral("Ű1é") << true << "Őr";
    }
    void login()
    {
        QFETCH(QString, code);
        QFETCH(QString, password);
        QFETCH(bool, ok);
        QFETCH(QString, name);
        test::TestDb db(QStringLiteral("dialogs_login"));
        addUsers();
        appState().felhasznalo_nev = QStringLiteral("előző");
        ModalScript script;
        script.onTitle(QStringLiteral("Belépés azonosítás"), [&](QWidget *w) {
            auto *dlg = static_cast<LoginDialog *>(w);
            saveShot(w, QStringLiteral("frm_Login"));
            QVERIFY(QTest::qWaitForWindowActive(w));
            typeText(dlg->edtFelhasznalo, code);
            QTest::keyClick(dlg->edtFelhasznalo, Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), dlg->edtJelszo);
            typeText(dlg->edtJelszo, password);
            QTest::keyClick(dlg->edtJelszo, Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), dlg->btnOK);
            QTest::keyClick(dlg->btnOK, Qt::Key_Return);
        });
        if (!ok) {
            // Refused: the dialog stays; the user gives up with Mégsem.
            script.onBox().onTitle(QStringLiteral("Belépés azonosítás"), [](QWidget *w) {
                auto *dlg = static_cast<LoginDialog *>(w);
                QVERIFY(dlg->isVisible());
                dlg->btnMegsem->click();
            });
        }
        QCOMPARE(ShowLoginDialog(), ok);
        QVERIFY(script.finished());
        QVERIFY(script.unexpected.isEmpty());
        if (ok) {
            QCOMPARE(appState().felhasznalo_nev, name);
            QVERIFY(script.boxes.isEmpty());
        } else {
            QCOMPARE(appState().felhasznalo_nev, QStringLiteral("előző"));
            QCOMPARE(script.boxes, QStringList{QStringLiteral("Hiba: Érvénytelen felhasználó, vagy jelszó")});
        }
    }

    void loginRights()
    {
        test::TestDb db(QStringLiteral("dialogs_login"));
        addUsers();
        LoginDialog dlg;
        typeText(dlg.edtFelhasznalo, QStringLiteral("anna"));
        typeText(dlg.edtJelszo, QStringLiteral("Titok9"));
        QVERIFY(dlg.CheckCredentials());
        const AppState &b = appState();
        QCOMPARE(QList<bool>({b.rendszergazda, b.torzsszerkeszt, b.canins, b.canedit, b.candel}),
                 QList<bool>({false, true, true, false, false}));
    }

    void loginClosedWithoutSuccess_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Mégsem") << "Mégsem";
        QTest::newRow("Esc") << "Escape";
        QTest::newRow("close box") << "close";
    }
    void loginClosedWithoutSuccess()
    {
        QFETCH(QString, how);
        test::TestDb db(QStringLiteral("dialogs_login"));
        ModalScript script;
        script.onTitle(QStringLiteral("Belépés azonosítás"), [&](QWidget *w) {
            auto *dlg = static_cast<LoginDialog *>(w);
            typeText(dlg->edtFelhasznalo, QStringLiteral("admin"));
            typeText(dlg->edtJelszo, QStringLiteral("admin"));
            if (how == QStringLiteral("Mégsem"))
                dlg->btnMegsem->click();
            else if (how == QLatin1String("Escape"))
                QTest::keyClick(dlg->edtJelszo, Qt::Key_Escape);
            else
                dlg->close();
        });
        QVERIFY(!ShowLoginDialog());
        QVERIFY(script.finished());
        QVERIFY(QCoreApplication::instance()); // the application was not told to quit
    }

    // Both password fields mask with "*", and still take the focus colour.
    void passwordFieldsShowStars_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("login") << "frm_Login";
        QTest::newRow("first-run setup") << "frm_Init";
    }
    void passwordFieldsShowStars()
    {
        QFETCH(QString, window);
        std::unique_ptr<QDialog> dlg;
        QLineEdit *field = nullptr;
        if (window == QLatin1String("frm_Login")) {
            auto *d = new LoginDialog;
            field = d->edtJelszo;
            dlg.reset(d);
        } else {
            auto *d = new ConnectionSetup;
            field = d->edtJelszo;
            dlg.reset(d);
        }
        dlg->show();
        QVERIFY(QTest::qWaitForWindowActive(dlg.get()));
        field->setFocus();
        typeText(field, QStringLiteral("Ű1é"));
        QCOMPARE(field->text(), QStringLiteral("Ű1é"));
        QCOMPARE(field->displayText(), QStringLiteral("***"));
        QCOMPARE(pixelIn(field), FocusColor());
    }

    void passwordChange_data()
    {
        QTest::addColumn<QString>("current");  // typed in the password field
        QTest::addColumn<QString>("first");    // null: the first question is not expected
        QTest::addColumn<QString>("second");   // null: the second question is not expected / cancelled
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("stored");
        const QString invalid = QStringLiteral("Hiba: Érvénytelen felhasználó, vagy jelszó");
        QTest::newRow("changed") << "Titok9" << "Uj-jelszo" << "Uj-jelszo"
                                 << QStringList{QStringLiteral("Üzenet: Jelszó változtatás kész."), invalid}
                                 << "Uj-jelszo";
        QTest::newRow("confirmation differs") << "Titok9" << "Uj-jelszo" << "uj-jelszo"
                                              << QStringList{QStringLiteral("Hiba: A megadott jelszavak nem egyezőek")}
                                              << "Titok9";
        QTest::newRow("longer than 10") << "Titok9" << "tizennegy-0014" << "tizennegy-0014"
                                        << QStringList{QStringLiteral("Üzenet: Jelszó változtatás kész."), invalid}
                                        << "tizennegy-0014";
        QTest::newRow("empty refused") << "Titok9" << "" << QString()
                                       << QStringList{QStringLiteral("Hiba: Hiányos adat megadás")} << "Titok9";
        QTest::newRow("exactly 10") << "Titok9" << "tizes-0010" << "tizes-0010"
                                    << QStringList{QStringLiteral("Üzenet: Jelszó változtatás kész."), invalid}
                                    << "tizes-0010";
        QTest::newRow("wrong current password asks nothing") << "titok9" << QString() << QString()
                                                              << QStringList{invalid} << "Titok9";
        QTest::newRow("second question cancelled") << "Titok9" << "Uj-jelszo" << "CANCEL" << QStringList{} << "Titok9";
    }
    void passwordChange()
    {
        QFETCH(QString, current);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QStringList, boxes);
        QFETCH(QString, stored);
        test::TestDb db(QStringLiteral("dialogs_login"));
        addUsers();
        const bool changed = stored != QLatin1String("Titok9");
        LoginDialog dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        typeText(dlg.edtFelhasznalo, QStringLiteral("anna"));
        typeText(dlg.edtJelszo, current);

        auto answer = [](const QString &text) {
            return [text](QWidget *w) {
                if (text == QLatin1String("CANCEL")) {
                    QTest::keyClick(w->findChild<QLineEdit *>(), Qt::Key_Escape);
                    return;
                }
                typeText(w->findChild<QLineEdit *>(), text);
                QTest::keyClick(w->findChild<QLineEdit *>(), Qt::Key_Return);
            };
        };
        ModalScript script;
        if (!first.isNull())
            script.onTitle(QStringLiteral("Jelszó megadása"), answer(first));
        if (!second.isNull())
            script.onTitle(QStringLiteral("Megerősítés"), answer(second));
        for (int i = 0; i < boxes.size() && (i == 0 || !changed); ++i)
            script.onBox();
        dlg.btnUjJelszo->click();
        QTRY_VERIFY(script.finished());
        QVERIFY(dlg.isVisible());
        if (changed) {
            // The old password is still in the field: OK is refused until the new one is typed.
            script.onBox();
            dlg.btnOK->click();
            QTRY_VERIFY(script.finished());
            QVERIFY(dlg.isVisible());
            dlg.edtJelszo->clear();
            typeText(dlg.edtJelszo, stored);
            dlg.btnOK->click();
            QVERIFY(!dlg.isVisible());
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
        }
        QCOMPARE(script.boxes, boxes);
        QVERIFY(script.unexpected.isEmpty());
        // Stored as a hash of the new password, or of the old one (the check
        // of the current password replaced its plain text); plain only when
        // that check failed.
        const QString column = SqlValue(QStringLiteral("SELECT jelszo FROM felhasznalo WHERE felhasznalo = 'anna'"), {});
        QCOMPARE(column.startsWith(QLatin1String("$argon2id$")), current == QLatin1String("Titok9"));
        QVERIFY2(IsPasswordHash(column) ? VerifyPassword(column, stored) : column == stored, qPrintable(column));
        // Nobody else's password changed.
        QCOMPARE(SqlValue(QStringLiteral("SELECT jelszo FROM felhasznalo WHERE felhasznalo = 'admin'"), {}),
                 QStringLiteral("admin"));
    }

    // A plain password of an older database logs in once as it is and is
    // replaced by its hash at that login; the hash then lets the same
    // password in, and only that one.
    void legacyPasswordHashedAtLogin()
    {
        test::TestDb db(QStringLiteral("dialogs_login_hash"));
        addUsers();
        auto column = [] {
            return SqlValue(QStringLiteral("SELECT jelszo FROM felhasznalo WHERE BINARY felhasznalo = 'anna'"), {});
        };
        auto login = [](const QString &password) {
            appState().felhasznalo_nev.clear();
            ModalScript script;
            script.onTitle(QStringLiteral("Belépés azonosítás"), [password](QWidget *w) {
                auto *dlg = static_cast<LoginDialog *>(w);
                QVERIFY(QTest::qWaitForWindowActive(w));
                typeText(dlg->edtFelhasznalo, QStringLiteral("anna"));
                QTest::keyClick(dlg->edtFelhasznalo, Qt::Key_Return);
                typeText(dlg->edtJelszo, password);
                QTest::keyClick(dlg->edtJelszo, Qt::Key_Return);
                QTest::keyClick(dlg->btnOK, Qt::Key_Return);
            });
            script.onBox().onTitle(QStringLiteral("Belépés azonosítás"), [](QWidget *w) {
                static_cast<LoginDialog *>(w)->btnMegsem->click();
            });
            const bool ok = ShowLoginDialog();
            return ok ? appState().felhasznalo_nev : QStringLiteral("<elutasítva>: ") + script.boxes.join(QLatin1Char('|'));
        };
        QCOMPARE(column(), QStringLiteral("Titok9"));
        QCOMPARE(login(QStringLiteral("titok9")), QStringLiteral("<elutasítva>: Hiba: Érvénytelen felhasználó, vagy jelszó"));
        QCOMPARE(column(), QStringLiteral("Titok9")); // a failed login changes nothing
        QCOMPARE(login(QStringLiteral("Titok9")), QStringLiteral("Kovács Anna"));
        const QString hash = column();
        QVERIFY2(hash.startsWith(QLatin1String("$argon2id$")), qPrintable(hash));
        QVERIFY(!hash.contains(QLatin1String("Titok9")));
        QCOMPARE(login(QStringLiteral("Titok9")), QStringLiteral("Kovács Anna"));
        QCOMPARE(column(), hash); // hashed once, not at every login
        QCOMPARE(login(QStringLiteral("TITOK9")), QStringLiteral("<elutasítva>: Hiba: Érvénytelen felhasználó, vagy jelszó"));
        // The stored hash itself typed as the password is no way in.
        QCOMPARE(login(hash.left(kMaxPasswordLength)), QStringLiteral("<elutasítva>: Hiba: Érvénytelen felhasználó, vagy jelszó"));
        // Two users with the same password get different hashes (salted).
        ExecSql(QStringLiteral("UPDATE felhasznalo SET jelszo = 'Titok9' WHERE felhasznalo = 'cili'"));
        LoginDialog dlg;
        typeText(dlg.edtFelhasznalo, QStringLiteral("cili"));
        typeText(dlg.edtJelszo, QStringLiteral("Titok9"));
        QVERIFY(dlg.CheckCredentials());
        const QString cili = SqlValue(QStringLiteral("SELECT jelszo FROM felhasznalo WHERE felhasznalo = 'cili'"), {});
        QVERIFY(IsPasswordHash(cili));
        QVERIFY(cili != hash);
    }

    // A database whose column still holds only 10 characters: the plain
    // password logs in and stays as it was until the column is widened.
    void legacyPasswordOnNarrowColumn()
    {
        test::TestDb db(QStringLiteral("dialogs_login_narrow"));
        addUsers();
        ExecSql(QStringLiteral("ALTER TABLE felhasznalo MODIFY jelszo VARCHAR(10) NULL"));
        LoginDialog dlg;
        typeText(dlg.edtFelhasznalo, QStringLiteral("anna"));
        typeText(dlg.edtJelszo, QStringLiteral("Titok9"));
        QVERIFY(dlg.CheckCredentials());
        QCOMPARE(appState().felhasznalo_nev, QStringLiteral("Kovács Anna"));
        QCOMPARE(SqlValue(QStringLiteral("SELECT jelszo FROM felhasznalo WHERE felhasznalo = 'anna'"), {}),
                 QStringLiteral("Titok9"));
    }

    // "Belépésnél jelszót kér" is for administrators: anyone else sees it
    // disabled, and his OK leaves the stored value alone (also one set on
    // another workstation meanwhile).
    void settingsLoginAdministratorOnly_data()
    {
        QTest::addColumn<bool>("admin");
        QTest::newRow("administrator") << true;
        QTest::newRow("other user") << false;
    }
    void settingsLoginAdministratorOnly()
    {
        QFETCH(bool, admin);
        test::TestDb db(QStringLiteral("dialogs_beallit_login"));
        ExecSql(QStringLiteral("UPDATE beallit SET vanbelep = 'I';"));
        appState().rendszergazda = admin;
        SettingsDialog dlg;
        QVERIFY(dlg.loadRow());
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QVERIFY(formParts(dlg).loginRequired->isChecked());
        QCOMPARE(formParts(dlg).loginRequired->isEnabled(), admin);
        QCOMPARE(formParts(dlg).retentionYears->isEnabled(), admin);
        QCOMPARE(formParts(dlg).dueDays->isEnabled(), true);
        saveShot(&dlg, admin ? QStringLiteral("frm_Beallit_admin") : QStringLiteral("frm_Beallit_user"));
        // Enter from the first box: the administrator lands on the login box,
        // anyone else passes it by.
        QTest::keyClick(formParts(dlg).fullScreen, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), admin ? static_cast<QWidget *>(formParts(dlg).loginRequired) : formParts(dlg).dueDays);
        if (admin)
            QTest::keyClick(formParts(dlg).loginRequired, Qt::Key_Space);
        Connection other;
        other.open(db.params());
        other.exec(QStringLiteral("UPDATE beallit SET vanbelep = 'X'"));
        ModalScript script;
        formParts(dlg).btnOK->click();
        QTRY_VERIFY(script.finished());
        QVERIFY(!dlg.isVisible());
        QCOMPARE(SqlValue(QStringLiteral("SELECT vanbelep FROM beallit"), {}), admin ? QStringLiteral("N") : QStringLiteral("X"));
    }

    // ---- Download ---------------------------------------------------------

    void download_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("timeout");
        QTest::addColumn<bool>("ok");
        QTest::newRow("fetched") << "/ok" << 15000 << true;
        QTest::newRow("not found") << "/missing" << 15000 << false;
        QTest::newRow("no answer in time") << "/silent" << 400 << false;
        QTest::newRow("closed port") << "closed" << 15000 << false;
        QTest::newRow("not an address") << "junk" << 15000 << false;
    }
    void download()
    {
        QFETCH(QString, path);
        QFETCH(int, timeout);
        QFETCH(bool, ok);
        TinyHttp server;
        QVERIFY(server.isListening());
        QString url = server.url(path.toLatin1().constData());
        if (path == QLatin1String("closed")) {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost));
            url = QStringLiteral("http://127.0.0.1:%1/ok").arg(probe.serverPort());
            probe.close(); // nobody listens there any more
        } else if (path == QLatin1String("junk")) {
            url = QStringLiteral("::nem cím::");
        }
        const QString file = m_dir.filePath(QStringLiteral("Verkov.txt"));
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("régi tartalom");
        }
        QElapsedTimer t;
        t.start();
        QCOMPARE(DownloadToFile(url, file, timeout), ok);
        QVERIFY(t.elapsed() < timeout + 3000);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), ok ? server.body : QByteArray("régi tartalom"));
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("Verkov.txt*")}, QDir::Files | QDir::Hidden).size(), 1);
    }

private:
    static void addUsers()
    {
        ExecSql(QStringLiteral(
            "INSERT INTO felhasznalo (felhasznalo, felhasznalo_nev, jelszo, rendszergazda, torzsszerkeszt, canins, "
            "canedit, candel) VALUES "
            "('anna', 'Kovács Anna', 'Titok9', 'N', 'I', 'I', 'N', NULL), "
            "('bela', 'Béla', NULL, 'I', 'I', 'I', 'I', 'I'), "
            "('cili', 'Cili', '', 'N', 'N', 'N', 'N', 'N'), "
            "('őrző', 'Őr', 'Ű1é', 'N', 'N', 'N', 'N', 'N');"));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
