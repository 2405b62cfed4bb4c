#include "config/IniFile.h"
#include "base/Codec.h"
#include "base/Error.h"
#include "base/SaveFile.h"

#include <QFile>

namespace qo {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArray trimBlanks(const QByteArray &b)
{
    qsizetype s = 0, e = b.size();
    while (s < e && isBlank(b[s]))
        ++s;
    while (e > s && isBlank(b[e - 1]))
        --e;
    return b.mid(s, e - s);
}

bool sameName(const QByteArray &a, const QByteArray &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The name of a "[name]" line, or nothing for any other line.
std::optional<QByteArray> sectionName(const QByteArray &line)
{
    const QByteArray t = trimBlanks(line);
    if (!t.startsWith('['))
        return std::nullopt;
    qsizetype close = t.indexOf(']');
    if (close < 0)
        close = t.size();
    return trimBlanks(t.mid(1, close - 1));
}

// Splits "key=value"; false for a line without "=".
bool splitKeyLine(const QByteArray &line, QByteArray *key, QByteArray *value)
{
    const qsizetype eq = line.indexOf('=');
    if (eq < 0)
        return false;
    *key = trimBlanks(line.left(eq));
    if (value)
        *value = trimBlanks(line.mid(eq + 1));
    return true;
}

} // namespace

IniDocument IniDocument::load(const QString &path)
{
    IniDocument doc;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        doc.m_readable = !f.exists();
        return doc;
    }
    const QByteArray data = f.readAll();
    if (f.error() != QFileDevice::NoError)
        doc.m_readable = false;
    f.close();
    if (data.isEmpty())
        return doc;

    const QByteArray sep = data.contains("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf(sep, start);
        if (end < 0) {
            doc.m_lines << data.mid(start);
            break;
        }
        doc.m_lines << data.mid(start, end - start);
        start = end + sep.size();
    }
    return doc;
}

IniDocument IniDocument::loadForUpdate(const QString &path)
{
    IniDocument doc = load(path);
    if (!doc.m_readable)
        throw Error(QStringLiteral("Unable to read ") + path);
    return doc;
}

void IniDocument::save(const QString &path) const
{
    QByteArray data;
    for (const QByteArray &l : m_lines) {
        data += l;
        data += "\r\n";
    }
    SaveBytes(path, data, SaveFile::Access::OwnerOnly); // holds the stored connections
}

int IniDocument::findSection(const QByteArray &name) const
{
    for (int i = 0; i < m_lines.size(); ++i) {
        const auto s = sectionName(m_lines.at(i));
        if (s && sameName(*s, name))
            return i;
    }
    return -1;
}

int IniDocument::sectionEnd(int header) const
{
    int i = header + 1;
    while (i < m_lines.size() && !sectionName(m_lines.at(i)))
        ++i;
    return i;
}

int IniDocument::findKey(const QByteArray &section, const QByteArray &key) const
{
    const int h = findSection(section);
    if (h < 0)
        return -1;
    const int end = sectionEnd(h);
    QByteArray k;
    for (int i = h + 1; i < end; ++i)
        if (splitKeyLine(m_lines.at(i), &k, nullptr) && sameName(k, key))
            return i;
    return -1;
}

std::optional<QByteArray> IniDocument::value(const QString &section, const QString &key, int maxLength) const
{
    const int i = findKey(toCp1250(section), toCp1250(key));
    if (i < 0)
        return std::nullopt;
    QByteArray k, v;
    splitKeyLine(m_lines.at(i), &k, &v);
    if (maxLength >= 0 && v.size() > maxLength)
        v.truncate(maxLength);
    return v;
}

bool IniDocument::contains(const QString &section, const QString &key) const
{
    return findKey(toCp1250(section), toCp1250(key)) >= 0;
}

void IniDocument::set(const QString &section, const QString &key, const QByteArray &value)
{
    const QByteArray s = toCp1250(section), k = toCp1250(key);
    QByteArray v = value;
    v.replace("\r\n", " ");

    const int existing = findKey(s, k);
    if (existing >= 0) {
        QByteArray oldKey;
        splitKeyLine(m_lines.at(existing), &oldKey, nullptr);
        m_lines[existing] = oldKey + '=' + v;
        return;
    }
    const int h = findSection(s);
    if (h < 0) {
        m_lines << ('[' + s + ']') << (k + '=' + v);
        return;
    }
    // After the section's last non-empty line, so a blank line that
    // separates it from the next section stays where it is.
    int at = sectionEnd(h);
    while (at > h + 1 && trimBlanks(m_lines.at(at - 1)).isEmpty())
        --at;
    m_lines.insert(at, k + '=' + v);
}

bool IniDocument::remove(const QString &section, const QString &key)
{
    const int i = findKey(toCp1250(section), toCp1250(key));
    if (i < 0)
        return false;
    m_lines.removeAt(i);
    return true;
}

} // namespace qo
