#include "export/HtmlExport.h"
#include "base/SaveFile.h"
#include "export/ExportSource.h"
#include "export/ExportAudit.h"
#include "base/Codec.h"
#include "base/Error.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QSet>
#include <QStringDecoder>
#include <cmath>

namespace qo {

namespace {

// The characters Windows-1250 holds above ASCII.
const QSet<QChar> &codePageCharacters()
{
    static const QSet<QChar> set = [] {
        QByteArray high;
        for (int b = 0x80; b < 0x100; ++b)
            high.append(char(b));
        QSet<QChar> s;
        for (QChar c : fromCp1250(high))
            s.insert(c);
        s.remove(QChar(0xFFFD));
        return s;
    }();
    return set;
}

QString alignAttribute(Qt::Alignment a)
{
    if (a & Qt::AlignRight)
        return QStringLiteral("align=\"right\"");
    if (a & Qt::AlignHCenter)
        return QStringLiteral("align=\"center\"");
    return {};
}

QString alignPrefix(Qt::Alignment a)
{
    if (a & Qt::AlignRight)
        return QStringLiteral("<p align=\"right\">");
    if (a & Qt::AlignHCenter)
        return QStringLiteral("<p align=\"center\">");
    return {};
}

} // namespace

QString HtmlEscape(const QString &text)
{
    const QSet<QChar> &cp = codePageCharacters();
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case '&': out += QStringLiteral("&amp;"); break;
        case '<': out += QStringLiteral("&lt;"); break;
        case '>': out += QStringLiteral("&gt;"); break;
        case '"': out += QStringLiteral("&quot;"); break;
        default:
            if (c.unicode() < 0x80 || cp.contains(c)) {
                out += c;
            } else {
                char32_t code = c.unicode();
                if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                    code = QChar::surrogateToUcs4(c, text.at(++i));
                out += QStringLiteral("&#%1;").arg(uint(code));
            }
        }
    }
    return out;
}

namespace {

QStringList headLines(const QString &title, const QVector<HtmlColumn> &columns)
{
    const QString t = HtmlEscape(title);
    QStringList l;
    l << QStringLiteral("<!DOCTYPE html><html lang=\"hu-HU\">") << QString() << QStringLiteral("<head>")
      << QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1250\">")
      << QStringLiteral("<title>") + t + QStringLiteral("</title>")
      << QStringLiteral("<meta name=\"GENERATOR\" content=\"Mirelta Bt. Grid2Html\">") << QStringLiteral("</head>")
      << QString() << QStringLiteral("<body>") << QStringLiteral("<h1>") + t + QStringLiteral("</h1>")
      << QStringLiteral("<h3></h3>") << QStringLiteral("<div align=\"center\"><center>") << QString()
      << QStringLiteral("<table border=\"1\" cellpadding=\"3\" cellspacing=\"0\" width=\"90%\">");
    l << QStringLiteral("  <tr>");
    for (const HtmlColumn &c : columns)
        l << QStringLiteral("    <th width=\"%1%\" bgcolor=\"#C0C0C0\" %2>%3</th>")
                 .arg(c.widthPercent)
                 .arg(alignAttribute(c.align), HtmlEscape(c.title));
    l << QStringLiteral("  </tr>");
    return l;
}

void appendRowLines(const QVector<HtmlColumn> &columns, const std::function<QString(int)> &cell, QStringList &l)
{
    l << QStringLiteral("  <tr>");
    for (int k = 0; k < columns.size(); ++k)
        l << QStringLiteral("    <td width=\"%1%\">%2%3</td>")
                 .arg(columns[k].widthPercent)
                 .arg(alignPrefix(columns[k].align), HtmlEscape(cell(k)));
    l << QStringLiteral("  </tr>");
}

QStringList tailLines(qint64 rowCount, const QDateTime &now)
{
    QStringList l;
    l << QStringLiteral("</table>") << QStringLiteral("</center></div>") << QString()
      << QStringLiteral("<p><font face=\"Verdana\" size=\"1\">Összesen %1 sor.</font></p>").arg(rowCount) << QString()
      << QStringLiteral("<p><font face=\"Verdana\" size=\"1\">%1</font></p>")
             .arg(now.toString(QStringLiteral("yyyy.MM.dd HH:mm:ss")))
      << QString() << QStringLiteral("<p><font face=\"Courier New\" size=\"1\">Quorvin.Opt</font></p>") << QString()
      << QStringLiteral("</body>") << QStringLiteral("</html>");
    return l;
}

} // namespace

QStringList HtmlPageLines(const QString &title, const QVector<HtmlColumn> &columns, int rowCount,
                          const std::function<QString(int, int)> &cell, const QDateTime &now,
                          const std::function<void(int)> &step)
{
    QStringList l = headLines(title, columns);
    for (int r = 0; r < rowCount; ++r) {
        appendRowLines(columns, [&](int k) { return cell(r, k); }, l);
        if (step && (r + 1) % 10 == 0)
            step(r + 1);
    }
    return l + tailLines(rowCount, now);
}

QVector<HtmlColumn> HtmlColumnsOf(const Grid *grid)
{
    QVector<HtmlColumn> out;
    const GridModel *model = grid->gridModel();
    const int total = grid->viewport()->width();
    const QHeaderView *header = grid->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (logical < 0 || grid->isColumnHidden(logical) || model->columns()[logical].index < 0)
            continue;
        HtmlColumn c;
        c.title = model->headerData(logical, Qt::Horizontal, Qt::DisplayRole).toString();
        c.widthPercent = total > 0 ? int(std::nearbyint(grid->columnWidth(logical) * 100.0 / total)) : 0;
        const QModelIndex probe = model->index(0, logical);
        const QVariant a = model->rowCount() ? model->data(probe, Qt::TextAlignmentRole) : QVariant();
        if (a.isValid())
            c.align = Qt::Alignment(a.toInt()) & Qt::AlignHorizontal_Mask;
        else if (const GridColumn &g = model->columns()[logical]; g.align)
            c.align = g.align & Qt::AlignHorizontal_Mask;
        else {
            const RowSet::Kind k = model->rows().field(g.index).kind;
            c.align = (k == RowSet::Kind::Integer || k == RowSet::Kind::Float) ? Qt::AlignRight : Qt::AlignLeft;
        }
        out << c;
    }
    return out;
}

// Written as the rows are read: a list held only as a window is read afresh
// from the server in batches, so the page never needs the whole list at once.
void WriteGridHtml(const Grid *grid, const QString &title, const QString &path, const std::function<void(int)> &step)
{
    const GridModel *model = grid->gridModel();
    const QVector<HtmlColumn> columns = HtmlColumnsOf(grid);
    QVector<GridColumn> shown;
    const QHeaderView *header = grid->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int l = header->logicalIndex(visual);
        if (l >= 0 && !grid->isColumnHidden(l) && model->columns()[l].index >= 0)
            shown << model->columns()[l];
    }

    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        throw Error(SaveFile::failureText(path, SaveFile::reason(errno)));
    qint64 done = 0;
    SaveWith(path, [&](QIODevice &f) {
        auto write = [&](const QStringList &lines) {
            // Every line end CR LF, also those inside a value.
            QString text = lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
            text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
            const QByteArray bytes = toCp1250(text);
            if (f.write(bytes) != bytes.size())
                throw Error(SaveFile::failureText(path, QString())); // the file's own reason replaces it
        };
        write(headLines(title, columns));
        ExportSource(grid).readRows([&](const RowSet &rows) {
            QStringList lines;
            for (int r = 0; r < rows.rowCount(); ++r) {
                appendRowLines(columns, [&](int k) { return CellText(rows, r, shown[k]); }, lines);
                ++done;
                if (step && done % 10 == 0)
                    step(int(done));
            }
            write(lines);
            return true;
        }, [&] {
            if (step)
                step(int(done)); // the server has not sent the next rows yet
        });
        write(tailLines(done, QDateTime::currentDateTime()));
        return int(done);
    });
    LogListExport(grid, done, QStringLiteral("HTML"), path);
}

} // namespace qo
