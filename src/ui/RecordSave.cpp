#include "ui/RecordSave.h"

#include "db/RowConflict.h"
#include "ui/MessageBoxes.h"

#include <QDialog>

namespace qo {

qint64 RunRecordDialog(QDialog &dlg, const std::function<bool()> &start, const QString &missingText,
                       const std::function<qint64()> &savedKey)
{
    QWidget *owner = dlg.parentWidget();
    try {
        if (!start()) {
            if (!missingText.isEmpty())
                ShowError(missingText, owner);
            return -1;
        }
    } catch (const Error &e) {
        ShowError(QStringLiteral("Hiba: ") + e.message(), owner);
        return -1;
    }
    return dlg.exec() == QDialog::Accepted ? savedKey() : -1;
}

SaveOutcome SaveRecord(QWidget *owner, const std::function<void()> &write, const std::function<bool()> &reload,
                       const QString &goneText)
{
    try {
        write();
        return SaveOutcome::Saved;
    } catch (const RowConflict &conflict) {
        bool exists = false;
        try {
            exists = reload();
        } catch (const Error &e) {
            ShowError(QStringLiteral("Hiba: ") + e.message(), owner);
            return SaveOutcome::Failed;
        }
        ShowWarning(exists || goneText.isEmpty() ? conflict.message() : goneText, owner);
        return exists ? SaveOutcome::Reloaded : SaveOutcome::Gone;
    } catch (const Error &e) {
        ShowError(QStringLiteral("Hiba: ") + e.message(), owner);
        return SaveOutcome::Failed;
    }
}

} // namespace qo
