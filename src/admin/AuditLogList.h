#pragma once
// "Napló": the audit log, newest first, searched by client, user, table and
// period; printed and exported like the other lists. Nothing here changes it.
#include "ui/SearchList.h"

class QComboBox;
class QDateEdit;
class QPlainTextEdit;

namespace qo {

class AuditLogList : public SearchList {
    Q_OBJECT
public:
    explicit AuditLogList(QWidget *parent = nullptr);

    QLineEdit *edtUgyfel = nullptr;      // client: name (part) or key
    QLineEdit *edtFelhasznalo = nullptr; // user or database account (part)
    QComboBox *cmbTabla = nullptr;       // "" for every table
    QDateEdit *dtTol = nullptr;          // from (blank: no limit)
    QDateEdit *dtIg = nullptr;           // to, the whole day (blank: no limit)
    QLabel *lblHezag = nullptr;          // what a missing key means
    QPlainTextEdit *memoReszlet = nullptr; // the current row's detail in full

    QAction *aNyomtat = nullptr;
    QAction *aNyomKep = nullptr;
    QAction *aExcelbe = nullptr;
    QAction *aBezar = nullptr;

protected:
    QString searchCondition(const QString &text) const override;
    void showEvent(QShowEvent *e) override;

private:
    void filtersChanged();
    void showDetail();
    void printClick(bool print);
    QString filterText() const;
};

// The Napló command: administrators only, others are told
// "Nincs jogosultság a művelethez.".
void OpenAuditLog(QWidget *parent);

} // namespace qo
