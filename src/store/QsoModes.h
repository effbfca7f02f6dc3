#pragma once

#include <QByteArrayView>
#include <QString>
#include <QList>
#include <QStringList>

#include <optional>

// The modes a QSO is stored with: code 1 CW, 2 SSB, 3 RTTY (every digital mode), 4 FM,
// 5 AM, each with its name and the report a QSO of it starts with (599 where the tone
// is reported, 59 for the phone modes). A QSO in any other of ADIF's modes keeps its
// code (FT8 counts as digital, DIGITALVOICE as phone) and its ADIF MODE and SUBMODE
// beside it, and is shown by its own name. The one place that knows them.
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

// One mode an operator can choose: the name shown, the ADIF MODE and SUBMODE it is
// logged with, and its code.
struct Choice
{
    QString name;
    QString adifMode;
    QString adifSubmode;
    int code = 0;
};

// The modes to choose from beyond the five codes' own: ADIF's modes and the common
// submodes, in alphabetical order.
const QList<Choice> &moreChoices();
// The choice of that name, in any letter case (the five codes' own names too); nothing
// for a name no choice has.
std::optional<Choice> find(const QString &name);
// The code an ADIF MODE (or a SUBMODE given as the mode, as older files do) counts as;
// `current` for an empty text.
int codeOfAdif(QByteArrayView adifMode, int current);
// The name a QSO is shown with: its SUBMODE, else its MODE, as long as that still
// counts as the stored code, else the code's own name.
QString shownName(int code, const QString &adifMode, const QString &adifSubmode);

} // namespace QsoModes
