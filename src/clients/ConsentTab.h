#pragma once
// The "Hozzájárulások" page of the client editor: one check box per contact
// purpose with the date and user of its last change. A change is recorded
// when the editor saves, in the same transaction as the client row.
#include "clients/ClientPrivacy.h"

#include <QWidget>

class QCheckBox;
class QLabel;

namespace qo {

class ConsentTab : public QWidget {
    Q_OBJECT
public:
    explicit ConsentTab(QWidget *parent = nullptr);

    // Shows the stored state (all unticked for a new client).
    void showStates(const ConsentStates &states);
    // Records the purposes whose box the user changed since show().
    void store(ConsentStore &store, qint64 client) const;
    bool isChanged() const;

    QCheckBox *box(ContactPurpose p) const { return m_boxes[size_t(p)]; }
    QLabel *lastChange(ContactPurpose p) const { return m_labels[size_t(p)]; }
    QCheckBox *lastBox() const { return m_boxes.back(); }

private:
    std::array<QCheckBox *, 4> m_boxes{};
    std::array<QLabel *, 4> m_labels{};
    ConsentStates m_shown{};
};

} // namespace qo
