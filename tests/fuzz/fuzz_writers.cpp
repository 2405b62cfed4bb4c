// The export writers, read back: delimited text keeps one line per record and,
// read as a CSV reader reads it (quoted fields, quotes doubled inside), one
// field per column with the value unescaped; the BIFF2 worksheet is a well-formed chain of records
// whose cells hold the values; the HTML page gets no markup from the data and
// its cells decode to the values.
#include "FuzzCheck.h"
#include "base/Codec.h"
#include "db/Connection.h"
#include "export/Biff2Writer.h"
#include "export/DelimitedWriter.h"
#include "export/HtmlExport.h"

#include <QBuffer>
#include <QtEndian>
#include <fuzzer/FuzzedDataProvider.h>
#include <mysql.h>

using namespace qo;

namespace {

struct Column {
    RowSet::Kind kind;
    int serverType;
};
const Column kColumns[] = {
    {RowSet::Kind::Text, MYSQL_TYPE_VAR_STRING}, {RowSet::Kind::Text, MYSQL_TYPE_BLOB}, // memo
    {RowSet::Kind::Integer, MYSQL_TYPE_LONG},    {RowSet::Kind::Float, MYSQL_TYPE_NEWDECIMAL},
    {RowSet::Kind::Date, MYSQL_TYPE_DATE},       {RowSet::Kind::Binary, MYSQL_TYPE_BLOB},
};
constexpr int kCount = int(sizeof kColumns / sizeof kColumns[0]);

// The bytes of a cell as the server could send them for its column.
QByteArray cellFor(const Column &c, FuzzedDataProvider &in)
{
    switch (c.kind) {
    case RowSet::Kind::Integer: return QByteArray::number(in.ConsumeIntegral<int32_t>());
    case RowSet::Kind::Float: return QByteArray::number(in.ConsumeIntegralInRange(-99999999, 99999999) / 100.0, 'f', 2);
    case RowSet::Kind::Date:
        return in.ConsumeBool() ? QByteArray("0000-00-00")
                                : QDate(in.ConsumeIntegralInRange(1900, 2100), in.ConsumeIntegralInRange(1, 12),
                                        in.ConsumeIntegralInRange(1, 28)).toString(QStringLiteral("yyyy-MM-dd")).toLatin1();
    default: return QByteArray::fromStdString(in.ConsumeRandomLengthString(300));
    }
}

QByteArray mapped(const QByteArray &latin2)
{
    const char *map = latin2ToCp1250Bytes().data();
    QByteArray out = latin2;
    for (char &ch : out)
        ch = map[uchar(ch)];
    return out;
}

// A delimited value unescaped: "\\" is a backslash, "\n" a line break.
QByteArray unescape(const QByteArray &v)
{
    QByteArray out;
    for (qsizetype i = 0; i < v.size(); ++i) {
        if (v[i] == '\\' && i + 1 < v.size()) {
            out += v[i + 1] == 'n' ? '\n' : v[i + 1];
            ++i;
        } else {
            out += v[i];
        }
    }
    return out;
}

// A line split as a CSV reader splits it: a field that starts with the quote
// runs to the quote that is not doubled, doubled quotes are one; `quoted` is
// cleared when a field is not enclosed. A malformed line fails the check.
QList<QByteArray> readFields(const QByteArray &line, char sep, char quote, bool *quoted)
{
    QList<QByteArray> out;
    qsizetype i = 0;
    while (true) {
        QByteArray f;
        if (i < line.size() && line[i] == quote) {
            ++i;
            while (true) {
                FUZZ_CHECK(i < line.size()); // the closing quote
                if (line[i] == quote) {
                    if (i + 1 < line.size() && line[i + 1] == quote) {
                        f += quote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                f += line[i++];
            }
            FUZZ_CHECK(i == line.size() || line[i] == sep);
        } else {
            *quoted = false;
            const qsizetype end = line.indexOf(sep, i);
            f = line.mid(i, end < 0 ? -1 : end - i);
            FUZZ_CHECK(!f.contains(quote) || quote != '"'); // a bare field never holds the reader's quote
            i = end < 0 ? line.size() : end;
        }
        out << f;
        if (i >= line.size())
            return out;
        ++i; // the separator
    }
}

void checkDelimited(const RowSet &rows, FuzzedDataProvider &in)
{
    DelimitedOptions o;
    const char seps[] = {';', ',', '\t', '|'};
    const char quotes[] = {0, '"', '\''};
    o.separator = seps[in.ConsumeIntegralInRange(0, 3)];
    o.quote = quotes[in.ConsumeIntegralInRange(0, 2)];
    o.memoText = in.ConsumeBool();
    o.noHeader = in.ConsumeBool();
    const ExportSource source(rows);
    QByteArray file;
    QBuffer buf(&file);
    buf.open(QIODevice::WriteOnly);
    FUZZ_EQUAL(WriteDelimited(source, o, buf), rows.rowCount());

    // One line per record after the header, every line closed by CR LF, no
    // line break of the data anywhere else.
    FUZZ_CHECK(file.endsWith("\r\n"));
    QList<QByteArray> lines = file.chopped(2).split('\n');
    FUZZ_EQUAL(int(lines.size()), rows.rowCount() + 1);
    for (QByteArray &l : lines) {
        FUZZ_CHECK(l.isEmpty() || l.endsWith('\r') || &l == &lines.last());
        if (&l != &lines.last())
            l.chop(1);
        FUZZ_CHECK(!l.contains('\r'));
    }
    if (o.noHeader)
        FUZZ_EQUAL(lines[0], QByteArray());

    for (int r = 0; r < rows.rowCount(); ++r) {
        QList<QByteArray> want;
        for (int c = 0; c < kCount; ++c) {
            const ExportColumn &col = source.columns()[c];
            int len;
            const char *p = rows.rawData(r, c, &len);
            QByteArray v(p, len);
            if (ExportSource::isBinary(col) || (ExportSource::isMemo(col) && !o.memoText)) {
                v = "BLOB";
            } else if (col.kind == RowSet::Kind::Date) {
                v = v.startsWith("0000") ? QByteArray() : v.replace('-', '.');
            } else {
                v = mapped(v).replace("\r\n", "\n").replace('\r', '\n');
                if (col.kind == RowSet::Kind::Text && LooksLikeFormula(p, len))
                    v.prepend('\'');
                if (ExportSource::isMemo(col))
                    v.replace(o.separator, ',');
            }
            want << v;
        }
        bool quotedEverywhere = true;
        const QList<QByteArray> fields = readFields(lines[r + 1], o.separator, o.quote ? o.quote : '"', &quotedEverywhere);
        FUZZ_EQUAL(int(fields.size()), kCount);
        // With a quote chosen every field is enclosed.
        if (o.quote)
            FUZZ_CHECK(quotedEverywhere);
        for (int c = 0; c < kCount; ++c)
            FUZZ_EQUAL(unescape(fields[c]), want[c]);
    }
}

void checkBiff2(const RowSet &rows)
{
    const ExportSource source(rows);
    QByteArray file;
    QBuffer buf(&file);
    buf.open(QIODevice::WriteOnly);
    FUZZ_EQUAL(WriteBiff2(source, {}, buf), rows.rowCount());

    auto u16 = [&file](qsizetype at) { return qFromLittleEndian<quint16>(file.constData() + at); };
    qsizetype at = 0;
    int index = 0, cells = 0;
    quint16 type = 0;
    while (at < file.size()) {
        FUZZ_CHECK(at + 4 <= file.size());
        type = u16(at);
        const quint16 len = u16(at + 2);
        const qsizetype body = at + 4;
        FUZZ_CHECK(body + len <= file.size());
        if (index == 0)
            FUZZ_CHECK(type == 0x0009 && len == 4);
        if (type >= 0x0001 && type <= 0x0005) { // BLANK INTEGER NUMBER LABEL BOOLERR
            const int row = u16(body), col = u16(body + 2);
            FUZZ_CHECK(row <= rows.rowCount() && col < kCount);
            FUZZ_EQUAL(row * kCount + col, cells);
            ++cells;
            const int r = row - 1;
            if (row > 0 && rows.isNull(r, col))
                FUZZ_EQUAL(int(type), 0x0001);
            if (type == 0x0004) {
                FUZZ_CHECK(len >= 8);
                const int n = uchar(file[body + 7]);
                FUZZ_EQUAL(int(len), 8 + n);
                const QByteArray text = file.mid(body + 8, n);
                if (row == 0) {
                    FUZZ_EQUAL(text, toCp1250(source.columns()[col].label).left(255));
                } else if (rows.field(col).kind == RowSet::Kind::Text) {
                    int l;
                    const char *p = rows.rawData(r, col, &l);
                    FUZZ_EQUAL(text, mapped(QByteArray(p, l)).left(255));
                }
            } else if (type == 0x0002) {
                FUZZ_EQUAL(int(len), 9);
                FUZZ_EQUAL(qint64(u16(body + 7)), rows.toInt(r, col));
            } else if (type == 0x0003) {
                FUZZ_EQUAL(int(len), 15);
                FUZZ_EQUAL(qFromLittleEndian<double>(file.constData() + body + 7), rows.toDouble(r, col));
            }
        }
        at = body + len;
        ++index;
    }
    FUZZ_EQUAL(int(type), 0x000A);
    FUZZ_EQUAL(cells, (rows.rowCount() + 1) * kCount);
}

// Entities back to characters.
QString decodeHtml(const QString &s)
{
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != QLatin1Char('&')) {
            out += s[i];
            continue;
        }
        const qsizetype semi = s.indexOf(QLatin1Char(';'), i);
        FUZZ_CHECK(semi > i);
        const QString e = s.mid(i + 1, semi - i - 1);
        if (e == QLatin1String("amp")) out += QLatin1Char('&');
        else if (e == QLatin1String("lt")) out += QLatin1Char('<');
        else if (e == QLatin1String("gt")) out += QLatin1Char('>');
        else if (e == QLatin1String("quot")) out += QLatin1Char('"');
        else {
            FUZZ_CHECK(e.startsWith(QLatin1Char('#')));
            bool ok = false;
            const uint code = e.mid(1).toUInt(&ok);
            FUZZ_CHECK(ok);
            if (code < 0x10000)
                out += QChar(char16_t(code));
            else
                out += QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1);
        }
        i = semi;
    }
    return out;
}

void checkHtml(FuzzedDataProvider &in)
{
    const int cols = in.ConsumeIntegralInRange(1, 4), rowCount = in.ConsumeIntegralInRange(0, 4);
    QVector<HtmlColumn> columns;
    const Qt::Alignment aligns[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
    auto text = [&in] {
        const std::string b = in.ConsumeRandomLengthString(60);
        return QString(reinterpret_cast<const QChar *>(b.data()), qsizetype(b.size() / 2));
    };
    for (int k = 0; k < cols; ++k)
        columns.push_back({text(), in.ConsumeIntegralInRange(0, 100), aligns[in.ConsumeIntegralInRange(0, 2)]});
    const QString title = text();
    QVector<QStringList> cells(rowCount);
    for (QStringList &row : cells)
        for (int k = 0; k < cols; ++k)
            row << text();
    const QDateTime now(QDate(2024, 2, 29), QTime(12, 0));
    const QString page = HtmlPageLines(title, columns, rowCount, [&](int r, int k) { return cells[r][k]; }, now).join(QLatin1Char('\n'));

    // The same page with harmless data has the same markup.
    QVector<HtmlColumn> plainColumns = columns;
    for (HtmlColumn &c : plainColumns)
        c.title = QStringLiteral("x");
    const QString plain = HtmlPageLines(QStringLiteral("x"), plainColumns, rowCount, [](int, int) { return QStringLiteral("x"); }, now)
                              .join(QLatin1Char('\n'));
    for (QChar m : {QLatin1Char('<'), QLatin1Char('>'), QLatin1Char('"')})
        FUZZ_EQUAL(page.count(m), plain.count(m));

    // Every cell in order: "<td ...>" (a "<p ...>" for alignment) value "</td>".
    qsizetype at = 0;
    for (int r = 0; r < rowCount; ++r) {
        for (int k = 0; k < cols; ++k) {
            at = page.indexOf(QLatin1String("<td "), at);
            FUZZ_CHECK(at >= 0);
            qsizetype start = page.indexOf(QLatin1Char('>'), at) + 1;
            if (page.mid(start, 3) == QLatin1String("<p "))
                start = page.indexOf(QLatin1Char('>'), start) + 1;
            const qsizetype end = page.indexOf(QLatin1String("</td>"), start);
            FUZZ_CHECK(end >= start);
            FUZZ_EQUAL(decodeHtml(page.mid(start, end - start)), cells[r][k]);
            at = end;
        }
    }
    const qsizetype t = page.indexOf(QLatin1String("<title>")) + 7;
    FUZZ_EQUAL(decodeHtml(page.mid(t, page.indexOf(QLatin1String("</title>")) - t)), title);
    // What the file holds: the code page's characters, the rest as references.
    const QString written = fromCp1250(toCp1250(page));
    FUZZ_EQUAL(written, page);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    QVector<RowSet::Field> fields;
    for (const Column &c : kColumns)
        fields.push_back({QStringLiteral("mezo%1").arg(fields.size()), c.kind, c.kind == RowSet::Kind::Integer ? 11 : 60, 0, c.serverType});
    RowSet rows;
    rows.setFields(fields);
    const int rowCount = in.ConsumeIntegralInRange(0, 5);
    for (int r = 0; r < rowCount; ++r) {
        QList<QByteArray> cells;
        const char *p[kCount];
        unsigned long len[kCount];
        for (int c = 0; c < kCount; ++c) {
            cells << (in.ConsumeIntegralInRange(0, 7) == 0 ? QByteArray() : cellFor(kColumns[c], in));
            p[c] = cells.last().isNull() ? nullptr : cells.last().constData();
            len[c] = (unsigned long)cells.last().size();
        }
        rows.appendRow(p, len);
    }
    checkDelimited(rows, in);
    if (rows.rowCount() > 0)
        checkBiff2(rows);
    checkHtml(in);
    return 0;
}
