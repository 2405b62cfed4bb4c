#pragma once
// The client editor "Szerkesztés" (frm_Szerkeszt): one row of table ugyfel.
#include "ui/FieldBinder.h"

#include <QDialog>

class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace qo {

class ConsentTab;

class ClientEditor : public QDialog {
    Q_OBJECT
public:
    explicit ClientEditor(QWidget *parent = nullptr);

    // Loads the client (or starts a new one for key < 0); false, after a
    // message, when the client does not exist or cannot be read.
    bool start(qint64 key);
    qint64 savedKey() const { return m_savedKey; }

    QLineEdit *ugyfel_nev, *szuldatum, *telefon, *emil, *cim_irsz, *cim_varos, *cim_cim, *keret, *keretszam;
    QDateEdit *dat_utolso;
    QPlainTextEdit *megjegyzes;
    QPushButton *okButton; // OK
    QPushButton *cancelButton; // Mégsem
    QTabWidget *tabs;
    ConsentTab *consents; // "Hozzájárulások"

protected:
    bool eventFilter(QObject *obj, QEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    void okClicked();
    void showRow(); // the loaded row into the fields
    void cityFromPostcode();
    void storeBirthDate();

    RecordEditor m_editor{QStringLiteral("ugyfel"), QStringLiteral("ugyfel")};
    FieldBinder m_binder{&m_editor};
    qint64 m_savedKey = -1;
};

} // namespace qo
