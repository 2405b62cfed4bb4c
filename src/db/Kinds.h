#pragma once
// The shop's fixed vocabulary, written once: the four prescription kinds of a
// client, the four work-order types and the three work-order statuses. Kinds
// and types run parallel: a work order of type N copies the client's
// prescription of kind N (see sp_ujmunkalap).
#include <QLatin1StringView>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace qo {

struct PrescriptionKind {
    QLatin1StringView table; // one row per eye: kulcs 1 right, 2 left
    const char *caption;     // heading of its list and title of its editor (UTF-8)
    bool contactLens;        // prism/pd hold base curve and diameter
    QString captionText() const { return QString::fromUtf8(caption); }
};

// In the order of the client window's lists: distance, near, special, contact lenses.
inline constexpr std::array<PrescriptionKind, 4> kPrescriptionKinds{{
    {QLatin1StringView("ugyfel_sz_tavol"), "Szemüveg - Távol", false},
    {QLatin1StringView("ugyfel_sz_kozel"), "Szemüveg - Közel", false},
    {QLatin1StringView("ugyfel_sz_egyeb"), "Szemüveg - Speciális", false},
    {QLatin1StringView("ugyfel_k"), "Kontaktlencse", true},
}};

// The kind stored in `table`, or nullptr for any other name (table names go
// into SQL text, so only these four are ever accepted).
inline const PrescriptionKind *PrescriptionKindOfTable(const QString &table)
{
    for (const PrescriptionKind &k : kPrescriptionKinds)
        if (table == k.table)
            return &k;
    return nullptr;
}

struct WorkOrderType {
    int number;          // mlaptipus
    const char *name;    // the type's name as stored in table mlaptipus
    const char *heading; // heading of the editor and of the printed order
};

inline constexpr int kContactLensOrder = 4; // types below it are spectacles

inline constexpr std::array<WorkOrderType, 4> kWorkOrderTypes{{
    {1, "Szemüveg - távol", "Szemüveg - távol"},
    {2, "Szemüveg - közel", "Szemüveg - közel"},
    {3, "Szemüveg - speciális", "Szemüveg - Speciális"},
    {4, "Kontaktlencse", "Kontaktlencse"},
}};

// "Szemüveg - távol,Szemüveg - közel,...": the choice offered for a new order;
// the chosen index + 1 is the type.
inline QString WorkOrderTypeChoices()
{
    QStringList names;
    for (const WorkOrderType &t : kWorkOrderTypes)
        names << QString::fromUtf8(t.name);
    return names.join(QLatin1Char(','));
}

// munkalap.statusz, named in table statusz. Here because the revenue reports
// and the main window's lists filter on it as well as the work-order windows.
enum class WorkOrderStatus { Received = 1, Ready = 2, HandedOver = 3 };

// The status an order steps to: received → ready → handed over. An order
// without a status yet (0) counts as received. None for a handed-over order,
// which is final, nor for a number that is no status.
inline std::optional<WorkOrderStatus> NextWorkOrderStatus(qint64 status)
{
    switch (status) {
    case 0:
    case int(WorkOrderStatus::Received):
        return WorkOrderStatus::Ready;
    case int(WorkOrderStatus::Ready):
        return WorkOrderStatus::HandedOver;
    default:
        return std::nullopt;
    }
}

} // namespace qo
