#include "QsoListColumns.h"

#include "QsoFormFields.h"

#include <QHeaderView>
#include <QStringList>
#include <QStyle>
#include <QTableWidget>

#include <algorithm>

namespace QsoListColumns {

namespace {

using QsoFormFields::Field;
using QsoFormFields::Window;

struct Column
{
    const char *heading;
    int width; // pixels, in the design's small font
};

const Column kColumns[kCount] = {{"Date", 70}, {"Time", 45}, {"Call", 92},  {"Sent", 40}, {"Rcvd", 40},
                                 {"Frequency", 70}, {"Mode", 56}, {"S", 20}, {"R", 20}};

// The widest contents of each column: a listed date and a date rewritten as stored, the
// fields' widest texts, the longest mode and QSL texts.
QList<QStringList> widestRows()
{
    const auto widest = [](Field field) { return QsoFormFields::widestText(field, Window::Entry); };
    return {{QStringLiteral("00-00-0000"), QStringLiteral("00:00"), widest(Field::Call), widest(Field::Sent),
             widest(Field::Rcvd), widest(Field::Freq), QStringLiteral("RTTY"), QStringLiteral("M"),
             QStringLiteral("M")},
            {QStringLiteral("0000-00-00")}};
}

} // namespace

void setUp(QTableWidget *list)
{
    list->setColumnCount(kCount);
    QStringList headings;
    for (const Column &column : kColumns)
        headings.append(QString::fromLatin1(column.heading));
    list->setHorizontalHeaderLabels(headings);
    list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    // The list measures its widest contents itself, on rows put in for the purpose.
    const int rows = list->rowCount();
    const QList<QStringList> widest = widestRows();
    for (const QStringList &texts : widest) {
        list->insertRow(rows);
        for (int c = 0; c < texts.size(); ++c)
            list->setItem(rows, c, new QTableWidgetItem(texts.at(c)));
    }
    const QAbstractItemView *view = list; // the table's measure, public through its base
    QList<int> widths;
    for (int c = 0; c < kCount; ++c)
        widths.append(std::max({kColumns[c].width, view->sizeHintForColumn(c),
                                list->horizontalHeader()->sectionSizeHint(c)}));
    list->setRowCount(rows);
    int total = 0;
    for (int c = 0; c < kCount; ++c) {
        list->setColumnWidth(c, widths.at(c));
        total += widths.at(c);
    }
    const int scrollBar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    list->setMinimumWidth(total + scrollBar + 2 * list->frameWidth());
}

int selectedRowId(const QTableWidget *list)
{
    const QModelIndexList rows = list->selectionModel()->selectedRows();
    return rows.isEmpty() ? 0 : list->item(rows.first().row(), 0)->data(Qt::UserRole).toInt();
}

void selectRowId(QTableWidget *list, int rowId)
{
    for (int row = 0; rowId != 0 && row < list->rowCount(); ++row) {
        if (list->item(row, 0)->data(Qt::UserRole).toInt() == rowId) {
            list->selectRow(row);
            return;
        }
    }
}

} // namespace QsoListColumns
