#include "platform/CodePage.h"
#include "platform/DbDateTime.h"
#include "platform/Numbers.h"
#include "platform/ScriptedPrompter.h"

#include <QtTest>

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void everyDefinedByteRoundTrips();
    void highBytesAreTheWindowsCharacters();
    void charactersOutsideTheCodePageBecomeQuestionMarks();
    void storedTextIsUtf8OrWindows1252_data();
    void storedTextIsUtf8OrWindows1252();
    void atoiReadsLikeTheCLibrary_data();
    void atoiReadsLikeTheCLibrary();
    void datesAndTimesKeepTheirFixedWidth();
    void scriptedPrompterRecordsAndAnswers();
};

void TestPlatform::everyDefinedByteRoundTrips()
{
    for (int value = 0x20; value <= 0xFF; ++value) {
        const QByteArray byte(1, static_cast<char>(value));
        const QString wide = CodePage::fromAnsi(byte);
        QCOMPARE(wide.size(), 1);
        QCOMPARE(CodePage::toAnsi(wide), byte);
    }
}

void TestPlatform::highBytesAreTheWindowsCharacters()
{
    QCOMPARE(CodePage::fromAnsi(QByteArray("\x80\x8A\x9F\xE9\xFF")), QString::fromUtf8("€ŠŸéÿ"));
    QCOMPARE(CodePage::toAnsi(QString::fromUtf8("Café Ærø “quoted” – €")),
             QByteArray("Caf\xE9 \xC6r\xF8 \x93quoted\x94 \x96 \x80"));
}

void TestPlatform::charactersOutsideTheCodePageBecomeQuestionMarks()
{
    QCOMPARE(CodePage::toAnsi(QString::fromUtf8("Иван")), QByteArray("????"));
    QCOMPARE(CodePage::toAnsi(QString::fromUtf8("ā")), QByteArray("?"));
    // A character outside the Basic Multilingual Plane is one character, one '?'.
    QCOMPARE(CodePage::toAnsi(QString::fromUtf8("73 \U0001F4FB!")), QByteArray("73 ?!"));
    QCOMPARE(CodePage::fromAnsi(CodePage::toAnsi(QString::fromUtf8("Ωmega"))), QStringLiteral("?mega"));
}

void TestPlatform::storedTextIsUtf8OrWindows1252_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("incompleteTail");
    QTest::newRow("ASCII") << QByteArray("K1ABC 599") << QStringLiteral("K1ABC 599") << 0;
    QTest::newRow("UTF-8 of any alphabet")
        << QByteArray("\xc5\x81ukasz \xc5\x81\xc3\xb3" "d\xc5\xba \xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd \xe6\x9d\xb1\xe4\xba\xac")
        << QString::fromUtf8("Łukasz Łódź Иван 東京") << 0;
    QTest::newRow("Windows-1252") << QByteArray("Jos\xe9 M\xfcller Stra\xdf" "e \x80") << QString::fromUtf8("José Müller Straße €")
                                  << 0;
    QTest::newRow("an overlong form is no UTF-8") << QByteArray("\xc0\xaf") << QString::fromUtf8("À¯") << 0;
    QTest::newRow("a surrogate is no UTF-8") << QByteArray("\xed\xa0\x80") << QString::fromUtf8("í\u00a0€") << 0;
    QTest::newRow("bytes the code page leaves undefined") << QByteArray("\x81\x8d") << QStringLiteral("\u0081\u008d") << 0;
    QTest::newRow("UTF-8 cut after a lead byte") << QByteArray("C\xc3\xb4t\xc3") << QString::fromUtf8("CÃ´tÃ") << 1;
    QTest::newRow("UTF-8 cut inside four bytes") << QByteArray("73 \xf0\x9f\x93") << QString::fromUtf8("73 ðŸ“") << 3;
}

// Logbooks store UTF-8; text stored before (Windows-1252) reads the same, and converts
// to the UTF-8 a logbook stores now.
void TestPlatform::storedTextIsUtf8OrWindows1252()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, text);
    QFETCH(int, incompleteTail);
    QCOMPARE(CodePage::fromStored(stored), text);
    QByteArray utf8 = "x";
    CodePage::appendAsUtf8(utf8, stored);
    QCOMPARE(utf8, "x" + text.toUtf8());
    QCOMPARE(CodePage::toStored(text), text.toUtf8());
    QCOMPARE(CodePage::incompleteUtf8Tail(stored), incompleteTail);
}

void TestPlatform::atoiReadsLikeTheCLibrary_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("negative") << QByteArray("-60") << -60;
    QTest::newRow("blanks and plus") << QByteArray("  +7x") << 7;
    QTest::newRow("failure text") << QByteArray("db prepare error") << 0;
    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("sign alone") << QByteArray("-") << 0;
    QTest::newRow("too large") << QByteArray("99999999999") << 2147483647;
    QTest::newRow("too small") << QByteArray("-99999999999") << int(-2147483647 - 1);
}

void TestPlatform::atoiReadsLikeTheCLibrary()
{
    QFETCH(QByteArray, text);
    QFETCH(int, value);
    QCOMPARE(Numbers::atoi(text), value);
    QCOMPARE(Numbers::atoi(QString::fromLatin1(text)), value);
}

void TestPlatform::datesAndTimesKeepTheirFixedWidth()
{
    QCOMPARE(DbDateTime::formatDate(QDate(2026, 1, 6)), QStringLiteral("2026-01-06"));
    QCOMPARE(DbDateTime::formatTime(QTime(4, 5, 0)), QStringLiteral("04:05:00"));
    const DbDateTime::ListTexts listed = DbDateTime::listTexts(QStringLiteral("2026-12-06"), QStringLiteral("14:05:09"));
    QCOMPARE(listed.date, QStringLiteral("06-12-2026"));
    QCOMPARE(listed.time, QStringLiteral("14:05"));
    QCOMPARE(DbDateTime::listTexts(QStringLiteral("20261206"), QString()).date, QStringLiteral("20261206"));
    QCOMPARE(DbDateTime::listTexts(QStringLiteral("20261206"), QString()).time, QString());
}

void TestPlatform::scriptedPrompterRecordsAndAnswers()
{
    ScriptedPrompter prompter;
    Prompter::install(&prompter);
    prompter.setNextAnswer(Prompter::Answer::Ok);
    prompter.setNextFile(QStringLiteral("/tmp/log.sqlite3"));

    Prompter::current().warning(QStringLiteral("Band ?"));
    QCOMPARE(Prompter::current().question(QStringLiteral("Add Qso?")), Prompter::Answer::Ok);
    QCOMPARE(Prompter::current().question(QStringLiteral("Again?")), Prompter::Answer::Cancel);
    Prompter::FileRequest request;
    request.title = QStringLiteral("Open Logbook");
    QCOMPARE(Prompter::current().chooseFile(request), QStringLiteral("/tmp/log.sqlite3"));
    QCOMPARE(Prompter::current().chooseFile(request), QString());

    QCOMPARE(prompter.texts(), QStringList({"Band ?", "Add Qso?", "Again?"}));
    QCOMPARE(prompter.shown().size(), 5);
    QCOMPARE(prompter.shown().first().icon, Prompter::Icon::Warning);
    QCOMPARE(prompter.shown().at(1).caption, QStringLiteral("Korva3"));
    QCOMPARE(prompter.shown().last().request.title, QStringLiteral("Open Logbook"));

    Prompter::install(nullptr);
    QCOMPARE(Prompter::current().question(QStringLiteral("unseen")), Prompter::Answer::Cancel);
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
