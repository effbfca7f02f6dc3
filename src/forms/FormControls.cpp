#include "FormControls.h"

#include "UpperCaseValidator.h"
#include "platform/Prompter.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

namespace FormControls {

namespace {

const char kLimitProperty[] = "korva3Limit";
// The room a line edit keeps free beside its text on each side, and for the cursor.
constexpr int kTextSideMargin = 2;
constexpr int kCursorRoom = 2;

} // namespace

QLineEdit *makeEdit(QWidget *parent, int limit, Input input, bool centred)
{
    auto *edit = new QLineEdit(parent);
    edit->setProperty(kLimitProperty, limit);
    if (limit > 0)
        edit->setMaxLength(limit);
    if (centred)
        edit->setAlignment(Qt::AlignCenter);
    if (input == UpperCase)
        edit->setValidator(new UpperCaseValidator(edit));
    else if (input == DigitsOnly)
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}

int limitOf(const QLineEdit *edit)
{
    return edit->property(kLimitProperty).toInt();
}

int widthShowing(const QLineEdit *edit, const QString &text)
{
    const QMargins margins = edit->textMargins();
    const QSize contents(edit->fontMetrics().horizontalAdvance(text) + 2 * kTextSideMargin + kCursorRoom
                             + margins.left() + margins.right(),
                         edit->fontMetrics().height());
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    option.state |= QStyle::State_Sunken;
    return edit->style()->sizeFromContents(QStyle::CT_LineEdit, &option, contents, edit).width();
}

void keepWidthFor(QLineEdit *edit, const QString &text)
{
    edit->setMinimumWidth(widthShowing(edit, text));
}

void setTextBeyondLimit(QLineEdit *edit, const QString &text)
{
    const int limit = limitOf(edit);
    if (limit <= 0) {
        edit->setText(text);
        return;
    }
    edit->setMaxLength(std::max(limit, static_cast<int>(text.size())));
    edit->setText(text);
    // Lowering the limit under the text would cut it; a longer text keeps it lifted
    // until a text that fits is set.
    if (text.size() <= limit)
        edit->setMaxLength(limit);
}

void setText(QLineEdit *edit, const QString &text)
{
    if (edit->text() == text)
        return;
    const int cursor = edit->cursorPosition();
    setTextBeyondLimit(edit, text);
    if (edit->hasFocus())
        edit->setCursorPosition(std::min(cursor, static_cast<int>(text.size())));
}

bool checkLimits(const QList<QLineEdit *> &edits)
{
    for (QLineEdit *edit : edits) {
        const int limit = limitOf(edit);
        if (limit > 0 && edit->text().size() > limit) {
            Prompter::current().warning(QStringLiteral("Please enter no more than %1 characters.").arg(limit));
            edit->setFocus();
            edit->selectAll();
            return false;
        }
    }
    return true;
}

void fillList(QComboBox *list, const QList<ProgramDb::UM_COMBOBOX> &records, bool blankFirst, bool sorted)
{
    QList<ProgramDb::UM_COMBOBOX> entries = records;
    if (blankFirst)
        entries.prepend(ProgramDb::UM_COMBOBOX{0, QString()});
    if (sorted) {
        std::stable_sort(entries.begin(), entries.end(), [](const auto &a, const auto &b) {
            return a.text.compare(b.text, Qt::CaseInsensitive) < 0;
        });
    }
    list->clear();
    for (const ProgramDb::UM_COMBOBOX &entry : entries)
        list->addItem(entry.text, entry.id);
}

int selectedIndex(const QComboBox *list)
{
    const int index = list->currentIndex();
    if (!list->isEditable() || (index >= 0 && list->itemText(index) == list->currentText()))
        return index;
    // A typed text names the entry it spells, in any letter case ("cw" is CW).
    return list->findText(list->currentText(), Qt::MatchFixedString);
}

void selectIndex(QComboBox *list, int index)
{
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
    if (list->isEditable() && list->currentIndex() < 0)
        list->setEditText(QString());
}

int selectedCode(const QComboBox *list)
{
    return codeAt(list, selectedIndex(list));
}

int codeAt(const QComboBox *list, int index)
{
    return index >= 0 && index < list->count() ? list->itemData(index).toInt() : -1;
}

int indexOfCode(const QComboBox *list, int code)
{
    return list->findData(code);
}

QString textOfCode(const QComboBox *list, int code)
{
    const int index = indexOfCode(list, code);
    return index < 0 ? QString() : list->itemText(index);
}

} // namespace FormControls
