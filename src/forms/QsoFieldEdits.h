#pragma once

#include "QsoFormFields.h"

#include <QHash>
#include <QList>
#include <QString>

class QLineEdit;
class QWidget;

// The edit fields of a QSO in one window, made from the shared descriptions, and the
// moves between them and a record.
class QsoFieldEdits
{
public:
    using Field = QsoFormFields::Field;

    QsoFieldEdits(QsoFormFields::Window window, QWidget *parent);

    QLineEdit *edit(Field field) const { return m_edits.value(field); }
    // The field's label in this window, with its mnemonic.
    QString label(Field field) const;
    QList<QLineEdit *> all() const;

    // False, after "Please enter no more than N characters." and with the focus on the
    // field, when a field holds more than its limit.
    bool checkLimits() const;
    // The fields' texts into the record's members.
    void pull(Sqlite3DB::UM_RECORD &record) const;
    // The record's members into the fields.
    void push(const Sqlite3DB::UM_RECORD &record) const;

private:
    QsoFormFields::Window m_window;
    QHash<Field, QLineEdit *> m_edits;
};
