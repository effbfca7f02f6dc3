#include "app/CChildFrame.h"
#include "app/CDocManager.h"
#include "app/CMainFrame.h"
#include "common/SampleProgramDatabase.h"
#include "common/SqlHelpers.h"
#include "common/StartedApp.h"
#include "common/TestSurroundings.h"
#include "document/CKorva3Doc.h"
#include "entry/CKorva3View.h"
#include "entry/CSetup.h"
#include "entry/WsjtxSetupPage.h"
#include "net/WsjtxListener.h"
#include "net/WsjtxLogging.h"
#include "platform/CommandIds.h"
#include "platform/ScriptedPrompter.h"
#include "store/ProgramDb.h"
#include "wsjtxsim/WsjtxEncoder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QUdpSocket>
#include <QtTest>

#include <ctime>

namespace {

using Kind = WsjtxMessage::Kind;
using Times = WsjtxEncoder::Times;

// Around midnight UTC: a time read through Tokyo's zone lands on another day.
const QDateTime kOn(QDate(2024, 3, 9), QTime(23, 58, 30), Qt::UTC);
const QDateTime kOff(QDate(2024, 3, 10), QTime(0, 0, 5), Qt::UTC);

WsjtxMessage::QsoLogged qsoWith(const QString &call)
{
    return {kOff, call, "FN42", 14081500, "FT4", "-09", "+02", "50", "tnx 73", "Joe",
            kOn, "DL2OP", "DL1XYZ", "JO62QM", QString(), QString(), QString()};
}

QByteArray datagramOf(Kind kind, const QString &id = "WSJT-X", const QString &call = "K1ABC", Times times = Times::Utc)
{
    WsjtxMessage message = WsjtxEncoder::message(kind, id);
    message.qso = qsoWith(call);
    if (kind == Kind::LoggedAdif)
        message.adif = WsjtxEncoder::loggedAdifText(message.qso, id);
    return WsjtxEncoder(times).encode(message);
}

QByteArray statusOf(const QString &dxCall, const QString &dxGrid, quint64 hz, const QString &mode)
{
    WsjtxMessage message = WsjtxEncoder::message(Kind::Status, "WSJT-X");
    message.status.dialFrequencyHz = hz;
    message.status.mode = mode;
    message.status.dxCall = dxCall;
    message.status.dxGrid = dxGrid;
    return WsjtxEncoder().encode(message);
}

// A datagram for the main port, or (secondary) for the plain ADIF port.
struct Sent
{
    QByteArray bytes;
    bool secondary = false;
};

const char kQsoColumns[] = "SELECT DATE, TIME, CALL, SENT, RCVD, FREQ, BAND, MODE, POWER, GRID, NAME, REMARKS "
                           "FROM QSOS WHERE CALL != 'LAST' ORDER BY ROWID";
const char kKeptFields[] = "SELECT F.NAME, F.VALUE FROM QSOFIELDS F JOIN QSOS Q ON Q.ROWID = F.QSO "
                           "WHERE Q.CALL != 'LAST' ORDER BY F.QSO, F.NAME";

} // namespace

Q_DECLARE_METATYPE(QList<Sent>)

class TestWsjtxLogging : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void logsEachQsoOnceIntoTheActiveWindow_data();
    void logsEachQsoOnceIntoTheActiveWindow();
    void storesIntoTheLogbookSetupChose_data();
    void storesIntoTheLogbookSetupChose();
    void aPortInUseIsToldOnceAndTheWindowWorks();
    void followFillsAnEmptyFormAndLeavesATypedOne();

private:
    // Korva3 on the logbook `path` (none: no argument), listening on free ports.
    CMainFrame *start(const QString &path, WsjtxSettings settings = WsjtxSettings());
    CKorva3View *activeView() const;
    void send(const QByteArray &datagram, bool secondary = false);
    // The texts of the QSOs handled, up to a QSO Logged of "LAST" sent after the others.
    QStringList handledTexts();

    QTemporaryDir m_programDir;
    ScriptedPrompter m_prompter;
    std::unique_ptr<TestSurroundings> m_here;
    std::unique_ptr<StartedApp> m_app;
    CMainFrame *m_frame = nullptr;
    std::unique_ptr<QSignalSpy> m_handled;
    QUdpSocket m_sender;
};

void TestWsjtxLogging::initTestCase()
{
    // Far from UTC, so that a time read as local shows (CTest sets TZ too).
    qputenv("TZ", "Asia/Tokyo");
    tzset();
    CMainFrame::s_startupPauseMs = 0;
    QVERIFY(makeSampleProgramDatabase(m_programDir.filePath(ProgramDb::kProgramDatabase)));
}

void TestWsjtxLogging::init()
{
    m_prompter.clear();
    m_here.reset(); // first: it puts the previous folder back
    m_here = std::make_unique<TestSurroundings>(m_prompter);
    QVERIFY(m_here->isValid());
    QVERIFY(QFile::copy(m_programDir.filePath(ProgramDb::kProgramDatabase), ProgramDb::kProgramDatabase));
    for (const char *name : {"a.sqlite3", "b.sqlite3"})
        QVERIFY(Sqlite3DB().CreateLogbook(m_here->dir().filePath(name)));
}

void TestWsjtxLogging::cleanup()
{
    m_handled.reset();
    m_app.reset();
    m_frame = nullptr;
    m_here.reset();
}

CMainFrame *TestWsjtxLogging::start(const QString &path, WsjtxSettings settings)
{
    m_app = std::make_unique<StartedApp>();
    m_frame = m_app->start(path.isEmpty() ? QStringList{"Korva3"} : QStringList{"Korva3", path});
    if (!m_frame)
        return nullptr;
    // The active station profile (the program's start made it), whose fields a QSO
    // without its own gets.
    if (!SqlHelpers::exec(ProgramDb::kProgramDatabase,
                          "DELETE FROM STATIONPROFILEFIELDS; INSERT INTO STATIONPROFILEFIELDS VALUES "
                          "(1, 'STATION_CALLSIGN', 'DL1XYZ'), (1, 'MY_GRIDSQUARE', 'JO62QM'), (1, 'MY_RIG', 'IC-7300')"))
        return nullptr;
    settings.enabled = true;
    settings.port = 0;
    settings.secondaryEnabled = true;
    settings.secondaryPort = 0;
    if (!m_frame->wsjtxLogging()->apply(settings))
        return nullptr;
    m_frame->wsjtxLogging()->listener()->setAdifWait(100);
    m_handled = std::make_unique<QSignalSpy>(m_frame->wsjtxLogging(), &WsjtxLogging::qsoHandled);
    return m_frame;
}

CKorva3View *TestWsjtxLogging::activeView() const
{
    auto *frame = qobject_cast<CChildFrame *>(m_frame->activeFrame());
    return frame ? frame->view() : nullptr;
}

void TestWsjtxLogging::send(const QByteArray &datagram, bool secondary)
{
    const WsjtxListener *listener = m_frame->wsjtxLogging()->listener();
    QCOMPARE(m_sender.writeDatagram(datagram, QHostAddress::LocalHost,
                                    secondary ? listener->secondaryPort() : listener->port()),
             datagram.size());
}

// A QSO Logged waits as long as any before it for its Logged ADIF: when it is handled,
// every QSO sent before it has been.
QStringList TestWsjtxLogging::handledTexts()
{
    send(datagramOf(Kind::QsoLogged, "WSJT-X", "LAST"));
    const auto textAt = [this](qsizetype i) { return m_handled->at(i).first().value<WsjtxLogging::Outcome>().text; };
    [&] { QTRY_VERIFY(!m_handled->isEmpty() && textAt(m_handled->size() - 1).startsWith("LAST ")); }();
    QStringList texts;
    for (qsizetype i = 0; i + 1 < m_handled->size(); ++i)
        texts.append(textAt(i));
    return texts;
}

void TestWsjtxLogging::logsEachQsoOnceIntoTheActiveWindow_data()
{
    QTest::addColumn<QList<Sent>>("datagrams");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QByteArray>("qsos");
    QTest::addColumn<QByteArray>("kept");
    const QByteArray k1abc = "2024-03-09|23:58:30|K1ABC|-09|+02|14.0815|20|3|50|FN42|Joe|tnx 73";
    // The record's own station fields, and the profile's rig, which the record lacks.
    const QByteArray k1abcKept = "MODE|MFSK\nMY_GRIDSQUARE|JO62QM\nMY_RIG|IC-7300\nOPERATOR|DL2OP\n"
                                 "QSO_DATE_OFF|20240310\nSTATION_CALLSIGN|DL1XYZ\nSUBMODE|FT4\nTIME_OFF|000005";
    QTest::newRow("WSJT-X: QSO Logged, then Logged ADIF")
        << QList<Sent>{{datagramOf(Kind::QsoLogged)}, {datagramOf(Kind::LoggedAdif)}}
        << QStringList{"K1ABC logged from WSJT-X"} << k1abc << k1abcKept;
    QTest::newRow("resent, and from a second program")
        << QList<Sent>{{datagramOf(Kind::QsoLogged)}, {datagramOf(Kind::LoggedAdif)}, {datagramOf(Kind::LoggedAdif)},
                       {datagramOf(Kind::QsoLogged, "JTDX", "K1ABC", Times::MarkedLocal)},
                       {datagramOf(Kind::LoggedAdif, "JS8Call")}, {datagramOf(Kind::QsoLogged)}}
        << QStringList{"K1ABC logged from WSJT-X"} << k1abc << k1abcKept;
    QTest::newRow("JTDX: its local-marked times are UTC")
        << QList<Sent>{{datagramOf(Kind::QsoLogged, "JTDX", "K1ABC", Times::MarkedLocal)}}
        << QStringList{"K1ABC logged from JTDX"} << k1abc << k1abcKept;
    QTest::newRow("ADIF port: the station's fields where the record has none")
        << QList<Sent>{{"<call:4>W1AW <band:3>20m <mode:3>FT8 <qso_date:8>20240309 <time_on:4>1200 "
                        "<my_gridsquare:4>JO62 <eor>",
                        true}}
        << QStringList{"W1AW logged from ADIF UDP"} << QByteArray("2024-03-09|12:00:00|W1AW||||20|3||||")
        << QByteArray("MODE|FT8\nMY_GRIDSQUARE|JO62\nMY_RIG|IC-7300\nSTATION_CALLSIGN|DL1XYZ");
}

void TestWsjtxLogging::logsEachQsoOnceIntoTheActiveWindow()
{
    QFETCH(QList<Sent>, datagrams);
    QFETCH(QStringList, texts);
    QFETCH(QByteArray, qsos);
    QFETCH(QByteArray, kept);
    const QString logbook = m_here->dir().filePath("a.sqlite3");
    QVERIFY(start(logbook));
    for (const Sent &datagram : datagrams)
        send(datagram.bytes, datagram.secondary);
    QCOMPARE(handledTexts(), texts);
    QCOMPARE(m_frame->statusText(), QStringLiteral("LAST logged from WSJT-X"));
    QCOMPARE(SqlHelpers::rows(logbook, kQsoColumns), qsos);
    QCOMPARE(SqlHelpers::rows(logbook, kKeptFields), kept);
    // The window's list of the latest QSOs shows it at once.
    const QString call = QString::fromLatin1(qsos.split('|').at(2));
    QCOMPARE(activeView()->workedList()->findItems(call, Qt::MatchExactly).size(), 1);
    QCOMPARE(m_prompter.texts(), QStringList());
}

void TestWsjtxLogging::storesIntoTheLogbookSetupChose_data()
{
    QTest::addColumn<QString>("opened");   // the logbook Korva3 starts with
    QTest::addColumn<bool>("closed");      // its window closed again
    QTest::addColumn<QString>("chosen");   // Setup's logbook
    QTest::addColumn<QByteArray>("fault"); // run in a.sqlite3 first
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("inA");
    QTest::addColumn<int>("inB");
    const QByteArray newer = "PRAGMA user_version = 99";
    const QByteArray refused = "CREATE TRIGGER refuse BEFORE INSERT ON QSOS BEGIN SELECT RAISE(ABORT, 'refused'); END";
    QTest::newRow("the active window's") << "a.sqlite3" << false << "" << QByteArray() << "K1ABC logged from WSJT-X" << 1 << 0;
    QTest::newRow("the one chosen, without a window")
        << "a.sqlite3" << false << "b.sqlite3" << QByteArray() << "K1ABC logged from WSJT-X" << 0 << 1;
    QTest::newRow("none open: the one used last")
        << "a.sqlite3" << true << "" << QByteArray() << "K1ABC logged from WSJT-X" << 1 << 0;
    QTest::newRow("none ever used") << "" << false << "" << QByteArray() << "K1ABC not logged: no logbook is open" << 0 << 0;
    QTest::newRow("the chosen file is missing")
        << "a.sqlite3" << false << "gone.sqlite3" << QByteArray() << "K1ABC not logged: Logbook not found: %1/gone.sqlite3"
        << 0 << 0;
    QTest::newRow("a logbook of a newer version")
        << "a.sqlite3" << false << "" << newer
        << "K1ABC not logged: The logbook a.sqlite3 has schema version 99, newer than this Korva3 knows (1). "
           "It is opened read-only: nothing can be added or changed."
        << 0 << 0;
    QTest::newRow("a write that fails")
        << "a.sqlite3" << false << "" << refused << "K1ABC not logged: Error writing to database..." << 0 << 0;
}

void TestWsjtxLogging::storesIntoTheLogbookSetupChose()
{
    QFETCH(QString, opened);
    QFETCH(bool, closed);
    QFETCH(QString, chosen);
    QFETCH(QByteArray, fault);
    QFETCH(QString, text);
    QFETCH(int, inA);
    QFETCH(int, inB);
    const QString a = m_here->dir().filePath("a.sqlite3");
    const QString b = m_here->dir().filePath("b.sqlite3");
    if (!fault.isEmpty())
        QVERIFY(SqlHelpers::exec(a, fault));
    WsjtxSettings settings;
    settings.logbook = chosen.isEmpty() ? QString() : m_here->dir().filePath(chosen);
    QVERIFY(start(opened.isEmpty() ? QString() : m_here->dir().filePath(opened), settings));
    if (closed) {
        m_frame->docManager()->CloseDocument(m_frame->docManager()->documents().first());
        QTRY_COMPARE(m_frame->docManager()->documents().size(), 0);
    }
    send(datagramOf(Kind::LoggedAdif));
    QTRY_COMPARE(m_frame->statusText(), text.replace("%1", m_here->dir().path()));
    QCOMPARE(SqlHelpers::count(a, "QSOS"), inA);
    QCOMPARE(SqlHelpers::count(b, "QSOS"), inB);
    if (inA + inB > 0)
        QCOMPARE(SqlHelpers::count(inA ? a : b, "QSOFIELDS"), 8);
    // A logbook opened for the QSOs has no window until the operator opens the file.
    if (inB == 1) {
        CKorva3Doc *document = m_frame->docManager()->documents().last();
        QCOMPARE(document->pathName(), b);
        QCOMPARE(m_frame->docManager()->framesOf(document).size(), 0);
        QCOMPARE(m_frame->docManager()->OpenDocumentFile(b), document);
        QCOMPARE(m_frame->docManager()->framesOf(document).size(), 1);
        QCOMPARE(activeView()->workedList()->rowCount(), 1);
    }
}

void TestWsjtxLogging::aPortInUseIsToldOnceAndTheWindowWorks()
{
    QUdpSocket other;
    QVERIFY(other.bind(QHostAddress::AnyIPv4, 0, QUdpSocket::DontShareAddress));
    WsjtxSettings settings;
    settings.enabled = true;
    settings.port = other.localPort();
    settings.save();
    const QString told = QStringLiteral("Korva3 does not listen for WSJT-X: UDP port %1 is in use by another program")
                             .arg(other.localPort());
    StartedApp app;
    CMainFrame *frame = app.start({"Korva3", m_here->dir().filePath("a.sqlite3")});
    QVERIFY(frame);
    QCOMPARE(m_prompter.texts(), QStringList{told});
    QVERIFY(!frame->wsjtxLogging()->isListening());

    // The window works as ever: a QSO typed and added.
    CKorva3View *view = qobject_cast<CChildFrame *>(frame->activeFrame())->view();
    view->callEdit()->setText("QX1ABC");
    view->OnCallChange();
    m_prompter.setNextAnswer(Prompter::Answer::Ok);
    QVERIFY(frame->runCommand(ID_ADD_QSO));
    QCOMPARE(SqlHelpers::count(m_here->dir().filePath("a.sqlite3"), "QSOS"), 1);

    // Setup shows the settings; its OK tries the port again and says so once more, and
    // listens once the port is free.
    CSetup setup(view, frame->trxLink(), frame->wsjtxLogging());
    QCOMPARE(setup.wsjtxPage()->portSpin()->value(), settings.port);
    QVERIFY(setup.wsjtxPage()->enabledCheck()->isChecked());
    QCOMPARE(setup.wsjtxPage()->logbookList()->currentText(), WsjtxSetupPage::kActiveLogbook);
    setup.accept();
    QCOMPARE(m_prompter.texts(), (QStringList{told, "Add qso ?", told}));
    other.close();
    setup.wsjtxPage()->groupEdit()->setText("239.255.0.1");
    setup.wsjtxPage()->interfaceEdit()->setText("lo");
    setup.accept();
    if (!frame->wsjtxLogging()->isListening())
        QSKIP(qPrintable("This kernel does not join a multicast group on lo: " + frame->wsjtxLogging()->lastError()));
    QCOMPARE(m_prompter.texts().size(), 3);
    settings.multicastGroup = "239.255.0.1";
    settings.interfaceName = "lo";
    QVERIFY(WsjtxSettings::load() == settings);
}

// The form follows while it is empty or holds what the follower put there.
void TestWsjtxLogging::followFillsAnEmptyFormAndLeavesATypedOne()
{
    WsjtxSettings settings;
    settings.follow = true;
    QVERIFY(start(m_here->dir().filePath("a.sqlite3"), settings));
    CKorva3View *view = activeView();
    QSignalSpy statuses(m_frame->wsjtxLogging(), &WsjtxLogging::statusReceived);
    const auto status = [&](const QString &call, quint64 hz) {
        statuses.clear();
        send(statusOf(call, call.isEmpty() ? QString() : "JO62", hz, "FT8"));
        return statuses.wait(5000);
    };
    const auto form = [view] {
        return QStringList{view->callEdit()->text(), view->freqEdit()->text(), view->bandEdit()->text(),
                           view->modeList()->currentText(), view->gridEdit()->text(), view->countryList()->currentText()};
    };

    QVERIFY(status("QX1ABC", 14074000));
    QCOMPARE(form(), (QStringList{"QX1ABC", "14.074.0", "20", "FT8", "JO62", "Sample Isle"}));
    QCOMPARE(view->infoLine1Label()->text(), QStringLiteral("  Sample Isle QX  utc: -1.0  EU"));
    QVERIFY(status("QX2XYZ", 7074000));
    QCOMPARE(form(), (QStringList{"QX2XYZ", "7.074.0", "40", "FT8", "JO62", "Sample Isle"}));
    QVERIFY(status("", 7074000));
    QCOMPARE(form(), (QStringList{"", "7.074.0", "40", "FT8", "", ""}));
    QVERIFY(status("QX3AAA", 21074000));
    QCOMPARE(form().first(), QStringLiteral("QX3AAA"));

    QTest::keyClicks(view->nameEdit(), "Bob"); // the operator types: the form is theirs now
    QVERIFY(status("QX4BBB", 3573000));
    QCOMPARE(form(), (QStringList{"QX3AAA", "21.074.0", "15", "FT8", "JO62", "Sample Isle"}));
    view->OnClearForm();
    QTest::keyClicks(view->callEdit(), "dl1abc");
    QVERIFY(status("QX5CCC", 1840000));
    QCOMPARE(form().first(), QStringLiteral("DL1ABC"));
    QCOMPARE(view->freqEdit()->text(), QStringLiteral("21.074.0"));
    QCOMPARE(m_prompter.texts(), QStringList());
}

QTEST_MAIN(TestWsjtxLogging)
#include "tst_wsjtxlogging.moc"
