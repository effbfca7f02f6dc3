#include "QsoBytes.h"

#include "platform/CodePage.h"

QsoBytes QsoBytes::from(const Sqlite3DB::UM_RECORD &record)
{
    QsoBytes row;
    for (int column = 0; column < QsoColumns::kCount; ++column) {
        const QsoColumns::Description &description = QsoColumns::all()[column];
        if (description.text)
            row.text[column] = CodePage::toStored(record.*description.text);
        else
            row.number[column] = record.*description.number;
    }
    return row;
}
