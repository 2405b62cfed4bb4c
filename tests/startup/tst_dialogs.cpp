// The behaviour every window shares and the small core dialogs, driven the way
// a user drives them: keys, clicks, and the modal boxes answered as they open.
#include "startup/DatabaseChooser.h"
#include "config/AppState.h"
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

#include "support/Drive.h"
#include "support/WindowFixture.h"
#include "support/TestDb.h"
#include "support/AdminFormParts.h"
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
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <functional>

using namespace qo;
using namespace qo::test;

namespace {

QColor pixelIn(QWidget *w)
{
    // Inside the frame, right of the short texts and left of any arrow button.
    const QImage img = w->grab().toImage();
    return img.pixelColor(img.width() / 2, img.height() / 2);
}

QString recordFor(const ConnectParams &p, const QString &name, const QString &password = {})
{
    return QStringList{p.database, p.host, QString::number(p.port), p.user,
                       password.isNull() ? p.password : password, name}
        .join(QLatin1Char(';'));
}

} // namespace

class TestDialogs : public QObject, public test::WindowFixture {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpWindows(); }
    void init() { resetSettings(); }

    // ---- Database chooser -------------------------------------------------

    void chooserSingleWorkingEntry()
    {
        test::TestDb db(QStringLiteral("dialogs_choose"), false);
        ModalLog script; // nothing may open
        const int r = ChooseDatabase({QStringLiteral("1; Bolt")}, {recordFor(db.params(), QStringLiteral("Bolt"))},
                                     QStringLiteral("Quorvin.Opt adatbázis választás"));
        QCOMPARE(r, 0);
        QVERIFY(script.unexpected.isEmpty());
        QVERIFY(!Connection::main().isOpen()); // the test used a connection of its own
    }

    void chooserSingleFailingEntry()
    {
        test::TestDb db(QStringLiteral("dialogs_choose"), false);
        ModalLog script;
        QStringList listed;
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        onModal(titled(QStringLiteral("Quorvin.Opt adatbázis választás")), [&](QWidget *w) {
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
        QCOMPARE(script.boxes().size(), 1);
        QVERIFY(script.boxes()[0].startsWith(QStringLiteral("Hiba: Hiba: ")));
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
        ModalLog script;
        onModal(titled(QStringLiteral("Választás")), [&](QWidget *w) {
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
            onModal(messageBox(), pressButton(QMessageBox::Ok));
        // The broken entry's error opens from inside the steps; the last step
        // (Mégsem) must run after it, so those steps are issued in order here.
        QCOMPARE(ChooseDatabase(entries, records, QStringLiteral("Választás")), result);
        QVERIFY2(script.unexpected.isEmpty(), qPrintable(script.unexpected.join(QLatin1Char('|'))));
        QCOMPARE(script.boxes().size(), errors);
    }

    void chooserNew()
    {
        test::TestDb db(QStringLiteral("dialogs_choose"), false);
        const ConnectParams p = db.params();
        ModalLog script;
        onModal(titled(QStringLiteral("Választás")), [](QWidget *w) { static_cast<DatabaseChooser *>(w)->newButton->click(); });
        onModal(titled(QStringLiteral("Adatbázis beállítás")), [&](QWidget *w) {
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
        ModalLog script;
        if (!error.isEmpty())
            onModal(messageBox(), pressButton(QMessageBox::Ok));
        dlg.btnTeszt->click();
        QTRY_VERIFY(script.done());
        QCOMPARE(dlg.btnRendben->isEnabled(), enabled);
        QVERIFY(dlg.isVisible());
        if (enabled) {
            QCOMPARE(QApplication::focusWidget(), dlg.btnRendben);
            // Stays usable after later edits.
            typeText(dlg.edtNev, QStringLiteral("!"));
            QVERIFY(dlg.btnRendben->isEnabled());
            saveShot(&dlg, QStringLiteral("frm_Init"));
        } else {
            QCOMPARE(script.boxes().size(), 1);
            QVERIFY2(script.boxes()[0].startsWith(QStringLiteral("Hiba: ") + error), qPrintable(script.boxes()[0]));
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
        ModalLog script;
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        dlg.btnTeszt->click();
        QTRY_VERIFY(script.done());
        QCOMPARE(script.boxes().size(), 1);
        QVERIFY2(script.boxes()[0].startsWith(QStringLiteral("Hiba: Hiba: A kiszolgáló tanúsítványa nem ellenőrizhető")),
                 qPrintable(script.boxes()[0]));
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
        ModalLog script;
        onModal(titled(QStringLiteral("Adatbázis beállítás")), [&](QWidget *w) {
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
        ModalLog script;
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        QTest::keyClick(dlg.edtSzerver, Qt::Key_Return, Qt::ControlModifier);
        QTRY_VERIFY(script.done());
        QVERIFY(dlg.isVisible());
        QVERIFY(ReadStoredConnections(0, 100).isEmpty());
        QCOMPARE(script.boxes(), QStringList{QStringLiteral("Hiba: Hiba: A mezők nem tartalmazhatnak pontosvesszőt (;).")});
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
        ModalLog script;
        onModal(titled(QStringLiteral("Belépés azonosítás")), [&](QWidget *w) {
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
            onModal(messageBox(), pressButton(QMessageBox::Ok));
            onModal(titled(QStringLiteral("Belépés azonosítás")), [](QWidget *w) {
                auto *dlg = static_cast<LoginDialog *>(w);
                QVERIFY(dlg->isVisible());
                dlg->btnMegsem->click();
            });
        }
        QCOMPARE(ShowLoginDialog(), ok);
        QVERIFY(script.done());
        QVERIFY(script.unexpected.isEmpty());
        if (ok) {
            QCOMPARE(appState().felhasznalo_nev, name);
            QVERIFY(script.boxes().isEmpty());
        } else {
            QCOMPARE(appState().felhasznalo_nev, QStringLiteral("előző"));
            QCOMPARE(script.boxes(), QStringList{QStringLiteral("Hiba: Érvénytelen felhasználó, vagy jelszó")});
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
        ModalLog script;
        onModal(titled(QStringLiteral("Belépés azonosítás")), [&](QWidget *w) {
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
        QVERIFY(script.done());
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
        ModalLog script;
        if (!first.isNull())
            onModal(titled(QStringLiteral("Jelszó megadása")), answer(first));
        if (!second.isNull())
            onModal(titled(QStringLiteral("Megerősítés")), answer(second));
        for (int i = 0; i < boxes.size() && (i == 0 || !changed); ++i)
            onModal(messageBox(), pressButton(QMessageBox::Ok));
        dlg.btnUjJelszo->click();
        QTRY_VERIFY(script.done());
        QVERIFY(dlg.isVisible());
        if (changed) {
            // The old password is still in the field: OK is refused until the new one is typed.
            onModal(messageBox(), pressButton(QMessageBox::Ok));
            dlg.btnOK->click();
            QTRY_VERIFY(script.done());
            QVERIFY(dlg.isVisible());
            dlg.edtJelszo->clear();
            typeText(dlg.edtJelszo, stored);
            dlg.btnOK->click();
            QVERIFY(!dlg.isVisible());
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
        }
        QCOMPARE(script.boxes(), boxes);
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
            ModalLog script;
            onModal(titled(QStringLiteral("Belépés azonosítás")), [password](QWidget *w) {
                auto *dlg = static_cast<LoginDialog *>(w);
                QVERIFY(QTest::qWaitForWindowActive(w));
                typeText(dlg->edtFelhasznalo, QStringLiteral("anna"));
                QTest::keyClick(dlg->edtFelhasznalo, Qt::Key_Return);
                typeText(dlg->edtJelszo, password);
                QTest::keyClick(dlg->edtJelszo, Qt::Key_Return);
                QTest::keyClick(dlg->btnOK, Qt::Key_Return);
            });
            onModal(messageBox(), pressButton(QMessageBox::Ok));
            onModal(titled(QStringLiteral("Belépés azonosítás")), [](QWidget *w) {
                static_cast<LoginDialog *>(w)->btnMegsem->click();
            });
            const bool ok = ShowLoginDialog();
            return ok ? appState().felhasznalo_nev : QStringLiteral("<elutasítva>: ") + script.boxes().join(QLatin1Char('|'));
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
