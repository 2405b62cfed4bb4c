#include "ui/RecordSave.h"

#include "db/Transaction.h"
#include "ui/MessageBoxes.h"

namespace qo {

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
