#include "PrintedTable.h"

#include <QHeaderView>
#include <QTableWidget>

PrintedTable PrintedTable::fromTableWidget(const QString &title, const QTableWidget &table)
{
    PrintedTable out;
    out.title = title;
    const QHeaderView *header = table.horizontalHeader();
    QList<int> columns;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        if (header->isSectionHidden(column))
            continue;
        columns.append(column);
        const QTableWidgetItem *heading = table.horizontalHeaderItem(column);
        out.headings.append(heading ? heading->text() : QString());
    }
    for (int row = 0; row < table.rowCount(); ++row) {
        QStringList cells;
        for (int column : std::as_const(columns)) {
            const QTableWidgetItem *item = table.item(row, column);
            cells.append(item ? item->text() : QString());
        }
        out.rows.append(cells);
    }
    return out;
}
