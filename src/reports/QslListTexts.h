#pragma once

#include <QString>

// The texts of the QSL window's list: the QSL codes as letters.
namespace QslListTexts {

// 1 "L", 2 "N", 3 "Y", 4 "D".
QString QslSentText(int qslSent);
// 1 "N", 2 "Y"; any other number gives an empty text.
QString QslRcvdText(int qslRcvd);

} // namespace QslListTexts
