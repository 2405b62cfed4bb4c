#include "reports/PdfFont.h"

#include <QMap>
#include <algorithm>

namespace qo::pdf {

namespace {

quint16 u16(const QByteArray &b, int at)
{
    if (at < 0 || at + 2 > b.size())
        return 0;
    return quint16((quint8(b[at]) << 8) | quint8(b[at + 1]));
}
qint16 s16(const QByteArray &b, int at) { return qint16(u16(b, at)); }
quint32 u32(const QByteArray &b, int at) { return (quint32(u16(b, at)) << 16) | u16(b, at + 2); }

void put16(QByteArray &b, quint16 v)
{
    b += char(v >> 8);
    b += char(v & 0xff);
}
void put32(QByteArray &b, quint32 v)
{
    put16(b, quint16(v >> 16));
    put16(b, quint16(v & 0xffff));
}
void set16(QByteArray &b, int at, quint16 v)
{
    if (at + 2 <= b.size()) {
        b[at] = char(v >> 8);
        b[at + 1] = char(v & 0xff);
    }
}

quint32 tableChecksum(const QByteArray &data)
{
    QByteArray padded = data;
    while (padded.size() % 4)
        padded += '\0';
    quint32 sum = 0;
    for (int i = 0; i < padded.size(); i += 4)
        sum += u32(padded, i);
    return sum;
}

// A font file from its tables, in the order of their tags.
QByteArray sfnt(const QMap<QByteArray, QByteArray> &tables, quint32 version)
{
    const int n = int(tables.size());
    int power = 1, selector = 0;
    while (power * 2 <= n) {
        power *= 2;
        ++selector;
    }
    QByteArray out;
    put32(out, version);
    put16(out, quint16(n));
    put16(out, quint16(power * 16));
    put16(out, quint16(selector));
    put16(out, quint16(n * 16 - power * 16));
    quint32 offset = quint32(12 + 16 * n);
    QByteArray body;
    for (auto it = tables.cbegin(); it != tables.cend(); ++it) {
        out += it.key();
        put32(out, tableChecksum(it.value()));
        put32(out, offset + quint32(body.size()));
        put32(out, quint32(it.value().size()));
        body += it.value();
        while (body.size() % 4)
            body += '\0';
    }
    return out + body;
}

QByteArray number(double v)
{
    QByteArray s = QByteArray::number(v, 'f', 3);
    while (s.contains('.') && (s.endsWith('0') || s.endsWith('.')))
        s.chop(1);
    return s;
}

QByteArray hex4(quint32 v) { return QByteArray::number(v, 16).rightJustified(4, '0').toUpper(); }

QByteArray utf16Hex(const QString &s)
{
    QByteArray out;
    for (QChar c : s)
        out += hex4(c.unicode());
    return out;
}

// The face's name as PDF allows it: letters and digits of family and style.
QByteArray psName(const QRawFont &raw)
{
    QByteArray name;
    for (QChar c : raw.familyName() + QLatin1Char('-') + raw.styleName())
        if (c.unicode() < 128 && (c.isLetterOrNumber() || c == QLatin1Char('-')))
            name += char(c.unicode());
    return name.isEmpty() ? QByteArray("Font") : name;
}

} // namespace

EmbeddedFont::EmbeddedFont(const QRawFont &raw) : m_raw(raw)
{
    const QByteArray head = raw.fontTable("head");
    const QByteArray hhea = raw.fontTable("hhea");
    const QByteArray hmtx = raw.fontTable("hmtx");
    const int glyphs = u16(raw.fontTable("maxp"), 4);
    const int unitsPerEm = u16(head, 18);
    const int hMetrics = u16(hhea, 34);
    m_glyf = !raw.fontTable("glyf").isEmpty();
    m_ok = unitsPerEm > 0 && hMetrics > 0 && glyphs > 0 && hmtx.size() >= hMetrics * 4
        && (m_glyf || !raw.fontTable("CFF ").isEmpty());
    if (!m_ok)
        return;
    // Glyphs past the last metric take its advance.
    m_widths.resize(glyphs);
    for (int g = 0; g < glyphs; ++g)
        m_widths[g] = u16(hmtx, qMin(g, hMetrics - 1) * 4) * 1000.0 / unitsPerEm;
    m_usedFlags.resize(glyphs);
}

void EmbeddedFont::noteText(quint32 glyph, const QString &text)
{
    if (!m_text.contains(glyph))
        m_text.insert(glyph, text);
}

// The outlines of the glyphs used (and of the parts composite glyphs are
// built of); every other glyph is kept as an empty one, so glyph numbers stay.
QByteArray EmbeddedFont::subset() const
{
    const QByteArray head = m_raw.fontTable("head");
    const QByteArray glyf = m_raw.fontTable("glyf");
    const QByteArray loca = m_raw.fontTable("loca");
    const int glyphs = u16(m_raw.fontTable("maxp"), 4);
    const bool longOffsets = s16(head, 50) == 1;
    auto range = [&](quint32 g) -> QPair<quint32, quint32> {
        if (int(g) >= glyphs)
            return {0, 0};
        const quint32 from = longOffsets ? u32(loca, int(g) * 4) : u16(loca, int(g) * 2) * 2u;
        const quint32 to = longOffsets ? u32(loca, int(g) * 4 + 4) : u16(loca, int(g) * 2 + 2) * 2u;
        if (to < from || to > quint32(glyf.size()))
            return {0, 0};
        return {from, to};
    };
    QSet<quint32> keep = m_used;
    keep.insert(0);
    QVector<quint32> work(keep.cbegin(), keep.cend());
    while (!work.isEmpty()) {
        const auto [from, to] = range(work.takeLast());
        if (to - from < 10 || s16(glyf, int(from)) >= 0)
            continue;
        // A composite glyph: the glyphs it places, each after its flags.
        int at = int(from) + 10;
        for (;;) {
            const quint16 flags = u16(glyf, at);
            const quint32 part = u16(glyf, at + 2);
            if (!keep.contains(part)) {
                keep.insert(part);
                work.push_back(part);
            }
            at += 4 + ((flags & 0x0001) ? 4 : 2);
            if (flags & 0x0008)
                at += 2;
            else if (flags & 0x0040)
                at += 4;
            else if (flags & 0x0080)
                at += 8;
            if (!(flags & 0x0020) || at >= int(to))
                break;
        }
    }
    QByteArray newGlyf, newLoca;
    for (int g = 0; g < glyphs; ++g) {
        put32(newLoca, quint32(newGlyf.size()));
        if (keep.contains(quint32(g))) {
            const auto [from, to] = range(quint32(g));
            newGlyf += glyf.mid(int(from), int(to - from));
            while (newGlyf.size() % 4)
                newGlyf += '\0';
        }
    }
    put32(newLoca, quint32(newGlyf.size()));
    QByteArray newHead = head;
    set16(newHead, 8, 0); // checkSumAdjustment: not checked by readers
    set16(newHead, 10, 0);
    set16(newHead, 50, 1); // long offsets
    QMap<QByteArray, QByteArray> tables;
    tables.insert("head", newHead);
    tables.insert("glyf", newGlyf);
    tables.insert("loca", newLoca);
    for (const char *tag : {"hhea", "hmtx", "maxp", "cvt ", "fpgm", "prep", "OS/2", "post"}) {
        const QByteArray t = m_raw.fontTable(tag);
        if (!t.isEmpty())
            tables.insert(QByteArray(tag), t);
    }
    return sfnt(tables, 0x00010000);
}

// The text of each glyph used: what shaped text told, else the character
// the font's own table maps to it.
QHash<quint32, QString> EmbeddedFont::unicodeOfUsed() const
{
    QHash<quint32, QString> out;
    for (quint32 g : m_used)
        if (m_text.contains(g))
            out.insert(g, m_text.value(g));
    if (out.size() == m_used.size())
        return out;
    QString chars;
    for (char16_t u = 0x20; u < 0x2200; ++u)
        if (u < 0x250 || (u >= 0x370 && u < 0x530) || u >= 0x2000)
            chars += QChar(u);
    QVector<quint32> idx(chars.size());
    int n = int(idx.size());
    if (!m_raw.glyphIndexesForChars(chars.constData(), int(chars.size()), idx.data(), &n))
        return out;
    for (int i = 0; i < n && i < chars.size(); ++i)
        if (idx[i] && m_used.contains(idx[i]) && !out.contains(idx[i]))
            out.insert(idx[i], QString(chars[i]));
    return out;
}

void EmbeddedFont::write(int fontId, int index, const std::function<int()> &reserve, const PutObject &put)
{
    const int cidId = reserve(), descriptorId = reserve(), fileId = reserve(), cmapId = reserve();
    QByteArray tag;
    for (int i = 0, v = index; i < 6; ++i, v /= 26)
        tag.prepend(char('A' + v % 26));
    const QByteArray name = tag + '+' + psName(m_raw);
    const QByteArray head = m_raw.fontTable("head");
    const QByteArray hhea = m_raw.fontTable("hhea");
    const QByteArray os2 = m_raw.fontTable("OS/2");
    const double em = 1000.0 / qMax<int>(1, u16(head, 18));
    const bool italic = m_raw.style() != QFont::StyleNormal;

    // The file: TrueType outlines as a subset, CFF outlines whole.
    QByteArray file;
    QByteArray fileDict;
    if (m_glyf) {
        file = subset();
        fileDict = "<< /Length1 " + QByteArray::number(file.size());
    } else {
        QMap<QByteArray, QByteArray> tables;
        for (const char *t : {"CFF ", "cmap", "head", "hhea", "hmtx", "maxp", "name", "OS/2", "post"}) {
            const QByteArray data = m_raw.fontTable(t);
            if (!data.isEmpty())
                tables.insert(QByteArray(t), data);
        }
        file = sfnt(tables, 0x4F54544F); // "OTTO"
        fileDict = "<< /Subtype /OpenType";
    }
    put(fileId, fileDict + " >>", &file);

    const int capHeight = u16(os2, 0) >= 2 ? s16(os2, 88) : s16(hhea, 4);
    put(descriptorId,
        "<< /Type /FontDescriptor /FontName /" + name + " /Flags " + QByteArray(italic ? "68" : "4") + " /FontBBox ["
            + number(s16(head, 36) * em) + ' ' + number(s16(head, 38) * em) + ' ' + number(s16(head, 40) * em) + ' '
            + number(s16(head, 42) * em) + "] /ItalicAngle " + QByteArray(italic ? "-12" : "0") + " /Ascent "
            + number(s16(hhea, 4) * em) + " /Descent " + number(s16(hhea, 6) * em) + " /CapHeight "
            + number(capHeight * em) + " /StemV 80 " + QByteArray(m_glyf ? "/FontFile2 " : "/FontFile3 ")
            + QByteArray::number(fileId) + " 0 R >>",
        nullptr);

    // Widths of the glyphs used, runs of neighbours together.
    QVector<quint32> used(m_used.cbegin(), m_used.cend());
    std::sort(used.begin(), used.end());
    QByteArray w = "[";
    for (qsizetype i = 0; i < used.size();) {
        qsizetype j = i;
        w += QByteArray::number(used[i]) + " [";
        while (j < used.size() && used[j] == used[i] + quint32(j - i)) {
            w += number(width(used[j])) + ' ';
            ++j;
        }
        w += "] ";
        i = j;
    }
    w += ']';
    put(cidId,
        "<< /Type /Font /Subtype /" + QByteArray(m_glyf ? "CIDFontType2" : "CIDFontType0") + " /BaseFont /" + name
            + " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> /FontDescriptor "
            + QByteArray::number(descriptorId) + " 0 R /DW 1000 /W " + w
            + (m_glyf ? QByteArray(" /CIDToGIDMap /Identity") : QByteArray()) + " >>",
        nullptr);

    // What each glyph stands for, so that the text can be copied and searched.
    const QHash<quint32, QString> text = unicodeOfUsed();
    QByteArray cmap = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                      "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    QVector<quint32> mapped = text.keys().toVector();
    std::sort(mapped.begin(), mapped.end());
    for (qsizetype i = 0; i < mapped.size(); i += 100) {
        const qsizetype n = qMin<qsizetype>(100, mapped.size() - i);
        cmap += QByteArray::number(n) + " beginbfchar\n";
        for (qsizetype k = i; k < i + n; ++k)
            cmap += '<' + hex4(mapped[k]) + "> <" + utf16Hex(text.value(mapped[k])) + ">\n";
        cmap += "endbfchar\n";
    }
    cmap += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    put(cmapId, "<< >>", &cmap);

    put(fontId,
        "<< /Type /Font /Subtype /Type0 /BaseFont /" + name + " /Encoding /Identity-H /DescendantFonts ["
            + QByteArray::number(cidId) + " 0 R] /ToUnicode " + QByteArray::number(cmapId) + " 0 R >>",
        nullptr);
}

} // namespace qo::pdf
