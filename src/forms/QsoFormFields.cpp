#include "QsoFormFields.h"

namespace QsoFormFields {

namespace {

using R = Sqlite3DB::UM_RECORD;
constexpr auto Any = FormControls::AnyText;
constexpr auto Upper = FormControls::UpperCase;
constexpr auto Digits = FormControls::DigitsOnly;

} // namespace

const QList<Description> &all()
{
    // The entry form takes reports, band, power and zone as typed and centres them; the
    // dialog takes only digits there.
    static const QList<Description> fields = {
        {Field::Call, &R::call, {"&Call", 16, Upper, false}, {"&Call", 16, Upper, false}},
        {Field::Sent, &R::sent, {"Sent", 3, Any, true}, {"&Sent", 3, Digits, false}},
        {Field::Rcvd, &R::rcvd, {"Rcvd", 3, Any, true}, {"&Rcvd", 3, Digits, false}},
        {Field::Freq, &R::freq, {"Frequency", 8, Any, true}, {"Freq&uency", 8, Any, false}},
        {Field::Band, &R::band, {"Band", 3, Any, true}, {"&Band", 3, Digits, false}},
        {Field::Power, &R::power, {"Power", 4, Any, true}, {"&Power", 4, Digits, false}},
        {Field::CqZone, &R::cqZone, {"CQ zone", 2, Any, true}, {"CQ &zone", 2, Digits, false}},
        {Field::Grid, &R::grid, {"Grid", 6, Upper, true}, {"&Grid", 6, Upper, false}},
        {Field::Name, &R::name, {"&Name", 30, Any, false}, {"&Name", 0, Any, false}},
        {Field::Qth, &R::qth, {"Qth", 30, Any, false}, {"&Qth", 30, Any, false}},
        {Field::Address1, &R::address1, {"Address1", 30, Any, false}, {"&Address1", 30, Any, false}},
        {Field::Address2, &R::address2, {"Address2", 30, Any, false}, {"Address2", 30, Any, false}},
        {Field::Remarks, &R::remarks, {"Remarks", 30, Any, false}, {"Remar&ks", 30, Any, false}},
        {Field::QslMgr, &R::qslMgr, {"Qsl mgr", 12, Any, false}, {"Qsl mgr", 12, Upper, false}},
        {Field::Iota, &R::iota, {"Iota", 6, Any, false}, {"Iota", 6, Upper, false}},
    };
    return fields;
}

const Description &of(Field field)
{
    return all().at(static_cast<int>(field));
}

QString widestText(Field field, Window window)
{
    switch (field) {
    case Field::Freq:
        return QStringLiteral("000.000.0");
    case Field::Call:
        // The longest form calls take in practice, prefix, call and suffix all long,
        // rather than sixteen of the widest letter: the form's top row fits a small
        // screen.
        return QStringLiteral("VP2EWW/DL1ABCD/P");
    case Field::Name:
    case Field::Qth:
    case Field::Address1:
    case Field::Address2:
    case Field::Remarks:
        // The entry form's limit also for the dialog's name, which has none.
        return QString(of(field).entry.limit, QLatin1Char('n'));
    default:
        break;
    }
    const Look &look = of(field).look(window);
    return QString(look.limit, look.input == FormControls::DigitsOnly ? QLatin1Char('0') : QLatin1Char('M'));
}

} // namespace QsoFormFields
