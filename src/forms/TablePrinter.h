#pragma once

#include "PrintedTable.h"
#include "platform/Prompter.h"

#include <QList>

#include <functional>

class QDialogButtonBox;
class QFontMetricsF;
class QPainter;
class QPrinter;

// Prints a window's table on pages: each page starts with the title line and the column
// headings and ends with its label, "Page 2 of 3"; the rows fill the room between. Columns
// are as wide as their widest text. A table wider than the page is printed smaller, and
// when that is not enough its columns are narrowed together (a text too long for its
// column is cut with "...").
class TablePrinter
{
public:
    explicit TablePrinter(PrintedTable table) : m_table(std::move(table)) {}

    // Paints every page on the printer; the number of pages, 0 when the printer could
    // not be painted on (a file that cannot be written).
    int paint(QPrinter *printer) const;

    // The print dialog (Print) or the print preview (Preview) through the Prompter, and
    // the pages on the printer chosen there. A printer that fails is told.
    static Prompter::Answer print(const PrintedTable &table, Prompter::PrintRequest::Kind kind);

    // "Print..." and "Print Preview" buttons beside a dialog's own, printing the table
    // the dialog shows when pressed.
    static void addPrintButtons(QDialogButtonBox *buttons, std::function<PrintedTable()> table);

    static QString pageLabel(int page, int pages);

private:
    QList<qreal> columnWidths(const QFontMetricsF &body, const QFontMetricsF &headings, qreal pageWidth) const;
    // The width of the whole table in a font of the given size, its columns unnarrowed.
    qreal tableWidth(QPrinter *printer, qreal points) const;
    void paintRow(QPainter &painter, const QStringList &cells, const QList<qreal> &widths, qreal y, qreal height,
                  qreal gap) const;

    PrintedTable m_table;
};
