// Master data: the brand lists in maintenance and choose mode with their
// search, editor and refused deletes, and the work-order types with the
// master-data right, driven by keys and clicks against a real shop database.
#include "config/AppState.h"
#include "config/Config.h"
#include "db/Connection.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"
#include "masterdata/WorkOrderTypeList.h"
#include "masterdata/MasterDataList.h"
#include "support/Drive.h"
#include "support/TestDb.h"

#include <QtTest>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <functional>

using namespace qo;
using namespace qo::test;

namespace {

// Answers the next message box and records "caption: text".
void answerBox(QStringList *seen, QMessageBox::StandardButton button = QMessageBox::Ok)
{
    onModal([](QWidget *w) { return qobject_cast<QMessageBox *>(w) != nullptr; }, [seen, button](QWidget *w) {
        auto *box = static_cast<QMessageBox *>(w);
        *seen << box->windowTitle() + QStringLiteral(": ") + box->text();
        box->button(button)->click();
    });
}

qint64 addBrand(const QString &table, const QString &name)
{
    ExecSql(QStringLiteral("INSERT INTO %1 (%1_nev) VALUES ('%2');").arg(table, name));
    return qint64(Connection::main().lastInsertId());
}

QStringList listed(const SearchList *l, const QString &field)
{
    QStringList names;
    for (int r = 0; r < l->model()->rowCount(); ++r)
        names << l->model()->rows().text(r, field);
    return names;
}

QString cell(const QString &sql)
{
    return SqlValue(sql, QStringLiteral("<nincs>"));
}

const QStringList kBrands = {QStringLiteral("Essilor Varilux"), QStringLiteral("Hoya"), QStringLiteral("Rodenstock"),
                             QStringLiteral("Zeiss"), QStringLiteral("Abessz Optik")};

} // namespace

class TestMasterData : public QObject {
    Q_OBJECT

    TempConfig m_config; // window placements go to a configuration file of this test only

private Q_SLOTS:
    void init() { appState() = AppState(); }

    // ---- the brand list ---------------------------------------------------------------

    void wordSearch_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("current");
        QTest::newRow("two words in any order") << "ess ab" << QStringList{"Abessz Optik"} << "Abessz Optik";
        QTest::newRow("letter case ignored") << "ZEISS" << QStringList{"Zeiss"} << "Zeiss";
        QTest::newRow("one word in several") << "o" << QStringList{"Abessz Optik", "Essilor Varilux", "Hoya", "Rodenstock"}
                                             << "Abessz Optik";
        QTest::newRow("stands on the name beginning with it") << "ho" << QStringList{"Hoya"} << "Hoya";
        QTest::newRow("beginning among several") << "s" << QStringList{"Abessz Optik", "Essilor Varilux", "Rodenstock", "Zeiss"}
                                                 << "Abessz Optik";
        QTest::newRow("no match") << "xyz" << QStringList{} << "";
        QTest::newRow("commas are blanks") << "var,ess" << QStringList{"Essilor Varilux"} << "Essilor Varilux";
        QTest::newRow("quote in the text") << "o'b" << QStringList{} << "";
    }
    void wordSearch()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, names);
        QFETCH(QString, current);
        test::TestDb db(QStringLiteral("md_search"));
        for (const QString &b : kBrands)
            addBrand(QStringLiteral("lencsemarka"), b);
        QStringList seen;
        QString counter, heading, caption, title;
        onModal(named("frm_Torzsadat"), [&](QWidget *w) {
            auto *l = static_cast<MasterDataList *>(w);
            title = l->windowTitle();
            heading = l->heading()->text();
            caption = l->model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString();
            QCOMPARE(QApplication::focusWidget(), l->searchBox());
            typeText(l->searchBox(), typed);
            seen = listed(l, QStringLiteral("lencsemarka_nev"));
            QCOMPARE(l->currentText(QStringLiteral("lencsemarka_nev")), current);
            counter = l->statusBar()->findChildren<QLabel *>().value(0)->text();
            QTest::keyClick(l->searchBox(), Qt::Key_Escape);
        });
        QCOMPARE(OpenMasterDataList(-1, false, QStringLiteral("lencsemarka"), QStringLiteral("Lencse márka")), qint64(-1));
        QCOMPARE(title, QStringLiteral("Lencse márka"));
        QCOMPARE(heading, QStringLiteral("Lencse márka  "));
        QCOMPARE(caption, QStringLiteral("Lencse márka"));
        QCOMPARE(seen, names);
        QCOMPARE(counter, QStringLiteral("%1: %2").arg(names.size()).arg(names.isEmpty() ? 0 : names.indexOf(current) + 1));
    }

    void typingIntoGridSearches()
    {
        test::TestDb db(QStringLiteral("md_typing"));
        for (const QString &b : kBrands)
            addBrand(QStringLiteral("keretmarka"), b);
        QString text, current;
        bool searchFocused = false;
        onModal(named("frm_Torzsadat"), [&](QWidget *w) {
            auto *l = static_cast<MasterDataList *>(w);
            l->grid()->setFocus();
            QTest::keyClick(l->grid(), Qt::Key_R, Qt::ShiftModifier); // "R" starts a search for "r"
            searchFocused = QApplication::focusWidget() == l->searchBox();
            QTest::keyClick(l->searchBox(), Qt::Key_O);
            text = l->searchBox()->text();
            current = l->currentText(QStringLiteral("keretmarka_nev"));
            // Down in the search box goes back to the grid.
            QTest::keyClick(l->searchBox(), Qt::Key_Down);
            QCOMPARE(QApplication::focusWidget(), l->grid());
            l->aBezar->trigger();
        });
        OpenMasterDataList(-1, false, QStringLiteral("keretmarka"), QStringLiteral("Keret márka"));
        QVERIFY(searchFocused);
        QCOMPARE(text, QStringLiteral("ro"));
        QCOMPARE(current, QStringLiteral("Rodenstock"));
    }

    void chooseMode_data()
    {
        QTest::addColumn<QString>("initial"); // brand to stand on, "" for -1
        QTest::addColumn<QString>("how");     // "enter", "double", "button", "esc", "close"
        QTest::addColumn<QString>("chosen");  // "" when nothing is returned
        QTest::newRow("positioned, Enter") << "Rodenstock" << "enter" << "Rodenstock";
        QTest::newRow("first row, double click") << "" << "double" << "Abessz Optik";
        QTest::newRow("Elfogad button") << "Zeiss" << "button" << "Zeiss";
        QTest::newRow("Esc gives nothing") << "Hoya" << "esc" << "";
        QTest::newRow("Bezár gives nothing") << "Hoya" << "close" << "";
    }
    void chooseMode()
    {
        QFETCH(QString, initial);
        QFETCH(QString, how);
        QFETCH(QString, chosen);
        test::TestDb db(QStringLiteral("md_choose"));
        QMap<QString, qint64> keys;
        for (const QString &b : kBrands)
            keys[b] = addBrand(QStringLiteral("lencsemarka"), b);
        QString standing;
        bool hasAccept = false;
        onModal(named("frm_Torzsadat"), [&](QWidget *w) {
            auto *l = static_cast<MasterDataList *>(w);
            standing = l->currentText(QStringLiteral("lencsemarka_nev"));
            hasAccept = l->aElfogad && l->toolBar()->actions().contains(l->aElfogad);
            if (how == QLatin1String("enter")) {
                QTest::keyClick(l->searchBox(), Qt::Key_Return);
            } else if (how == QLatin1String("double")) {
                // A double click is a click and then the second press.
                const QRect r = l->grid()->visualRect(l->model()->index(0, 0));
                QTest::mouseClick(l->grid()->viewport(), Qt::LeftButton, {}, r.center());
                QTest::mouseDClick(l->grid()->viewport(), Qt::LeftButton, {}, r.center());
            } else if (how == QLatin1String("button")) {
                l->aElfogad->trigger();
            } else if (how == QLatin1String("esc")) {
                QTest::keyClick(l->searchBox(), Qt::Key_Escape);
            } else {
                l->aBezar->trigger();
            }
            if (l->isVisible()) {
                l->reject();
                QFAIL("the list did not close");
            }
        });
        QString name = QStringLiteral("régi");
        const qint64 k = OpenMasterDataList(initial.isEmpty() ? -1 : keys.value(initial), true,
                                            QStringLiteral("lencsemarka"), QStringLiteral("Lencse márka"), &name);
        QVERIFY(hasAccept);
        // Without a brand chosen yet the list stands on no row: Enter cannot pick one by accident.
        QCOMPARE(standing, initial);
        if (chosen.isEmpty()) {
            QCOMPARE(k, qint64(-1));
            QCOMPARE(name, QStringLiteral("régi"));
        } else {
            QCOMPARE(k, keys.value(chosen));
            QCOMPARE(name, chosen);
        }
    }

    void maintenanceModeHasNoChoice()
    {
        test::TestDb db(QStringLiteral("md_maint"));
        for (const QString &b : kBrands)
            addBrand(QStringLiteral("lencsemarka"), b);
        QStringList toolbar;
        QString editedName;
        bool stillOpen = false;
        onModal(named("frm_Torzsadat"), [&](QWidget *w) {
            auto *l = static_cast<MasterDataList *>(w);
            for (QAction *a : l->toolBar()->actions())
                toolbar << (a->isSeparator() ? QStringLiteral("|") : a->text());
            QTest::keyClick(l->searchBox(), Qt::Key_Return); // does nothing here
            stillOpen = l->isVisible();
            // A double click edits the row here.
            onModal(named("frm_Torzsadat_Szerkeszt"), [&](QWidget *ed) {
                editedName = ed->findChild<QLineEdit *>(QStringLiteral("DBEdit1"))->text();
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            });
            const QPoint at = l->grid()->visualRect(l->model()->index(1, 0)).center();
            QTest::mouseClick(l->grid()->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(l->grid()->viewport(), Qt::LeftButton, {}, at);
            l->aBezar->trigger();
        });
        QCOMPARE(OpenMasterDataList(-1, false, QStringLiteral("lencsemarka"), QStringLiteral("Lencse márka")), qint64(-1));
        QVERIFY(stillOpen);
        QCOMPARE(editedName, QStringLiteral("Essilor Varilux"));
        QCOMPARE(toolbar, (QStringList{"Új sor", "Szerkeszt", "Töröl", "|", "Bezár"}));
    }

    void emptyListMessages_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("message");
        QTest::newRow("Szerkeszt") << "aSzerkeszt" << "Hiba: Nincs sor kiválasztva.";
        QTest::newRow("Töröl") << "aTorol" << "Hiba: Nincs sor kiválasztva.";
        QTest::newRow("Elfogad") << "aElfogad" << "Hiba: Nincs kiválasztott sor.";
    }
    void emptyListMessages()
    {
        QFETCH(QString, command);
        QFETCH(QString, message);
        test::TestDb db(QStringLiteral("md_empty"));
        addBrand(QStringLiteral("lencsemarka"), QStringLiteral("Hoya"));
        QStringList boxes;
        bool stillOpen = false;
        onModal(named("frm_Torzsadat"), [&](QWidget *w) {
            auto *l = static_cast<MasterDataList *>(w);
            typeText(l->searchBox(), QStringLiteral("nincs ilyen"));
            QCOMPARE(l->model()->rowCount(), 0);
            answerBox(&boxes);
            l->findChild<QAction *>(command)->trigger();
            stillOpen = l->isVisible();
            l->aBezar->trigger();
        });
        QCOMPARE(OpenMasterDataList(-1, true, QStringLiteral("lencsemarka"), QStringLiteral("Lencse márka")), qint64(-1));
        QCOMPARE(boxes, QStringList{message});
        QVERIFY(stillOpen);
        QCOMPARE(cell(QStringLiteral("SELECT COUNT(*) FROM lencsemarka")), QStringLiteral("1"));
    }

    void newRenameDelete()
    {
        test::TestDb db(QStringLiteral("md_edit"));
        addBrand(QStringLiteral("keretmarka"), QStringLiteral("Ray-Ban"));
        const qint64 silhouette = addBrand(QStringLiteral("keretmarka"), QStringLiteral("Silhouette"));
        QString editorTitle, editorLabel, keyShown, newCurrent, renamedCurrent;
        QStringList after, boxes;
        onModal(named("frm_Torzsadat"), [&](QWidget *w) {
            auto *l = static_cast<MasterDataList *>(w);
            // New row: the first letter becomes a capital; Ctrl+Enter saves.
            onModal(named("frm_Torzsadat_Szerkeszt"), [&](QWidget *ed) {
                editorTitle = ed->windowTitle();
                editorLabel = ed->findChildren<QLabel *>().last()->text();
                for (QLabel *lb : ed->findChildren<QLabel *>())
                    if (lb->objectName() == QLatin1String("lblKulcs"))
                        keyShown = lb->text();
                typeText(QApplication::focusWidget(), QStringLiteral("lindberg"));
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ControlModifier);
            });
            QTest::keyClick(l->grid(), Qt::Key_Insert);
            newCurrent = l->currentText(QStringLiteral("keretmarka_nev"));
            // Rename the current row with F2, OK.
            onModal(named("frm_Torzsadat_Szerkeszt"), [&](QWidget *ed) {
                auto *e = ed->findChild<QLineEdit *>(QStringLiteral("DBEdit1"));
                e->selectAll();
                typeText(e, QStringLiteral("Lindberg Air"));
                ed->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
            });
            QApplication::setActiveWindow(l);
            QTest::keyClick(l->grid(), Qt::Key_F2);
            renamedCurrent = l->currentText(QStringLiteral("keretmarka_nev"));
            // Rename cancelled: nothing changes.
            onModal(named("frm_Torzsadat_Szerkeszt"), [&](QWidget *ed) {
                auto *e = ed->findChild<QLineEdit *>(QStringLiteral("DBEdit1"));
                e->selectAll();
                typeText(e, QStringLiteral("Elrontva"));
                QTest::keyClick(e, Qt::Key_Escape);
            });
            QApplication::setActiveWindow(l);
            QTest::keyClick(l->grid(), Qt::Key_F2);
            // Delete "Silhouette": No keeps it, Yes removes it.
            l->reopen(silhouette);
            answerBox(&boxes, QMessageBox::No);
            QApplication::setActiveWindow(l);
            QTest::keyClick(l->grid(), Qt::Key_Delete, Qt::ControlModifier);
            answerBox(&boxes, QMessageBox::Yes);
            QApplication::setActiveWindow(l);
            QTest::keyClick(l->grid(), Qt::Key_Delete, Qt::ControlModifier);
            after = listed(l, QStringLiteral("keretmarka_nev"));
            l->aBezar->trigger();
        });
        OpenMasterDataList(-1, false, QStringLiteral("keretmarka"), QStringLiteral("Keret márka"));
        QCOMPARE(editorTitle, QStringLiteral("Keret márka"));
        QCOMPARE(editorLabel, QStringLiteral("Keret márka"));
        QCOMPARE(keyShown, QString());
        QCOMPARE(newCurrent, QStringLiteral("Lindberg"));
        QCOMPARE(renamedCurrent, QStringLiteral("Lindberg Air"));
        QCOMPARE(boxes, (QStringList{"Megerősítés: Valóban töröljem a sort?", "Megerősítés: Valóban töröljem a sort?"}));
        QCOMPARE(after, (QStringList{"Lindberg Air", "Ray-Ban"}));
        QCOMPARE(cell(QStringLiteral("SELECT GROUP_CONCAT(keretmarka_nev ORDER BY keretmarka_nev) FROM keretmarka")),
                 QStringLiteral("Lindberg Air,Ray-Ban"));
    }

    void editorShowsKeyAndRefusesVanishedRow()
    {
        test::TestDb db(QStringLiteral("md_key"));
        const qint64 k = addBrand(QStringLiteral("lencsemarka"), QStringLiteral("Hoya"));
        QString keyShown, text;
        onModal(named("frm_Torzsadat_Szerkeszt"), [&](QWidget *ed) {
            keyShown = ed->findChild<QLabel *>(QStringLiteral("lblKulcs"))->text();
            text = ed->findChild<QLineEdit *>(QStringLiteral("DBEdit1"))->text();
            ed->findChild<QPushButton *>(QStringLiteral("btnMegsem"))->click();
        });
        QCOMPARE(EditMasterDataRow(k, QStringLiteral("lencsemarka"), QStringLiteral("Lencse márka")), qint64(-1));
        QCOMPARE(keyShown, QString::number(k));
        QCOMPARE(text, QStringLiteral("Hoya"));
        QStringList boxes;
        answerBox(&boxes);
        QCOMPARE(EditMasterDataRow(k + 100, QStringLiteral("lencsemarka"), QStringLiteral("Lencse márka")), qint64(-1));
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(cell(QStringLiteral("SELECT COUNT(*) FROM lencsemarka")), QStringLiteral("1"));
    }

    // A brand still named by a work order: the server refuses and says why.
    void refusedDeleteKeepsEverything_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("lens brand") << "lencsemarka";
        QTest::newRow("frame brand") << "keretmarka";
    }
    void refusedDeleteKeepsEverything()
    {
        QFETCH(QString, table);
        test::TestDb db(QStringLiteral("md_refused"));
        const qint64 used = addBrand(table, QStringLiteral("Használt"));
        addBrand(table, QStringLiteral("Szabad"));
        ExecSql(QStringLiteral("INSERT INTO ugyfel (ugyfel_nev) VALUES ('Vevő')"));
        const qint64 client = qint64(Connection::main().lastInsertId());
        ExecSql(QStringLiteral("INSERT INTO munkalap (mlaptipus, ugyfel, statusz, %1) VALUES (1, %2, 1, %3)")
                    .arg(table).arg(client).arg(used));
        QStringList boxes, before, after;
        QString current;
        onModal(named("frm_Torzsadat"), [&](QWidget *w) {
            auto *l = static_cast<MasterDataList *>(w);
            before = listed(l, table + QStringLiteral("_nev"));
            answerBox(&boxes, QMessageBox::Yes);
            answerBox(&boxes);
            QTest::keyClick(l->grid(), Qt::Key_Delete, Qt::ControlModifier);
            after = listed(l, table + QStringLiteral("_nev"));
            current = l->currentText(table + QStringLiteral("_nev"));
            l->aBezar->trigger();
        });
        OpenMasterDataList(used, false, table, QStringLiteral("Márka"));
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[0], QStringLiteral("Megerősítés: Valóban töröljem a sort?"));
        // The server's own reason is shown.
        QVERIFY2(boxes[1].startsWith(QStringLiteral("Hiba: ")) && boxes[1].contains(QStringLiteral("foreign key constraint")),
                 qPrintable(boxes[1]));
        QCOMPARE(after, before);
        QCOMPARE(current, QStringLiteral("Használt"));
        QCOMPARE(cell(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)), QStringLiteral("2"));
        QCOMPARE(cell(QStringLiteral("SELECT %1 FROM munkalap").arg(table)), QString::number(used));
    }

    // ---- work-order types ------------------------------------------------------------------

    void typesListSearchAndText()
    {
        test::TestDb db(QStringLiteral("md_types"));
        ExecSql(QStringLiteral("SET SESSION sql_mode = CONCAT(@@sql_mode, ',NO_AUTO_VALUE_ON_ZERO')"));
        ExecSql(QStringLiteral("INSERT INTO mlaptipus (mlaptipus, mlaptipus_nev, szoveg) VALUES (0, 'Rejtett', 'x')"));
        QCOMPARE(cell(QStringLiteral("SELECT mlaptipus_nev FROM mlaptipus WHERE mlaptipus = 0")), QStringLiteral("Rejtett"));
        QStringList all, found, cleared;
        QString text, heading, caption, focus;
        onModal(named("frm_TorzsMLapTipus"), [&](QWidget *w) {
            auto *l = static_cast<WorkOrderTypeList *>(w);
            heading = l->heading()->text();
            caption = l->model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString();
            focus = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
            all = listed(l, QStringLiteral("mlaptipus_nev"));
            typeText(l->searchBox(), QStringLiteral("kontakt"));
            found = listed(l, QStringLiteral("mlaptipus_nev"));
            text = l->printedText->toPlainText();
            l->searchBox()->clear();
            cleared = listed(l, QStringLiteral("mlaptipus_nev"));
            l->aBezar->trigger();
        });
        OpenWorkOrderTypes();
        QCOMPARE(heading, QStringLiteral("Munkalap típusok  "));
        QCOMPARE(caption, QStringLiteral("Munkalap típus"));
        QCOMPARE(focus, QStringLiteral("Edit1"));
        // Key 0 is never listed; the list is in name order.
        QCOMPARE(all, (QStringList{"Kontaktlencse", "Szemüveg - közel", "Szemüveg - speciális", "Szemüveg - távol"}));
        QCOMPARE(found, QStringList{"Kontaktlencse"});
        QVERIFY(text.startsWith(QStringLiteral("A kontaktlencse viselési")));
        QCOMPARE(cleared, all);
    }

    void typesEditRight_data()
    {
        QTest::addColumn<bool>("right");
        QTest::addColumn<QString>("finish"); // "ctrl-enter", "ok", "esc"
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QString>("search"); // "": the type is picked in the whole list
        QTest::newRow("no right: refused") << false << "" << false << "közel";
        QTest::newRow("right, Ctrl+Enter saves") << true << "ctrl-enter" << true << "közel";
        QTest::newRow("right, OK saves") << true << "ok" << true << "közel";
        QTest::newRow("right, whole list, OK saves") << true << "ok" << true << "";
        QTest::newRow("right, Esc discards") << true << "esc" << false << "közel";
    }
    void typesEditRight()
    {
        QFETCH(bool, right);
        QFETCH(QString, finish);
        QFETCH(bool, saved);
        QFETCH(QString, search);
        test::TestDb db(QStringLiteral("md_type_edit"));
        appState().torzsszerkeszt = right;
        const QString original = cell(QStringLiteral("SELECT szoveg FROM mlaptipus WHERE mlaptipus = 2"));
        QStringList boxes;
        bool editorOpened = false, nameReadOnly = false;
        QString nameShown, memoAfter, searchAfter, current;
        onModal(named("frm_TorzsMLapTipus"), [&](QWidget *w) {
            auto *l = static_cast<WorkOrderTypeList *>(w);
            if (search.isEmpty())
                QTest::keyClick(l->grid(), Qt::Key_Down); // "Kontaktlencse", then "Szemüveg - közel"
            else
                typeText(l->searchBox(), search);
            if (!right)
                answerBox(&boxes);
            else
                onModal(named("frm_TorzsMLapTipus_Szerkeszt"), [&](QWidget *ed) {
                    editorOpened = true;
                    QCOMPARE(ed->windowTitle(), QStringLiteral("Munkalap típus szerkesztése"));
                    auto *name = ed->findChild<QLineEdit *>(QStringLiteral("DBEdit1"));
                    nameShown = name->text();
                    nameReadOnly = name->isReadOnly() && name->focusPolicy() == Qt::NoFocus;
                    auto *memo = ed->findChild<QPlainTextEdit *>(QStringLiteral("DBMemo1"));
                    QCOMPARE(QApplication::focusWidget(), memo);
                    memo->selectAll();
                    typeText(memo, QStringLiteral("Első sor"));
                    QTest::keyClick(memo, Qt::Key_Return); // a new line, not OK
                    QVERIFY(ed->isVisible());
                    typeText(memo, QStringLiteral("második sor"));
                    if (finish == QLatin1String("ctrl-enter"))
                        QTest::keyClick(memo, Qt::Key_Return, Qt::ControlModifier);
                    else if (finish == QLatin1String("ok"))
                        ed->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
                    else
                        QTest::keyClick(memo, Qt::Key_Escape);
                });
            QTest::keyClick(l->grid(), Qt::Key_F2);
            memoAfter = l->printedText->toPlainText();
            searchAfter = l->searchBox()->text();
            current = l->currentText(QStringLiteral("mlaptipus_nev"));
            l->aBezar->trigger();
        });
        OpenWorkOrderTypes();
        const QString stored = cell(QStringLiteral("SELECT szoveg FROM mlaptipus WHERE mlaptipus = 2"));
        QCOMPARE(cell(QStringLiteral("SELECT mlaptipus_nev FROM mlaptipus WHERE mlaptipus = 2")),
                 QStringLiteral("Szemüveg - közel"));
        QCOMPARE(current, QStringLiteral("Szemüveg - közel"));
        if (!right) {
            QCOMPARE(boxes, QStringList{QStringLiteral("Hiba: Nincs jogosultság a művelethez.")});
            QVERIFY(!editorOpened);
            QCOMPARE(stored, original);
            return;
        }
        QVERIFY(editorOpened);
        QVERIFY(nameReadOnly);
        QCOMPARE(nameShown, QStringLiteral("Szemüveg - közel"));
        if (saved) {
            QCOMPARE(stored, QStringLiteral("Első sor\nmásodik sor"));
            QCOMPARE(memoAfter, stored);
            QCOMPARE(searchAfter, QString()); // cleared after a save
        } else {
            QCOMPARE(stored, original);
            QCOMPARE(searchAfter, search);
        }
    }

    void typesEditOnEmptyListOpensNothing()
    {
        test::TestDb db(QStringLiteral("md_type_none"));
        appState().torzsszerkeszt = true;
        bool stillOpen = false;
        // The name, not the window: the list is gone by the time it is checked.
        QString modalAfter;
        onModal(named("frm_TorzsMLapTipus"), [&](QWidget *w) {
            auto *l = static_cast<WorkOrderTypeList *>(w);
            typeText(l->searchBox(), QStringLiteral("nincs ilyen"));
            l->aSzerkeszt->trigger();
            QWidget *modal = QApplication::activeModalWidget();
            modalAfter = modal ? modal->objectName() : QString();
            stillOpen = l->isVisible();
            l->aBezar->trigger();
        });
        OpenWorkOrderTypes();
        QVERIFY(stillOpen);
        QCOMPARE(modalAfter, QStringLiteral("frm_TorzsMLapTipus"));
        QCOMPARE(EditWorkOrderType(-1), qint64(-1));
    }
};

QTEST_MAIN(TestMasterData)
#include "tst_masterdata.moc"
