#pragma once
// Files the program wrote, read back by real readers: Python scripts (the
// system's python3 with the Debian packages of csv, xlrd, openpyxl and
// html.parser) that print what they read as JSON.
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QProcess>
#include <QStringList>

namespace qo::test {

// The system's Python, where the Debian packages of the readers live (a
// Python of the user's own may come first on the path).
inline QString pythonProgram()
{
    return QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3") : QStringLiteral("python3");
}

// Runs a Python script with arguments; its standard output parsed as JSON.
inline QJsonValue python(const QString &script, const QStringList &args = {})
{
    QProcess p;
    p.start(pythonProgram(), QStringList{QStringLiteral("-c"), script} + args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        qWarning("python failed: %s", p.readAllStandardError().constData());
        return {};
    }
    const QJsonDocument d = QJsonDocument::fromJson(QByteArray("{\"v\":") + p.readAllStandardOutput() + "}");
    return d.object().value(QStringLiteral("v"));
}

// Python's csv reader with the given dialect, the file decoded as Windows-1250.
inline constexpr char kCsvReader[] = R"(
import csv, json, sys
path, delim, quote = sys.argv[1], sys.argv[2], sys.argv[3]
with open(path, encoding='cp1250', newline='') as f:
    if quote:
        r = csv.reader(f, delimiter=delim, quotechar=quote)
    else:
        r = csv.reader(f, delimiter=delim, quoting=csv.QUOTE_NONE)
    print(json.dumps([row for row in r]))
)";

// Every start tag, the text inside td/th/title/h1 cells, and the declared charset.
inline constexpr char kHtmlReader[] = R"(
import json, sys
from html.parser import HTMLParser
class P(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.tags, self.cells, self.stack, self.texts, self.charset, self.attrs = [], [], [], [], None, []
    def handle_starttag(self, tag, attrs):
        self.tags.append(tag)
        d = dict(attrs)
        if tag == 'meta' and 'content' in d and 'charset=' in d['content']:
            self.charset = d['content'].split('charset=')[1]
        if tag in ('td', 'th', 'title', 'h1'):
            self.stack.append([tag, ''])
            self.attrs.append([tag, d.get('width'), d.get('align')])
    def handle_endtag(self, tag):
        if self.stack and self.stack[-1][0] == tag:
            self.cells.append(self.stack.pop())
    def handle_data(self, data):
        if self.stack:
            self.stack[-1][1] += data
        self.texts.append(data)
raw = open(sys.argv[1], 'rb').read()
p = P()
p.feed(raw.decode('cp1250'))
print(json.dumps({'tags': sorted(set(p.tags)), 'cells': p.cells, 'charset': p.charset, 'attrs': p.attrs,
                  'text': ''.join(p.texts), 'crlf': raw.count(b'\r\n') == raw.count(b'\n')}))
)";

} // namespace qo::test
