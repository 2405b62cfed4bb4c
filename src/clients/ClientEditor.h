#pragma once
// The client editor "Szerkesztés" (frm_Szerkeszt): one row of table ugyfel.
#include "ui/FieldBinder.h"

#include <QDialog>

#include <memory>

namespace qo {

namespace Ui {
class ClientEditor;
}

class ClientEditor : public QDialog {
    Q_OBJECT
public:
    explicit ClientEditor(QWidget *parent = nullptr);
    ~ClientEditor() override;

    // Loads the client (or starts a new one for key < 0); false, after a
    // message, when the client does not exist or cannot be read.
    bool start(qint64 key);
    qint64 savedKey() const { return m_savedKey; }

protected:
    bool eventFilter(QObject *obj, QEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    void okClicked();
    void showRow(); // the loaded row into the fields
    void cityFromPostcode();
    void storeBirthDate();

    const std::unique_ptr<Ui::ClientEditor> m_ui;
    RecordEditor m_editor{QStringLiteral("ugyfel"), QStringLiteral("ugyfel")};
    FieldBinder m_binder{&m_editor};
    qint64 m_savedKey = -1;
};

} // namespace qo
