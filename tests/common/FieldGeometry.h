#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>

// Whether a field shows a text whole, measured as the style lays the field out when it
// paints: the text's width in the field's font against the room the field has for it.
namespace FieldGeometry {

// The width a line edit has for its text at its present size.
inline int textRoom(const QLineEdit *edit)
{
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    option.state |= QStyle::State_Sunken;
    const QRect contents =
        edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit).marginsRemoved(edit->textMargins());
    return contents.width() - 4; // a line edit keeps two pixels free on either side
}

// The text and the cursor after it fit: nothing scrolls out of sight.
inline bool showsWhole(const QLineEdit *edit, const QString &text)
{
    return edit->fontMetrics().horizontalAdvance(text) + 2 <= textRoom(edit);
}

// The width a drop-down list without an edit field has for the text of its entry (the
// label keeps a pixel free on either side).
inline int textRoom(const QComboBox *list)
{
    QStyleOptionComboBox option;
    option.initFrom(list);
    option.editable = list->isEditable();
    option.frame = list->hasFrame();
    return list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list).width() - 2;
}

inline bool showsWhole(const QComboBox *list, const QString &text)
{
    if (list->isEditable())
        return showsWhole(list->lineEdit(), text);
    return list->fontMetrics().horizontalAdvance(text) <= textRoom(list);
}

} // namespace FieldGeometry
