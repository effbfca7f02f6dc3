#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QTableWidget;

// What a window prints: a title, the column headings and the rows of cell texts.
struct PrintedTable
{
    QString title;
    QStringList headings;
    QList<QStringList> rows;

    // A list as the operator sees it: its columns in their shown order (hidden ones left
    // out), its rows top to bottom.
    static PrintedTable fromTableWidget(const QString &title, const QTableWidget &table);
};
