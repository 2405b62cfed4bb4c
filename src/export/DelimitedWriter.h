#pragma once
// Delimited text as the export dialog writes it: Windows-1250 bytes, one line
// per record, CR LF after every line.
//  - the header holds quote + caption (or field name) + quote + separator for
//    every chosen column, its last separator kept; no header gives an empty
//    first line;
//  - a record line holds quote + value + quote per chosen column, joined by the
//    separator;
//  - values: backslash doubled, every line break (CR LF, LF or CR) written as
//    backslash "n", NULL empty; in memo texts the separator becomes ","; a
//    memo column without the memo option, and binary data, give "BLOB";
//  - every field reads back as it was (RFC 4180): with a text quote chosen
//    each field is enclosed in it and a quote inside is doubled; without one
//    a field holding the separator or a double quote is enclosed in double
//    quotes, those inside doubled, and every other field stays bare;
//  - a text that a spreadsheet would take for a formula (LooksLikeFormula)
//    gets a leading apostrophe, so that it is read as text;
//  - dates as yyyy.MM.dd (with HH:mm:ss for date and time), numbers as the
//    server sends them.
#include "base/SaveFile.h"
#include "export/ExportSource.h"

#include <QByteArray>
#include <QIODevice>
#include <functional>

namespace qo {

struct DelimitedOptions {
    char separator = ';';
    char quote = 0;          // 0: none
    bool memoText = true;    // "Többsoros mezőket is kiírja"
    bool fieldNames = false; // "Eredeti mezőneveket használja"
    bool noHeader = false;   // "Fejléc nem kell (az első sorban)"
    QVector<bool> chosen;    // per source column; empty: every column
};

class DelimitedWriter {
public:
    DelimitedWriter(const ExportSource &source, DelimitedOptions options);

    // The first line without its CR LF (empty when no header is wanted).
    QByteArray headerLine() const;
    // Appends the line of one record of a batch, without its CR LF, to out.
    void appendRow(const RowSet &rows, int row, QByteArray &out) const;

private:
    void enclose(QByteArray &out, qsizetype at) const;
    void appendValue(const RowSet &rows, int row, const ExportColumn &c, QByteArray &out) const;
    const ExportSource &m_source;
    DelimitedOptions m_options;
    QVector<int> m_columns; // chosen source columns in order
};

// Called after each record with the number of records done; false stops the
// export after that record.
using ExportStep = std::function<bool(int done)>;

// Writes the header and the records into out, as they are read. Returns the
// records written. Throws qo::Error when the device refuses the bytes or the
// rows cannot be read.
int WriteDelimited(const ExportSource &source, const DelimitedOptions &options, QIODevice &out,
                   const ExportStep &step = {});

// The same into a file, replacing it only when the writing succeeded (a
// stopped export keeps the records written so far).
// Throws the save helper's qo::Error when the file cannot be written, or the
// reading's own error (the file is then left as it was).
int WriteDelimitedFile(const ExportSource &source, const DelimitedOptions &options, const QString &path,
                       const ExportStep &step = {});

// True for a text that begins with "=", "+", "-", "@", a tab or a CR and is
// not a plain number (an optional sign, digits, spaces and at most one "." or
// ","): a spreadsheet would evaluate it as a formula.
bool LooksLikeFormula(const char *text, int length);

} // namespace qo
