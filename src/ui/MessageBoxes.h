#pragma once
// The four message boxes every window speaks through. Texts are shown as
// plain text, exactly as given.
#include <QString>

class QWidget;

namespace qo {

// Question box with Yes and No (Yes is the default, Esc answers No); true on Yes.
bool AskConfirm(const QString &text, const QString &caption, QWidget *owner = nullptr);
void ShowError(const QString &text, QWidget *owner = nullptr);   // "Hiba"
void ShowWarning(const QString &text, QWidget *owner = nullptr); // "Figyelmeztetés"
void ShowInfo(const QString &text, QWidget *owner = nullptr);    // "Üzenet"

} // namespace qo
