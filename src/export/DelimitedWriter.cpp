#include "export/DelimitedWriter.h"
#include "base/Codec.h"
#include "base/Error.h"

#include <cstring>


namespace qo {

DelimitedWriter::DelimitedWriter(const ExportSource &source, DelimitedOptions options)
    : m_source(source), m_options(std::move(options))
{
    for (int i = 0; i < m_source.columns().size(); ++i)
        if (m_options.chosen.isEmpty() || (i < m_options.chosen.size() && m_options.chosen[i]))
            m_columns.push_back(i);
}

QByteArray DelimitedWriter::headerLine() const
{
    QByteArray out;
    if (m_options.noHeader)
        return out;
    for (int i : m_columns) {
        const ExportColumn &c = m_source.columns()[i];
        const qsizetype at = out.size();
        out += toCp1250(m_options.fieldNames ? c.name : c.label);
        enclose(out, at);
        out += m_options.separator;
    }
    return out;
}

// The field written from `at` to the end of out, made to read back as it is:
// with a text quote chosen it goes between quotes with the quotes inside
// doubled; without one, a field holding the separator or a double quote
// goes between double quotes (the quote readers assume) with those doubled.
void DelimitedWriter::enclose(QByteArray &out, qsizetype at) const
{
    char q = m_options.quote;
    const qsizetype len = out.size() - at;
    if (!q) {
        const char *p = out.constData() + at;
        if (!std::memchr(p, m_options.separator, size_t(len)) && !std::memchr(p, '"', size_t(len)))
            return;
        q = '"';
    }
    const char *p = out.constData() + at;
    if (std::memchr(p, q, size_t(len))) {
        QByteArray field;
        field.reserve(len + 8);
        for (qsizetype i = at; i < out.size(); ++i) {
            field += out[i];
            if (out[i] == q)
                field += q;
        }
        out.truncate(at);
        out += field;
    }
    out.insert(at, q);
    out += q;
}

// Backslash doubled, every line break (CR LF, LF or CR) one backslash "n";
// latin2 to Windows-1250.
static void appendEscaped(const char *p, int len, QByteArray &out)
{
    const char *map = latin2ToCp1250Bytes().data();
    for (int i = 0; i < len; ++i) {
        const uchar b = uchar(p[i]);
        if (b == '\\') {
            out.append("\\\\", 2);
        } else if (b == '\r' || b == '\n') {
            out.append("\\n", 2);
            if (b == '\r' && i + 1 < len && p[i + 1] == '\n')
                ++i;
        } else {
            out.append(map[b]);
        }
    }
}

bool LooksLikeFormula(const char *p, int len)
{
    if (len <= 0)
        return false;
    const char first = p[0];
    if (first != '=' && first != '+' && first != '-' && first != '@' && first != '\t' && first != '\r')
        return false;
    // A plain number stays: an optional sign, digits, spaces, one decimal
    // point or comma ("-1 500,50", "+36 1 234 5678").
    bool digits = false;
    int points = 0;
    for (int i = (first == '+' || first == '-') ? 1 : 0; i < len; ++i) {
        const char c = p[i];
        if (c >= '0' && c <= '9')
            digits = true;
        else if ((c == '.' || c == ',') && ++points == 1)
            continue;
        else if (c != ' ')
            return true;
    }
    return !digits;
}

void DelimitedWriter::appendValue(const RowSet &rows, int row, const ExportColumn &c, QByteArray &out) const
{
    if (ExportSource::isBinary(c) || (ExportSource::isMemo(c) && !m_options.memoText)) {
        out.append("BLOB", 4);
        return;
    }
    if (rows.isNull(row, c.field))
        return;
    int len;
    const char *p = rows.rawData(row, c.field, &len);
    if (c.kind == RowSet::Kind::Date || c.kind == RowSet::Kind::DateTime) {
        if (len >= 10 && p[0] == '0' && p[1] == '0' && p[2] == '0' && p[3] == '0')
            return; // the zero date shows empty, as in the lists
        const qsizetype at = out.size();
        out.append(p, len);
        for (qsizetype i = at; i < at + qMin(len, 10); ++i)
            if (out[i] == '-')
                out[i] = '.';
        return;
    }
    // Client data never turns into a live formula in a spreadsheet.
    if (c.kind == RowSet::Kind::Text && LooksLikeFormula(p, len))
        out.append('\'');
    if (ExportSource::isMemo(c)) {
        const qsizetype at = out.size();
        appendEscaped(p, len, out);
        if (m_options.separator != ',')
            for (qsizetype i = at; i < out.size(); ++i)
                if (out[i] == m_options.separator)
                    out[i] = ',';
        return;
    }
    appendEscaped(p, len, out);
}

void DelimitedWriter::appendRow(const RowSet &rows, int row, QByteArray &out) const
{
    bool first = true;
    for (int i : m_columns) {
        if (!first)
            out += m_options.separator;
        first = false;
        const qsizetype at = out.size();
        appendValue(rows, row, m_source.columns()[i], out);
        enclose(out, at);
    }
}

int WriteDelimited(const ExportSource &source, const DelimitedOptions &options, QIODevice &out,
                   const ExportStep &step)
{
    const DelimitedWriter writer(source, options);
    QByteArray buf = writer.headerLine();
    buf.append("\r\n", 2);
    // Written in pieces small enough that a write the system holds back for a
    // moment does not hold the window long.
    constexpr qsizetype kChunk = 256 * 1024;
    buf.reserve(kChunk + 4096);
    auto flush = [&] {
        if (!buf.isEmpty() && out.write(buf) != buf.size())
            throw Error(out.errorString());
        buf.clear();
    };
    int done = 0;
    source.readRows([&](const RowSet &rows) {
        for (int r = 0; r < rows.rowCount(); ++r) {
            writer.appendRow(rows, r, buf);
            buf.append("\r\n", 2);
            ++done;
            if (buf.size() >= kChunk)
                flush();
            if (step && !step(done))
                return false;
        }
        return true;
    }, [&] {
        if (step)
            step(done); // the server has not sent the next rows yet
    });
    flush();
    return done;
}

int WriteDelimitedFile(const ExportSource &source, const DelimitedOptions &options, const QString &path,
                       const ExportStep &step)
{
    return SaveWith(path, [&](QIODevice &out) { return WriteDelimited(source, options, out, step); });
}

} // namespace qo
