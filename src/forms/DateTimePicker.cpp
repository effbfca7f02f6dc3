#include "DateTimePicker.h"

namespace {

// Qt's measure of the field leaves its cursor a pixel or two, and the text then
// scrolls by that much when the cursor stands at its end.
constexpr int kCursorRoom = 4;

} // namespace

DateTimePicker::DateTimePicker(const QString &displayFormat, QWidget *parent)
    : QDateTimeEdit(parent)
{
    setDisplayFormat(displayFormat);
}

QSize DateTimePicker::sizeHint() const
{
    return QDateTimeEdit::sizeHint() + QSize(kCursorRoom, 0);
}

QSize DateTimePicker::minimumSizeHint() const
{
    return QDateTimeEdit::minimumSizeHint() + QSize(kCursorRoom, 0);
}

bool DateTimePicker::focusNextPrevChild(bool next)
{
    // The plain widget's move through the window's fields, past the sections.
    return QWidget::focusNextPrevChild(next);
}
