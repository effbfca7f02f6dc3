#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "common/RunFolders.h"
#include "common/RunningApp.h"
#include "common/SampleProgramDatabase.h"
#include "common/QsoBuilder.h"
#include "common/TestSurroundings.h"
#include "document/CKorva3Doc.h"
#include "platform/CommandIds.h"
#include "platform/ScriptedPrompter.h"
#include "reports/CCqzoneReport.h"
#include "reports/CDxccReport.h"
#include "reports/CQslView.h"
#include "store/ProgramDb.h"
#include "store/Sqlite3DB.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

constexpr int kQsos = 120;

// DL0ABC at 10:00 to DL119ABC at 11:59, all on 20 m CW with Germany.
bool makeLogbook(const QString &path)
{
    Sqlite3DB db;
    if (!db.CreateLogbook(path))
        return false;
    for (int i = 0; i < kQsos; ++i) {
        const QString time = QTime(10, 0).addSecs(60 * i).toString(QStringLiteral("HH:mm:ss"));
        const Sqlite3DB::UM_RECORD qso = QsoBuilder()
                                             .call(QStringLiteral("DL%1ABC").arg(i))
                                             .date("2026-01-02")
                                             .time(time)
                                             .freq("14.025")
                                             .band("20")
                                             .mode(1)
                                             .cqZone("14")
                                             .country(230);
        if (db.InsertQso({qso}, path).value_or(0) == 0)
            return false;
    }
    return true;
}

// The operator's choice in the print dialog: a PDF file on A4 with 15 mm margins.
ScriptedPrompter::PrinterChoice pdfFile(const QString &path)
{
    return [path](QPrinter *printer) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path);
        printer->setPageSize(QPageSize(QPageSize::A4));
        printer->setPageOrientation(QPageLayout::Portrait);
        printer->setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    };
}

// The text of each page of a PDF file, each line with its runs of blanks made one.
QList<QStringList> pdfPages(const QString &path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(30000) || pdftotext.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    QList<QStringList> out;
    for (const QString &page : std::as_const(pages)) {
        QStringList lines;
        for (const QString &line : page.split(QLatin1Char('\n'))) {
            if (!line.trimmed().isEmpty())
                lines.append(line.simplified());
        }
        out.append(lines);
    }
    return out;
}

void pressButton(QDialog &dialog, const QString &text)
{
    for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
        if (button->text() == text) {
            button->click();
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no button %1").arg(text)));
}

enum class Printed { LogbookList, LogbookPreview, QslList, DxccReport, CqzoneReport };

} // namespace

// File>Print, Print Preview and the reports' Print buttons, printed to PDF and read back.
class TestPrint : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void printsTheWindowOnPages_data();
    void printsTheWindowOnPages();
    void aPrintThatDidNotHappenIsTold_data();
    void aPrintThatDidNotHappenIsTold();

private:
    CMainFrame *startOnLog();
    void print(CMainFrame *frame, Printed printed);

    RunFolders m_run;
    ScriptedPrompter m_prompter;
    std::unique_ptr<TestSurroundings> m_here;
    std::unique_ptr<RunningApp> m_app;
};

void TestPrint::initTestCase()
{
    QVERIFY(m_run.isReady());
    CMainFrame::s_startupPauseMs = 0;
}

void TestPrint::init()
{
    m_prompter.clear();
    m_here = std::make_unique<TestSurroundings>(m_prompter);
    QVERIFY(m_here->isValid());
    QVERIFY(makeSampleProgramDatabase(m_here->dir().filePath(ProgramDb::kProgramDatabase)));
}

void TestPrint::cleanup()
{
    m_app.reset();
    m_here.reset();
}

// The logbook's window with its latest QSOs listed and its statistics rebuilt.
CMainFrame *TestPrint::startOnLog()
{
    const QString log = m_here->dir().filePath("log.sqlite3");
    if (!makeLogbook(log))
        return nullptr;
    m_app = std::make_unique<RunningApp>();
    CMainFrame *frame = m_app->start({QStringLiteral("Korva3"), log});
    if (!frame || !frame->runCommand(ID_REBUILD_DXCC) || !frame->runCommand(ID_LATEST_QSOS))
        return nullptr;
    m_prompter.clear();
    return frame;
}

void TestPrint::print(CMainFrame *frame, Printed printed)
{
    CKorva3Doc *document = frame->activeFrame()->document();
    switch (printed) {
    case Printed::LogbookList:
        QVERIFY(frame->runCommand(ID_FILE_PRINT));
        break;
    case Printed::LogbookPreview:
        QVERIFY(frame->runCommand(ID_FILE_PRINT_PREVIEW));
        break;
    case Printed::QslList: {
        QVERIFY(frame->runCommand(ID_QSO_QSL_CARDS));
        auto *qsl = qobject_cast<CQslView *>(frame->activeFrame()->viewWidget());
        QVERIFY(qsl);
        qsl->lookupField()->setText(QStringLiteral("DL11"));
        qsl->OnLookupQsos();
        QVERIFY(frame->runCommand(ID_FILE_PRINT));
        break;
    }
    case Printed::DxccReport: {
        CDxccReport report(frame, document);
        pressButton(report, QStringLiteral("&Print..."));
        break;
    }
    case Printed::CqzoneReport: {
        CCqzoneReport report(frame, document);
        pressButton(report, QStringLiteral("Print Pre&view"));
        break;
    }
    }
}

void TestPrint::printsTheWindowOnPages_data()
{
    QTest::addColumn<int>("printed");
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<int>("pages");
    // Lines that stand on the first and on the last page.
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QStringList>("last");

    const QString headings = QStringLiteral("Date Time Call Sent Rcvd Frequency Mode S R");
    const QString newest = QStringLiteral("02-01-2026 11:59 DL119ABC 599 579 14.025 CW N N");
    const QString oldest = QStringLiteral("02-01-2026 10:00 DL0ABC 599 579 14.025 CW N N");
    QTest::newRow("logbook list") << int(Printed::LogbookList) << "log.sqlite3" << 3
                                  << QStringList({"log.sqlite3", headings, newest, "Page 1 of 3"})
                                  << QStringList({"log.sqlite3", headings, oldest, "Page 3 of 3"});
    QTest::newRow("logbook preview") << int(Printed::LogbookPreview) << "log.sqlite3" << 3
                                     << QStringList({newest, "Page 1 of 3"}) << QStringList({oldest, "Page 3 of 3"});
    QTest::newRow("qsl list") << int(Printed::QslList) << "Qsl - log.sqlite3" << 1
                              << QStringList({"Qsl - log.sqlite3", headings, "Page 1 of 1"})
                              << QStringList({"02-01-2026 10:11 DL11ABC 599 579 14.025 CW N N",
                                              "02-01-2026 11:59 DL119ABC 599 579 14.025 CW N N"});
    QTest::newRow("dxcc report") << int(Printed::DxccReport) << "Dxcc Report" << 1
                                 << QStringList({"Dxcc Report", "Band CW SSB RTTY Band Totals", "Total Qso's 120",
                                                 "Page 1 of 1"})
                                 << QStringList({"20m 1/0 0/0 0/0 1/0"});
    QString zones = QStringLiteral("Band");
    for (int zone = 1; zone <= 40; ++zone)
        zones += QStringLiteral(" %1").arg(zone);
    QTest::newRow("cq zone report") << int(Printed::CqzoneReport) << "CQ zone Report" << 1
                                    << QStringList({"CQ zone Report", zones, "Page 1 of 1"})
                                    << QStringList({"160m", "20m W"});
}

void TestPrint::printsTheWindowOnPages()
{
    QFETCH(int, printed);
    QFETCH(QString, dialog);
    QFETCH(int, pages);
    QFETCH(QStringList, first);
    QFETCH(QStringList, last);
    CMainFrame *frame = startOnLog();
    QVERIFY(frame);
    const QString pdf = m_here->dir().filePath("printed.pdf");
    m_prompter.setNextPrinter(pdfFile(pdf));

    print(frame, Printed(printed));
    QCOMPARE(m_prompter.shown().size(), 1);
    QCOMPARE(m_prompter.shown().first().text, dialog);
    const QList<QStringList> text = pdfPages(pdf);
    QCOMPARE(text.size(), pages);
    for (const QString &line : std::as_const(first))
        QVERIFY2(text.first().contains(line), qPrintable(line + QLatin1String(" not in:\n") + text.first().join('\n')));
    for (const QString &line : std::as_const(last))
        QVERIFY2(text.last().contains(line), qPrintable(line + QLatin1String(" not in:\n") + text.last().join('\n')));
}

void TestPrint::aPrintThatDidNotHappenIsTold_data()
{
    QTest::addColumn<QString>("pdf");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("cancelled") << QString() << QStringList();
    QTest::newRow("folder missing") << "missing/printed.pdf" << QStringList({"log.sqlite3 could not be printed."});
}

void TestPrint::aPrintThatDidNotHappenIsTold()
{
    QFETCH(QString, pdf);
    QFETCH(QStringList, texts);
    CMainFrame *frame = startOnLog();
    QVERIFY(frame);
    if (!pdf.isEmpty())
        m_prompter.setNextPrinter(pdfFile(m_here->dir().filePath(pdf)));

    QVERIFY(frame->runCommand(ID_FILE_PRINT));
    QCOMPARE(m_prompter.texts(), texts);
    QVERIFY(QDir(m_here->dir().path()).entryList({QStringLiteral("*.pdf")}, QDir::Files).isEmpty());
}

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
