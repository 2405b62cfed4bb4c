#pragma once
// The examination editor "Vizsgálat" (frm_Vizsgalat): one row of table vizsgalat.
#include "ui/FieldBinder.h"

#include <QDialog>
#include <QHash>

#include <memory>

class QLineEdit;

namespace qo {

namespace Ui {
class ExaminationEditor;
}

class ExaminationEditor : public QDialog {
    Q_OBJECT
public:
    explicit ExaminationEditor(QWidget *parent = nullptr);
    ~ExaminationEditor() override;

    // Loads the examination, or starts a new one of the client for key < 0;
    // false, after a message, when there is nothing to edit.
    bool start(qint64 key, qint64 client);
    qint64 savedKey() const { return m_savedKey; }

    // The 46 value fields by column name, in tab order.
    const QList<QLineEdit *> &valueFields() const { return m_values; }
    QLineEdit *field(const QString &column) const;

protected:
    void showEvent(QShowEvent *e) override;

private:
    void okClicked();
    void showHeader();

    const std::unique_ptr<Ui::ExaminationEditor> m_ui;
    RecordEditor m_editor{QStringLiteral("vizsgalat"), QStringLiteral("vizsgalat")};
    FieldBinder m_binder{&m_editor};
    QList<QLineEdit *> m_values;
    qint64 m_savedKey = -1;
};

} // namespace qo
