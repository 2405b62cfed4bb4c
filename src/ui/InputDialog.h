#pragma once
#include <QString>

class QWidget;

namespace qo {

// A small modal question for one line of text (at most 255 characters).
// "OK" (default button) returns true with the typed text in value; "Mégsem",
// Esc or the close box return false and leave value unchanged.
bool InputDialog(const QString &caption, const QString &prompt, QString &value, QWidget *parent = nullptr);

} // namespace qo
