#pragma once
// The prescription editor (frm_R1): the two side rows (kulcs 1 and 2) of one
// client in one of the four prescription tables.
#include "clients/ClientStore.h"

#include <QDialog>
#include <QVariant>

#include <memory>

class QLabel;
class QLineEdit;

namespace qo {

namespace Ui {
class PrescriptionEditor;
}

class PrescriptionEditor : public QDialog {
    Q_OBJECT
public:
    explicit PrescriptionEditor(QWidget *parent = nullptr);
    ~PrescriptionEditor() override;

    // Reads the client's two rows; false, after a message, when the table is
    // not a prescription table or either row is missing.
    bool start(qint64 client, const QString &table, const QString &caption);


protected:
    bool eventFilter(QObject *obj, QEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    // One block per side row: [0] kulcs 1 (upper), [1] kulcs 2 (lower).
    struct Block {
        QLineEdit *oldal = nullptr;
        QLineEdit *sph = nullptr, *cyl = nullptr, *ax = nullptr;
        QLineEdit *v4 = nullptr, *v5 = nullptr; // Prism / Pd, or BC / DIA
        QLabel *l4 = nullptr, *l5 = nullptr;
    };

    void okClicked();
    bool readRows(); // false when a side row is missing
    void warnUnusual(int block, QLineEdit *left);
    QList<QLineEdit *> fields(int block) const;

    const std::unique_ptr<Ui::PrescriptionEditor> m_ui;
    Block m_blocks[2];
    qint64 m_client = -1;
    const PrescriptionKind *m_kind = nullptr;
    PrescriptionRows m_read; // as read: a save checks that nobody changed it since
};

} // namespace qo
