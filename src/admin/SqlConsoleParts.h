#pragma once
// Small pieces the SQL console's files share.
#include <QString>
#include <QStringList>

class QTableView;

namespace qo::console {

// The lines of a text, whatever its line ends.
QStringList splitLines(const QString &text);
// Columns no wider than the console's default; every column that wide when widen.
void narrowColumns(QTableView *view, bool widen);

} // namespace qo::console
