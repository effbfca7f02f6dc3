#include "common/TestDir.h"

#include "refdata/RefDataCommandLine.h"

#include <QProcess>
#include <QtTest>

// The built program run without a window in a temporary directory.
class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void runs_data();
    void runs();
};

void CommandLineTest::runs_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("setUp"); // "real" copies the country file, "dir" blocks qslmgr.sql
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QStringList>("files");

    const QString usage = RefDataCommandLine::usage();
    QTest::newRow("basic") << QStringList{"--basic"} << "" << 0 << QByteArray("Ready\n") << QStringList{"korva3.sql"};
    // Every line of the message box, the download hint too.
    QTest::newRow("no country file")
        << QStringList{"--cty"} << "" << 1
        << QByteArray("cty.csv niet gevonden\nDownload cty.csv from https://www.country-files.com/\n") << QStringList();
    QTest::newRow("no manager list")
        << QStringList{"--qslmgr"} << "" << 1
        << QByteArray("qslmgr.txt niet gevonden\nDownload the QSL manager list (call;manager;) from "
                      "https://www.ik3qar.it/manager/\n")
        << QStringList();
    QTest::newRow("real country file") << QStringList{"--cty"} << "real" << 0 << QByteArray("Ready\n")
                                       << QStringList{"cty.csv", "cty.sql"};
    QTest::newRow("script cannot be created") << QStringList{"--qslmgr"} << "dir" << 1
                                              << QByteArray("qslmgr.sql kan niet worden aangemaakt\n")
                                              << QStringList{"qslmgr.txt"};
    QTest::newRow("help") << QStringList{"--help"} << "" << 0 << usage.toUtf8() << QStringList();
    QTest::newRow("unknown option") << QStringList{"--ctyy"} << "" << 1 << QByteArray() << QStringList();
    QTest::newRow("two options") << QStringList{"--basic", "--cty"} << "" << 1 << QByteArray() << QStringList();
}

void CommandLineTest::runs()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, setUp);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QStringList, files);
    TestDir dir;
    QVERIFY(dir.isValid());
    if (setUp == "real")
        QVERIFY(QFile::copy("/usr/share/hamradio-files/cty.csv", "cty.csv"));
    if (setUp == "dir")
        QVERIFY(TestDir::writeFile("qslmgr.txt", "QX1AA;QX2BB;\n") && QDir().mkdir("qslmgr.sql"));

    QProcess process;
    process.start(QStringLiteral(KORVA3_REFDATA_EXE), arguments);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);
    QCOMPARE(process.readAllStandardOutput(), out);
    QCOMPARE(process.readAllStandardError().endsWith(RefDataCommandLine::usage().toUtf8()), out.isEmpty());
    QCOMPARE(QDir().entryList(QDir::Files), files);
    // Four opening lines, 346 entities, 26439 aliases, the closing line.
    if (setUp == "real")
        QCOMPARE(TestDir::readFile("cty.sql").count("\r\n"), 26790);
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_refdata_commandline.moc"
