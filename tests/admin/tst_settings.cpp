// The behaviour every window shares and the small core dialogs, driven the way
// a user drives them: keys, clicks, and the modal boxes answered as they open.
#include "startup/DatabaseChooser.h"
#include "config/AppState.h"
#include "admin/SettingsDialog.h"
#include "config/Config.h"
#include "config/StoredConnections.h"
#include "db/Connection.h"
#include "ui/DateDialog.h"
#include "ui/Pictures.h"
#include "ui/TextGuards.h"
#include "ui/WheelAsArrows.h"
#include "ui/WindowBehaviour.h"
#include "startup/ConnectionSetup.h"
#include "ui/InputDialog.h"
#include "startup/LoginDialog.h"
#include "base/PasswordHash.h"

#include "support/AdminFormParts.h"
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

class TestSettings : public QObject, public test::WindowFixture {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpWindows(); }
    void init() { resetSettings(); }

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

        ModalLog script;
        if (!error.isEmpty())
            onModal(messageBox(), pressButton(QMessageBox::Ok));
        (button == QLatin1String("OK") ? formParts(dlg).btnOK : formParts(dlg).btnMegsem)->click();
        QTRY_VERIFY(script.done());

        const RowSet rs = Connection::main().query(
            QStringLiteral("SELECT vanbelep, mlaphatid, mlapmegj, figynap, a5munkalap FROM beallit;"));
        QCOMPARE(rs.rowCount(), 1);
        QStringList got;
        for (int c = 0; c < 5; ++c)
            got << rs.text(0, c);
        QCOMPARE(got.join(QLatin1Char('|')), row);
        if (!error.isEmpty()) {
            QCOMPARE(script.boxes(), QStringList{QStringLiteral("Hiba: ") + error});
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
        ModalLog script;
        onModal(titled(QStringLiteral("Beállítások")), [](QWidget *w) {
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
        QVERIFY(script.done());
        QVERIFY(!appState().TeljesKep);
        QCOMPARE(appState().nyomtato, QStringLiteral("Irodai nyomtató"));
        QCOMPARE(SqlValue(QStringLiteral("SELECT a5munkalap FROM beallit"), {}), QStringLiteral("I"));
        QCOMPARE(ReadConfigInt(QStringLiteral("frm_Beallit"), QStringLiteral("Left"), -1) >= 0, true);
    }

    void settingsDialogWithoutRow()
    {
        test::TestDb db(QStringLiteral("dialogs_beallit3"));
        ExecSql(QStringLiteral("DELETE FROM beallit;"));
        ModalLog script;
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        onModal(titled(QStringLiteral("Beállítások")), [](QWidget *w) {
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
        QVERIFY(script.done());
        QCOMPARE(script.boxes(), QStringList{QStringLiteral("Hiba: Hiányzik a beállítások sora az adatbázisból.")});
        QCOMPARE(appState().FormatDb, QStringLiteral("#0"));
        QCOMPARE(SqlIntValue(QStringLiteral("SELECT COUNT(*) FROM beallit"), -1), 0);
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
        ModalLog script;
        formParts(dlg).btnOK->click();
        QTRY_VERIFY(script.done());
        QVERIFY(!dlg.isVisible());
        QCOMPARE(SqlValue(QStringLiteral("SELECT vanbelep FROM beallit"), {}), admin ? QStringLiteral("N") : QStringLiteral("X"));
    }

private:
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
