#include "masterdata/MasterRowDialog.h"

#include "base/Error.h"
#include "ui/FormParts.h"
#include "ui/MessageBoxes.h"
#include "ui/RecordSave.h"

#include <QPushButton>
#include <QShortcut>

namespace qo {

MasterRowDialog::MasterRowDialog(const QString &table, QWidget *parent) : QDialog(parent), m_row(table, table)
{
    const OkCancelButtons buttonPair =
        MakeOkCancelButtons(this, this, QStringLiteral("btnOK"), QStringLiteral("btnMegsem"));
    btnOK = buttonPair.ok;
    btnMegsem = buttonPair.cancel;
    connect(btnOK, &QPushButton::clicked, this, &MasterRowDialog::okClick);

    for (const QKeySequence &k : {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}) {
        auto *s = new QShortcut(k, this);
        connect(s, &QShortcut::activated, this, [this] {
            btnOK->setFocus(Qt::OtherFocusReason);
            okClick();
        });
    }
}

void MasterRowDialog::okClick()
{
    m_binder.store();
    const SaveOutcome outcome = SaveRecord(this, [this] { m_row.post(); }, [this] {
        if (!m_row.load(m_row.key()))
            return false;
        m_binder.load();
        return true;
    });
    if (outcome == SaveOutcome::Saved)
        accept();
    else if (outcome == SaveOutcome::Gone)
        reject();
}

} // namespace qo
