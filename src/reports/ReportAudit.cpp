#include "reports/ReportAudit.h"
#include "reports/BandReport.h"
#include "reports/RowFeed.h"
#include "db/AuditLog.h"

#include <QSet>

namespace qo {

void LogReportOutput(const BandReport &report, bool print)
{
    const RowSet *rows = report.data.get();
    const int count = report.detailRows >= 0 ? report.detailRows : (rows ? rows->rowCount() : 0);
    // The clients the printout shows, when its rows name them.
    QList<qint64> clients;
    if (rows) {
        const int col = rows->fieldIndex(QStringLiteral("ugyfel"));
        QSet<qint64> seen;
        for (int r = 0; col >= 0 && r < rows->rowCount(); ++r) {
            const qint64 key = rows->toInt(r, col, -1);
            if (key > 0 && !seen.contains(key)) {
                seen.insert(key);
                clients << key;
            }
        }
    }
    const QString what = report.fileName.isEmpty() ? report.title : report.fileName;
    QString detail = QStringLiteral("%1 (%2)").arg(what, print ? QStringLiteral("nyomtató") : QStringLiteral("előnézet"));
    if (!report.feed || report.feed->complete()) // rows still arriving have no count yet
        detail += QStringLiteral(", %1 sor").arg(count);
    if (clients.size() > 1) {
        QStringList keys;
        for (qint64 k : clients.mid(0, 100))
            keys << QString::number(k);
        detail += QStringLiteral("; ügyfelek: ") + keys.join(QStringLiteral(", "))
            + (clients.size() > 100 ? QStringLiteral(", …") : QString());
    }
    if (clients.size() == 1)
        AddAuditEvent(QLatin1String(Audit::kPrint), QStringLiteral("ugyfel"), QString::number(clients.first()), detail);
    else
        AddAuditEvent(QLatin1String(Audit::kPrint), QString(), what, detail);
}

} // namespace qo
