#pragma once
// A list on screen as a simple HTML page (Windows-1250, CR LF): a heading, a
// bordered table with one heading row and one row per record, the row count,
// the date and the program's name. Every text from the data or the title is
// escaped (&, <, >, "), so a value can never become markup; characters the
// code page lacks are written as character references.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace qo {

class Grid;

struct HtmlColumn {
    QString title;
    int widthPercent = 0;
    Qt::Alignment align = Qt::AlignLeft;
};

// &, <, > and " as entities.
QString HtmlEscape(const QString &text);

// The page's lines. cell(row, column) gives a cell's display text; step(done)
// is called every 10th row.
QStringList HtmlPageLines(const QString &title, const QVector<HtmlColumn> &columns, int rowCount,
                          const std::function<QString(int, int)> &cell, const QDateTime &now,
                          const std::function<void(int)> &step = {});

// The grid's columns bound to a field, in display order, each with its share
// of the grid's width in whole percent (halves to the even neighbour).
QVector<HtmlColumn> HtmlColumnsOf(const Grid *grid);

// Writes the grid's rows as a page into path, creating missing folders.
// Throws qo::Error when the file cannot be written.
void WriteGridHtml(const Grid *grid, const QString &title, const QString &path,
                   const std::function<void(int)> &step = {});

} // namespace qo
