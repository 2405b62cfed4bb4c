// The behaviour every window shares and the small core dialogs, driven the way
// a user drives them: keys, clicks, and the modal boxes answered as they open.
#include "config/AppState.h"
#include "config/Config.h"
#include "config/StoredConnections.h"
#include "db/Connection.h"
#include "ui/DateDialog.h"
#include "ui/Pictures.h"
#include "ui/TextGuards.h"
#include "ui/WheelAsArrows.h"
#include "ui/WindowBehaviour.h"
#include "ui/InputDialog.h"
#include "base/PasswordHash.h"

#include "support/Drive.h"
#include "support/WindowFixture.h"
#include "support/TestDb.h"

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
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <functional>

using namespace qo;
using namespace qo::test;

namespace {

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

} // namespace

class TestWindows : public QObject, public test::WindowFixture {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpWindows(); }
    void init() { resetSettings(); }

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
        ModalLog script;
        onModal(titled(QStringLiteral("Jelszó megadása")), [&](QWidget *w) {
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
        QVERIFY(script.done());
    }

    void inputDialogMeasures()
    {
        int width = 0, editRight = 0, okLeft = 0, cancelLeft = 0;
        bool clipped = true;
        ModalLog script;
        onModal(titled(QStringLiteral("Cím")), [&](QWidget *w) {
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
        ModalLog script;
        onModal(titled(QStringLiteral("Dátum megadása")), [&](QWidget *w) {
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
        QVERIFY(script.done());
    }

    void askDateCaption()
    {
        ModalLog script;
        onModal(titled(QStringLiteral("Figyelmeztetés dátuma")), [](QWidget *w) { static_cast<QDialog *>(w)->reject(); });
        QDate d(2024, 5, 1);
        QVERIFY(!AskDate(d, QStringLiteral("Figyelmeztetés dátuma")));
        QVERIFY(script.done());
    }

private:
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
