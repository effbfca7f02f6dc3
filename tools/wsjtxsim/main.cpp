// wsjtxsim: sends the datagrams WSJT-X, JTDX and JS8Call send to a logger, for trying
// the listener without those programs (see the README's "WSJT-X simulator").
//   wsjtxsim [OPTIONS] heartbeat|status|qso|adif|both|close|plain ...

#include "WsjtxEncoder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHostInfo>
#include <QNetworkInterface>
#include <QThread>
#include <QUdpSocket>

#include <cstdio>

namespace {

struct FieldOption
{
    const char *name;
    const char *description;
    const char *fallback;
};

// The QSO's fields (and the Status message's), with made-up defaults.
const FieldOption kFields[] = {
    {"call", "DX call", "K1ABC"},
    {"grid", "DX grid", "FN42"},
    {"freq", "frequency in Hz", "14075500"},
    {"mode", "mode", "FT8"},
    {"sent", "report sent", "-10"},
    {"rcvd", "report received", "-12"},
    {"power", "Tx power", "100"},
    {"comment", "comments", ""},
    {"name", "name", ""},
    {"time-on", "start, yyyy-MM-ddTHH:mm:ss UTC (default: a minute ago)", ""},
    {"time-off", "end, yyyy-MM-ddTHH:mm:ss UTC (default: now)", ""},
    {"operator", "operator call", ""},
    {"my-call", "own call", "DL1XYZ"},
    {"my-grid", "own grid", "JO62"},
    {"exch-sent", "exchange sent", ""},
    {"exch-rcvd", "exchange received", ""},
    {"prop", "ADIF propagation mode", ""},
};

// The i-th of 175,760 distinct calls, K0AAA to K9ZZZ.
QString madeUpCall(int i)
{
    QString call = QStringLiteral("K%1").arg((i / 17576) % 10);
    for (const int step : {676, 26, 1})
        call += QLatin1Char(static_cast<char>('A' + (i / step) % 26));
    return call;
}

QDateTime utcOption(const QCommandLineParser &parser, const char *name, const QDateTime &fallback)
{
    const QString text = parser.value(QLatin1String(name));
    if (text.isEmpty())
        return fallback;
    QDateTime time = QDateTime::fromString(text, Qt::ISODate);
    time.setTimeSpec(Qt::UTC);
    return time;
}

WsjtxMessage::QsoLogged qsoOf(const QCommandLineParser &parser)
{
    const auto text = [&parser](const char *name) { return parser.value(QLatin1String(name)); };
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QDateTime second(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()), Qt::UTC);
    WsjtxMessage::QsoLogged qso;
    qso.timeOff = utcOption(parser, "time-off", second);
    qso.dxCall = text("call");
    qso.dxGrid = text("grid");
    qso.txFrequencyHz = text("freq").toULongLong();
    qso.mode = text("mode");
    qso.reportSent = text("sent");
    qso.reportReceived = text("rcvd");
    qso.txPower = text("power");
    qso.comments = text("comment");
    qso.name = text("name");
    qso.timeOn = utcOption(parser, "time-on", qso.timeOff.addSecs(-60));
    qso.operatorCall = text("operator");
    qso.myCall = text("my-call");
    qso.myGrid = text("my-grid");
    qso.exchangeSent = text("exch-sent");
    qso.exchangeReceived = text("exch-rcvd");
    qso.propagationMode = text("prop");
    return qso;
}

WsjtxStatus statusOf(const WsjtxMessage::QsoLogged &qso)
{
    WsjtxStatus status;
    status.dialFrequencyHz = qso.txFrequencyHz;
    status.mode = qso.mode;
    status.dxCall = qso.dxCall;
    status.report = qso.reportSent;
    status.txMode = qso.mode;
    status.deCall = qso.myCall;
    status.deGrid = qso.myGrid;
    status.dxGrid = qso.dxGrid;
    return status;
}

// The datagrams of one command, for QSO number `index` of `count`.
QList<QByteArray> datagrams(const QString &command, const WsjtxEncoder &encoder, const WsjtxMessage &header,
                            WsjtxMessage::QsoLogged qso, int index, int count)
{
    using Kind = WsjtxMessage::Kind;
    const auto of = [&header](Kind kind) { return WsjtxEncoder::message(kind, header.id, header.schema); };
    if (count > 1)
        qso.dxCall = madeUpCall(index);
    WsjtxMessage logged = of(Kind::QsoLogged);
    logged.qso = qso;
    WsjtxMessage adif = of(Kind::LoggedAdif);
    adif.adif = WsjtxEncoder::loggedAdifText(qso, header.id);
    if (command == QLatin1String("qso"))
        return {encoder.encode(logged)};
    if (command == QLatin1String("adif"))
        return {encoder.encode(adif)};
    if (command == QLatin1String("both"))
        return {encoder.encode(logged), encoder.encode(adif)};
    if (command == QLatin1String("plain"))
        return {adif.adif};
    if (index > 0)
        return {};
    if (command == QLatin1String("heartbeat")) {
        WsjtxMessage heartbeat = of(Kind::Heartbeat);
        heartbeat.heartbeat = {3, QStringLiteral("2.7.0"), QStringLiteral("wsjtxsim")};
        return {encoder.encode(heartbeat)};
    }
    if (command == QLatin1String("status")) {
        WsjtxMessage status = of(Kind::Status);
        status.status = statusOf(qso);
        return {encoder.encode(status)};
    }
    return {encoder.encode(of(Kind::Close))};
}

QHostAddress addressOf(const QString &host)
{
    const QHostAddress address(host);
    if (!address.isNull())
        return address;
    for (const QHostAddress &found : QHostInfo::fromName(host).addresses()) {
        if (found.protocol() == QAbstractSocket::IPv4Protocol)
            return found;
    }
    return QHostAddress();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Sends the UDP datagrams of WSJT-X, JTDX and JS8Call to a logger."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("heartbeat, status, qso (QSO Logged), adif (Logged ADIF), both "
                                                "(qso then adif), close, or plain (the ADIF text alone, for the "
                                                "secondary port); several are sent in order"));
    parser.addOptions({
        {QStringLiteral("host"), QStringLiteral("address to send to (127.0.0.1; a multicast group works)"),
         QStringLiteral("host"), QStringLiteral("127.0.0.1")},
        {QStringLiteral("port"), QStringLiteral("UDP port (2237)"), QStringLiteral("port"), QStringLiteral("2237")},
        {QStringLiteral("interface"), QStringLiteral("network interface for a multicast group"), QStringLiteral("name")},
        {QStringLiteral("schema"), QStringLiteral("schema number, 2 or 3 (3)"), QStringLiteral("n"), QStringLiteral("3")},
        {QStringLiteral("id"), QStringLiteral("sender Id (WSJT-X, or JTDX with --jtdx)"), QStringLiteral("id")},
        {QStringLiteral("jtdx"), QStringLiteral("mark the UTC times as local time, as JTDX does")},
        {QStringLiteral("resend"), QStringLiteral("send every datagram n more times"), QStringLiteral("n"), QStringLiteral("0")},
        {QStringLiteral("count"), QStringLiteral("send n QSOs, each with a made-up call of its own (K0AAA, K0AAB, ...)"),
         QStringLiteral("n"), QStringLiteral("1")},
        {QStringLiteral("interval"), QStringLiteral("milliseconds between datagrams (0)"), QStringLiteral("ms"),
         QStringLiteral("0")},
    });
    for (const FieldOption &field : kFields)
        parser.addOption({QLatin1String(field.name), QLatin1String(field.description), QStringLiteral("value"),
                          QLatin1String(field.fallback)});
    parser.process(app);

    static const QStringList kCommands = {QStringLiteral("heartbeat"), QStringLiteral("status"), QStringLiteral("qso"),
                                          QStringLiteral("adif"), QStringLiteral("both"), QStringLiteral("close"),
                                          QStringLiteral("plain")};
    const QStringList commands = parser.positionalArguments();
    const QHostAddress host = addressOf(parser.value(QStringLiteral("host")));
    const quint16 port = parser.value(QStringLiteral("port")).toUShort();
    const int count = parser.value(QStringLiteral("count")).toInt();
    const int copies = 1 + parser.value(QStringLiteral("resend")).toInt();
    const int interval = parser.value(QStringLiteral("interval")).toInt();
    const bool jtdx = parser.isSet(QStringLiteral("jtdx"));
    WsjtxMessage header;
    header.schema = parser.value(QStringLiteral("schema")).toUInt();
    header.id = parser.isSet(QStringLiteral("id")) ? parser.value(QStringLiteral("id"))
                                                   : QString::fromLatin1(jtdx ? "JTDX" : "WSJT-X");
    for (const QString &command : commands) {
        if (!kCommands.contains(command))
            parser.showHelp(2);
    }
    if (commands.isEmpty() || host.isNull() || port == 0 || count < 1 || copies < 1 || interval < 0)
        parser.showHelp(2);

    QUdpSocket socket;
    socket.bind(QHostAddress::AnyIPv4, 0);
    if (parser.isSet(QStringLiteral("interface")))
        socket.setMulticastInterface(QNetworkInterface::interfaceFromName(parser.value(QStringLiteral("interface"))));
    const WsjtxEncoder encoder(jtdx ? WsjtxEncoder::Times::MarkedLocal : WsjtxEncoder::Times::Utc);
    const WsjtxMessage::QsoLogged qso = qsoOf(parser);
    int sent = 0;
    for (int index = 0; index < count; ++index) {
        for (const QString &command : commands) {
            for (const QByteArray &datagram : datagrams(command, encoder, header, qso, index, count)) {
                for (int copy = 0; copy < copies; ++copy) {
                    if (socket.writeDatagram(datagram, host, port) != datagram.size()) {
                        std::fprintf(stderr, "wsjtxsim: %s\n", qPrintable(socket.errorString()));
                        return 1;
                    }
                    ++sent;
                    if (interval > 0)
                        QThread::msleep(static_cast<unsigned long>(interval));
                }
            }
        }
    }
    std::printf("sent %d datagrams to %s:%u\n", sent, qPrintable(host.toString()), port);
    return 0;
}
