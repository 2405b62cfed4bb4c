#include "export/ExportAudit.h"
#include "export/ExportSource.h"
#include "db/AuditLog.h"
#include "ui/Grid.h"

namespace qo {

void LogListExport(const Grid *grid, qint64 rows, const QString &format, const QString &target)
{
    QString list = grid && grid->window() ? grid->window()->windowTitle() : QString();
    if (list.isEmpty())
        list = grid ? grid->objectName() : QStringLiteral("lekérdezés eredménye");
    const QString count = rows >= 0 ? QString::number(rows) : QStringLiteral("meg nem számolt");
    const QString where = target.isEmpty() ? QStringLiteral("vágólap") : target;
    AddAuditEvent(QLatin1String(Audit::kExport), QString(), list.left(100),
                  QStringLiteral("%1; %2 sor; %3; %4").arg(list, count, format, where));
}

void LogListExport(const ExportSource &source, const QString &format, const QString &target)
{
    LogListExport(source.grid(), source.knownRowCount(), format, target);
}

} // namespace qo
