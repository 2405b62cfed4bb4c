#include "clients/ConsentTab.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>

namespace qo {

ConsentTab::ConsentTab(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet2"));
    auto *g = new QGridLayout(this);
    g->setHorizontalSpacing(16);
    auto *intro = new QLabel(QStringLiteral("Az ügyfél hozzájárult, hogy megkeressük:"), this);
    g->addWidget(intro, 0, 0, 1, 2);
    int r = 1;
    for (ContactPurpose p : kContactPurposes) {
        auto *b = new QCheckBox(PurposeCaption(p), this);
        b->setObjectName(QStringLiteral("hozzajarulas_") + PurposeCode(p));
        auto *l = new QLabel(this);
        l->setObjectName(QStringLiteral("hozzajarulas_") + PurposeCode(p) + QStringLiteral("_utolso"));
        m_boxes[size_t(p)] = b;
        m_labels[size_t(p)] = l;
        g->addWidget(b, r, 0);
        g->addWidget(l, r++, 1);
    }
    auto *note = new QLabel(QStringLiteral("A változás az OK gombbal kerül rögzítésre; a korábbi állapotok megmaradnak."), this);
    note->setWordWrap(true);
    g->addWidget(note, r++, 0, 1, 2);
    g->setRowStretch(r, 1);
    g->setColumnStretch(1, 1);
    for (size_t i = 1; i < m_boxes.size(); ++i)
        setTabOrder(m_boxes[i - 1], m_boxes[i]);
}

void ConsentTab::showStates(const ConsentStates &states)
{
    m_shown = states;
    for (ContactPurpose p : kContactPurposes) {
        const ConsentState &s = states[size_t(p)];
        m_boxes[size_t(p)]->setChecked(s.given);
        m_labels[size_t(p)]->setText(
            s.recorded ? QStringLiteral("%1 %2, %3")
                             .arg(s.given ? QStringLiteral("Megadva:") : QStringLiteral("Visszavonva:"),
                                  s.when.toString(QStringLiteral("yyyy.MM.dd HH:mm")), s.who)
                       : QStringLiteral("Nincs rögzítve"));
    }
}

bool ConsentTab::isChanged() const
{
    for (ContactPurpose p : kContactPurposes)
        if (m_boxes[size_t(p)]->isChecked() != m_shown[size_t(p)].given)
            return true;
    return false;
}

void ConsentTab::store(ConsentStore &store, qint64 client) const
{
    for (ContactPurpose p : kContactPurposes) {
        const bool now = m_boxes[size_t(p)]->isChecked();
        if (now != m_shown[size_t(p)].given)
            store.record(client, p, now);
    }
}

} // namespace qo
