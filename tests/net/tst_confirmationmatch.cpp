#include "net/ConfirmationMatcher.h"

#include <QtTest>

namespace {

QDateTime at(int hour, int minute)
{
    return QDateTime(QDate(2024, 3, 1), QTime(hour, minute), QTimeZone::utc());
}

// The logbook every confirmation is matched against.
QList<QsoCandidate> logbook()
{
    return {
        {1, "DL1ABC/P", "20", "FT8", "", at(12, 0), ""},
        {2, "K1XYZ", "40", "CW", "", at(12, 0), ""},
        {3, "K1XYZ", "40m", "CW", "", at(12, 20), ""},
        {4, "W1SAT", "2", "SSB", "USB", at(12, 0), "AO-7"},
        {5, "G4AAA", "20", "USB", "", at(12, 0), ""},
        {7, "ON4TIE", "15", "RTTY", "", at(12, 10), ""},
        {6, "ON4TIE", "15", "PSK", "PSK31", at(11, 50), ""},
    };
}

} // namespace

// Which QSO a confirmation confirms, the mode groups and the calls as matched.
class TestConfirmationMatch : public QObject
{
    Q_OBJECT

private slots:
    // A confirmation as "CALL BAND MODE GROUP HH:MM SATELLITE", "-" for an empty field.
    void match_data()
    {
        QTest::addColumn<QString>("confirmation");
        QTest::addColumn<int>("row");
        QTest::newRow("20 minutes off, FT8 against DATA") << "DL1ABC 20M FT4 DATA 12:20 -" << 1;
        QTest::newRow("DATA as the mode") << "DL1ABC 20M DATA - 11:45 -" << 1;
        QTest::newRow("30 minutes off") << "DL1ABC 20M FT8 - 12:30 -" << 1;
        QTest::newRow("31 minutes off") << "DL1ABC 20M FT8 DATA 12:31 -" << -1;
        QTest::newRow("/P dropped, other case") << "dl1abc 20m FT8 - 12:00 -" << 1;
        QTest::newRow("/P and /QRP added") << "G4AAA/P/QRP 20M SSB PHONE 12:05 -" << 5;
        QTest::newRow("a prefix is another call") << "EA8/DL1ABC 20M FT8 - 12:00 -" << -1;
        QTest::newRow("wrong band") << "DL1ABC 40M FT8 DATA 12:00 -" << -1;
        QTest::newRow("wrong mode group") << "G4AAA 20M CW CW 12:00 -" << -1;
        QTest::newRow("closest of two") << "K1XYZ 40M CW CW 12:14 -" << 3;
        QTest::newRow("tie: the lower row") << "ON4TIE 15M RTTY DATA 12:00 -" << 6;
        QTest::newRow("satellite, uplink band") << "W1SAT 70CM SSB PHONE 12:03 AO-7" << 4;
        QTest::newRow("other satellite") << "W1SAT 2M SSB PHONE 12:03 FO-29" << -1;
        QTest::newRow("satellite against a terrestrial QSO") << "G4AAA 20M SSB PHONE 12:00 AO-7" << -1;
        QTest::newRow("terrestrial against a satellite QSO") << "W1SAT 2M SSB PHONE 12:00 -" << -1;
        QTest::newRow("no start time") << "G4AAA 20M SSB PHONE - -" << -1;
    }
    void match()
    {
        QFETCH(QString, confirmation);
        QFETCH(int, row);
        QStringList parts = confirmation.split(' ');
        for (QString &part : parts)
            part.replace(QRegularExpression(QStringLiteral("^-$")), QString());
        Confirmation c;
        c.call = parts.at(0);
        c.band = parts.at(1);
        c.mode = parts.at(2);
        c.modeGroup = parts.at(3);
        c.start = parts.at(4).isEmpty() ? QDateTime() : at(parts.at(4).left(2).toInt(), parts.at(4).mid(3).toInt());
        c.satellite = parts.at(5);
        QCOMPARE(ConfirmationMatcher::pick(c, logbook()).value_or(-1), row);
    }

    void modeGroup_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("submode");
        QTest::addColumn<QString>("group");
        QTest::newRow("CW") << "cw" << "" << "CW";
        QTest::newRow("SSB") << "SSB" << "LSB" << "PHONE";
        QTest::newRow("digital voice") << "DIGITALVOICE" << "C4FM" << "PHONE";
        QTest::newRow("FT8") << "FT8" << "" << "DATA";
        QTest::newRow("FT4") << "MFSK" << "FT4" << "DATA";
        QTest::newRow("SSTV") << "SSTV" << "" << "IMAGE";
        QTest::newRow("only a submode") << "" << "USB" << "PHONE";
        QTest::newRow("none") << "" << "" << "";
    }
    void modeGroup()
    {
        QFETCH(QString, mode);
        QFETCH(QString, submode);
        QFETCH(QString, group);
        QCOMPARE(ConfirmationMatcher::modeGroup(mode, submode), group);
    }

    void baseCall_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("base");
        QTest::newRow("portable") << " dl1abc/p " << "DL1ABC";
        QTest::newRow("two suffixes") << "K1ABC/M/QRP" << "K1ABC";
        QTest::newRow("maritime mobile") << "G4AAA/MM" << "G4AAA";
        QTest::newRow("prefix kept") << "EA8/DL1ABC/P" << "EA8/DL1ABC";
        QTest::newRow("entity suffix kept") << "W1AW/KH6" << "W1AW/KH6";
        QTest::newRow("call area kept") << "K1ABC/4" << "K1ABC/4";
        QTest::newRow("only a suffix") << "/P" << "/P";
    }
    void baseCall()
    {
        QFETCH(QString, call);
        QFETCH(QString, base);
        QCOMPARE(ConfirmationMatcher::baseCall(call), base);
    }
};

QTEST_GUILESS_MAIN(TestConfirmationMatch)
#include "tst_confirmationmatch.moc"
