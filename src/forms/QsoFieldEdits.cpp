#include "QsoFieldEdits.h"

#include <QLineEdit>

QsoFieldEdits::QsoFieldEdits(QsoFormFields::Window window, QWidget *parent)
    : m_window(window)
{
    for (const QsoFormFields::Description &field : QsoFormFields::all()) {
        const QsoFormFields::Look &look = field.look(window);
        QLineEdit *edit = FormControls::makeEdit(parent, look.limit, look.input, look.centred);
        FormControls::keepWidthFor(edit, QsoFormFields::widestText(field.field, window));
        m_edits.insert(field.field, edit);
    }
}

QString QsoFieldEdits::label(Field field) const
{
    return QString::fromLatin1(QsoFormFields::of(field).look(m_window).label);
}

QList<QLineEdit *> QsoFieldEdits::all() const
{
    QList<QLineEdit *> edits;
    for (const QsoFormFields::Description &field : QsoFormFields::all())
        edits.append(m_edits.value(field.field));
    return edits;
}

bool QsoFieldEdits::checkLimits() const
{
    return FormControls::checkLimits(all());
}

void QsoFieldEdits::pull(Sqlite3DB::UM_RECORD &record) const
{
    for (const QsoFormFields::Description &field : QsoFormFields::all())
        record.*field.member = m_edits.value(field.field)->text();
}

void QsoFieldEdits::push(const Sqlite3DB::UM_RECORD &record) const
{
    for (const QsoFormFields::Description &field : QsoFormFields::all())
        FormControls::setText(m_edits.value(field.field), record.*field.member);
}
