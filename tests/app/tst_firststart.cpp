#include "app/CDocManager.h"
#include "app/CMainFrame.h"
#include "app/FirstStart.h"
#include "common/PrivateEnvironment.h"
#include "common/SqlHelpers.h"
#include "common/TestDir.h"
#include "common/StartedApp.h"
#include "document/CKorva3Doc.h"
#include "faults/HeldLock.h"
#include "platform/AppSettings.h"
#include "platform/PrompterGuard.h"
#include "platform/ScriptedPrompter.h"
#include "refdata/ProgramDatabaseMaker.h"
#include "store/Sqlite3DB.h"

#include <QProgressBar>
#include <QtTest>

#include <memory>

using Answer = Prompter::Answer;
using Icon = Prompter::Icon;
using Kind = ScriptedPrompter::Shown::Kind;

namespace {

const QByteArray kCountryLines = "QX,Sample d'Isle,999,EU,14,27,52.50,-4.25,-1.0,QX QX2(15) =QX1A[28];\n"
                                 "QY,Solo,998,AF,35,46,1.5,-2,+0.5,QY;\n";
const QByteArray kCounts = "SELECT (SELECT COUNT(*) FROM COUNTRIES) || ' ' || (SELECT COUNT(*) FROM PREFIXES) || ' ' || "
                           "(SELECT COUNT(*) FROM CALLS)";
const QByteArray kManagers = "SELECT group_concat(CALL || '>' || QSLMGR, ' ') FROM QSLMGRS";

QStringList folderEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QString made(const QString &folder)
{
    return QStringLiteral("The program database was made: %1/korva3.sqlite3").arg(folder);
}

QString askMissing(const QString &folder)
{
    return QStringLiteral("There is no program database (korva3.sqlite3) in %1.\n"
                          "Make it now from the country file and the QSL manager list?")
        .arg(folder);
}

// Sets an environment variable for the length of one test.
class ScopedVariable
{
public:
    ScopedVariable(const char *name, const QString &value)
        : m_name(name)
        , m_value(qgetenv(name))
        , m_wasSet(qEnvironmentVariableIsSet(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, QFile::encodeName(value));
    }
    ~ScopedVariable()
    {
        if (m_wasSet)
            qputenv(m_name, m_value);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    QByteArray m_value;
    bool m_wasSet;
};

} // namespace

// The first start in a working folder without a program database: asked for (or, with
// --home, made without asking in the program's own folder), made with its progress in the
// main window, and the operator told where it went or why it was not made.
class TestFirstStart : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void plainStartAsksFirst_data();
    void plainStartAsksFirst();
    void homeMakesItWithoutAsking_data();
    void homeMakesItWithoutAsking();
    void homeOpensTheLogbookGivenAfterIt();
    void homeFolderThatCannotBeMadeEndsTheStart();
    void notAProgramDatabaseIsKeptAside_data();
    void notAProgramDatabaseIsKeptAside();
    void programDatabaseHeldByAnotherProgramIsLeftAlone_data();
    void programDatabaseHeldByAnotherProgramIsLeftAlone();
    void listsOfTheWorkingFolderComeFirst();
    void failuresLeaveNothingMade_data();
    void failuresLeaveNothingMade();

private:
    CMainFrame *start(const QStringList &arguments) { return m_app.start(arguments); }

    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_settings;
    ScriptedPrompter m_prompter;
    std::unique_ptr<PrompterGuard> m_guard;
    std::unique_ptr<ScopedVariable> m_home;
    StartedApp m_app;
};

void TestFirstStart::initTestCase()
{
    CMainFrame::s_startupPauseMs = 0;
}

void TestFirstStart::init()
{
    m_home = std::make_unique<ScopedVariable>("KORVA3_HOME", QString());
    m_dir = std::make_unique<TestDir>();
    QVERIFY(m_dir->isValid());
    m_settings = std::make_unique<QTemporaryDir>();
    AppSettings::useFolder(m_settings->path());
    m_prompter.clear();
    m_guard = std::make_unique<PrompterGuard>(m_prompter);
    FirstStart::s_sharedCountryFile = QLatin1String(ProgramDatabaseMaker::kDebianCountryFile);
}

void TestFirstStart::cleanup()
{
    m_app.stop();
    m_guard.reset();
    AppSettings::useFolder(QString());
    m_settings.reset();
    m_dir.reset();
    m_home.reset();
}

void TestFirstStart::plainStartAsksFirst_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::newRow("OK") << Answer::Ok;
    QTest::newRow("Cancel") << Answer::Cancel;
}

// The real country file of hamradio-files and the QSL manager list of the sources.
void TestFirstStart::plainStartAsksFirst()
{
    QFETCH(Answer, answer);
    m_prompter.setNextAnswer(answer);
    CMainFrame *frame = start({"Korva3"});
    QVERIFY(frame);
    QVERIFY(frame->isVisible());
    QCOMPARE(m_prompter.shown().first().kind, Kind::Question);
    QCOMPARE(m_prompter.shown().first().caption, QStringLiteral("Korva3"));
    if (answer == Answer::Cancel) {
        QCOMPARE(m_prompter.texts(), QStringList({askMissing(m_dir->path())}));
        QCOMPARE(folderEntries(m_dir->path()), QStringList());
        return;
    }
    QCOMPARE(m_prompter.texts(), QStringList({askMissing(m_dir->path()), made(m_dir->path())}));
    QCOMPARE(m_prompter.shown().last().icon, Icon::Information);
    QCOMPARE(folderEntries(m_dir->path()), QStringList({"korva3.sqlite3"}));
    QCOMPARE(SqlHelpers::rows("korva3.sqlite3", kCounts), QByteArray("346 7738 18645"));
    QCOMPARE(SqlHelpers::rows("korva3.sqlite3", kManagers),
             QByteArray("DL1ABC>DL2MGR JA1XYZ>JA1MGR VK2QX>VK2MGR ZS6ABC>ZS6MGR"));
    QCOMPARE(frame->statusText(), QStringLiteral("Ready"));
    QVERIFY(frame->progressBar()->isHidden());
    QCOMPARE(frame->progressBar()->value(), 100);
}

void TestFirstStart::homeMakesItWithoutAsking_data()
{
    QTest::addColumn<QString>("korva3Home"); // below the test's folder; empty for unset
    QTest::addColumn<QString>("dataHome");
    QTest::addColumn<QString>("folder");

    QTest::newRow("KORVA3_HOME") << "my logs/korva" << "data" << "my logs/korva";
    QTest::newRow("XDG_DATA_HOME") << "" << "data" << "data/Korva3";
}

void TestFirstStart::homeMakesItWithoutAsking()
{
    QFETCH(QString, korva3Home);
    QFETCH(QString, dataHome);
    QFETCH(QString, folder);
    QVERIFY(TestDir::writeFile("cty.csv", kCountryLines)); // the start folder's is not used
    const ScopedVariable home("KORVA3_HOME", korva3Home.isEmpty() ? QString() : m_dir->filePath(korva3Home));
    const ScopedVariable data("XDG_DATA_HOME", m_dir->filePath(dataHome));
    const QString expected = m_dir->filePath(folder);

    CMainFrame *frame = start({"Korva3", "--home"});
    QVERIFY(frame);
    QCOMPARE(QDir::currentPath(), expected);
    QCOMPARE(m_prompter.texts(), QStringList({made(expected)}));
    QCOMPARE(m_prompter.shown().first().icon, Icon::Information);
    QCOMPARE(folderEntries(expected), QStringList({"korva3.sqlite3"}));
    QCOMPARE(SqlHelpers::rows("korva3.sqlite3", kCounts), QByteArray("346 7738 18645"));

    // The next start there finds it.
    m_app.stop();
    m_prompter.clear();
    QVERIFY(QDir::setCurrent(m_dir->path()));
    QVERIFY(start({"Korva3", "--home"}));
    QCOMPARE(QDir::currentPath(), expected);
    QCOMPARE(m_prompter.texts(), QStringList());
}

void TestFirstStart::homeOpensTheLogbookGivenAfterIt()
{
    Sqlite3DB db;
    QVERIFY(db.CreateLogbook(m_dir->filePath("field day.sqlite3")));
    QVERIFY(TestDir::writeFile("cty.csv", kCountryLines));
    const ScopedVariable home("KORVA3_HOME", m_dir->filePath("home"));
    FirstStart::s_sharedCountryFile = m_dir->filePath("cty.csv");

    CMainFrame *frame = start({"Korva3", "--home", "field day.sqlite3"});
    QVERIFY(frame);
    QCOMPARE(QDir::currentPath(), m_dir->filePath("home"));
    QCOMPARE(m_prompter.texts(), QStringList({made(m_dir->filePath("home"))}));
    QCOMPARE(frame->docManager()->documents().size(), 1);
    QCOMPARE(frame->docManager()->documents().first()->pathName(), m_dir->filePath("field day.sqlite3"));
    QCOMPARE(SqlHelpers::rows("korva3.sqlite3", kCounts), QByteArray("2 3 1"));
}

void TestFirstStart::homeFolderThatCannotBeMadeEndsTheStart()
{
    QVERIFY(TestDir::writeFile("plain file", "x"));
    const QString folder = m_dir->filePath("plain file/Korva3");
    const ScopedVariable home("KORVA3_HOME", folder);
    QVERIFY(!start({"Korva3", "--home"}));
    QCOMPARE(m_prompter.texts(), QStringList({QStringLiteral("The working folder %1 cannot be made.").arg(folder)}));
    QCOMPARE(m_prompter.shown().first().icon, Icon::Error);
    QCOMPARE(QDir::currentPath(), m_dir->path());
    QCOMPARE(folderEntries(m_dir->path()), QStringList({"plain file"}));
}

void TestFirstStart::notAProgramDatabaseIsKeptAside_data()
{
    QTest::addColumn<QByteArray>("bytes"); // of korva3.sqlite3; "logbook" for a logbook file

    QTest::newRow("empty file") << QByteArray("");
    QTest::newRow("text") << QByteArray("not a database\n");
    QTest::newRow("logbook") << QByteArray("logbook");
}

// The name it is kept under when that is taken too is the maker's test.
void TestFirstStart::notAProgramDatabaseIsKeptAside()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(TestDir::writeFile("cty.csv", kCountryLines));
    if (bytes == "logbook") {
        Sqlite3DB db;
        QVERIFY(db.CreateLogbook(m_dir->filePath("korva3.sqlite3")));
        bytes = TestDir::readFile("korva3.sqlite3");
    } else {
        QVERIFY(TestDir::writeFile("korva3.sqlite3", bytes));
    }

    m_prompter.setNextAnswer(Answer::Ok);
    QVERIFY(start({"Korva3"}));
    QCOMPARE(m_prompter.texts(),
             QStringList({QStringLiteral("korva3.sqlite3 in %1 is no program database.\n"
                                         "Make a new one? The file is kept under another name.")
                              .arg(m_dir->path()),
                          made(m_dir->path())
                              + QStringLiteral("\nThe file that was no program database is kept as %1")
                                    .arg(m_dir->filePath("korva3.sqlite3.invalid"))}));
    QCOMPARE(TestDir::readFile("korva3.sqlite3.invalid"), bytes);
    QVERIFY(ProgramDatabaseMaker::isProgramDatabase("korva3.sqlite3"));
}

void TestFirstStart::programDatabaseHeldByAnotherProgramIsLeftAlone_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("plain start") << QStringList{"Korva3"};
    QTest::newRow("--home") << QStringList{"Korva3", "--home"};
}

// Another program holds the operator's program database past the busy timeout: it is
// waited for, then left as it is, and the operator is told why nothing was read.
void TestFirstStart::programDatabaseHeldByAnotherProgramIsLeftAlone()
{
    QFETCH(QStringList, arguments);
    const ScopedVariable home("KORVA3_HOME", m_dir->path());
    QVERIFY(TestDir::writeFile("cty.csv", kCountryLines));
    m_prompter.setNextAnswer(Answer::Ok);
    QVERIFY(start({"Korva3"}));
    m_app.stop();
    QVERIFY(SqlHelpers::exec("korva3.sqlite3", "UPDATE PARAMETERS SET VALUE = 'mine' WHERE PARAMETER = 'rig'"));
    const QByteArray before = TestDir::readFile("korva3.sqlite3");
    const QStringList entries = folderEntries(m_dir->path());

    m_prompter.clear();
    HeldLock lock("korva3.sqlite3", HeldLock::Kind::Exclusive);
    QVERIFY(lock.isHeld());
    QVERIFY(start(arguments));
    QCOMPARE(m_prompter.texts(),
             QStringList{QStringLiteral("The program database korva3.sqlite3 in %1 is in use by another program and "
                                        "cannot be read now.\nIt is left as it is: start Korva3 again when that "
                                        "program is done.")
                             .arg(m_dir->path())});
    QCOMPARE(m_prompter.shown().first().icon, Icon::Error);
    lock.release();
    QCOMPARE(TestDir::readFile("korva3.sqlite3"), before);
    QCOMPARE(folderEntries(m_dir->path()), entries);
    QCOMPARE(SqlHelpers::rows("korva3.sqlite3", "SELECT VALUE FROM PARAMETERS WHERE PARAMETER = 'rig'"),
             QByteArray("mine"));
}

void TestFirstStart::listsOfTheWorkingFolderComeFirst()
{
    QVERIFY(TestDir::writeFile("cty.csv", kCountryLines));
    QVERIFY(TestDir::writeFile("qslmgr.txt", "QX1A;QX2MGR;\r\n"));
    QCOMPARE(FirstStart::countryFile(), m_dir->filePath("cty.csv"));
    QCOMPARE(FirstStart::qslMgrList(), m_dir->filePath("qslmgr.txt"));
    m_prompter.setNextAnswer(Answer::Ok);
    QVERIFY(start({"Korva3"}));
    QCOMPARE(m_prompter.texts().last(), made(m_dir->path()));
    QCOMPARE(SqlHelpers::rows("korva3.sqlite3", kCounts), QByteArray("2 3 1"));
    QCOMPARE(SqlHelpers::rows("korva3.sqlite3", kManagers), QByteArray("QX1A>QX2MGR"));
    QCOMPARE(SqlHelpers::rows("korva3.sqlite3", "SELECT COUNTRY FROM COUNTRIES WHERE DXCCID = 999"),
             QByteArray("Sample d'Isle"));
}

void TestFirstStart::failuresLeaveNothingMade_data()
{
    QTest::addColumn<QByteArray>("countryFile"); // the working folder's cty.csv; "-" for none
    QTest::addColumn<QString>("reason");         // %1 the working folder, %2 the shared country file

    QTest::newRow("no country file")
        << QByteArray("-")
        << "no country file.\nPut cty.csv in %1 or install the package hamradio-files (%2).";
    QTest::newRow("no entity") << QByteArray("\n") << "the country file %1/cty.csv names no entity.";
}

void TestFirstStart::failuresLeaveNothingMade()
{
    QFETCH(QByteArray, countryFile);
    QFETCH(QString, reason);
    if (countryFile != "-")
        QVERIFY(TestDir::writeFile("cty.csv", countryFile));
    const QTemporaryDir elsewhere;
    FirstStart::s_sharedCountryFile = elsewhere.filePath("hamradio-files/cty.csv");
    const QStringList before = folderEntries(m_dir->path());

    m_prompter.setNextAnswer(Answer::Ok);
    CMainFrame *frame = start({"Korva3"});
    QVERIFY(frame);
    QCOMPARE(m_prompter.texts().size(), 2);
    reason.replace(QLatin1String("%1"), m_dir->path()).replace(QLatin1String("%2"), FirstStart::s_sharedCountryFile);
    QCOMPARE(m_prompter.texts().last(), QStringLiteral("The program database was not made: ") + reason);
    QCOMPARE(m_prompter.shown().last().icon, Icon::Error);
    QCOMPARE(folderEntries(m_dir->path()), before);
    QCOMPARE(frame->statusText(), QStringLiteral("Ready"));
    QVERIFY(frame->progressBar()->isHidden());
}

KORVA3_TEST_MAIN_PRIVATE(TestFirstStart)
#include "tst_firststart.moc"
