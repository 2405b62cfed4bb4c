#include "export/Biff2Writer.h"
#include "base/Codec.h"
#include "base/Error.h"

#include <QtEndian>
#include <cstring>
#include <mysql.h>

namespace qo {

namespace {

class Records {
public:
    void u8(uint8_t v) { m_buf.append(char(v)); }
    void u16(uint16_t v)
    {
        char b[2];
        qToLittleEndian(v, b);
        m_buf.append(b, 2);
    }
    void f64(double v)
    {
        char b[8];
        qToLittleEndian(v, b);
        m_buf.append(b, 8);
    }
    void bytes(const QByteArray &b) { m_buf.append(b); }
    void record(uint16_t type, uint16_t length)
    {
        u16(type);
        u16(length);
    }
    void cellHeader(uint16_t type, uint16_t length, int row, int col, uint8_t a0, uint8_t a1, uint8_t a2)
    {
        record(type, length);
        u16(uint16_t(row));
        u16(uint16_t(col));
        u8(a0);
        u8(a1);
        u8(a2);
    }
    void label(int row, int col, const QByteArray &text, uint8_t a1, uint8_t a2)
    {
        const QByteArray t = text.left(255);
        cellHeader(0x0004, uint16_t(8 + t.size()), row, col, 0x00, a1, a2);
        u8(uint8_t(t.size()));
        bytes(t);
    }
    QByteArray &buffer() { return m_buf; }

private:
    QByteArray m_buf;
};

enum class CellKind { Integer, Number, Boolean, Label };

CellKind cellKind(const ExportColumn &c)
{
    switch (c.serverType) {
    case MYSQL_TYPE_TINY: case MYSQL_TYPE_SHORT: case MYSQL_TYPE_LONG: case MYSQL_TYPE_INT24:
        return CellKind::Integer;
    case MYSQL_TYPE_DECIMAL: case MYSQL_TYPE_NEWDECIMAL: case MYSQL_TYPE_FLOAT: case MYSQL_TYPE_DOUBLE:
        return CellKind::Number;
    case MYSQL_TYPE_BIT:
        return c.length == 1 ? CellKind::Boolean : CellKind::Label;
    default:
        return CellKind::Label;
    }
}

uint8_t alignByte(Qt::Alignment a)
{
    if (a & Qt::AlignHCenter)
        return 2;
    if (a & Qt::AlignRight)
        return 3;
    return 1;
}

QByteArray labelText(const RowSet &rows, int row, const ExportColumn &c)
{
    if (ExportSource::isBinary(c)) {
        int len;
        const char *p = rows.rawData(row, c.field, &len);
        return QByteArray(p, len);
    }
    if (c.kind == RowSet::Kind::Date) {
        const QDate d = rows.toDate(row, c.field);
        return d.isValid() ? d.toString(QStringLiteral("yyyy.MM.dd")).toLatin1() : QByteArray();
    }
    if (c.kind == RowSet::Kind::DateTime) {
        const QDateTime d = rows.toDateTime(row, c.field);
        return d.isValid() ? d.toString(QStringLiteral("yyyy.MM.dd HH:mm:ss")).toLatin1() : QByteArray();
    }
    int len;
    const char *p = rows.rawData(row, c.field, &len);
    QByteArray out(p, len);
    const char *map = latin2ToCp1250Bytes().data();
    for (char &ch : out)
        ch = map[uchar(ch)];
    return out;
}

Error tooManyRows(qint64 rows)
{
    return Error(QStringLiteral("Az .xls munkalapba legfeljebb %1 sor fér, a lista %2 soros. "
                                "Válassza a CSV vagy az Excel munkafüzet (*.xlsx) formát.")
                     .arg(kBiff2MaxRecords)
                     .arg(rows > kBiff2MaxRecords ? QString::number(rows) : QStringLiteral("ennél hosszabb")));
}

} // namespace

int WriteBiff2(const ExportSource &source, const QVector<bool> &chosen, QIODevice &out, const ExportStep &step)
{
    QVector<int> cols;
    for (int i = 0; i < source.columns().size(); ++i)
        if (source.columns()[i].visible && (chosen.isEmpty() || (i < chosen.size() && chosen[i])))
            cols.push_back(i);

    Records r;
    // Version 2, and the stream type of a worksheet (0x0010): with any other
    // type spreadsheet readers refuse the file as corrupt.
    r.record(0x0009, 4);
    r.u16(0x0002);
    r.u16(0x0010);
    // CODEPAGE: the labels are Windows-1250; without it readers take them
    // for another code page ("Gyõr" for "Győr").
    r.record(0x0042, 2);
    r.u16(1250);
    const QByteArray arial("Arial");
    for (uint16_t attributes : {uint16_t(0), uint16_t(1), uint16_t(1)}) {
        r.record(0x0031, uint16_t(5 + arial.size()));
        r.u16(200);
        r.u16(attributes);
        r.u8(uint8_t(arial.size()));
        r.bytes(arial);
    }
    r.record(0x0000, 8);
    for (uint16_t v : {uint16_t(0), uint16_t(1025), uint16_t(0), uint16_t(4)})
        r.u16(v);
    for (int k = 0; k < cols.size(); ++k)
        r.label(0, k, toCp1250(source.columns()[cols[k]].label), 0x80, 0x00);

    auto flush = [&] {
        QByteArray &b = r.buffer();
        if (!b.isEmpty() && out.write(b) != b.size())
            throw Error(out.errorString());
        b.clear();
    };
    int done = 0;
    auto writeRow = [&](const RowSet &rows, int row) {
        const int sheetRow = done + 1;
        for (int k = 0; k < cols.size(); ++k) {
            const ExportColumn &c = source.columns()[cols[k]];
            const uint8_t align = alignByte(c.align);
            if (rows.isNull(row, c.field)) {
                r.cellHeader(0x0001, 7, sheetRow, k, 0x00, 0x00, align);
                continue;
            }
            switch (cellKind(c)) {
            case CellKind::Integer: {
                const qint64 v = rows.toInt(row, c.field);
                if (v >= 0 && v <= 65535) {
                    r.cellHeader(0x0002, 9, sheetRow, k, 0x00, 0x00, align);
                    r.u16(uint16_t(v));
                } else {
                    r.cellHeader(0x0003, 15, sheetRow, k, 0x00, 0x00, align);
                    r.f64(double(v));
                }
                break;
            }
            case CellKind::Number:
                r.cellHeader(0x0003, 15, sheetRow, k, 0x00, 0x00, align);
                r.f64(rows.toDouble(row, c.field));
                break;
            case CellKind::Boolean: {
                int len;
                const char *p = rows.rawData(row, c.field, &len);
                bool on = false;
                for (int i = 0; i < len; ++i)
                    on = on || (p[i] != 0 && p[i] != '0');
                r.cellHeader(0x0005, 9, sheetRow, k, 0x00, 0x00, align);
                r.u8(on ? 1 : 0);
                r.u8(0);
                break;
            }
            case CellKind::Label:
                r.label(sheetRow, k, labelText(rows, row, c), 0x00, align);
                break;
            }
        }
    };
    source.readRows([&](const RowSet &rows) {
        for (int row = 0; row < rows.rowCount(); ++row) {
            if (done == kBiff2MaxRecords)
                throw tooManyRows(source.knownRowCount());
            writeRow(rows, row);
            ++done;
            if (r.buffer().size() > (1 << 20))
                flush();
            if (step && !step(done))
                return false;
        }
        return true;
    }, [&] {
        if (step)
            step(done); // the server has not sent the next rows yet
    });
    r.record(0x000A, 0);
    flush();
    return done;
}

void WriteBiff2File(const ExportSource &source, const QVector<bool> &chosen, const QString &path,
                    const ExportStep &step)
{
    const Error empty(QStringLiteral("Cannot perform this operation on an empty dataset"));
    const qint64 known = source.knownRowCount();
    if (known == 0)
        throw empty;
    if (known > kBiff2MaxRecords)
        throw tooManyRows(known);
    SaveWith(path, [&](QIODevice &out) {
        const int done = WriteBiff2(source, chosen, out, step);
        if (done == 0)
            throw empty; // nothing to write: the old file stays
        return done;
    });
}

} // namespace qo
