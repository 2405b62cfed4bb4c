// The option, period and print-target dialogs, answered the way a user
// answers them: clicks, Enter, Ctrl+Enter and Esc on the open modal window.
#include "config/Config.h"
#include "reports/PeriodDialog.h"
#include "reports/PrintTargetDialog.h"
#include "ui/OptionDialog.h"
#include "support/Drive.h"

#include <QtTest>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <functional>

using namespace qo;
using namespace qo::test;

namespace {

QRadioButton *option(QWidget *dlg, int i)
{
    return dlg->findChild<QRadioButton *>(QStringLiteral("Option%1").arg(i));
}

QPushButton *button(QWidget *dlg, const char *name)
{
    return dlg->findChild<QPushButton *>(QLatin1String(name));
}

} // namespace

class TestChoice : public QObject {
    Q_OBJECT

    TempConfig m_config; // window placements go to a configuration file of this test only

private Q_SLOTS:
    void cleanup() { SetPeriodToday(QDate()); }

    // ---- ChooseOption --------------------------------------------------------

    void pieces_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("work-order types")
            << QStringLiteral("Szemüveg - távol,Szemüveg - közel,Szemüveg - speciális,Kontaktlencse")
            << QStringList{QStringLiteral("Szemüveg - távol"), QStringLiteral("Szemüveg - közel"),
                           QStringLiteral("Szemüveg - speciális"), QStringLiteral("Kontaktlencse")};
        QTest::newRow("semicolons and commas mixed") << QStringLiteral("Munkalap;Lista,Harmadik")
                                                     << QStringList{QStringLiteral("Munkalap"), QStringLiteral("Lista"),
                                                                    QStringLiteral("Harmadik")};
        QTest::newRow("two commas in a row") << QStringLiteral("a,,b") << QStringList{QStringLiteral("a"), QStringLiteral("b")};
        QTest::newRow("separators at both ends") << QStringLiteral(";a;b;") << QStringList{QStringLiteral("a"), QStringLiteral("b")};
        QTest::newRow("empty text") << QString() << QStringList{};
        QTest::newRow("only separators") << QStringLiteral(",;,") << QStringList{};
        QStringList many;
        for (int i = 1; i <= 25; ++i)
            many << QString::number(i);
        QStringList first20 = many.mid(0, 20);
        QTest::newRow("25 pieces: the first 20") << many.join(QLatin1Char(',')) << first20;
        // Empty pieces use up their number: 20 pieces end at "18" here.
        QTest::newRow("empty pieces count among the 20")
            << QStringLiteral("1,,2,,") + many.mid(2).join(QLatin1Char(','))
            << (QStringList{QStringLiteral("1"), QStringLiteral("2")} + many.mid(2, 16));
    }
    void pieces()
    {
        QFETCH(QString, options);
        QFETCH(QStringList, labels);
        QCOMPARE(ChooseOptionPieces(options), labels);
    }

    void chooseOption_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<int>("initial");
        QTest::addColumn<int>("click");   // option clicked, -1 none
        QTest::addColumn<QString>("close"); // "ok", "enter", "cancel", "esc"
        QTest::addColumn<int>("result");
        QTest::newRow("second after two commas") << QStringLiteral("Munkalap,,Lista") << 0 << 1 << "ok" << 1;
        QTest::newRow("initial index kept, Enter") << QStringLiteral("a,b,c,d") << 2 << -1 << "enter" << 2;
        QTest::newRow("first preselected") << QStringLiteral("Munkalap,Lista") << 0 << -1 << "ok" << 0;
        QTest::newRow("nothing selected, OK") << QStringLiteral("a,b") << -1 << -1 << "ok" << -1;
        QTest::newRow("initial index out of range") << QStringLiteral("a,b") << 5 << -1 << "ok" << -1;
        QTest::newRow("chosen then cancelled") << QStringLiteral("a,b,c") << 0 << 2 << "cancel" << -1;
        QTest::newRow("Esc") << QStringLiteral("a,b,c") << 1 << -1 << "esc" << -1;
        QTest::newRow("Enter on a focused Mégsem") << QStringLiteral("a,b,c") << 1 << -1 << "enter-on-cancel" << -1;
        QTest::newRow("Enter on a focused OK") << QStringLiteral("a,b,c") << 1 << -1 << "enter-on-ok" << 1;
        QTest::newRow("label with ampersand") << QStringLiteral("Kis & nagy,Más") << -1 << 0 << "ok" << 0;
    }
    void chooseOption()
    {
        QFETCH(QString, options);
        QFETCH(int, initial);
        QFETCH(int, click);
        QFETCH(QString, close);
        QFETCH(int, result);
        const QStringList labels = ChooseOptionPieces(options);
        bool seen = false;
        onModal(anyWindow(), [&](QWidget *w) {
            seen = true;
            QCOMPARE(w->windowTitle(), QStringLiteral("Munkalap típusa"));
            QCOMPARE(w->findChild<QGroupBox *>()->title(), QStringLiteral("Munkalap típusa"));
            QCOMPARE(w->findChildren<QRadioButton *>().size(), labels.size());
            for (int i = 0; i < labels.size(); ++i) {
                QCOMPARE(option(w, i)->text().replace(QStringLiteral("&&"), QStringLiteral("&")), labels[i]);
                QCOMPARE(option(w, i)->isChecked(), i == initial);
            }
            // 48 pixels per option plus 120.
            QCOMPARE(w->height(), 48 * int(labels.size()) + 120);
            if (click >= 0) // on the round mark, where a user clicks
                QTest::mouseClick(option(w, click), Qt::LeftButton, {}, QPoint(7, option(w, click)->height() / 2));
            if (close == QLatin1String("ok"))
                button(w, "Button1")->click();
            else if (close == QLatin1String("cancel"))
                button(w, "Button2")->click();
            else if (close == QLatin1String("enter"))
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            else if (close.startsWith(QLatin1String("enter-on-"))) {
                QPushButton *b = button(w, close.endsWith(QLatin1String("cancel")) ? "Button2" : "Button1");
                b->setFocus(Qt::TabFocusReason);
                QTest::keyClick(b, Qt::Key_Return);
            } else
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        });
        QCOMPARE(ChooseOption(initial, options, QStringLiteral("Munkalap típusa")), result);
        QVERIFY(seen);
    }

    // Each dialog comes back where it was left, in its own size.
    void placement_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("option dialog") << "frm_Radio";
        QTest::newRow("period dialog") << "frm_Idoszak";
        QTest::newRow("print target") << "frm_NyomValaszt";
    }
    void placement()
    {
        QFETCH(QString, window);
        SaveWindowPlacement(window, 40, 50, 500, 700);
        QPoint pos;
        QSize size;
        onModal(anyWindow(), [&](QWidget *w) {
            QCOMPARE(w->objectName(), window);
            pos = w->pos();
            size = w->size();
            w->move(60, 70);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        });
        if (window == QLatin1String("frm_Radio")) {
            ChooseOption(0, QStringLiteral("a,b"), QStringLiteral("Kérdés"));
        } else if (window == QLatin1String("frm_Idoszak")) {
            QDate f, t;
            AskPeriod(f, t);
        } else {
            QString printer;
            ChoosePrintTarget(printer, QStringList{});
        }
        QCOMPARE(pos, QPoint(40, 50));
        QVERIFY2(size.width() < 700 && size.height() < 500, qPrintable(QStringLiteral("%1x%2").arg(size.width()).arg(size.height())));
        QCOMPARE(RestoreWindowPosition(window), QPoint(60, 70));
    }

    // ---- the period ------------------------------------------------------------

    void quickRange_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        const auto W = int(QuickPeriod::ThisWeek), M = int(QuickPeriod::ThisMonth), L = int(QuickPeriod::LastMonth);
        QTest::newRow("today") << int(QuickPeriod::Today) << QDate(2024, 5, 17) << QDate(2024, 5, 17) << QDate(2024, 5, 17);
        QTest::newRow("week of a Wednesday") << W << QDate(2024, 3, 13) << QDate(2024, 3, 11) << QDate(2024, 3, 17);
        QTest::newRow("week of a Monday") << W << QDate(2024, 3, 11) << QDate(2024, 3, 11) << QDate(2024, 3, 17);
        QTest::newRow("week of a Sunday") << W << QDate(2024, 3, 17) << QDate(2024, 3, 11) << QDate(2024, 3, 17);
        QTest::newRow("week of 31 Dec, next year's week 1") << W << QDate(2024, 12, 31) << QDate(2024, 12, 30) << QDate(2025, 1, 5);
        QTest::newRow("week of 1 Jan") << W << QDate(2025, 1, 1) << QDate(2024, 12, 30) << QDate(2025, 1, 5);
        QTest::newRow("week of 31 Dec, a Sunday") << W << QDate(2023, 12, 31) << QDate(2023, 12, 25) << QDate(2023, 12, 31);
        QTest::newRow("February of a leap year") << M << QDate(2024, 2, 10) << QDate(2024, 2, 1) << QDate(2024, 2, 29);
        QTest::newRow("February of a common year") << M << QDate(2023, 2, 28) << QDate(2023, 2, 1) << QDate(2023, 2, 28);
        QTest::newRow("this month, December") << M << QDate(2024, 12, 31) << QDate(2024, 12, 1) << QDate(2024, 12, 31);
        QTest::newRow("last month in January") << L << QDate(2025, 1, 15) << QDate(2024, 12, 1) << QDate(2024, 12, 31);
        QTest::newRow("last month on 31 March (leap)") << L << QDate(2024, 3, 31) << QDate(2024, 2, 1) << QDate(2024, 2, 29);
        QTest::newRow("last month on 31 July") << L << QDate(2024, 7, 31) << QDate(2024, 6, 1) << QDate(2024, 6, 30);
        QTest::newRow("this year") << int(QuickPeriod::ThisYear) << QDate(2024, 6, 1) << QDate(2024, 1, 1) << QDate(2024, 12, 31);
        QTest::newRow("last year on 1 Jan") << int(QuickPeriod::LastYear) << QDate(2025, 1, 1) << QDate(2024, 1, 1) << QDate(2024, 12, 31);
    }
    void quickRange()
    {
        QFETCH(int, which);
        QFETCH(QDate, today);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        const auto r = QuickPeriodRange(QuickPeriod(which), today);
        QCOMPARE(r.first, from);
        QCOMPARE(r.second, to);
    }

    void periodButtons_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("buttonName");
        QTest::addColumn<QString>("buttonText");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::newRow("Ez a hét, Wednesday") << QDate(2024, 3, 13) << "btnEzAHet" << "Ez a hét" << QDate(2024, 3, 11) << QDate(2024, 3, 17);
        QTest::newRow("Ez a hét, 31 Dec") << QDate(2024, 12, 31) << "btnEzAHet" << "Ez a hét" << QDate(2024, 12, 30) << QDate(2025, 1, 5);
        QTest::newRow("Ez a hét, 1 Jan") << QDate(2025, 1, 1) << "btnEzAHet" << "Ez a hét" << QDate(2024, 12, 30) << QDate(2025, 1, 5);
        QTest::newRow("Múlt hónap, January") << QDate(2025, 1, 20) << "btnMultHonap" << "Múlt hónap" << QDate(2024, 12, 1) << QDate(2024, 12, 31);
        QTest::newRow("Ez a hónap, leap February") << QDate(2024, 2, 5) << "btnEzAHonap" << "Ez a hónap" << QDate(2024, 2, 1) << QDate(2024, 2, 29);
        QTest::newRow("Csak a mai nap") << QDate(2024, 2, 29) << "btnMa" << "Csak a mai nap" << QDate(2024, 2, 29) << QDate(2024, 2, 29);
        QTest::newRow("Idén") << QDate(2024, 8, 8) << "btnIden" << "Idén" << QDate(2024, 1, 1) << QDate(2024, 12, 31);
        QTest::newRow("Tavaly") << QDate(2024, 8, 8) << "btnTavaly" << "Tavaly" << QDate(2023, 1, 1) << QDate(2023, 12, 31);
    }
    void periodButtons()
    {
        QFETCH(QDate, today);
        QFETCH(QString, buttonName);
        QFETCH(QString, buttonText);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        SetPeriodToday(today);
        QDate f(2000, 1, 1), t(2000, 1, 2);
        onModal(anyWindow(), [&](QWidget *w) {
            QCOMPARE(w->windowTitle(), QStringLiteral("Időszak megadása"));
            auto *b = w->findChild<QPushButton *>(buttonName);
            QVERIFY(b);
            QCOMPARE(b->text(), buttonText);
            QTest::mouseClick(b, Qt::LeftButton);
            QCOMPARE(w->findChild<QDateEdit *>(QStringLiteral("DateTimePicker1"))->date(), from);
            QCOMPARE(w->findChild<QDateEdit *>(QStringLiteral("DateTimePicker2"))->date(), to);
            button(w, "btnOK")->click();
        });
        QVERIFY(AskPeriod(f, t));
        QCOMPARE(f, from);
        QCOMPARE(t, to);
    }

    void periodKeyboard_data()
    {
        QTest::addColumn<QString>("keys"); // "ctrl-enter", "esc", "enter-then-esc"
        QTest::addColumn<bool>("accepted");
        QTest::newRow("Ctrl+Enter is OK") << "ctrl-enter" << true;
        QTest::newRow("Esc is Mégsem") << "esc" << false;
        QTest::newRow("Enter moves on, does not close") << "enter-then-esc" << false;
    }
    void periodKeyboard()
    {
        QFETCH(QString, keys);
        QFETCH(bool, accepted);
        SetPeriodToday(QDate(2024, 3, 13));
        QDate f(2024, 2, 13), t(2024, 3, 13);
        QString afterEnter;
        onModal(anyWindow(), [&](QWidget *w) {
            auto *from = w->findChild<QDateEdit *>(QStringLiteral("DateTimePicker1"));
            from->setFocus();
            QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("btnMultHonap")), Qt::LeftButton);
            from->setFocus();
            if (keys == QLatin1String("ctrl-enter")) {
                QTest::keyClick(from, Qt::Key_Return, Qt::ControlModifier);
            } else if (keys == QLatin1String("esc")) {
                QTest::keyClick(from, Qt::Key_Escape);
            } else {
                QTest::keyClick(from, Qt::Key_Return);
                afterEnter = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
                QVERIFY(w->isVisible());
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            }
        });
        QCOMPARE(AskPeriod(f, t, QStringLiteral("Forgalom")), accepted);
        if (accepted) {
            QCOMPARE(f, QDate(2024, 2, 1));
            QCOMPARE(t, QDate(2024, 2, 29));
        } else {
            // Unchanged after "Mégsem", although a quick button was pressed.
            QCOMPARE(f, QDate(2024, 2, 13));
            QCOMPARE(t, QDate(2024, 3, 13));
        }
        if (keys == QLatin1String("enter-then-esc"))
            QCOMPARE(afterEnter, QStringLiteral("DateTimePicker2"));
    }

    void periodCaption()
    {
        QDate f(2024, 1, 1), t(2024, 1, 31);
        QString title;
        onModal(anyWindow(), [&](QWidget *w) {
            title = w->windowTitle();
            button(w, "btnMegsem")->click();
        });
        QVERIFY(!AskPeriod(f, t, QStringLiteral("Lencse forgalom")));
        QCOMPARE(title, QStringLiteral("Lencse forgalom"));
    }

    // ---- the print target ---------------------------------------------------------

    void printTarget_data()
    {
        QTest::addColumn<QStringList>("printers");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");   // the list's text on opening
        QTest::addColumn<QString>("choose");  // radio button clicked
        QTest::addColumn<QString>("typed");   // typed into the list, "" none
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("nameAfter");
        const QStringList two{QStringLiteral("Iroda"), QStringLiteral("Pult")};
        QTest::newRow("preview, first printer") << two << QString() << "Iroda" << "rbKep" << "" << false << 0 << "Iroda";
        QTest::newRow("print on the given one") << two << "Pult" << "Pult" << "rbNyomtat" << "" << false << 1 << "Pult";
        QTest::newRow("export") << two << "Pult" << "Pult" << "rbExcel" << "" << false << 2 << "Pult";
        QTest::newRow("printer typed") << two << "Pult" << "Pult" << "rbNyomtat" << "Raktar" << false << 1 << "Raktar";
        QTest::newRow("unknown name kept") << two << "Régi" << "Régi" << "rbNyomtat" << "" << false << 1 << "Régi";
        QTest::newRow("no printer, no name") << QStringList{} << QString() << "" << "rbKep" << "" << false << 0 << "";
        QTest::newRow("cancel leaves the name") << two << "Pult" << "Pult" << "rbNyomtat" << "Iroda" << true << -1 << "Pult";
    }
    void printTarget()
    {
        QFETCH(QStringList, printers);
        QFETCH(QString, name);
        QFETCH(QString, shown);
        QFETCH(QString, choose);
        QFETCH(QString, typed);
        QFETCH(bool, cancel);
        QFETCH(int, result);
        QFETCH(QString, nameAfter);
        bool checked = false;
        onModal(anyWindow(), [&](QWidget *w) {
            QCOMPARE(w->windowTitle(), QStringLiteral("Nyomtatás típusa"));
            auto *combo = w->findChild<QComboBox *>(QStringLiteral("ComboBox1"));
            QCOMPARE(combo->count(), printers.size());
            QCOMPARE(combo->currentText(), shown);
            // "Nyomtatási kép" is selected on opening, and the list is off.
            QVERIFY(w->findChild<QRadioButton *>(QStringLiteral("rbKep"))->isChecked());
            QVERIFY(!combo->isEnabled());
            QTest::mouseClick(w->findChild<QRadioButton *>(choose), Qt::LeftButton);
            QCOMPARE(combo->isEnabled(), choose == QLatin1String("rbNyomtat"));
            if (!typed.isEmpty()) {
                combo->setFocus();
                combo->lineEdit()->selectAll();
                QTest::keyClicks(combo->lineEdit(), typed);
            }
            checked = true;
            if (cancel)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            else
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // OK is the default button
        });
        QString n = name;
        QCOMPARE(ChoosePrintTarget(n, printers), result);
        QVERIFY(checked);
        QCOMPARE(n, nameAfter);
    }

    // Enter presses the button that has the focus; elsewhere it is "OK".
    void printTargetEnterOnButton_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("result");
        QTest::newRow("Mégsem") << "btnMegsem" << -1;
        QTest::newRow("OK") << "btnOK" << 2;
        QTest::newRow("an option") << "rbExcel" << 2;
    }
    void printTargetEnterOnButton()
    {
        QFETCH(QString, focus);
        QFETCH(int, result);
        onModal(anyWindow(), [&](QWidget *w) {
            QTest::mouseClick(w->findChild<QRadioButton *>(QStringLiteral("rbExcel")), Qt::LeftButton);
            auto *target = w->findChild<QWidget *>(focus);
            target->setFocus(Qt::TabFocusReason);
            QTest::keyClick(target, Qt::Key_Return);
        });
        QString n = QStringLiteral("Iroda");
        QCOMPARE(ChoosePrintTarget(n, QStringList{QStringLiteral("Iroda")}), result);
    }

    void printTargetInstalledPrinters()
    {
        // The overload without a list offers what the system has installed.
        const QStringList installed = QPrinterInfo::availablePrinterNames();
        int count = -1;
        onModal(anyWindow(), [&](QWidget *w) {
            count = w->findChild<QComboBox *>(QStringLiteral("ComboBox1"))->count();
            button(w, "btnMegsem")->click();
        });
        QString n;
        QCOMPARE(ChoosePrintTarget(n), -1);
        QCOMPARE(count, installed.size());
        // A name that is not installed goes to the system default, silently.
        QCOMPARE(ReportPrinterName(QStringLiteral("Nincs ilyen nyomtató")), QPrinterInfo::defaultPrinterName());
        if (!installed.isEmpty())
            QCOMPARE(ReportPrinterName(installed.last()), installed.last());
    }
};

QTEST_MAIN(TestChoice)
#include "tst_choice.moc"
