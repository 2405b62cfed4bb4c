// Exports and online services against a real shop database, every written
// file read back by a real reader: delimited text by Python's csv module, the
// BIFF2 worksheet by xlrd (and its records walked by a small Python reader),
// the workbook by openpyxl, the HTML page by Python's html.parser. The version
// notes and the news are fetched from Python's http.server on 127.0.0.1.
#include "config/AppState.h"
#include "config/Config.h"
#include "config/StoredConnections.h"
#include "db/Connection.h"
#include "export/Biff2Writer.h"
#include "export/ClipboardExport.h"
#include "export/DelimitedWriter.h"
#include "export/ExportDialog.h"
#include "export/HtmlExport.h"
#include "export/HtmlExportDialog.h"
#include "export/MailHandoff.h"
#include "export/NewsFeed.h"
#include "export/OnlineService.h"
#include "export/VersionNotes.h"
#include "export/XlsxWriter.h"
#include "support/Drive.h"
#include "support/LocalService.h"
#include "support/ExportFixture.h"
#include "support/Readers.h"
#include "support/TestDb.h"
#include "support/AdminFormParts.h"
#include "db/RowCounter.h"
#include "ui/Grid.h"
#include "ui/JobProgress.h"
#include "base/SaveFile.h"
#include "ui/GridModel.h"
#include "ui/ListQuery.h"

#include <QtTest>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QStandardPaths>
#include <QScrollBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

using namespace qo;
using namespace qo::test;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QJsonArray rowsOf(const QStringList &a, const QStringList &b = {}, const QStringList &c = {})
{
    QJsonArray out;
    for (const QStringList *l : {&a, &b, &c})
        if (!l->isEmpty())
            out.append(QJsonArray::fromStringList(*l));
    return out;
}

// xlrd's view of the worksheet plus the record types a plain walk of the file finds.
const char kBiffReader[] = R"(
import json, struct, sys, xlrd
path = sys.argv[1]
book = xlrd.open_workbook(path)
sh = book.sheet_by_index(0)
cells = [[[sh.cell(r, c).ctype, sh.cell(r, c).value] for c in range(sh.ncols)] for r in range(sh.nrows)]
data = open(path, 'rb').read()
recs, at, codepage = [], 0, None
while at + 4 <= len(data):
    t, n = struct.unpack_from('<HH', data, at)
    body = data[at + 4: at + 4 + n]
    if t in (1, 2, 3, 4, 5):
        row, col = struct.unpack_from('<HH', body, 0)
        recs.append([t, row, col, list(body[4:7])])
    elif t == 0x42:
        codepage = struct.unpack_from('<H', body, 0)[0]
        recs.append([t, n])
    else:
        recs.append([t, n])
    at += 4 + n
print(json.dumps({'cells': cells, 'records': recs, 'biff': book.biff_version, 'end': at == len(data),
                  'codepage': codepage}))
)";

const char kXlsxReader[] = R"(
import json, sys, datetime, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.active
out = []
for row in ws.iter_rows():
    out.append([[type(c.value).__name__, c.value.isoformat() if isinstance(c.value, datetime.datetime) else c.value,
                 bool(c.font and c.font.b), c.number_format] for c in row])
widths = {k: v.width for k, v in ws.column_dimensions.items()}
print(json.dumps({'rows': out, 'widths': widths}))
)";

// A long exported list read back whole: the number of data rows and the
// "Név" and "Szám" cells of the first and the last one.
const char kLongReader[] = R"(
import csv, json, sys
path, kind = sys.argv[1], sys.argv[2]
def norm(v):
    if isinstance(v, float) and v.is_integer():
        v = int(v)
    return '' if v is None else str(v)
if kind == 'csv':
    with open(path, encoding='cp1250', newline='') as f:
        rows = list(csv.reader(f, delimiter=';', quoting=csv.QUOTE_NONE))
elif kind == 'xls':
    # The records walked: xlrd stops at row 16384, the limit of the Excel
    # versions that wrote this format.
    import struct
    data, cells, at = open(path, 'rb').read(), {}, 0
    while at + 4 <= len(data):
        t, n = struct.unpack_from('<HH', data, at)
        body = data[at + 4: at + 4 + n]
        if t in (2, 3, 4):
            r, c = struct.unpack_from('<HH', body, 0)
            if t == 2:
                v = struct.unpack_from('<H', body, 7)[0]
            elif t == 3:
                v = struct.unpack_from('<d', body, 7)[0]
            else:
                v = body[8:8 + body[7]].decode('cp1250')
            cells[(r, c)] = norm(v)
        at += 4 + n
    nrows, ncols = max(r for r, c in cells) + 1, max(c for r, c in cells) + 1
    rows = [[cells.get((r, c), '') for c in range(ncols)] for r in range(nrows)]
elif kind == 'xlsx':
    import openpyxl
    ws = openpyxl.load_workbook(path, read_only=True).active
    rows = [[norm(v) for v in r] for r in ws.iter_rows(values_only=True)]
else:
    from html.parser import HTMLParser
    class P(HTMLParser):
        def __init__(self):
            super().__init__()
            self.rows, self.cell = [], None
        def handle_starttag(self, tag, attrs):
            if tag == 'tr':
                self.rows.append([])
            if tag in ('td', 'th'):
                self.cell = ''
        def handle_endtag(self, tag):
            if tag in ('td', 'th'):
                self.rows[-1].append(self.cell)
                self.cell = None
        def handle_data(self, data):
            if self.cell is not None:
                self.cell += data
    p = P()
    p.feed(open(path, 'rb').read().decode('cp1250'))
    rows = p.rows
head = rows[0]
pick = lambda r: [r[head.index('Név')], r[head.index('Szám')]]
print(json.dumps({'count': len(rows) - 1, 'first': pick(rows[1]), 'last': pick(rows[-1])}))
)";

// A web service for the answers python's server is not fit to give: every
// request gets `head` and then `size` bytes of body, streamed as fast as the
// client takes them (with or without a Content-Length line).
class StreamingService : public QObject {
public:
    StreamingService(const QByteArray &head, qint64 size, bool announced) : m_head(head), m_size(size)
    {
        QVERIFY(m_server.listen(QHostAddress::LocalHost));
        connect(&m_server, &QTcpServer::newConnection, this, [this, announced] {
            while (QTcpSocket *s = m_server.nextPendingConnection()) {
                s->setParent(this);
                connect(s, &QTcpSocket::readyRead, s, [this, s, announced] {
                    m_request += s->readAll();
                    if (!m_request.contains("\r\n\r\n") || m_answered)
                        return;
                    m_answered = true;
                    QByteArray response("HTTP/1.0 200 OK\r\nContent-Type: text/plain; charset=utf-8\r\n");
                    if (announced)
                        response += "Content-Length: " + QByteArray::number(m_head.size() + m_size) + "\r\n";
                    s->write(response + "\r\n" + m_head);
                    more(s);
                });
                connect(s, &QTcpSocket::bytesWritten, s, [this, s] { more(s); });
                connect(s, &QTcpSocket::disconnected, s, [this] { m_closed = true; });
            }
        });
    }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort()); }
    qint64 sent() const { return m_sent; }
    bool closed() const { return m_closed; }

private:
    void more(QTcpSocket *s)
    {
        constexpr qint64 kChunk = 64 * 1024;
        while (s->state() == QAbstractSocket::ConnectedState && m_sent < m_size && s->bytesToWrite() < kChunk) {
            const qint64 n = qMin(kChunk, m_size - m_sent);
            s->write(QByteArray(n, 'x'));
            m_sent += n;
        }
        if (m_sent >= m_size && s->bytesToWrite() == 0)
            s->disconnectFromHost();
    }
    QTcpServer m_server;
    QByteArray m_head, m_request;
    qint64 m_size, m_sent = 0;
    bool m_answered = false, m_closed = false;
};

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A key sent from the event loop, so that a message box it opens can be answered.
void pressLater(Qt::Key key)
{
    QTimer::singleShot(0, qApp, [key] {
        if (QWidget *f = QApplication::focusWidget())
            QTest::keyClick(f, key);
    });
}

// The export dialog answered at the keyboard: Tab from the column list to the
// file name, the path typed, Enter; the message that follows confirmed, and
// back in the dialog, Esc closes it.
void answerExportDialog(const QString &path)
{
    onModal(anyWindow(), [path](QWidget *d) {
        QApplication::setActiveWindow(d);
        auto *e = qobject_cast<ExportDialog *>(d);
        QVERIFY(e);
        int presses = 0;
        while (QApplication::focusWidget() != formParts(e).fileEdit && presses++ < 20)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), formParts(e).fileEdit);
        QTest::keyClick(formParts(e).fileEdit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(formParts(e).fileEdit, path);
        pressLater(Qt::Key_Return);
    });
    onModal(messageBox(), pressButton(QMessageBox::Ok));
    onModal(anyWindow(), [](QWidget *d) { QTest::keyClick(d->focusWidget() ? d->focusWidget() : d, Qt::Key_Escape); });
}

QWidget *topLevelNamed(const QString &name)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            return w;
    return nullptr;
}

} // namespace

class TestExport : public QObject, public test::ExportFixture {
    Q_OBJECT

    static RowSet q(const QString &sql) { return Connection::main().query(sql); }

    // A list of `rows` rows ("Név 00001"... in name order) opened as a window
    // does: only its first page is held.
    struct LongList {
        GridModel model;
        ListQuery query;
        Grid grid;
        explicit LongList(int rows)
        {
            ExecSql(QStringLiteral("INSERT INTO t_exp (nev, szam, ar) SELECT CONCAT('Név ', LPAD(seq, 5, '0')), seq, seq * 1.5 "
                                   "FROM seq_1_to_%1").arg(rows));
            model.setColumns({{QStringLiteral("nev"), QStringLiteral("Név")},
                              {QStringLiteral("szam"), QStringLiteral("Szám"), QStringLiteral("000000")}});
            query = ListQuery({QStringLiteral("SELECT k, nev, szam, ar FROM t_exp"), QStringLiteral("WHERE k > 0"),
                               QStringLiteral("ORDER BY nev;")},
                              &model, QStringLiteral("k"));
            query.open();
            grid.setGridModel(&model);
            grid.resize(500, 300);
        }
        QString currentName() const
        {
            return grid.currentRowIndex() < 0 ? QString() : model.displayText(grid.currentRowIndex(), 0);
        }
    };

private Q_SLOTS:
    void initTestCase() { setUpExports(); }
    void cleanupTestCase() { tearDownExports(); }
    void init() { clearExportTable(); }

    // ---- delimited text ------------------------------------------------------

    void delimited_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<char>("sep");
        QTest::addColumn<char>("quote");
        QTest::addColumn<bool>("memo");
        QTest::addColumn<bool>("names");
        QTest::addColumn<bool>("noHeader");
        QTest::addColumn<QByteArray>("bytes"); // the whole file
        QTest::addColumn<QJsonArray>("csv");   // what Python's csv reader sees

        // Two fields, the second NULL: the header keeps its last separator, the record does not.
        QTest::newRow("null second field")
            << "SELECT 'x' AS a, NULL AS b" << ';' << char(0) << true << false << false
            << QByteArray("a;b;\r\nx;\r\n") << rowsOf({"a", "b", ""}, {"x", ""});
        // A quote inside a value is doubled, so the value reads back whole.
        QTest::newRow("doubled quote")
            << "SELECT 'say \"hi\"; x' AS a, 2 AS b" << ';' << '"' << true << false << false
            << QByteArray("\"a\";\"b\";\r\n\"say \"\"hi\"\"; x\";\"2\"\r\n") << rowsOf({"a", "b", ""}, {"say \"hi\"; x", "2"});
        QTest::newRow("doubled apostrophe")
            << "SELECT 'O''Brien' AS a, 'it''s; ok' AS `b'c`" << '|' << '\'' << true << false << false
            << QByteArray("'a'|'b''c'|\r\n'O''Brien'|'it''s; ok'\r\n") << rowsOf({"a", "b'c", ""}, {"O'Brien", "it's; ok"});
        // Without a text quote only a value holding the separator or a double
        // quote is enclosed in double quotes; the rest stays bare.
        QTest::newRow("bare value quoted when needed")
            << "SELECT 'a;b' AS v, 'say \"hi\"' AS w, 'plain' AS `x;y`" << ';' << char(0) << true << false << false
            << QByteArray("v;w;\"x;y\";\r\n\"a;b\";\"say \"\"hi\"\"\";plain\r\n")
            << rowsOf({"v", "w", "x;y", ""}, {"a;b", "say \"hi\"", "plain"});
        // A memo line break becomes backslash n, a backslash is doubled, the separator in a memo a comma.
        QTest::newRow("memo line break")
            << "SELECT nev, megj FROM t_exp" << ';' << char(0) << true << false << false
            << QByteArray("nev;megj;\r\nKiss;els\xF5 sor\\nm\xE1sodik a\\\\b, c\r\n")
            << rowsOf({"nev", "megj", ""}, {"Kiss", "első sor\\nmásodik a\\\\b, c"});
        QTest::newRow("memo off gives BLOB")
            << "SELECT nev, megj FROM t_exp" << '|' << char(0) << false << false << false
            << QByteArray("nev|megj|\r\nKiss|BLOB\r\n") << rowsOf({"nev", "megj", ""}, {"Kiss", "BLOB"});
        // No header: the file begins with an empty line.
        QTest::newRow("no header")
            << "SELECT nev, szam FROM t_exp" << ';' << char(0) << true << false << true
            << QByteArray("\r\nKiss;65535\r\n") << QJsonArray{QJsonArray(), QJsonArray{"Kiss", "65535"}};
        // A plain field with the separator stays one column.
        QTest::newRow("separator quoted")
            << "SELECT 'a,b' AS v, 1 AS n" << ',' << char(0) << true << false << false
            << QByteArray("v,n,\r\n\"a,b\",1\r\n") << rowsOf({"v", "n", ""}, {"a,b", "1"});
        // A text that would be a formula keeps its apostrophe inside the quotes; a plain number has none.
        QTest::newRow("formula inside quotes")
            << "SELECT '=1+1' AS a, '-5' AS b" << ';' << '"' << true << false << false
            << QByteArray("\"a\";\"b\";\r\n\"'=1+1\";\"-5\"\r\n") << rowsOf({"a", "b", ""}, {"'=1+1", "-5"});
        QTest::newRow("tab, apostrophe, names, dates")
            << "SELECT nev, datum, ar FROM t_exp" << '\t' << '\'' << true << true << false
            << QByteArray("'nev'\t'datum'\t'ar'\t\r\n'Kiss'\t'2024.03.05'\t'12500.5'\r\n")
            << rowsOf({"nev", "datum", "ar", ""}, {"Kiss", "2024.03.05", "12500.5"});
    }
    void delimited()
    {
        QFETCH(QString, sql);
        QFETCH(char, sep);
        QFETCH(char, quote);
        QFETCH(bool, memo);
        QFETCH(bool, names);
        QFETCH(bool, noHeader);
        QFETCH(QByteArray, bytes);
        QFETCH(QJsonArray, csv);
        ExecSql(QStringLiteral("INSERT INTO t_exp (nev, megj, ar, datum, szam) VALUES "
                               "('Kiss', 'első sor\\r\\nmásodik a\\\\b; c', 12500.5, '2024-03-05', 65535)"));
        const RowSet rs = q(sql);
        ExportSource src(rs);
        DelimitedOptions o;
        o.separator = sep;
        o.quote = quote;
        o.memoText = memo;
        o.fieldNames = names;
        o.noHeader = noHeader;
        const QString path = out(QStringLiteral("delim.csv"));
        QCOMPARE(WriteDelimitedFile(src, o, path), rs.rowCount());
        QCOMPARE(fileBytes(path), bytes);
        // Read as an RFC 4180 reader reads it: without a chosen quote, with
        // the double quote it assumes.
        QVERIFY(!csv.isEmpty());
        QCOMPARE(python(QString::fromLatin1(kCsvReader),
                        {path, QString(QLatin1Char(sep)), QString(QLatin1Char(quote ? quote : '"'))})
                     .toArray(),
                 csv);
    }

    // Text a spreadsheet would take for a formula (=, +, -, @, a tab or a CR
    // first) is written with a leading apostrophe, in the file and on the
    // clipboard; plain numbers (a negative amount, a phone number) and number
    // columns stay as they are. Every line break of a note, CR LF, LF or CR,
    // is one backslash-n.
    void formulaTextAndLineBreaks()
    {
        ExecSql(QStringLiteral(
            "INSERT INTO t_exp (nev, megj, ar) VALUES "
            "('=1+1', 'első sor\\nmásodik sor\\r\\nharmadik\\rnegyedik\\n\\nhatodik', -3), "
            "('=HYPERLINK(\"http://example.com/x\",\"memo\")', '=HYPERLINK(\"http://example.com/y\";\"memo\")', -1.5), "
            "('+36 1 234 5678', '-12,5', NULL), ('-5', '@SUM(A1)', NULL), ('+1.2.3', '- 1 000', NULL), "
            "('\\tbeljebb', '\\rsor', NULL), ('-', '1+1', NULL), ('+36-1-234-5678', '', NULL)"));
        const RowSet rs = q(QStringLiteral("SELECT nev, megj, ar FROM t_exp ORDER BY k"));
        const ExportSource src(rs);
        const QString path = out(QStringLiteral("formula.csv"));
        QCOMPARE(WriteDelimitedFile(src, DelimitedOptions(), path), 8);
        const QByteArray lines[] = {
            "nev;megj;ar;",
            "'=1+1;els\xF5 sor\\nm\xE1sodik sor\\nharmadik\\nnegyedik\\n\\nhatodik;-3",
            // A double quote inside: enclosed, the quotes doubled.
            "\"'=HYPERLINK(\"\"http://example.com/x\"\",\"\"memo\"\")\";\"'=HYPERLINK(\"\"http://example.com/y\"\",\"\"memo\"\")\";-1.5",
            "+36 1 234 5678;-12,5;",
            "-5;'@SUM(A1);",
            "'+1.2.3;- 1 000;",
            "'\tbeljebb;'\\nsor;",
            "'-;1+1;",
            "'+36-1-234-5678;;",
        };
        QByteArray expected;
        for (const QByteArray &l : lines)
            expected += l + "\r\n";
        QCOMPARE(fileBytes(path), expected);
        const QJsonArray rows = python(QString::fromLatin1(kCsvReader), {path, QStringLiteral(";"), QStringLiteral("\"")}).toArray();
        QCOMPARE(rows.size(), 9);
        QCOMPARE(rows[2].toArray()[0].toString(), QStringLiteral("'=HYPERLINK(\"http://example.com/x\",\"memo\")"));
        QCOMPARE(rows[1].toArray()[0].toString(), QStringLiteral("'=1+1"));
        QCOMPARE(rows[1].toArray()[1].toString(), QStringLiteral("első sor\\nmásodik sor\\nharmadik\\nnegyedik\\n\\nhatodik"));
        QCOMPARE(rows[3].toArray()[0].toString(), QStringLiteral("+36 1 234 5678"));

        DelimitedOptions o;
        o.quote = '"'; // the clipboard has none
        const QString clip = ClipboardText(src, o);
        QStringList clipLines = clip.split(QStringLiteral("\r\n"));
        QCOMPARE(clipLines.size(), 10);
        QCOMPARE(clipLines[1], QStringLiteral("'=1+1\telső sor\\nmásodik sor\\nharmadik\\nnegyedik\\n\\nhatodik\t-3"));
        QCOMPARE(clipLines[4], QStringLiteral("-5\t'@SUM(A1)\t"));
        // The tab inside a value would split it on pasting: enclosed.
        QCOMPARE(clipLines[6], QStringLiteral("\"'\tbeljebb\"\t'\\nsor\t"));

        // The worksheet and the workbook hold text cells: the value as it is,
        // never a formula.
        const QString xls = out(QStringLiteral("formula.xls")), xlsx = out(QStringLiteral("formula.xlsx"));
        WriteBiff2File(src, {}, xls);
        WriteXlsxFile(src, XlsxOptions(), xlsx);
        const QJsonArray cells = python(QStringLiteral(
            "import json, sys, xlrd, openpyxl\n"
            "sh = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)\n"
            "ws = openpyxl.load_workbook(sys.argv[2]).active\n"
            "print(json.dumps([[sh.cell(r, 0).ctype, sh.cell(r, 0).value, ws.cell(r + 1, 1).data_type, ws.cell(r + 1, 1).value]\n"
            "                  for r in (1, 2)]))\n"), {xls, xlsx}).toArray();
        QCOMPARE(cells, (QJsonArray{QJsonArray{1, "=1+1", "s", "=1+1"},
                                    QJsonArray{1, "=HYPERLINK(\"http://example.com/x\",\"memo\")", "s",
                                               "=HYPERLINK(\"http://example.com/x\",\"memo\")"}}));
    }

    // The same file opened by a spreadsheet program: the apostrophe keeps
    // each would-be formula a text, numbers stay numbers.
    void formulaTextInSpreadsheet()
    {
        const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (soffice.isEmpty())
            QSKIP("LibreOffice (libreoffice-calc-nogui) is not installed");
        ExecSql(QStringLiteral("INSERT INTO t_exp (nev, megj, ar) VALUES "
                               "('=1+1', '=HYPERLINK(\"http://example.com/y\";\"memo\")', -3), "
                               "('+36 1 234 5678', '-12.5', 2.5), ('@SUM(1+1)', '-2+3', NULL)"));
        const RowSet rs = q(QStringLiteral("SELECT nev, megj, ar FROM t_exp ORDER BY k"));
        const ExportSource src(rs);
        DelimitedOptions o;
        o.quote = '"';
        const QString path = out(QStringLiteral("calc/formula.csv"));
        QDir().mkpath(QFileInfo(path).path());
        WriteDelimitedFile(src, o, path);
        // A profile of its own, so that no other running instance takes the job.
        QTemporaryDir profile;
        QProcess lo;
        lo.setWorkingDirectory(QFileInfo(path).path());
        lo.start(soffice, {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile.path()).toString(),
                           QStringLiteral("--headless"), QStringLiteral("--infilter=CSV:59,34,ANSI,1"),
                           QStringLiteral("--convert-to"), QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1"),
                           QStringLiteral("--outdir"), out(QStringLiteral("calc/out")), path});
        QVERIFY(lo.waitForFinished(180000));
        QCOMPARE(lo.exitCode(), 0);
        QFile result(out(QStringLiteral("calc/out/formula.csv")));
        QVERIFY2(result.open(QIODevice::ReadOnly), qPrintable(QString::fromLocal8Bit(lo.readAllStandardError())));
        const QString shown = QString::fromUtf8(result.readAll());
        const QStringList lines = shown.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[1].trimmed(), QStringLiteral("\"'=1+1\",\"'=HYPERLINK(\"\"http://example.com/y\"\",\"\"memo\"\")\",-3"));
        QCOMPARE(lines[2].trimmed(), QStringLiteral("\"+36 1 234 5678\",-12.5,2.5"));
        QCOMPARE(lines[3].trimmed(), QStringLiteral("\"'@SUM(1+1)\",\"'-2+3\","));
    }

    // Captions of the grid are the header; unticked columns are left out; no
    // ticked column gives one empty line per record.
    void delimitedFromGridCaptionsAndChoice()
    {
        ExecSql(QStringLiteral("INSERT INTO t_exp (nev, szam) VALUES ('Árvíztűrő tükörfúrógép', 1), ('Nagy Ödön', 2)"));
        GridModel model;
        model.setColumns({{QStringLiteral("nev"), QStringLiteral("Név")}, {QStringLiteral("szam"), QStringLiteral("Szám")}});
        model.setRowSet(q(QStringLiteral("SELECT k, nev, szam FROM t_exp ORDER BY k")));
        Grid grid;
        grid.setGridModel(&model);
        ExportSource src(&grid);
        DelimitedOptions o;
        o.chosen = {false, true, true};
        const QString path = out(QStringLiteral("grid.csv"));
        WriteDelimitedFile(src, o, path);
        QCOMPARE(python(QString::fromLatin1(kCsvReader), {path, QStringLiteral(";"), QString()}).toArray(),
                 rowsOf({"Név", "Szám", ""}, {"Árvíztűrő tükörfúrógép", "1"}, {"Nagy Ödön", "2"}));
        o.chosen = {false, false, false};
        WriteDelimitedFile(src, o, path);
        QCOMPARE(fileBytes(path), QByteArray("\r\n\r\n\r\n"));
    }

    // ---- the BIFF2 worksheet -------------------------------------------------

    void biff2CellsAndRecords()
    {
        ExecSql(QStringLiteral("INSERT INTO t_exp (k, nev, megj, ar, datum, szam, nagy) VALUES "
                               "(65535, 'Győr Árvíztűrő', 'hosszú', 1.25, '2024-03-05', NULL, 7), "
                               "(70000, NULL, NULL, -3, NULL, -1, NULL)"));
        GridModel model;
        model.setColumns({{QStringLiteral("k"), QStringLiteral("Kulcs")}, {QStringLiteral("nev"), QStringLiteral("Név")}});
        model.setRowSet(q(QStringLiteral("SELECT k, nev, megj, ar, datum, szam, nagy FROM t_exp ORDER BY k")));
        Grid grid;
        grid.setGridModel(&model);
        ExportSource src(&grid);
        const QString path = out(QStringLiteral("cells.xls"));
        WriteBiff2File(src, {}, path);
        const QJsonObject r = python(QString::fromLatin1(kBiffReader), {path}).toObject();
        QCOMPARE(r.value(QStringLiteral("biff")).toInt(), 20);
        QVERIFY(r.value(QStringLiteral("end")).toBool());
        const QJsonArray cells = r.value(QStringLiteral("cells")).toArray();
        QCOMPARE(cells.size(), 3);
        auto cell = [&](int row, int col) { return cells[row].toArray()[col].toArray(); };
        // xlrd types: 1 text, 2 number, 4 boolean, 6 blank (0 empty).
        QCOMPARE(cell(0, 0), (QJsonArray{1, "Kulcs"}));
        QCOMPARE(cell(0, 1), (QJsonArray{1, "Név"}));
        QCOMPARE(cell(0, 2), (QJsonArray{1, "megj"}));
        QCOMPARE(cell(1, 0), (QJsonArray{2, 65535}));
        QCOMPARE(cell(1, 1), (QJsonArray{1, "Győr Árvíztűrő"})); // read in the declared code page
        QCOMPARE(cell(1, 2), (QJsonArray{1, "hosszú"}));
        QCOMPARE(cell(1, 3), (QJsonArray{2, 1.25}));
        QCOMPARE(cell(1, 4), (QJsonArray{1, "2024.03.05"}));
        QCOMPARE(cell(1, 6), (QJsonArray{1, "7"})); // 64-bit integers are labels
        QCOMPARE(cell(2, 0), (QJsonArray{2, 70000}));
        QCOMPARE(cell(2, 3), (QJsonArray{2, -3}));
        QCOMPARE(cell(2, 5), (QJsonArray{2, -1}));

        // The records themselves: 65535 INTEGER, 70000 NUMBER, NULL BLANK, attributes.
        QMap<QPair<int, int>, QJsonArray> byCell;
        auto at = [&](int row, int col) { return byCell.value(qMakePair(row, col)); };
        QList<int> order;
        for (const QJsonValue &v : r.value(QStringLiteral("records")).toArray()) {
            const QJsonArray a = v.toArray();
            order << a[0].toInt();
            if (a.size() == 4)
                byCell.insert(qMakePair(a[1].toInt(), a[2].toInt()), a);
        }
        // CODEPAGE right after BOF: Windows-1250.
        QCOMPARE(order.mid(0, 6), (QList<int>{0x09, 0x42, 0x31, 0x31, 0x31, 0x00}));
        QCOMPARE(r.value(QStringLiteral("codepage")).toInt(), 1250);
        QCOMPARE(order.last(), 0x0A);
        QCOMPARE(at(0, 0)[3].toArray(), (QJsonArray{0, 0x80, 0}));
        QCOMPARE(at(1, 0)[0].toInt(), 0x02); // 65535: INTEGER, right-aligned
        QCOMPARE(at(1, 0)[3].toArray(), (QJsonArray{0, 0, 3}));
        QCOMPARE(at(2, 0)[0].toInt(), 0x03); // 70000: NUMBER
        QCOMPARE(at(2, 5)[0].toInt(), 0x03); // -1: NUMBER
        QCOMPARE(at(2, 1)[0].toInt(), 0x01); // NULL: BLANK
        QCOMPARE(at(1, 5)[0].toInt(), 0x01);
        QCOMPARE(at(1, 1)[0].toInt(), 0x04); // text: LABEL, left-aligned
        QCOMPARE(at(1, 1)[3].toArray(), (QJsonArray{0, 0, 1}));
    }

    // Row numbers of the format are 16-bit: a longer list is refused instead
    // of wrapping round onto the header; an earlier file stays.
    void biff2TooManyRows()
    {
        ExecSql(QStringLiteral("INSERT INTO t_exp (nev) VALUES ('a')"));
        for (int i = 0; i < 16; ++i)
            ExecSql(QStringLiteral("INSERT INTO t_exp (nev) SELECT nev FROM t_exp"));
        const RowSet rs = q(QStringLiteral("SELECT nev FROM t_exp"));
        QCOMPARE(rs.rowCount(), 65536);
        const ExportSource src(rs);
        const QString path = out(QStringLiteral("long.xls"));
        writeFile(path, "earlier");
        QVERIFY_THROWS_EXCEPTION(Error, WriteBiff2File(src, {}, path));
        QCOMPARE(fileBytes(path), QByteArray("earlier"));
    }

    // ---- the dialog ----------------------------------------------------------

    // The extension decides the writer, letter case ignored; ".xml" is refused.
    void dialogChoosesWriterByExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::newRow("xls") << "a.xls" << "biff";
        QTest::newRow("XLS") << "b.XLS" << "biff";
        QTest::newRow("Xls") << "c.Xls" << "biff";
        QTest::newRow("xlsx") << "d.XLSX" << "xlsx";
        QTest::newRow("txt") << "e.txt" << "text";
        QTest::newRow("none") << "f" << "text";
        QTest::newRow("XML") << "g.XML" << "none";
    }
    void dialogChoosesWriterByExtension()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        ExecSql(QStringLiteral("INSERT INTO t_exp (nev, szam) VALUES ('Kiss', 3)"));
        const RowSet rs = q(QStringLiteral("SELECT nev, szam FROM t_exp"));
        const ExportSource src(rs);
        ExportDialog d(src, {});
        d.show();
        const QString path = out(name);
        QFile::remove(path);
        formParts(d).fileEdit->setText(path);
        ModalLog answers;
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        formParts(d).startButton->click();
        QTRY_VERIFY(answers.done());
        const QByteArray b = fileBytes(path);
        if (kind == QLatin1String("none")) {
            QCOMPARE(answers.texts, QStringList{QStringLiteral("Ebben a verzióban ez nem támogatott.")});
            QCOMPARE(answers.titles, QStringList{QStringLiteral("Hiba")});
            QVERIFY(!QFile::exists(path));
            return;
        }
        QCOMPARE(answers.texts, QStringList{path + QStringLiteral(" file kész.")});
        if (kind == QLatin1String("biff"))
            QVERIFY(b.startsWith(QByteArray("\x09\x00\x04\x00\x02\x00\x10\x00", 8)));
        else if (kind == QLatin1String("xlsx"))
            QVERIFY(b.startsWith("PK"));
        else
            QCOMPARE(b, QByteArray("nev;szam;\r\nKiss;3\r\n"));
    }

    // With no documents folder yet the name offered is File001.csv in the
    // system's documents folder, made by the export; a file that cannot be
    // written is reported in Hungarian, once prefixed.
    void defaultNameInNewDocumentsFolder()
    {
        QTemporaryDir home;
        const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
        const auto restore = qScopeGuard([&] {
            qputenv("HOME", oldHome);
            oldConfig.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", oldConfig);
        });
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral(".config"))));
        const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QVERIFY2(docs.startsWith(home.path()), qPrintable(docs));
        QVERIFY(!QFileInfo::exists(docs));

        ExecSql(QStringLiteral("INSERT INTO t_exp (nev, szam) VALUES ('Kiss', 3)"));
        const RowSet rs = q(QStringLiteral("SELECT nev, szam FROM t_exp"));
        const ExportSource src(rs);
        ExportDialog d(src, {});
        const QString path = QDir(docs).filePath(QStringLiteral("File001.csv"));
        QCOMPARE(formParts(d).fileEdit->text(), path);
        d.show();
        ModalLog answers;
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        formParts(d).startButton->click();
        QTRY_VERIFY(answers.done());
        QCOMPARE(answers.texts, QStringList{path + QStringLiteral(" file kész.")});
        QCOMPARE(fileBytes(path), QByteArray("nev;szam;\r\nKiss;3\r\n"));

        // A folder that cannot be made (a file stands in its place).
        writeFile(home.filePath(QStringLiteral("fajl")), "x");
        const QString bad = home.filePath(QStringLiteral("fajl/File001.csv"));
        formParts(d).fileEdit->setText(bad);
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        formParts(d).startButton->click();
        QTRY_VERIFY(answers.done());
        QCOMPARE(answers.texts.size(), 2);
        QVERIFY2(answers.texts.last().startsWith(QStringLiteral("Hiba: a fájl nem írható: ") + bad),
                 qPrintable(answers.texts.last()));
        QVERIFY(d.isVisible());
    }

    // An empty data set is refused for the worksheet, and an earlier file survives.
    void dialogEmptyWorksheet()
    {
        const RowSet rs = q(QStringLiteral("SELECT nev FROM t_exp"));
        const ExportSource src(rs);
        ExportDialog d(src, {});
        d.show();
        const QString path = out(QStringLiteral("empty.xls"));
        writeFile(path, "earlier");
        formParts(d).fileEdit->setText(path);
        ModalLog answers;
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        formParts(d).startButton->click();
        QTRY_VERIFY(answers.done());
        QCOMPARE(answers.texts, QStringList{QStringLiteral("Cannot perform this operation on an empty dataset")});
        QCOMPARE(fileBytes(path), QByteArray("earlier"));
    }

    // At the keyboard: the list has the focus, Tab leads through the buttons to
    // the separator group, Down picks "Tabulátor", Tab on to the file name,
    // Enter starts the export; Esc closes the dialog.
    void dialogAtTheKeyboard()
    {
        ExecSql(QStringLiteral("INSERT INTO t_exp (nev, szam) VALUES ('Kiss Anna', 5), ('Nagy Béla', 6)"));
        const RowSet rs = q(QStringLiteral("SELECT nev, szam FROM t_exp ORDER BY k"));
        const ExportSource src(rs);
        ExportDialog d(src, QStringLiteral("QuorvinOpt.csv"));
        QCOMPARE(formParts(d).fileEdit->text(), QStringLiteral("QuorvinOpt.csv"));
        d.show();
        QApplication::setActiveWindow(&d);
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QVERIFY(formParts(d).columnList->hasFocus());
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), formParts(d).separatorButtons[0]);
        QTest::keyClick(formParts(d).separatorButtons[0], Qt::Key_Down);
        QVERIFY(formParts(d).separatorButtons[1]->isChecked());
        int presses = 0;
        while (QApplication::focusWidget() != formParts(d).fileEdit && presses++ < 12)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), formParts(d).fileEdit);
        const QString path = out(QStringLiteral("keys.csv"));
        QTest::keyClick(formParts(d).fileEdit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(formParts(d).fileEdit, path);
        ModalLog answers;
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        QTest::keyClick(formParts(d).fileEdit, Qt::Key_Return);
        QTRY_VERIFY(answers.done());
        QCOMPARE(answers.texts, QStringList{path + QStringLiteral(" file kész.")});
        QCOMPARE(python(QString::fromLatin1(kCsvReader), {path, QStringLiteral("\t"), QString()}).toArray(),
                 rowsOf({"nev", "szam", ""}, {"Kiss Anna", "5"}, {"Nagy Béla", "6"}));
        QVERIFY(d.isVisible()); // stays open for further exports
        QVERIFY(!formParts(d).stopButton->isEnabled());
        QApplication::setActiveWindow(&d);
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &d, Qt::Key_Escape);
        QTRY_VERIFY(!d.isVisible());
    }

    // "Egyik sem" then one ticked column; "Vágólapra!" puts tab-separated lines
    // on the clipboard whatever the separator and quote say.
    void dialogClipboard()
    {
        ExecSql(QStringLiteral("INSERT INTO t_exp (nev, megj, szam) VALUES ('Kiss', 'a\\r\\nb', 5)"));
        const RowSet rs = q(QStringLiteral("SELECT nev, megj, szam FROM t_exp"));
        const ExportSource src(rs);
        ExportDialog d(src, {});
        d.show();
        formParts(d).noneButton->click();
        QCOMPARE(d.chosenColumns(), (QVector<bool>{false, false, false}));
        formParts(d).allButton->click();
        formParts(d).columnList->item(2)->setCheckState(Qt::Unchecked);
        formParts(d).quoteButtons[0]->setChecked(true);
        formParts(d).separatorButtons[3]->setChecked(true);
        ModalLog answers;
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        formParts(d).clipboardButton->click();
        QTRY_VERIFY(answers.done());
        QCOMPARE(answers.texts, QStringList{QStringLiteral("Adatok vágólapra másolása kész.")});
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("nev\tmegj\t\r\nKiss\ta\\nb\r\n"));
        QVERIFY(d.isVisible());
    }

    // A long export stopped part-way (Esc or "Megszakítás" in the progress
    // window, or "Megállít" before that window shows) writes nothing: the
    // earlier file stays byte for byte, no temporary file is left beside it,
    // the clipboard keeps its text, and the message says so.
    void dialogStop_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("how");
        QTest::newRow("csv, Esc in the progress window") << "stopped.csv" << "esc";
        QTest::newRow("xlsx, Megszakítás") << "stopped.xlsx" << "button";
        QTest::newRow("csv, Megállít") << "megallitva.csv" << "megallit";
        QTest::newRow("clipboard, Esc") << "" << "esc";
    }
    void dialogStop()
    {
        QFETCH(QString, file);
        QFETCH(QString, how);
        // Long enough to run for a good while, and too long for a worksheet
        // only once it has been read (the stop comes first).
        const int rows = file.endsWith(QLatin1String(".csv")) || file.isEmpty() ? 1000000 : 60000;
        const RowSet rs = q(QStringLiteral("SELECT seq, CONCAT('Név ', seq, ' \"idéző\"; pontosvessző') AS nev FROM seq_1_to_%1").arg(rows));
        QCOMPARE(rs.rowCount(), rows);
        const ExportSource src(rs);
        QTemporaryDir folder;
        const QString path = file.isEmpty() ? QString() : folder.filePath(file);
        const QByteArray earlier("az el\xF5z\xF5 export\r\n");
        if (!path.isEmpty())
            SaveBytes(path, earlier);
        QGuiApplication::clipboard()->setText(QStringLiteral("korábbi vágólap"));
        // The progress window at once, or (for "Megállít") never.
        const int oldDelay = JobProgress::setShowDelay(how == QLatin1String("megallit") ? 600000 : 0);
        auto restore = qScopeGuard([&] { JobProgress::setShowDelay(oldDelay); });

        ExportDialog d(src, {});
        d.show();
        QApplication::setActiveWindow(&d);
        if (!path.isEmpty())
            formParts(d).fileEdit->setText(path);
        ModalLog answers;
        bool sawWindow = false;
        QString counted;
        QTimer poll;
        if (how == QLatin1String("megallit")) {
            // Pressed while the export runs (timers still fire between rows).
            connect(&poll, &QTimer::timeout, &d, [&] {
                if (formParts(d).stopButton->isEnabled())
                    formParts(d).stopButton->click();
            });
            poll.start(0);
        } else {
            onModal(named("frm_Folyamat"), [&](QWidget *w) {
                sawWindow = true;
                counted = w->findChild<QLabel *>(QStringLiteral("lbl_Allas"))->text();
                if (how == QLatin1String("esc"))
                    QTest::keyClick(w, Qt::Key_Escape);
                else
                    w->findChild<QPushButton *>(QStringLiteral("btn_Megszakitas"))->click();
            });
        }
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        if (path.isEmpty())
            formParts(d).clipboardButton->click();
        else
            formParts(d).startButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(answers.done(), 30000);
        QVERIFY(answers.unexpected.isEmpty());
        QCOMPARE(answers.texts, QStringList{path.isEmpty() ? QStringLiteral("Az exportálás megszakítva; a vágólap változatlan.")
                                                           : QStringLiteral("Az exportálás megszakítva; a korábbi fájl változatlan.")});
        if (how != QLatin1String("megallit")) {
            QVERIFY(sawWindow);
            // "12 000 / 1 000 000 sor": rows done of the total.
            const QString total = rows == 1000000 ? QStringLiteral("1 000 000") : QStringLiteral("60 000");
            QVERIFY2(counted.endsWith(QStringLiteral(" / ") + total + QStringLiteral(" sor")), qPrintable(counted));
        }
        if (!path.isEmpty()) {
            QCOMPARE(fileBytes(path), earlier);
            QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{file});
        }
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("korábbi vágólap"));
        QVERIFY(!formParts(d).stopButton->isEnabled());
        QVERIFY(formParts(d).startButton->isEnabled());
        QVERIFY(d.isVisible());
    }

    // A query whose server takes its time over every row: the rows come on
    // a worker thread, so the window keeps repainting (a 10 ms timer never
    // waits half a second), and Esc in the progress window stops the
    // server's statement at once instead of reading the rest; the earlier
    // file stays, and the main connection answers during and after the read.
    void stopWhileTheServerIsSlow()
    {
        const ExportSource src = ExportSource::ofQuery(QStringLiteral("SELECT seq, SLEEP(0.5) AS s FROM seq_1_to_40;"));
        QCOMPARE(src.columns().size(), 2);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("lassu.csv"));
        const QByteArray earlier("regi;\r\n");
        SaveBytes(path, earlier);
        const int oldDelay = JobProgress::setShowDelay(0);
        auto restore = qScopeGuard([&] { JobProgress::setShowDelay(oldDelay); });
        ExportDialog d(src, {});
        d.show();
        formParts(d).fileEdit->setText(path);
        ModalLog answers;
        // Meanwhile a timer elsewhere asks the main connection, as the main
        // window's news check does: the read must not share that link.
        int answered = 0;
        QTimer elsewhere;
        connect(&elsewhere, &QTimer::timeout, &d, [&] {
            if (SqlValue(QStringLiteral("SELECT 'itt'"), QString()) == QLatin1String("itt"))
                ++answered;
        });
        onModal(named("frm_Folyamat"), [&](QWidget *w) {
            QTRY_VERIFY_WITH_TIMEOUT(answered >= 3, 5000);
            QTest::keyClick(w, Qt::Key_Escape);
        });
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        QElapsedTimer gap, took;
        double longest = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, &d, [&] {
            longest = std::max(longest, gap.nsecsElapsed() / 1e6);
            gap.restart();
        });
        tick.start(10);
        elsewhere.start(50);
        gap.start();
        took.start();
        formParts(d).startButton->click();
        tick.stop();
        elsewhere.stop();
        QVERIFY(answered >= 3);
        QTRY_VERIFY(answers.done());
        QVERIFY2(took.elapsed() < 10000, qPrintable(QString::number(took.elapsed()))); // the whole takes 20 s
        QVERIFY2(longest < 400, qPrintable(QString::number(longest)));
        QCOMPARE(answers.texts, QStringList{QStringLiteral("Az exportálás megszakítva; a korábbi fájl változatlan.")});
        QCOMPARE(fileBytes(path), earlier);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("lassu.csv")});
        QCOMPARE(SqlValue(QStringLiteral("SELECT 'megy'"), QString()), QStringLiteral("megy"));
    }

    // ---- long lists ----------------------------------------------------------

    // A list that holds only its first page is written whole, read afresh
    // from the server batch by batch; counted or not yet (the progress bar is
    // then busy). After a text file or the clipboard the grid stands on the
    // list's last row.
    void longListExport_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("counted");
        QTest::newRow("csv, not yet counted") << "hosszu.csv" << false;
        QTest::newRow("csv, counted") << "hosszu2.csv" << true;
        QTest::newRow("xls") << "hosszu.xls" << false;
        QTest::newRow("xlsx") << "hosszu.xlsx" << true;
        QTest::newRow("clipboard") << "" << false;
    }
    void longListExport()
    {
        QFETCH(QString, file);
        QFETCH(bool, counted);
        LongList list(20000);
        QCOMPARE(list.model.rowCount(), GridModel::kFirstPage);
        QVERIFY(!list.model.complete());
        if (counted) {
            RowCounter::instance().waitIdle();
            QCoreApplication::processEvents();
            QCOMPARE(list.model.totalCount(), 20000);
        }
        ModalLog answers;
        const QString path = out(file);
        if (!file.isEmpty()) {
            answerExportDialog(path);
        } else {
            onModal(anyWindow(), [](QWidget *d) {
                QApplication::setActiveWindow(d);
                auto *e = qobject_cast<ExportDialog *>(d);
                int presses = 0;
                while (QApplication::focusWidget() != formParts(e).clipboardButton && presses++ < 20)
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                pressLater(Qt::Key_Space);
            });
            onModal(messageBox(), pressButton(QMessageBox::Ok));
            onModal(anyWindow(), [](QWidget *d) { QTest::keyClick(d->focusWidget() ? d->focusWidget() : d, Qt::Key_Escape); });
        }
        ShowExportDialog(&list.grid, QString(), nullptr);
        QTRY_VERIFY(answers.done());
        QVERIFY(answers.unexpected.isEmpty());
        QCOMPARE(answers.texts.size(), 1);
        const bool text = file.isEmpty() || file.endsWith(QLatin1String(".csv"));
        QCOMPARE(list.currentName(), text ? QStringLiteral("Név 20000") : QString());
        if (file.isEmpty()) {
            QCOMPARE(answers.texts.first(), QStringLiteral("Adatok vágólapra másolása kész."));
            const QStringList lines = QGuiApplication::clipboard()->text().split(QStringLiteral("\r\n"));
            QCOMPARE(lines.size(), 20002); // the header, the rows, nothing after the last CR LF
            QCOMPARE(lines.at(0), QStringLiteral("k\tNév\tSzám\tar\t"));
            QVERIFY2(lines.at(1).contains(QStringLiteral("\tNév 00001\t1\t1.5")), qPrintable(lines.at(1)));
            QVERIFY2(lines.at(20000).contains(QStringLiteral("\tNév 20000\t20000\t30000")), qPrintable(lines.at(20000)));
            return;
        }
        QCOMPARE(answers.texts.first(), path + QStringLiteral(" file kész."));
        const QString kind = QFileInfo(path).suffix();
        const QJsonObject r = python(QString::fromUtf8(kLongReader), {path, kind}).toObject();
        QCOMPARE(r.value(QStringLiteral("count")).toInt(), 20000);
        QCOMPARE(r.value(QStringLiteral("first")).toArray(), (QJsonArray{"Név 00001", "1"}));
        QCOMPARE(r.value(QStringLiteral("last")).toArray(), (QJsonArray{"Név 20000", "20000"}));
    }

    // A list longer than a worksheet, not yet counted: refused when the row
    // after the last one that fits is read; an earlier file stays.
    void longListTooLongForWorksheet()
    {
        LongList list(70000);
        QCOMPARE(list.model.totalCount(), -1);
        const QString path = out(QStringLiteral("tul_hosszu.xls"));
        writeFile(path, "earlier");
        const ExportSource src(&list.grid);
        try {
            WriteBiff2File(src, {}, path);
            QFAIL("written");
        } catch (const Error &e) {
            QVERIFY2(e.message().startsWith(QStringLiteral("Az .xls munkalapba legfeljebb 65535 sor fér")), qPrintable(e.message()));
        }
        QCOMPARE(fileBytes(path), QByteArray("earlier"));
    }

    // The HTML page of a long list, at the keyboard: every row, the masks of
    // the grid's columns, the row count at the end.
    void longListHtml()
    {
        LongList list(20000);
        QCOMPARE(list.model.rowCount(), GridModel::kFirstPage);
        HtmlExportDialog d(&list.grid, QStringLiteral("Hosszú lista"));
        d.show();
        QApplication::setActiveWindow(&d);
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QVERIFY(formParts(d).pathEdit->hasFocus());
        const QString path = out(QStringLiteral("hosszu.htm"));
        QTest::keyClick(formParts(d).pathEdit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(formParts(d).pathEdit, path);
        while (QApplication::focusWidget() != formParts(d).okButton)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(formParts(d).okButton, Qt::Key_Return);
        QTRY_VERIFY(!d.isVisible());
        const QJsonObject r = python(QString::fromUtf8(kLongReader), {path, QStringLiteral("html")}).toObject();
        QCOMPARE(r.value(QStringLiteral("count")).toInt(), 20000);
        QCOMPARE(r.value(QStringLiteral("first")).toArray(), (QJsonArray{"Név 00001", "000001"}));
        QCOMPARE(r.value(QStringLiteral("last")).toArray(), (QJsonArray{"Név 20000", "020000"}));
        QVERIFY(fileBytes(path).contains("sszesen 20000 sor."));
        QCOMPARE(list.model.rowCount(), GridModel::kFirstPage); // the grid itself still holds its window
    }

    // ---- the workbook --------------------------------------------------------

    void xlsxTypesBoldHeaderWidths()
    {
        ExecSql(QStringLiteral("INSERT INTO t_exp (nev, megj, ar, datum, szam, nagy) VALUES "
                               "('Árvíz', 'a\\r\\nb', 12500.5, '2024-03-05', 70000, 9000000000)"));
        GridModel model;
        model.setColumns({{QStringLiteral("nev"), QStringLiteral("Név")}, {QStringLiteral("ar"), QStringLiteral("Ár"), QStringLiteral("### ### ##0")}});
        model.setRowSet(q(QStringLiteral("SELECT nev, megj, ar, datum, szam, nagy FROM t_exp")));
        Grid grid;
        grid.setGridModel(&model);
        grid.setColumnWidth(0, 210);
        ExportSource src(&grid);
        const QString path = out(QStringLiteral("book.xlsx"));
        XlsxOptions o;
        QCOMPARE(WriteXlsxFile(src, o, path), 1);
        const QJsonObject r = python(QString::fromLatin1(kXlsxReader), {path}).toObject();
        const QJsonArray rows = r.value(QStringLiteral("rows")).toArray();
        QCOMPARE(rows.size(), 2);
        const QJsonArray head = rows[0].toArray(), data = rows[1].toArray();
        QCOMPARE(head[0].toArray()[1].toString(), QStringLiteral("Név"));
        QVERIFY(head[0].toArray()[2].toBool()); // bold
        QCOMPARE(head[2].toArray()[1].toString(), QStringLiteral("Ár"));
        QCOMPARE(data[0].toArray()[1].toString(), QStringLiteral("Árvíz"));
        QCOMPARE(data[1].toArray()[1].toString(), QStringLiteral("a\nb"));
        QCOMPARE(data[2].toArray()[0].toString(), QStringLiteral("float"));
        QCOMPARE(data[2].toArray()[1].toDouble(), 12500.5);
        QCOMPARE(data[2].toArray()[3].toString(), QStringLiteral("#,##0"));
        QCOMPARE(data[3].toArray()[0].toString(), QStringLiteral("datetime"));
        QCOMPARE(data[3].toArray()[1].toString(), QStringLiteral("2024-03-05T00:00:00"));
        QCOMPARE(data[4].toArray()[0].toString(), QStringLiteral("int"));
        QCOMPARE(data[4].toArray()[1].toInt(), 70000);
        QCOMPARE(data[5].toArray()[1].toDouble(), 9000000000.0);
        const double width = r.value(QStringLiteral("widths")).toObject().value(QStringLiteral("A")).toDouble();
        QVERIFY2(qAbs(width - 30.0) < 1.0, qPrintable(QString::number(width))); // 210 pixels on screen
    }

    // ---- the HTML page -------------------------------------------------------

    // Markup in the data or the title stays text; widths in percent; the row count.
    void htmlEscapesAndReads()
    {
        ExecSql(QStringLiteral("INSERT INTO t_exp (nev, szam, ar, datum) VALUES "
                               "('<script>alert(\"x\")</script> & Társa', 1, 1500, '2024-03-05'), ('Őz Ödön', 2, 3, NULL)"));
        GridModel model;
        model.setColumns({{QStringLiteral("nev"), QStringLiteral("Név <b>")},
                          {QStringLiteral("szam"), QStringLiteral("Szám")},
                          {QStringLiteral("ar"), QStringLiteral("Ár"), QStringLiteral("### ### ##0")},
                          {QStringLiteral("datum"), QStringLiteral("Dátum"), {}, Qt::AlignHCenter}});
        model.setRowSet(q(QStringLiteral("SELECT nev, szam, ar, datum FROM t_exp ORDER BY k")));
        Grid grid;
        grid.setGridModel(&model);
        grid.resize(600, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        const int quarter = grid.viewport()->width() / 4;
        for (int c = 0; c < 4; ++c)
            grid.setColumnWidth(c, quarter);
        const QString path = out(QStringLiteral("uj/mappa/page.htm")); // folders made on the way
        WriteGridHtml(&grid, QStringLiteral("Ügyfelek <i>&</i>"), path);
        const QJsonObject r = python(QString::fromLatin1(kHtmlReader), {path}).toObject();
        QCOMPARE(r.value(QStringLiteral("charset")).toString(), QStringLiteral("windows-1250"));
        QVERIFY(r.value(QStringLiteral("crlf")).toBool());
        const QStringList tags = r.value(QStringLiteral("tags")).toVariant().toStringList();
        QCOMPARE(tags, (QStringList{"body", "center", "div", "font", "h1", "h3", "head", "html", "meta", "p", "table",
                                    "td", "th", "title", "tr"}));
        QStringList cells;
        for (const QJsonValue &v : r.value(QStringLiteral("cells")).toArray())
            cells << v.toArray()[1].toString();
        QCOMPARE(cells, (QStringList{"Ügyfelek <i>&</i>", "Ügyfelek <i>&</i>", "Név <b>", "Szám", "Ár", "Dátum",
                                     "<script>alert(\"x\")</script> & Társa", "1", "1 500", "2024.03.05",
                                     "Őz Ödön", "2", "3", ""}));
        const QJsonArray attrs = r.value(QStringLiteral("attrs")).toArray();
        QCOMPARE(attrs[2].toArray(), (QJsonArray{"th", "25%", QJsonValue()}));
        QCOMPARE(attrs[3].toArray(), (QJsonArray{"th", "25%", "right"}));
        QCOMPARE(attrs[5].toArray(), (QJsonArray{"th", "25%", "center"}));
        QCOMPARE(attrs[6].toArray(), (QJsonArray{"td", "25%", QJsonValue()}));
        QVERIFY(r.value(QStringLiteral("text")).toString().contains(QStringLiteral("Összesen 2 sor.")));

        model.setRowSet(q(QStringLiteral("SELECT nev, szam, ar, datum FROM t_exp WHERE k < 0")));
        WriteGridHtml(&grid, QStringLiteral("Üres"), path);
        const QJsonObject e = python(QString::fromLatin1(kHtmlReader), {path}).toObject();
        QVERIFY(e.value(QStringLiteral("text")).toString().contains(QStringLiteral("Összesen 0 sor.")));
        QCOMPARE(e.value(QStringLiteral("cells")).toArray().size(), 2 + 4);
    }

    // The dialog offers HtmlUt + the cleaned title; Enter on OK writes and
    // stores the folder; "E-Mail" hands the file over or says why it could not.
    void htmlDialogAndMail()
    {
        ExecSql(QStringLiteral("INSERT INTO t_exp (nev) VALUES ('Kiss')"));
        GridModel model;
        model.setColumns({{QStringLiteral("nev"), QStringLiteral("Név")}});
        model.setRowSet(q(QStringLiteral("SELECT nev FROM t_exp")));
        Grid grid;
        grid.setGridModel(&model);
        appState().HtmlUt = m_dir.filePath(QStringLiteral("html/"));
        {
            HtmlExportDialog d(&grid, QStringLiteral("Ügyfelek"));
            QCOMPARE(formParts(d).pathEdit->text(), m_dir.filePath(QStringLiteral("html/_gyfelek.htm")));
            d.show();
            QApplication::setActiveWindow(&d);
            QVERIFY(QTest::qWaitForWindowActive(&d));
            QVERIFY(formParts(d).pathEdit->hasFocus());
            const QString target = m_dir.filePath(QStringLiteral("html2/lista.htm"));
            QTest::keyClick(formParts(d).pathEdit, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(formParts(d).pathEdit, target);
            while (QApplication::focusWidget() != formParts(d).okButton)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClick(formParts(d).okButton, Qt::Key_Return);
            QTRY_VERIFY(!d.isVisible());
            QVERIFY(QFile::exists(target));
            QCOMPARE(appState().HtmlUt, m_dir.filePath(QStringLiteral("html2")));
        }
        // A mail handler that notes its arguments.
        const QString handler = m_dir.filePath(QStringLiteral("fake-xdg-email"));
        const QString argsFile = m_dir.filePath(QStringLiteral("mail-args.txt"));
        writeFile(handler, QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > '%1'\n").arg(argsFile).toUtf8());
        QFile::setPermissions(handler, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        setMailCommandForTests(handler);
        HtmlExportDialog d(&grid, QStringLiteral("Ügyfelek"));
        d.show();
        formParts(d).openAfterBox->setChecked(true);
        formParts(d).mailButton->click();
        QVERIFY(!formParts(d).openAfterBox->isChecked());
        QVERIFY(d.isVisible());
        const QString page = QFileInfo(formParts(d).pathEdit->text()).absoluteFilePath();
        QTRY_VERIFY(QFile::exists(argsFile));
        QTRY_COMPARE(QString::fromUtf8(fileBytes(argsFile)).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
                     (QStringList{"--utf8", "--subject", "Html küldés", "--body", "Html küldés", "--attach", page}));
        QVERIFY(formParts(d).statusLine->text().contains(QStringLiteral("_gyfelek.htm")));
        // No mail program: the page is still written and the status line says so.
        setMailCommandForTests(QStringLiteral("qo-no-such-mail-program"));
        QFile::remove(page);
        formParts(d).mailButton->click();
        QVERIFY(QFile::exists(page));
        QCOMPARE(formParts(d).statusLine->text(),
                 QStringLiteral("Nem található levelezőprogram (qo-no-such-mail-program), a levél nem készült el."));
        setMailCommandForTests(QStringLiteral("xdg-email"));
    }

    // ---- version notes and news ----------------------------------------------

    void versionCheck_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("acknowledged"); // "NULL" for NULL
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("tick");
        QTest::newRow("newer build") << QByteArray("23.0.0.45|Új: exportok\nmásodik sor\n") << "NULL" << true << false;
        QTest::newRow("ticked stores") << QByteArray("23.0.0.45|Jegyzet") << "NULL" << true << true;
        QTest::newRow("below acknowledged") << QByteArray("23.0.0.47|x") << "'23.0.0.50'" << false << false;
        QTest::newRow("only the fourth part") << QByteArray("24.0.0.1|x") << "NULL" << false << false;
        QTest::newRow("no separator") << QByteArray("23.0.0.46\n") << "NULL" << true << false;
        // A byte-order mark is not part of the version.
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF" "23.0.0.45|Jegyzet") << "NULL" << true << false;
        // A web page in place of the answer is no version, whatever it holds.
        QTest::newRow("web page") << QByteArray("<!DOCTYPE html><html><body>Hiba 1.2.3.99|x</body></html>\n") << "NULL"
                                  << false << false;
    }
    void versionCheck()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QString, acknowledged);
        QFETCH(bool, shown);
        QFETCH(bool, tick);
        QTemporaryDir site;
        writeFile(site.filePath(QStringLiteral("verziokovetes.php")), answer);
        LocalService service(site.path());
        QVERIFY(service.port() > 0);
        WriteConfigString(QStringLiteral("Alapertek"), QStringLiteral("SzolgaltatasCim"), service.base());
        ExecSql(QStringLiteral("UPDATE beallit SET verzioelfogadva = %1").arg(acknowledged));
        ModalLog answers;
        QString title, notes;
        if (shown)
            onModal(anyWindow(), [&](QWidget *w) {
                auto *v = qobject_cast<VersionNotesWindow *>(w);
                QVERIFY(v);
                title = v->windowTitle();
                notes = v->notesLabel->text();
                v->dontWarnBox->setChecked(tick);
                v->okButton->click();
            });
        CheckNewVersion();
        QVERIFY(answers.done());
        QVERIFY2(answers.unexpected.isEmpty(), qPrintable(answers.unexpected.join(QLatin1Char(','))));
        QTRY_VERIFY(service.log().contains(QStringLiteral("GET /verziokovetes.php?prg=53 ")));
        QVERIFY(QFile::exists(QDir(DataFolder()).filePath(QStringLiteral("Verkov.txt"))));
        if (shown) {
            const QString version = QString::fromUtf8(answer).remove(QChar(0xFEFF)).section(QLatin1Char('|'), 0, 0).trimmed();
            QCOMPARE(title, QStringLiteral("Verziókövetés: ") + version);
            if (answer.contains('|'))
                QCOMPARE(notes, QString::fromUtf8(answer).section(QLatin1Char('|'), 1).trimmed().replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
        }
        const QString stored = SqlValue(QStringLiteral("SELECT IFNULL(verzioelfogadva, 'NULL') FROM beallit"), {});
        QCOMPARE(stored, tick ? QStringLiteral("23.0.0.45") : QString(acknowledged).remove(QLatin1Char('\'')));
    }

    void newsCheck_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("acknowledged");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("after"); // hirelfogadva after OK with the box ticked
        QTest::newRow("NULL stays NULL") << QByteArray("7|Új hír|Szöveg\nsorok") << "NULL" << true << "NULL";
        QTest::newRow("raised") << QByteArray("7|Új hír|Szöveg") << "3" << true << "7";
        QTest::newRow("never lowered") << QByteArray("7|Régi hír|Szöveg") << "9" << true << "9";
        QTest::newRow("no news") << QByteArray("0\n") << "3" << false << "3";
        QTest::newRow("empty answer") << QByteArray("") << "3" << false << "3";
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF" "7|Új hír|Szöveg") << "3" << true << "7";
        // Field 1 must be the news number: a web page with "|" in it is no news.
        QTest::newRow("web page") << QByteArray("<html><head><title>Hiba</title></head>\n<body>a|b|c</body></html>\n") << "3"
                                  << false << "3";
        QTest::newRow("number and more") << QByteArray("7 hír|Cím|Szöveg") << "3" << false << "3";
    }
    void newsCheck()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QString, acknowledged);
        QFETCH(bool, shown);
        QFETCH(QString, after);
        QTemporaryDir site;
        writeFile(site.filePath(QStringLiteral("hirfolyam.php")), answer);
        LocalService service(site.path());
        WriteConfigString(QStringLiteral("Alapertek"), QStringLiteral("SzolgaltatasCim"), service.base());
        ExecSql(QStringLiteral("UPDATE beallit SET hirelfogadva = %1").arg(acknowledged));
        QPointer<NewsWindow> w = CheckNews();
        const QString hir = acknowledged == QLatin1String("NULL") ? QStringLiteral("0") : acknowledged;
        QTRY_VERIFY(service.log().contains(QStringLiteral("GET /hirfolyam.php?prg=53&hir=%1 ").arg(hir)));
        QCOMPARE(bool(w), shown);
        if (!w)
            return;
        QVERIFY(!w->isModal());
        QCOMPARE(w->objectName(), QStringLiteral("frm_Hirfolyam"));
        QCOMPARE(w->titleLabel->text(), QString::fromUtf8(answer).section(QLatin1Char('|'), 1, 1));
        QVERIFY(w->linkLabel->text().contains(service.base() + QStringLiteral("hirek.php?hir=7")));
        w->dontShowBox->setChecked(true);
        w->okButton->click();
        QTRY_VERIFY(!w); // freed when closed
        QCOMPARE(SqlValue(QStringLiteral("SELECT IFNULL(hirelfogadva, 'NULL') FROM beallit"), {}), after);
    }

    // An answer far beyond any the service gives (20 MB) is dropped as soon as
    // it passes the limit: nothing is shown, the check returns at once and
    // the service is left before it could send it all.
    void hugeAnswer_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<bool>("news");
        QTest::addColumn<bool>("announced");
        QTest::newRow("version, streamed") << QByteArray("23.0.0.45|") << false << false;
        QTest::newRow("version, announced") << QByteArray("23.0.0.45|") << false << true;
        QTest::newRow("news, streamed") << QByteArray("7|Cím|") << true << false;
    }
    void hugeAnswer()
    {
        QFETCH(QByteArray, head);
        QFETCH(bool, news);
        QFETCH(bool, announced);
        const qint64 size = 20 * 1024 * 1024;
        StreamingService service(head, size, announced);
        WriteConfigString(QStringLiteral("Alapertek"), QStringLiteral("SzolgaltatasCim"), service.base());
        ExecSql(QStringLiteral("UPDATE beallit SET verzioelfogadva = NULL, hirelfogadva = 0"));
        ModalLog answers;
        QElapsedTimer t;
        t.start();
        if (news)
            QVERIFY(!CheckNews());
        else
            CheckNewVersion();
        QVERIFY2(t.elapsed() < kServiceTimeoutMs, qPrintable(QString::number(t.elapsed())));
        QTRY_VERIFY(service.closed());
        QVERIFY2(service.sent() < size, qPrintable(QString::number(service.sent())));
        QVERIFY2(answers.unexpected.isEmpty(), qPrintable(answers.unexpected.join(QLatin1Char(','))));
        QVERIFY(!topLevelNamed(QStringLiteral("frm_Hirfolyam")));
        const QString file = QDir(DataFolder()).filePath(news ? QStringLiteral("hirkov.txt") : QStringLiteral("Verkov.txt"));
        QVERIFY(QFileInfo(file).size() <= kServiceAnswerMaxBytes);
    }

    // Long notes (within the limit) scroll inside a window that fits the
    // screen; so does a long news text.
    void longNotesScrollInside()
    {
        setWorkAreaForTests(QRect(0, 0, 800, 600));
        SaveWindowPlacement(QStringLiteral("frm_Hirfolyam"), 10, 10, 320, 480);
        // Stored where the window would hang off the screen's corner.
        SaveWindowPosition(QStringLiteral("frm_Verziokovetes"), 700, 500);
        QByteArray lines;
        for (int i = 1; i <= 400; ++i)
            lines += "sor " + QByteArray::number(i) + "\n";
        QVERIFY(lines.size() < 4000);
        QTemporaryDir site;
        writeFile(site.filePath(QStringLiteral("verziokovetes.php")), "23.0.0.45|" + lines);
        writeFile(site.filePath(QStringLiteral("hirfolyam.php")), "7|Hosszú hír|" + lines);
        LocalService service(site.path());
        WriteConfigString(QStringLiteral("Alapertek"), QStringLiteral("SzolgaltatasCim"), service.base());
        ExecSql(QStringLiteral("UPDATE beallit SET verzioelfogadva = NULL, hirelfogadva = 0"));
        ModalLog answers;
        QRect frame;
        int scrollRange = -1;
        QString lastLine;
        onModal(anyWindow(), [&](QWidget *w) {
            frame = w->frameGeometry();
            if (auto *area = w->findChild<QScrollArea *>())
                scrollRange = area->verticalScrollBar()->maximum();
            if (auto *v = qobject_cast<VersionNotesWindow *>(w))
                lastLine = v->notesLabel->text().section(QStringLiteral("\r\n"), -1);
            QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection);
        });
        CheckNewVersion();
        QVERIFY(answers.done());
        QVERIFY2(frame.height() <= 600 && frame.top() >= 0, qPrintable(QStringLiteral("%1 %2").arg(frame.top()).arg(frame.height())));
        QCOMPARE(frame.topLeft(), QPoint(800 - 460, 600 - 320)); // moved onto the screen, the frame placed
        QCOMPARE(RestoreWindowPosition(QStringLiteral("frm_Verziokovetes")), frame.topLeft());
        QVERIFY(scrollRange > 0);
        QCOMPARE(lastLine, QStringLiteral("sor 400"));

        QPointer<NewsWindow> w = CheckNews();
        QVERIFY(w);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY2(w->frameGeometry().height() <= 600, qPrintable(QString::number(w->frameGeometry().height())));
        auto *area = w->findChild<QScrollArea *>();
        QVERIFY(area);
        QTRY_VERIFY(area->verticalScrollBar()->maximum() > 0);
        w->close();
        QTRY_VERIFY(!w);
    }

    // Enter presses "OK" wherever the focus stands. The stored placement is the
    // frame's: a window restored there has its title bar at that point, and
    // closing stores where its frame stands.
    void newsWindowEnterAndPlacement()
    {
        ExecSql(QStringLiteral("UPDATE beallit SET hirelfogadva = 3"));
        setWorkAreaForTests(QRect(0, 0, 800, 800));
        SaveWindowPlacement(QStringLiteral("frm_Hirfolyam"), 100, 120, 300, 500);
        QPointer<NewsWindow> w = new NewsWindow(7, QStringLiteral("Cím"), QStringLiteral("Szöveg"));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTRY_COMPARE(w->frameGeometry().topLeft(), QPoint(100, 120));
        QCOMPARE(w->size(), QSize(500, 300));
        w->move(140, 150);
        QTRY_COMPARE(w->frameGeometry().topLeft(), QPoint(140, 150));
        QApplication::setActiveWindow(w);
        QVERIFY(QTest::qWaitForWindowActive(w));
        int presses = 0;
        while (QApplication::focusWidget() != w->dontShowBox && presses++ < 10)
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w.data(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w->dontShowBox);
        QTest::keyClick(w->dontShowBox, Qt::Key_Space);
        QVERIFY(w->dontShowBox->isChecked());
        QTest::keyClick(w->dontShowBox, Qt::Key_Return);
        QTRY_VERIFY(!w);
        QCOMPARE(SqlIntValue(QStringLiteral("SELECT hirelfogadva FROM beallit"), 0), qint64(7));
        QCOMPARE(RestoreWindowPlacement(QStringLiteral("frm_Hirfolyam"), 1, 1), QRect(140, 150, 500, 300));

        // Opened again where it was closed.
        QPointer<NewsWindow> again = new NewsWindow(8, QStringLiteral("Cím"), QStringLiteral("Szöveg"));
        again->show();
        QVERIFY(QTest::qWaitForWindowExposed(again));
        QTRY_COMPARE(again->frameGeometry().topLeft(), QPoint(140, 150));
        QTest::keyClick(again->okButton, Qt::Key_Return);
        QTRY_VERIFY(!again);
        QCOMPARE(SqlIntValue(QStringLiteral("SELECT hirelfogadva FROM beallit"), 0), qint64(7));
    }

    // A service that cannot be reached, or that never answers, shows nothing,
    // and the check gives up within its time-out.
    void unreachableService_data()
    {
        QTest::addColumn<bool>("listening");
        QTest::newRow("refused") << false;
        QTest::newRow("silent") << true;
    }
    void unreachableService()
    {
        QFETCH(bool, listening);
        QTcpServer silent; // accepts and never answers
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        const quint16 port = silent.serverPort();
        if (!listening)
            silent.close();
        WriteConfigString(QStringLiteral("Alapertek"), QStringLiteral("SzolgaltatasCim"),
                          QStringLiteral("http://127.0.0.1:%1/").arg(port));
        ExecSql(QStringLiteral("UPDATE beallit SET verzioelfogadva = NULL, hirelfogadva = 0"));
        ModalLog answers;
        QElapsedTimer t;
        t.start();
        CheckNewVersion();
        QVERIFY(!CheckNews());
        QVERIFY2(t.elapsed() < 2 * kServiceTimeoutMs + 2000, qPrintable(QString::number(t.elapsed())));
        QVERIFY(answers.unexpected.isEmpty());
        QVERIFY(!topLevelNamed(QStringLiteral("frm_Hirfolyam")));
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
