#pragma once
// Small pieces the client windows share.
#include <QFont>
#include <QPixmap>
#include <QString>
#include <functional>

class QWidget;
class QLabel;
class QLineEdit;

namespace qo::clients {

// One of this folder's decorative pictures (pics/<name>.svg), kept in proportion.
QPixmap Picture(const QString &name, int width, int height);

// The large bold font of names and prescription values.
QFont BigBoldFont(const QFont &base, int extraPoints = 3);

// A field that only shows a value: read only, skipped by the Tab key, and
// painted like the window so that it does not look like an input field.
void MakeShowOnly(QLineEdit *edit);

// Line edits show the beginning of their text, not the end setText leaves
// the caret at.
void ShowBeginnings(QWidget *window);

// A caption label above a field, tied to it as its buddy.
QLabel *FieldLabel(const QString &text, QWidget *buddy, QWidget *parent);

} // namespace qo::clients
