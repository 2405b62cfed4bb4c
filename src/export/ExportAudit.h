#pragma once
// The audit log's entry for a list that left the program (file, clipboard).
#include <QString>

namespace qo {

class ExportSource;
class Grid;

// "EXPORT": which list (the title of the window showing it), how many rows
// (negative: not counted), the format and the file (empty for the clipboard).
void LogListExport(const Grid *grid, qint64 rows, const QString &format, const QString &target);
void LogListExport(const ExportSource &source, const QString &format, const QString &target);

} // namespace qo
