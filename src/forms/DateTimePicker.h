#pragma once

#include <QDateTimeEdit>

// A date or time field (as its display format says) that one Tab leaves, like every
// other field of a form: Tab and Shift+Tab move to the next or previous field instead of
// stepping through the field's sections, which the arrow keys still do. It is also wide
// enough to keep its whole text in sight while the cursor stands behind the last digit.
class DateTimePicker : public QDateTimeEdit
{
    Q_OBJECT

public:
    explicit DateTimePicker(const QString &displayFormat, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool focusNextPrevChild(bool next) override;
};
