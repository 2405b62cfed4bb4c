// Input that must never reach the database changed behind the user's back,
// and the keyboard flow of the shared dialogs, typed as a user types.
#include "clients/Clients.h"
#include "config/AppState.h"
#include "config/Config.h"
#include "db/Connection.h"
#include "masterdata/WorkOrderTypeList.h"
#include "reports/PeriodDialog.h"
#include "startup/ConnectionSetup.h"
#include "ui/InputDialog.h"
#include "support/Drive.h"
#include "support/TestDb.h"

#include <QClipboard>
#include <QMessageBox>
#include <QPointer>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

using namespace qo;
using namespace qo::test;

namespace {

void paste(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
    press(Qt::Key_V, Qt::ControlModifier);
}

QString unstorable(const QString &ch)
{
    return QStringLiteral("A(z) „%1” karakter nem tárolható az adatbázisban.").arg(ch);
}

} // namespace

class TestSafety : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QFile ini(m_dir.filePath(QStringLiteral("QuorvinOpt.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.close();
        initFolders(m_dir.path());
        setWorkAreaForTests(QRect(0, 0, 1600, 1000));
    }

    // ---- what latin2 cannot hold -------------------------------------------------

    // Typed and pasted into the client's name: typographic characters become
    // plain ones, the others are refused by name; the stored name holds no "?".
    void clientNameTypedAndPasted()
    {
        test::TestDb db(QStringLiteral("safety_client"));
        BoxAnswers answers(BoxAnswer::Ok, 5);
        onModal(notMessageBox(), [&](QWidget *) {
            // The editor opens in the name. Each refusal is said while the
            // user is still in the field.
            typeText(focused(), QStringLiteral("Kiss–Nagy€ "));
            QTRY_COMPARE(answers.texts().size(), 1);
            paste(QStringLiteral("„Éva”😀 O’Neil"));
            QTRY_COMPARE(answers.texts().size(), 2);
            for (int i = 0; i < 10 && focused()->objectName() != QLatin1String("BitBtn1"); ++i)
                press(Qt::Key_Return);
            press(Qt::Key_Return); // OK
        });
        const qint64 key = EditClient(-1);
        QVERIFY(key > 0);
        QCOMPARE(answers.texts(), (QStringList{unstorable(QStringLiteral("€")), unstorable(QStringLiteral("😀"))}));
        QCOMPARE(SqlValue(QStringLiteral("SELECT ugyfel_nev FROM ugyfel WHERE ugyfel = %1").arg(key), {}),
                 QStringLiteral("Kiss-Nagy \"Éva\" O'Neil"));
    }

    // The connection setup's fields, and the small text dialog, refuse the same way.
    void setupAndInputDialogFields_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("connection setup name") << "setup";
        QTest::newRow("text dialog") << "input";
    }
    void setupAndInputDialogFields()
    {
        QFETCH(QString, where);
        QString seen;
        BoxAnswers answers(BoxAnswer::Ok, 5);
        onModal(notMessageBox(), [&](QWidget *w) {
            QLineEdit *e = where == QLatin1String("setup") ? static_cast<ConnectionSetup *>(w)->edtNev
                                                           : w->findChild<QLineEdit *>();
            e->setFocus(); // a field the test chose, not the next one in line
            QTest::qWait(20);
            typeText(e, QStringLiteral("Fő – üzlet €"));
            QTRY_COMPARE(answers.texts().size(), 1);
            seen = e->text();
            QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection);
        });
        if (where == QLatin1String("setup")) {
            QVERIFY(!RunFirstRunSetup());
        } else {
            QString value;
            QVERIFY(!InputDialog(QStringLiteral("Próba"), QStringLiteral("Szöveg"), value));
        }
        QTRY_COMPARE(answers.texts(), QStringList{unstorable(QStringLiteral("€"))});
        QCOMPARE(seen, QStringLiteral("Fő - üzlet "));
    }

    // ---- the work-order type's printed text -----------------------------------------

    // Tab leaves the text (no tab character in the printout); a paste beyond
    // the column's length is cut with a message, never refused by the server.
    void workOrderTypeTextAtKeyboard()
    {
        test::TestDb db(QStringLiteral("safety_type"));
        appState().torzsszerkeszt = true;
        const QString big(70000, QLatin1Char('x'));
        QString focusAfterTab, kept;
        BoxAnswers answers(BoxAnswer::Ok, 5);
        onModal(notMessageBox(), [&](QWidget *) {
            auto *memo = qobject_cast<QPlainTextEdit *>(focused());
            QVERIFY(memo);
            memo->selectAll();
            typeText(memo, QStringLiteral("Első sor"));
            press(Qt::Key_Return);
            typeText(memo, QStringLiteral("második"));
            press(Qt::Key_Tab);
            focusAfterTab = focused()->objectName();
            press(Qt::Key_Tab, Qt::ShiftModifier); // back into the text, at its end
            press(Qt::Key_End, Qt::ControlModifier);
            paste(big);
            QTRY_COMPARE(answers.texts().size(), 1); // the cut is said while in the text
            kept = memo->toPlainText();
            press(Qt::Key_Tab);
            press(Qt::Key_Return); // OK
        });
        QCOMPARE(EditWorkOrderType(1), qint64(1));
        QCOMPARE(focusAfterTab, QStringLiteral("btnOK"));
        QCOMPARE(answers.texts(), QStringList{QStringLiteral("A mező legfeljebb 65535 karaktert fogad el.")});
        QCOMPARE(kept.size(), 65535);
        QVERIFY(kept.startsWith(QStringLiteral("Első sor\nmásodik")));
        const QString stored = SqlValue(QStringLiteral("SELECT szoveg FROM mlaptipus WHERE mlaptipus = 1"), {});
        QCOMPARE(stored.size(), 65535);
        QVERIFY(!stored.contains(QLatin1Char('\t')));
    }

    // ---- the period dialog ------------------------------------------------------------

    // From the from-date: a year typed, Tab to the to-date, a year typed, Tab
    // on to the quick buttons, Enter through them to OK: the typed dates are taken.
    void periodDialogAtKeyboard()
    {
        SetPeriodToday(QDate(2024, 3, 13));
        QDate from(2024, 2, 13), to(2024, 3, 13);
        QStringList trail;
        onModal(notMessageBox(), [&](QWidget *) {
            trail << focused()->objectName();
            QTest::keyClicks(focused(), QStringLiteral("2023"));
            press(Qt::Key_Tab);
            trail << focused()->objectName();
            QTest::keyClicks(focused(), QStringLiteral("2025"));
            press(Qt::Key_Tab, Qt::ShiftModifier);
            trail << focused()->objectName();
            press(Qt::Key_Tab);
            press(Qt::Key_Tab);
            for (int i = 0; i < 7 && focused()->objectName() != QLatin1String("btnOK"); ++i) {
                trail << focused()->objectName();
                press(Qt::Key_Return);
            }
            trail << focused()->objectName();
            press(Qt::Key_Return);
        });
        QVERIFY(AskPeriod(from, to));
        QCOMPARE(trail, (QStringList{"DateTimePicker1", "DateTimePicker2", "DateTimePicker1", "btnMa", "btnEzAHet",
                                     "btnEzAHonap", "btnMultHonap", "btnIden", "btnTavaly", "btnOK"}));
        QCOMPARE(from, QDate(2023, 2, 13));
        QCOMPARE(to, QDate(2025, 3, 13));
        SetPeriodToday(QDate());
    }
};

QTEST_MAIN(TestSafety)
#include "tst_safety.moc"
