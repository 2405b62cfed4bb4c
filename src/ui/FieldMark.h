#pragma once
// A coloured frame over an input field: a value worth a second look that is
// still accepted. The field keeps its own look, focus colour and input.
#include <QColor>

class QWidget;

namespace qo {

// The colour of the frame.
QColor FieldMarkColor();

// Shows or hides the frame on the field.
void SetFieldMark(QWidget *field, bool on);
bool HasFieldMark(const QWidget *field);

} // namespace qo
