#pragma once
#include "db/RecordEditor.h"

#include <QPointer>
#include <QVector>
#include <QWidget>

namespace qo {

// Binds QLineEdit, QPlainTextEdit, QTextEdit, QDateEdit and QCheckBox ("I"/"N")
// widgets to columns: line edits and multi-line fields get the column's
// length as their limit.
class FieldBinder {
public:
    explicit FieldBinder(RecordEditor *editor) : m_editor(editor) {}
    void bind(QWidget *w, const QString &column);
    void load();   // editor -> widgets
    void store();  // widgets -> editor (only what differs is marked changed)
private:
    RecordEditor *m_editor;
    QVector<QPair<QPointer<QWidget>, QString>> m_bindings;
};

} // namespace qo
