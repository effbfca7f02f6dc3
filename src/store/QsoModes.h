#pragma once

#include <QString>

// The modes a QSO is stored with: code 1 CW, 2 SSB, 3 RTTY (every digital mode), 4 FM,
// 5 AM, each with its name and the report a QSO of it starts with (599 where the tone
// is reported, 59 for the phone modes). The one place that knows them.
namespace QsoModes {

constexpr int kCw = 1;
constexpr int kSsb = 2;
constexpr int kRtty = 3;
constexpr int kFm = 4;
constexpr int kAm = 5;
constexpr int kCount = 5;

// "CW" ... "AM"; an empty text for a code outside 1 to 5.
QString name(int code);
// "599" for CW and RTTY, "59" for the phone modes and any other code.
QString defaultReport(int code);
// SSB, FM and AM.
bool isPhone(int code);

} // namespace QsoModes
