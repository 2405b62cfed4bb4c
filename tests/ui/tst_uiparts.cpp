// The shared dialog parts and the message boxes.
#include "ui/FormParts.h"
#include "ui/JobProgress.h"
#include "ui/MessageBoxes.h"
#include "support/Drive.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QProgressBar>
#include <QTimer>
#include <QTest>
#include <functional>

using namespace qo;
using namespace qo::test;

class TestUiParts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The shared dialog parts: frame, OK/Mégsem pair, caption over field,
    // picture layout and tab order, driven at the keyboard.
    void formParts_data();
    void formParts();

    void messageBoxes();
    void messageBoxAnswersGivenAhead();
    // A long job: quiet while short, then a window that keeps the events
    // flowing, shows the count and stops the job on Esc.
    void jobProgress();
};

void TestUiParts::messageBoxes()
{
    struct Seen {
        QString caption, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        Qt::TextFormat format = Qt::AutoText;
    };
    // Answers the next modal box with a key and records what it showed.
    auto answer = [](Seen *seen, int key) {
        onModal(messageBox(), [seen, key](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            QVERIFY(box);
            seen->caption = box->windowTitle();
            seen->text = box->text();
            seen->icon = box->icon();
            seen->buttons = box->standardButtons();
            seen->defaultButton = box->standardButton(box->defaultButton());
            seen->format = box->textFormat();
            QTest::keyClick(box, Qt::Key(key));
        });
    };

    QWidget owner;
    owner.setWindowTitle("Tulajdonos");
    owner.show();
    owner.activateWindow();

    Seen s;
    answer(&s, Qt::Key_Return);
    QVERIFY(AskConfirm("Valóban töröljem a sort?", "Megerősítés", &owner));
    QCOMPARE(s.caption, QString("Megerősítés"));
    QCOMPARE(s.text, QString("Valóban töröljem a sort?"));
    QCOMPARE(s.icon, QMessageBox::Question);
    QCOMPARE(s.buttons, QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::No));
    QCOMPARE(s.defaultButton, QMessageBox::Yes);

    answer(&s, Qt::Key_Escape);
    QVERIFY(!AskConfirm("Biztos?", "Megerősítés", &owner));

    // Texts are shown as they are, markup included.
    answer(&s, Qt::Key_Return);
    ShowError("Hiba: <b>1062</b> Duplicate entry", &owner);
    QCOMPARE(s.caption, QString("Hiba"));
    QCOMPARE(s.icon, QMessageBox::Critical);
    QCOMPARE(s.text, QString("Hiba: <b>1062</b> Duplicate entry"));
    QCOMPARE(s.format, Qt::PlainText);
    QCOMPARE(s.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    answer(&s, Qt::Key_Return);
    ShowWarning("Figyelem", nullptr);
    QCOMPARE(s.caption, QString("Figyelmeztetés"));
    QCOMPARE(s.icon, QMessageBox::Warning);

    answer(&s, Qt::Key_Escape);
    ShowInfo("Kész");
    QCOMPARE(s.caption, QString("Üzenet"));
    QCOMPARE(s.icon, QMessageBox::Information);
}

// Answers given ahead are used in order, one box each, without a window;
// once they are used up the boxes are shown again.
void TestUiParts::messageBoxAnswersGivenAhead()
{
    ModalLog shown;
    {
        BoxAnswers answers(BoxAnswer::No);
        answers.then(BoxAnswer::Yes).then(BoxAnswer::Ok);
        QVERIFY(!AskConfirm("Valóban töröljem a sort?", "Megerősítés"));
        QVERIFY(AskConfirm("Biztos?", "Megerősítés"));
        ShowError("Hiba: <b>1062</b>");
        QCOMPARE(answers.texts(), (QStringList{"Valóban töröljem a sort?", "Biztos?", "Hiba: <b>1062</b>"}));
        QCOMPARE(answers.captions(), (QStringList{"Megerősítés", "Megerősítés", "Hiba"}));
        QVERIFY(shown.texts.isEmpty());

        // The queue is empty: the next box is a window again, answered by hand.
        onModal(messageBox(), pressButton(QMessageBox::Yes));
        QVERIFY(AskConfirm("Harmadik?", "Megerősítés"));
        QTRY_VERIFY(shown.done());
        QCOMPARE(shown.texts, QStringList{"Harmadik?"});
        QCOMPARE(answers.texts().size(), 3);

        answers.then(BoxAnswer::Ok, 2); // more than will be asked for
        ShowInfo("Kész");
    }
    // An answer left over is dropped with its owner, never used by a later box.
    onModal(messageBox(), pressButton(QMessageBox::No));
    QVERIFY(!AskConfirm("Negyedik?", "Megerősítés"));
    QTRY_VERIFY(shown.done());
    QCOMPARE(shown.texts, (QStringList{"Harmadik?", "Negyedik?"}));
}

void TestUiParts::formParts_data()
{
    QTest::addColumn<int>("minimumWidth");
    QTest::addColumn<int>("tabs");           // Tab presses from the first field
    QTest::addColumn<QString>("focusedName"); // where the focus lands
    QTest::addColumn<int>("result");         // after Space there
    QTest::newRow("ok button, own width") << 0 << 2 << "btnOK" << int(QDialog::Accepted);
    QTest::newRow("cancel button, wide") << 120 << 3 << "btnMegsem" << int(QDialog::Rejected);
    QTest::newRow("second field") << 90 << 1 << "second" << -1;
}

void TestUiParts::formParts()
{
    QFETCH(int, minimumWidth);
    QFETCH(int, tabs);
    QFETCH(QString, focusedName);
    QFETCH(int, result);

    QDialog dlg;
    SetFixedDialogFrame(&dlg, QStringLiteral("frm_Proba"), QStringLiteral("Próba"));
    QCOMPARE(dlg.objectName(), QStringLiteral("frm_Proba"));
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Próba"));
    QVERIFY(dlg.windowFlags() & Qt::MSWindowsFixedSizeDialogHint);
    QVERIFY(!(dlg.windowFlags() & Qt::WindowContextHelpButtonHint));

    auto *first = new QLineEdit(&dlg);
    auto *second = new QLineEdit(&dlg);
    second->setObjectName(QStringLiteral("second"));
    const OkCancelButtons b =
        MakeOkCancelButtons(&dlg, &dlg, QStringLiteral("btnOK"), QStringLiteral("btnMegsem"), minimumWidth);
    QCOMPARE(b.ok->text(), QStringLiteral("OK"));
    QCOMPARE(b.cancel->text(), QStringLiteral("Mégsem"));
    QCOMPARE(dlg.findChild<QPushButton *>(QStringLiteral("btnMegsem")), b.cancel);
    for (QPushButton *p : {b.ok, b.cancel}) {
        QVERIFY(!p->autoDefault());
        QVERIFY(!p->isDefault());
        QCOMPARE(p->minimumWidth(), minimumWidth);
    }
    QObject::connect(b.ok, &QPushButton::clicked, &dlg, &QDialog::accept);

    auto *fields = new QVBoxLayout;
    AddCaptionedField(fields, &dlg, QStringLiteral("Első"), first);
    AddCaptionedField(fields, &dlg, QStringLiteral("Második"), second, new QLabel(QStringLiteral("db"), &dlg));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(b.ok);
    buttons->addWidget(b.cancel);
    ArrangePictureForm(&dlg, QStringLiteral("server"), 64, 120, fields, buttons);
    QCOMPARE(dlg.layout()->sizeConstraint(), QLayout::SetFixedSize);
    bool captioned = false;
    for (QLabel *l : dlg.findChildren<QLabel *>())
        captioned |= l->text() == QStringLiteral("Második") && l->buddy() == second;
    QVERIFY(captioned);
    ChainTabOrder({first, second, b.ok, b.cancel});

    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    first->setFocus(); // the window's starting field, as the dialogs choose theirs
    for (int i = 0; i < tabs; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), focusedName);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    if (result < 0)
        QVERIFY(dlg.isVisible());
    else
        QCOMPARE(dlg.result(), result);
}

void TestUiParts::jobProgress()
{
    QWidget owner;
    owner.show();
    QElapsedTimer clock;

    {
        // A job under the delay shows nothing.
        JobProgress quick("Rövid", "sor", &owner);
        clock.start();
        for (qint64 i = 0; clock.elapsed() < 100; ++i)
            QVERIFY(quick.advance(i));
        QVERIFY(!quick.windowShown());
    }

    const int oldDelay = JobProgress::setShowDelay(150);
    ModalLog log;
    QString countSeen;
    int barMaximum = -1;
    onModal(named("frm_Folyamat"), [&](QWidget *w) {
        countSeen = w->findChild<QLabel *>("lbl_Allas")->text();
        barMaximum = w->findChild<QProgressBar *>("ProgressBar1")->maximum();
        if (qEnvironmentVariableIsSet("QO_KEEP_PNG")) // to look at
            w->grab().save(QDir::temp().filePath(QStringLiteral("job-progress.png")));
        QTest::keyClick(w, Qt::Key_Escape);
    });
    bool timerRan = false;
    QTimer::singleShot(50, &owner, [&] { timerRan = true; });

    JobProgress job("Adatmentés", "sor", &owner);
    job.setTotal(1234567890);
    qint64 done = 0;
    bool thrown = false;
    clock.restart();
    try {
        // Busy work in small steps until the user stops it (or 10 s pass).
        while (clock.elapsed() < 10000)
            job.check(++done, "A mentés megszakítva; a korábbi fájl változatlan.");
    } catch (const JobCancelled &e) {
        thrown = true;
        QCOMPARE(e.message(), QString("A mentés megszakítva; a korábbi fájl változatlan."));
    }
    QVERIFY(thrown);
    QVERIFY(job.cancelled());
    QVERIFY(clock.elapsed() >= 150); // not before the delay
    QVERIFY(timerRan);               // events kept flowing during the job
    QVERIFY2(countSeen.endsWith(" / 1 234 567 890 sor"), qPrintable(countSeen));
    QCOMPARE(barMaximum, 1000);
    QVERIFY(!job.advance(done + 1)); // stays stopped
    QVERIFY(log.done());
    JobProgress::setShowDelay(oldDelay);
}

QTEST_MAIN(TestUiParts)
#include "tst_uiparts.moc"
