#include "export/XlsxWriter.h"
#include "base/Error.h"
#include "base/SaveFile.h"

#include <QDir>
#include <cerrno>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <xlsxwriter.h>

namespace qo {

namespace {

constexpr int kMaxRows = 1048576;

// A workbook is a zip: a whole one ends with the end-of-directory record.
bool EndsAsZip(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly) || f.size() < 22)
        return false;
    f.seek(f.size() - 22);
    return f.read(4) == QByteArray("PK\x05\x06", 4);
}

double widthInCharacters(const ExportColumn &c)
{
    if (c.widthPx > 0)
        return qBound(4.0, c.widthPx / 7.0, 80.0);
    return qBound(8.0, double(c.label.size()) + 2, 40.0);
}

} // namespace

int WriteXlsxFile(const ExportSource &source, const XlsxOptions &options, const QString &path, const ExportStep &step)
{
    QVector<int> cols;
    for (int i = 0; i < source.columns().size(); ++i)
        if (source.columns()[i].visible
            && (options.chosen.isEmpty() || (i < options.chosen.size() && options.chosen[i])))
            cols.push_back(i);
    const int header = options.noHeader ? 0 : 1;
    const Error tooMany(QStringLiteral("Egy munkafüzetbe legfeljebb %1 sor fér.").arg(kMaxRows - header));
    if (source.knownRowCount() + header > kMaxRows)
        throw tooMany;

    // The library writes the save helper's temporary file by name; the file is
    // put in place only when the library and the check below say it is whole.
    SaveFile file(path);
    const QString partial = file.tempPath();
    QTemporaryDir tmp;
    QByteArray tmpdir = QFile::encodeName(tmp.path());
    lxw_workbook_options wo = {};
    wo.constant_memory = LXW_TRUE;
    wo.tmpdir = tmp.isValid() ? tmpdir.data() : nullptr;
    lxw_workbook *wb = workbook_new_opt(QFile::encodeName(partial).constData(), &wo);
    if (!wb)
        throw Error(SaveFile::failureText(path, QStringLiteral("A munkafüzet nem hozható létre")));
    lxw_worksheet *ws = workbook_add_worksheet(wb, nullptr);

    lxw_format *bold = workbook_add_format(wb);
    format_set_bold(bold);
    lxw_format *date = workbook_add_format(wb);
    format_set_num_format(date, "yyyy.mm.dd");
    lxw_format *dateTime = workbook_add_format(wb);
    format_set_num_format(dateTime, "yyyy.mm.dd hh:mm:ss");
    lxw_format *grouped = workbook_add_format(wb);
    format_set_num_format(grouped, "#,##0");
    lxw_format *wrap = workbook_add_format(wb);
    format_set_text_wrap(wrap);

    for (int k = 0; k < cols.size(); ++k)
        worksheet_set_column(ws, lxw_col_t(k), lxw_col_t(k), widthInCharacters(source.columns()[cols[k]]), nullptr);
    if (header) {
        for (int k = 0; k < cols.size(); ++k) {
            const ExportColumn &c = source.columns()[cols[k]];
            worksheet_write_string(ws, 0, lxw_col_t(k), (options.fieldNames ? c.name : c.label).toUtf8().constData(), bold);
        }
        worksheet_freeze_panes(ws, 1, 0);
    }

    int done = 0;
    lxw_error err = LXW_NO_ERROR;
    auto writeRow = [&](const RowSet &rows, int row) {
        const lxw_row_t r = lxw_row_t(done + header);
        for (int k = 0; k < cols.size() && err == LXW_NO_ERROR; ++k) {
            const ExportColumn &c = source.columns()[cols[k]];
            const lxw_col_t col = lxw_col_t(k);
            if (ExportSource::isBinary(c)) {
                err = worksheet_write_string(ws, r, col, "BLOB", nullptr);
                continue;
            }
            if (rows.isNull(row, c.field))
                continue;
            switch (c.kind) {
            case RowSet::Kind::Integer:
                err = worksheet_write_number(ws, r, col, double(rows.toInt(row, c.field)), nullptr);
                break;
            case RowSet::Kind::Float:
                err = worksheet_write_number(ws, r, col, rows.toDouble(row, c.field),
                                             c.mask.contains(QLatin1Char('#')) ? grouped : nullptr);
                break;
            case RowSet::Kind::Date:
            case RowSet::Kind::DateTime: {
                const QDateTime d = c.kind == RowSet::Kind::Date ? QDateTime(rows.toDate(row, c.field), QTime(0, 0))
                                                                 : rows.toDateTime(row, c.field);
                if (!d.isValid() || d.date().year() < 1900)
                    break; // the zero date stays empty, as in the lists
                lxw_datetime dt = {d.date().year(), d.date().month(), d.date().day(),
                                   d.time().hour(), d.time().minute(), double(d.time().second())};
                err = worksheet_write_datetime(ws, r, col, &dt, c.kind == RowSet::Kind::Date ? date : dateTime);
                break;
            }
            default: {
                QString text = rows.text(row, c.field);
                text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); // a line break inside a cell
                err = worksheet_write_string(ws, r, col, text.toUtf8().constData(),
                                             ExportSource::isMemo(c) && text.contains(QLatin1Char('\n')) ? wrap : nullptr);
                break;
            }
            }
        }
    };
    try {
        source.readRows([&](const RowSet &rows) {
            for (int row = 0; row < rows.rowCount(); ++row) {
                if (done + header >= kMaxRows)
                    throw tooMany;
                writeRow(rows, row);
                if (err != LXW_NO_ERROR)
                    return false;
                ++done;
                if (step && !step(done))
                    return false;
            }
            return true;
        }, [&] {
            if (step)
                step(done); // the server has not sent the next rows yet
        });
    } catch (const Error &) {
        workbook_close(wb);
        throw; // too many rows, or the rows could not be read
    }
    errno = 0;
    const lxw_error closeErr = workbook_close(wb);
    const int sysErr = errno;
    if (err == LXW_NO_ERROR)
        err = closeErr;
    if (err != LXW_NO_ERROR)
        throw Error(SaveFile::failureText(path, file.libraryFailure(sysErr, QString::fromUtf8(lxw_strerror(err)))));
    file.commit(EndsAsZip);
    return done;
}

} // namespace qo
