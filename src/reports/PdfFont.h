#pragma once
// Inside the PDF writer: one font face as the file embeds it. The glyphs a
// document uses are collected while its pages are written; at the end the face
// is written once as a subset (only those glyph outlines) with their widths and
// the text each glyph stands for, so that a reader can copy and search it.
#include <QByteArray>
#include <QHash>
#include <QRawFont>
#include <QSet>
#include <QVector>
#include <functional>

namespace qo::pdf {

// Writes a PDF object: its number and its body (a dictionary, with a stream
// after it when `stream` is not null).
using PutObject = std::function<void(int id, const QByteArray &dictionary, const QByteArray *stream)>;

class EmbeddedFont {
public:
    explicit EmbeddedFont(const QRawFont &raw);

    bool embeddable() const { return m_ok; }
    // Advance of a glyph in thousandths of an em, as the file states it.
    double width(quint32 glyph) const
    {
        return m_widths.isEmpty() ? 0 : m_widths[qsizetype(qMin<quint32>(glyph, quint32(m_widths.size() - 1)))];
    }
    void use(quint32 glyph)
    {
        if (glyph < quint32(m_usedFlags.size()) && !m_usedFlags[glyph]) {
            m_usedFlags[glyph] = 1;
            m_used.insert(glyph);
        }
    }
    // The text a glyph stands for, where the caller knows it (shaped text).
    void noteText(quint32 glyph, const QString &text);

    // Writes the face as the Type0 font `fontId`; `reserve` gives numbers for
    // the objects it needs beside it.
    void write(int fontId, int index, const std::function<int()> &reserve, const PutObject &put);

private:
    QByteArray subset() const;
    QHash<quint32, QString> unicodeOfUsed() const;

    QRawFont m_raw;
    bool m_ok = false;
    bool m_glyf = false; // TrueType outlines (else CFF: embedded whole)
    QVector<double> m_widths;      // per glyph
    QVector<quint8> m_usedFlags;   // per glyph: the set below, quick to ask
    QSet<quint32> m_used;
    QHash<quint32, QString> m_text;
};

} // namespace qo::pdf
