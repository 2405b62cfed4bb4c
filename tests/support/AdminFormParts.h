#pragma once
// The widgets of the administration and export forms, found by their object
// names as a user's tools would find them: the forms keep them private.
#include "admin/SettingsDialog.h"
#include "admin/SqlConsole.h"
#include "config/StoredConnections.h"
#include "db/Connection.h"
#include "export/ExportDialog.h"
#include "export/HtmlExportDialog.h"
#include "ui/Grid.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QtGlobal>

#include <Qsci/qsciscintilla.h>

namespace qo::test {

// A stored connection record "database;host;port;user;password;name".
inline QString record(const ConnectParams &p, const QString &name)
{
    return QStringLiteral("%1;%2;%3;%4;%5;%6").arg(p.database, p.host).arg(p.port).arg(p.user, p.password, name);
}

// The stored connections as "key=record", in key order.
inline QStringList storedRecords()
{
    QStringList out;
    for (const StoredConnection &s : ReadStoredConnections(0, 100))
        out << QStringLiteral("%1=%2").arg(s.key).arg(s.record);
    return out;
}

// The named child; a form without it stops the test run with its name.
template <class T>
T *namedPart(const QObject *form, const char *name)
{
    T *p = form->findChild<T *>(QLatin1String(name));
    if (!p)
        qFatal("%s has no %s named %s", qPrintable(form->objectName()), T::staticMetaObject.className(), name);
    return p;
}

struct ConsoleParts {
    explicit ConsoleParts(const SqlConsole &c)
        : editor(namedPart<QsciScintilla>(&c, "Memo1")), pages(namedPart<QTabWidget>(&c, "PageControl1")),
          queryGrid(namedPart<Grid>(&c, "DBGrid1")), tableGrid(namedPart<QTableView>(&c, "DBGridTabla")),
          progressBar(namedPart<QProgressBar>(&c, "ProgressBar1")),
          positionLabel(namedPart<QLabel>(&c, "positionLabel")), aUj(namedPart<QAction>(&c, "aUj")),
          aMegnyit(namedPart<QAction>(&c, "aMegnyit")), aMent(namedPart<QAction>(&c, "aMent")),
          aExport(namedPart<QAction>(&c, "aExport")), aMasol(namedPart<QAction>(&c, "aMasol")),
          aFuttat(namedPart<QAction>(&c, "aFuttat")), aEredmeny(namedPart<QAction>(&c, "aEredmeny")),
          aTab(namedPart<QAction>(&c, "aTab")), aBezar(namedPart<QAction>(&c, "aBezar"))
    {
    }
    QsciScintilla *editor;
    QTabWidget *pages;
    Grid *queryGrid;
    QTableView *tableGrid;
    QProgressBar *progressBar;
    QLabel *positionLabel;
    QAction *aUj, *aMegnyit, *aMent, *aExport, *aMasol, *aFuttat, *aEredmeny, *aTab, *aBezar;
};

struct SettingsParts {
    explicit SettingsParts(const SettingsDialog &d)
        : fullScreen(namedPart<QCheckBox>(&d, "CheckBox1")), loginRequired(namedPart<QCheckBox>(&d, "DBCheckBox1")),
          dueDays(namedPart<QLineEdit>(&d, "DBEdit1")), printerName(namedPart<QComboBox>(&d, "ComboBox1")),
          reminderDays(namedPart<QLineEdit>(&d, "DBEdit2")), retentionYears(namedPart<QLineEdit>(&d, "megorzes_ev")),
          workOrderNote(namedPart<QPlainTextEdit>(&d, "DBMemo1")), btnOK(namedPart<QPushButton>(&d, "btnOK")),
          btnMegsem(namedPart<QPushButton>(&d, "btnMegsem")), quantityFormat(namedPart<QLineEdit>(&d, "Edit1")),
          moneyFormat(namedPart<QLineEdit>(&d, "Edit2")), a5WorkOrder(namedPart<QCheckBox>(&d, "DBCheckBox2")),
          reminderMonths(namedPart<QLineEdit>(&d, "emlek_honap")),
          uncollectedDays(namedPart<QLineEdit>(&d, "nemvitt_nap")),
          reminderLetter(namedPart<QPlainTextEdit>(&d, "emlek_level"))
    {
    }
    QCheckBox *fullScreen, *loginRequired;
    QLineEdit *dueDays;
    QComboBox *printerName;
    QLineEdit *reminderDays, *retentionYears;
    QPlainTextEdit *workOrderNote;
    QPushButton *btnOK, *btnMegsem;
    QLineEdit *quantityFormat, *moneyFormat;
    QCheckBox *a5WorkOrder;
    QLineEdit *reminderMonths, *uncollectedDays;
    QPlainTextEdit *reminderLetter;
};

struct ExportParts {
    explicit ExportParts(const ExportDialog &d)
        : columnList(namedPart<QListWidget>(&d, "columnList")), allButton(namedPart<QPushButton>(&d, "allButton")),
          noneButton(namedPart<QPushButton>(&d, "noneButton")),
          separatorButtons{namedPart<QRadioButton>(&d, "separatorSemicolon"),
                           namedPart<QRadioButton>(&d, "separatorTab"), namedPart<QRadioButton>(&d, "separatorComma"),
                           namedPart<QRadioButton>(&d, "separatorPipe")},
          quoteButtons{namedPart<QRadioButton>(&d, "quoteDouble"), namedPart<QRadioButton>(&d, "quoteSingle"),
                       namedPart<QRadioButton>(&d, "quoteNone")},
          memoBox(namedPart<QCheckBox>(&d, "memoBox")), fieldNamesBox(namedPart<QCheckBox>(&d, "fieldNamesBox")),
          noHeaderBox(namedPart<QCheckBox>(&d, "noHeaderBox")), openAfterBox(namedPart<QCheckBox>(&d, "openAfterBox")),
          formulaNote(namedPart<QLabel>(&d, "formulaNote")), fileEdit(namedPart<QLineEdit>(&d, "fileEdit")),
          browseButton(namedPart<QPushButton>(&d, "browseButton")), startButton(namedPart<QPushButton>(&d, "startButton")),
          closeButton(namedPart<QPushButton>(&d, "closeButton")), stopButton(namedPart<QPushButton>(&d, "stopButton")),
          clipboardButton(namedPart<QPushButton>(&d, "clipboardButton")), progress(namedPart<QProgressBar>(&d, "progress"))
    {
    }
    QListWidget *columnList;
    QPushButton *allButton, *noneButton;
    QRadioButton *separatorButtons[4]; // ; tab , |
    QRadioButton *quoteButtons[3];     // " ' none
    QCheckBox *memoBox, *fieldNamesBox, *noHeaderBox, *openAfterBox;
    QLabel *formulaNote;
    QLineEdit *fileEdit;
    QPushButton *browseButton, *startButton, *closeButton, *stopButton, *clipboardButton;
    QProgressBar *progress;
};

struct HtmlExportParts {
    explicit HtmlExportParts(const HtmlExportDialog &d)
        : pathEdit(namedPart<QLineEdit>(&d, "pathEdit")), browseButton(namedPart<QPushButton>(&d, "browseButton")),
          openAfterBox(namedPart<QCheckBox>(&d, "openAfterBox")), mailButton(namedPart<QPushButton>(&d, "mailButton")),
          okButton(namedPart<QPushButton>(&d, "okButton")), cancelButton(namedPart<QPushButton>(&d, "cancelButton")),
          progress(namedPart<QProgressBar>(&d, "progress")), statusLine(namedPart<QLabel>(&d, "statusLine"))
    {
    }
    QLineEdit *pathEdit;
    QPushButton *browseButton;
    QCheckBox *openAfterBox;
    QPushButton *mailButton, *okButton, *cancelButton;
    QProgressBar *progress;
    QLabel *statusLine;
};

// In the export dialog as it opens: Tab from the column list to the file
// name, the path typed over it (Enter is the caller's).
inline void typeExportPath(QWidget *dialog, const QString &path)
{
    QApplication::setActiveWindow(dialog);
    int presses = 0;
    while (QApplication::focusWidget() && !qobject_cast<QLineEdit *>(QApplication::focusWidget()) && presses++ < 20)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget *name = QApplication::focusWidget();
    QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(name, path);
}

inline ConsoleParts formParts(const SqlConsole &c) { return ConsoleParts(c); }
inline SettingsParts formParts(const SettingsDialog &d) { return SettingsParts(d); }
inline ExportParts formParts(const ExportDialog &d) { return ExportParts(d); }
inline HtmlExportParts formParts(const HtmlExportDialog &d) { return HtmlExportParts(d); }
template <class Form>
auto formParts(const Form *form) { return formParts(*form); }

} // namespace qo::test
