#include "AdifText.h"

#include "platform/CodePage.h"

namespace AdifText {

QByteArrayView stored(QByteArrayView value, QByteArray &scratch)
{
    if (CodePage::isUtf8(value))
        return value;
    // Only a value holding whole UTF-8 characters beyond ASCII before the cut one is
    // taken for cut UTF-8; a single high byte at the end is a Windows-1252 character.
    const int cut = CodePage::incompleteUtf8Tail(value);
    if (cut > 0) {
        const QByteArrayView whole = value.chopped(cut);
        if (!CodePage::isAscii(whole) && CodePage::isUtf8(whole))
            return whole;
    }
    scratch.truncate(0);
    CodePage::appendAsUtf8(scratch, value);
    return scratch;
}

} // namespace AdifText
