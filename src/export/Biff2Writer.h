#pragma once
// The spreadsheet file of the export dialog: a BIFF2 worksheet (the oldest
// Excel format, read by every spreadsheet program).
//
// Records in order: BOF (version 2, worksheet), CODEPAGE (1250: the labels'
// Windows-1250), three FONTs (Arial 10 plain, bold, bold),
// DIMENSIONS (fixed 0, 1025, 0, 4), a header row of LABEL cells in font 2, one
// row per record, EOF. Cells by value and column type:
//  - NULL: BLANK;
//  - 8/16/24/32-bit integers in 0..65535: INTEGER, other ones NUMBER;
//  - floating-point and decimal: NUMBER;
//  - BIT(1): BOOLERR;
//  - everything else (texts, dates as yyyy.MM.dd, 64-bit integers, memos,
//    binary data): LABEL of at most 255 Windows-1250 bytes.
// Columns written: the chosen ones that are visible.
#include "export/DelimitedWriter.h"

#include <QIODevice>

namespace qo {

// Row numbers are 16-bit: a worksheet holds at most this many records below
// its header.
inline constexpr int kBiff2MaxRecords = 65535;

// Writes the records as they are read; returns the records written. Throws
// qo::Error when the device refuses the bytes, the rows cannot be read, or
// there are more of them than a worksheet holds.
int WriteBiff2(const ExportSource &source, const QVector<bool> &chosen, QIODevice &out,
               const ExportStep &step = {});

// Into a file. An empty data set fails with "Cannot perform this operation on
// an empty dataset", a data set too long for the format with a message saying
// so (before writing when its size is known, else when the row after the
// last one that fits is read); in every failure no file is created or replaced.
void WriteBiff2File(const ExportSource &source, const QVector<bool> &chosen, const QString &path,
                    const ExportStep &step = {});

} // namespace qo
