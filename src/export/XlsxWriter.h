#pragma once
// The Excel workbook (.xlsx) of the export dialog, written by libxlsxwriter:
// one sheet, a bold header row (captions, or the field names), integers and
// amounts as numbers (amounts with thousands grouping where the list shows
// them so), dates as dates, memo texts with their line breaks, column widths
// taken from the list on screen. Columns written: the chosen visible ones.
#include "export/DelimitedWriter.h"

namespace qo {

struct XlsxOptions {
    bool fieldNames = false; // header from the field names instead of the captions
    bool noHeader = false;
    QVector<bool> chosen;    // per source column; empty: every column
};

// Writes the workbook into path (replacing it). Returns the records written.
// Throws qo::Error with the library's text on failure.
int WriteXlsxFile(const ExportSource &source, const XlsxOptions &options, const QString &path,
                  const ExportStep &step = {});

} // namespace qo
