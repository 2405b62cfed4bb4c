#pragma once
// How every record editor saves: the write either succeeds, or fails with the
// server's message and the window keeps what was typed, or meets a row that
// another workstation changed or deleted since it was read. Then nothing was
// written; the user is told and the editor shows the stored row again.
#include <QString>
#include <functional>

class QDialog;
class QWidget;

namespace qo {

enum class SaveOutcome {
    Saved,
    Failed, // the window stays open with the user's input
    Reloaded, // changed elsewhere: the window now shows the stored row
    Gone, // deleted elsewhere: the window should close
};

// How every editor entry point runs its window: start() reads the row (or
// prepares a new one); when it returns false, missingText is shown (unless
// empty: start said why itself); errors are shown as "Hiba: " + the server's
// text. Returns the saved key, or -1 when nothing was saved.
qint64 RunRecordDialog(QDialog &dlg, const std::function<bool()> &start, const QString &missingText,
                       const std::function<qint64()> &savedKey);

// write: the whole save (throws qo::Error, or RowConflict when the row is not
// as it was read); reload: reads the row into the window again, false when it
// no longer exists; goneText: what to say then (the conflict text by default).
SaveOutcome SaveRecord(QWidget *owner, const std::function<void()> &write, const std::function<bool()> &reload,
                       const QString &goneText = {});

} // namespace qo
