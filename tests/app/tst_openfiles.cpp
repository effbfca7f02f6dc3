#include "app/CDocManager.h"
#include "app/CDocumentFrame.h"
#include "app/CImportTargetDlg.h"
#include "app/CMainFrame.h"
#include "app/CSingleInstance.h"
#include "common/PrivateEnvironment.h"
#include "common/SqlHelpers.h"
#include "common/TestDir.h"
#include "common/StartedApp.h"
#include "document/CKorva3Doc.h"
#include "platform/AppSettings.h"
#include "platform/PrompterGuard.h"
#include "platform/ScriptedPrompter.h"
#include "progdb/ProgramDatabaseBuilder.h"
#include "store/Sqlite3DB.h"

#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QWindow>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QByteArray kAdif = "Three contacts\n<EOH>\n"
                         "<CALL:6>DL1ABC<QSO_DATE:8>20261101<TIME_ON:4>0815<BAND:3>20m<MODE:2>CW<DXCC:3>230<EOR>\n"
                         "<CALL:6>JA1XYZ<QSO_DATE:8>20261101<TIME_ON:4>0903<BAND:3>20m<MODE:3>SSB<DXCC:3>339<EOR>\n"
                         "<CALL:5>VK2QX<QSO_DATE:8>20261102<TIME_ON:4>1930<BAND:3>40m<MODE:2>CW<DXCC:3>150<EOR>\n";

bool makeLogbook(const QString &path)
{
    Sqlite3DB db;
    return db.CreateLogbook(path);
}

QStringList listTexts(const QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts.append(list->item(row)->text());
    return texts;
}

} // namespace

// Files handed to Korva3 from the desktop: an ADIF file (on the command line, dropped on
// the window, or handed over by a second start) is imported into the logbook the operator
// chooses, or into a new one; a logbook opens as a logbook.
class TestOpenFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void adifFileNames_data();
    void adifFileNames();
    void adifImportedIntoTheChosenLogbook_data();
    void adifImportedIntoTheChosenLogbook();
    void adifIntoANewLogbook_data();
    void adifIntoANewLogbook();

private:
    CMainFrame *start(const QStringList &arguments) { return m_app.start(arguments); }
    // Plays the operator's part in the next import dialog once it shows.
    void onDialog(const std::function<void(CImportTargetDlg *)> &play);
    static void playDialog(const std::function<void(CImportTargetDlg *)> &play,
                           const std::shared_ptr<bool> &played, int triesLeft);

    QTemporaryDir m_programDir;
    std::unique_ptr<TestDir> m_dir;
    ScriptedPrompter m_prompter;
    std::unique_ptr<PrompterGuard> m_guard;
    StartedApp m_app;
    std::shared_ptr<bool> m_played;
};

void TestOpenFiles::initTestCase()
{
    CMainFrame::s_startupPauseMs = 0;
    const QString cty = m_programDir.filePath("cty.csv");
    QVERIFY(TestDir::writeFile(cty, "QX,Sample Isle,999,EU,14,27,52.50,-4.25,-1.0,QX;\n"));
    QVERIFY(ProgramDatabaseBuilder::build(m_programDir.filePath("korva3.sqlite3"), cty));
}

void TestOpenFiles::init()
{
    m_dir = std::make_unique<TestDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QFile::copy(m_programDir.filePath("korva3.sqlite3"), m_dir->filePath("korva3.sqlite3")));
    AppSettings::useFolder(m_dir->path());
    m_prompter.clear();
    m_guard = std::make_unique<PrompterGuard>(m_prompter);
    m_played.reset();
}

void TestOpenFiles::cleanup()
{
    m_app.stop();
    m_guard.reset();
    AppSettings::useFolder(QString());
    m_dir.reset();
}

void TestOpenFiles::onDialog(const std::function<void(CImportTargetDlg *)> &play)
{
    m_played = std::make_shared<bool>(false);
    QTimer::singleShot(0, [play, played = m_played] { playDialog(play, played, 300); });
}

void TestOpenFiles::playDialog(const std::function<void(CImportTargetDlg *)> &play,
                               const std::shared_ptr<bool> &played, int triesLeft)
{
    auto *dialog = qobject_cast<CImportTargetDlg *>(QApplication::activeModalWidget());
    if (!dialog) {
        if (triesLeft > 0)
            QTimer::singleShot(10, [play, played, triesLeft] { playDialog(play, played, triesLeft - 1); });
        return;
    }
    *played = true;
    play(dialog);
}

void TestOpenFiles::adifFileNames_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("isAdif");
    QTest::newRow("adi") << "/logs/contest.adi" << true;
    QTest::newRow("adif upper case") << "/logs/CONTEST.ADIF" << true;
    QTest::newRow("logbook") << "/logs/contest.sqlite3" << false;
    QTest::newRow("name only") << "/logs/adi" << false;
    QTest::newRow("adi inside") << "/logs/contest.adi.sqlite3" << false;
}

void TestOpenFiles::adifFileNames()
{
    QFETCH(QString, path);
    QFETCH(bool, isAdif);
    QCOMPARE(CDocManager::IsAdifFile(path), isAdif);
}

void TestOpenFiles::adifImportedIntoTheChosenLogbook_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QStringList>("offered"); // logbook names as listed
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("importedA");
    QTest::addColumn<int>("importedB");

    // The command line opens the logbook used last (a); b is one of the recent files.
    QTest::newRow("command line, open logbook") << "command line" << QStringList({"a", "b"}) << 0 << 3 << 0;
    QTest::newRow("command line, recent logbook") << "command line" << QStringList({"a", "b"}) << 1 << 0 << 3;
    // a and b are open, b active.
    QTest::newRow("dropped") << "dropped" << QStringList({"b", "a"}) << 1 << 3 << 0;
    QTest::newRow("second start") << "second start" << QStringList({"b", "a"}) << 0 << 0 << 3;
    QTest::newRow("cancelled") << "dropped" << QStringList({"b", "a"}) << -1 << 0 << 0;
}

void TestOpenFiles::adifImportedIntoTheChosenLogbook()
{
    QFETCH(QString, way);
    QFETCH(QStringList, offered);
    QFETCH(int, row);
    QFETCH(int, importedA);
    QFETCH(int, importedB);
    const QString a = m_dir->filePath("a.sqlite3");
    const QString b = m_dir->filePath("b.sqlite3");
    const QString adif = m_dir->filePath("contest log.adi");
    QVERIFY(makeLogbook(a) && makeLogbook(b));
    QVERIFY(TestDir::writeFile(adif, kAdif));

    QStringList listed;
    QString question;
    QString title;
    onDialog([&](CImportTargetDlg *dialog) {
        listed = listTexts(dialog->list());
        question = dialog->questionLabel()->text();
        title = dialog->windowTitle();
        if (row < 0) {
            dialog->reject();
            return;
        }
        dialog->list()->setCurrentRow(row);
        dialog->accept();
    });

    CMainFrame *frame = nullptr;
    if (way == "command line") {
        AppSettings::setMostRecentFile(a);
        const auto settings = AppSettings::open();
        settings->setValue("Recent File List/File1", a);
        settings->setValue("Recent File List/File2", b);
        frame = start({"Korva3", adif});
        QVERIFY(frame);
    } else {
        frame = start({"Korva3", a});
        QVERIFY(frame);
        QVERIFY(frame->docManager()->OpenDocumentFile(b));
        if (way == "dropped") {
            // Through the window, as the window system delivers a drag that ends in a drop.
            QMimeData mime;
            mime.setUrls({QUrl::fromLocalFile(adif)});
            QDragEnterEvent enter(QPoint(200, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(frame->windowHandle(), &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent drop(QPointF(200, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(frame->windowHandle(), &drop);
        } else {
            CSingleInstance second(m_app.instanceName());
            QVERIFY(!second.start(adif));
        }
    }
    QTRY_VERIFY(m_played && *m_played);
    QStringList expected;
    for (const QString &name : offered)
        expected.append(m_dir->filePath(name + ".sqlite3"));
    QCOMPARE(listed, expected + QStringList({"New logbook..."}));
    QCOMPARE(question, QStringLiteral("Import contest log.adi into which logbook?"));
    QCOMPARE(title, QStringLiteral("Import Adif"));
    QTRY_COMPARE(m_prompter.texts(), row < 0 ? QStringList() : QStringList({"3 Qso Records added"}));
    QCOMPARE(SqlHelpers::count(a, "QSOS"), importedA);
    QCOMPARE(SqlHelpers::count(b, "QSOS"), importedB);
    if (row >= 0)
        QCOMPARE(frame->activeFrame()->document()->pathName(), importedA ? a : b);
    QCOMPARE(SqlHelpers::rows(importedA ? a : b, "SELECT group_concat(CALL || '/' || COUNTRY, ' ') FROM QSOS"),
             QByteArray(row < 0 ? "NULL" : "DL1ABC/230 JA1XYZ/339 VK2QX/150"));
}

void TestOpenFiles::adifIntoANewLogbook_data()
{
    QTest::addColumn<bool>("logbookOpen"); // else none is open or recent: no list to choose from
    QTest::newRow("chosen in the list") << true;
    QTest::newRow("no logbook to offer") << false;
}

void TestOpenFiles::adifIntoANewLogbook()
{
    QFETCH(bool, logbookOpen);
    const QString a = m_dir->filePath("a.sqlite3");
    const QString adif = m_dir->filePath("contest.ADIF");
    const QString fresh = m_dir->filePath("contest.sqlite3");
    QVERIFY(makeLogbook(a));
    QVERIFY(TestDir::writeFile(adif, kAdif));
    if (logbookOpen) {
        AppSettings::setMostRecentFile(a);
        onDialog([](CImportTargetDlg *dialog) {
            dialog->list()->setCurrentRow(dialog->list()->count() - 1);
            QCOMPARE(dialog->chosenLogbook(), QString());
            dialog->accept();
        });
    }
    m_prompter.setNextFile(fresh);
    CMainFrame *frame = start({"Korva3", adif});
    QVERIFY(frame);
    QCOMPARE(bool(m_played && *m_played), logbookOpen);
    QCOMPARE(m_prompter.shown().first().request.title, QStringLiteral("New Logbook"));
    QCOMPARE(m_prompter.texts(), QStringList({"3 Qso Records added"}));
    QCOMPARE(SqlHelpers::count(fresh, "QSOS"), 3);
    QCOMPARE(SqlHelpers::count(a, "QSOS"), 0);
    QCOMPARE(frame->activeFrame()->document()->pathName(), fresh);
    QCOMPARE(frame->docManager()->documents().size(), logbookOpen ? 2 : 1);
}

KORVA3_TEST_MAIN_PRIVATE(TestOpenFiles)
#include "tst_openfiles.moc"
