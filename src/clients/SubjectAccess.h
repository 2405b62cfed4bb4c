#pragma once
// "Adatkikérés": everything the shop holds about one client, handed to the
// person as one ZIP file: a readable PDF and the same data as CSV files, one
// per kind.
//
// The CSV files are UTF-8 with a byte-order mark, ";"-separated, every value
// in double quotes (quotes doubled), CR LF line ends, dates as yyyy-MM-dd.
// Unlike the shop's own exports (Windows-1250, values cut at line breaks),
// this file leaves the shop: any program on any system must read it whole,
// multi-line notes and all; the mark lets spreadsheet programs on Windows
// recognise the encoding.
#include "clients/ClientPrivacy.h"

#include <QByteArray>
#include <QDate>
#include <QString>

class QWidget;

namespace qo {

// "adatkikeres_7_2026-12-09.zip"
QString SubjectAccessFileName(qint64 client, const QDate &day);

// The PDF of the data: "Adatkikérés", the shop, the date, then every kind.
QByteArray SubjectAccessPdf(const SubjectData &data, const QDate &day);
// One CSV file of a row set, as described above.
QByteArray SubjectAccessCsv(const RowSet &rows);

// Writes the archive through the save helper, owner-readable only (0600).
// Throws qo::Error when it cannot be written (an older file is then kept).
void WriteSubjectAccessZip(const SubjectData &data, const QDate &day, const QString &path);

// The command: asks for the file (the documents folder and the default name
// offered), writes it and logs ADATKIKERES. Returns the file written, or ""
// when the user cancelled. Errors are shown to the user.
QString ExportSubjectAccess(qint64 client, QWidget *parent = nullptr);

} // namespace qo
