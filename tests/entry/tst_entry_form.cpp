#include "app/CChildFrame.h"
#include "app/CKorva3App.h"
#include "app/CMainFrame.h"
#include "common/FieldGeometry.h"
#include "common/QsoBuilder.h"
#include "common/RunFolders.h"
#include "common/TestDir.h"
#include "common/UniqueInstanceName.h"
#include "entry/CKorva3View.h"
#include "forms/CEditQso.h"
#include "forms/FormControls.h"
#include "platform/AppSettings.h"
#include "platform/PrompterGuard.h"
#include "platform/ScriptedPrompter.h"
#include "progdb/ProgramDatabaseBuilder.h"
#include "store/Sqlite3DB.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// The line edit that shows a field's text: the field itself, or the edit inside a
// date or time picker.
QLineEdit *textOf(QWidget *field)
{
    if (auto *edit = qobject_cast<QLineEdit *>(field))
        return edit;
    return field->findChild<QLineEdit *>();
}

QRect placeIn(const QWidget *field, const QWidget *form)
{
    return QRect(field->mapTo(form, QPoint(0, 0)), field->size());
}

} // namespace

// The entry form as the operator sees it in a logbook window: every field shows its
// longest value whole, no field lies under another, the lists and the worked-before
// list's columns are not cut, and the keys move through it as through any form.
class TestEntryForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void fieldsShowTheirLongestValueWhole_data();
    void fieldsShowTheirLongestValueWhole();
    void listsShowTheirLongestEntryWhole();
    void topRowFieldsStandSideBySide();
    void workedListShowsHeadingsAndValuesWhole();
    void editDialogShowsTheLongestValuesWhole();
    void dateAndTimeAreLeftWithOneTab_data();
    void dateAndTimeAreLeftWithOneTab();

private:
    QWidget *field(const QString &name) const;

    std::unique_ptr<RunFolders> m_run;
    QTemporaryDir m_programDir;
    TestDir *m_dir = nullptr;
    ScriptedPrompter m_prompter;
    std::unique_ptr<PrompterGuard> m_guard;
    CKorva3App *m_app = nullptr;
    CMainFrame *m_frame = nullptr;
    CKorva3View *m_view = nullptr;
};

void TestEntryForm::initTestCase()
{
    m_run = std::make_unique<RunFolders>();
    QVERIFY(m_run->isReady());
    CMainFrame::s_startupPauseMs = 0;
    QVERIFY(ProgramDatabaseBuilder::build(m_programDir.filePath("korva3.sqlite3")));
}

void TestEntryForm::cleanupTestCase()
{
    m_run.reset();
}

// A logbook of one QSO whose texts are as long as they come, in its window.
void TestEntryForm::init()
{
    m_dir = new TestDir;
    QVERIFY(m_dir->isValid());
    AppSettings::useFolder(m_dir->path());
    m_guard = std::make_unique<PrompterGuard>(m_prompter);
    QVERIFY(QFile::copy(m_programDir.filePath("korva3.sqlite3"), m_dir->filePath("korva3.sqlite3")));
    const QString log = m_dir->filePath("log.sqlite3");
    Sqlite3DB db;
    QVERIFY(db.CreateLogbook(log));
    const Sqlite3DB::UM_RECORD qso = QsoBuilder()
                                         .call("VP2EWW/DL1ABC/P")
                                         .date("2026-12-28")
                                         .time("23:59:00")
                                         .freq("144.300.0")
                                         .band("2")
                                         .mode(3);
    QVERIFY(db.InsertQso({qso}, log).value_or(0) > 0);
    m_app = new CKorva3App(uniqueInstanceName());
    QVERIFY(m_app->InitInstance({"Korva3", log}));
    m_frame = m_app->mainFrame();
    m_frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_frame));
    auto *child = qobject_cast<CChildFrame *>(m_frame->activeFrame());
    QVERIFY(child);
    m_view = child->view();
    QTRY_VERIFY(m_view->callEdit()->hasFocus());
}

void TestEntryForm::cleanup()
{
    if (m_app)
        m_app->ExitInstance(0);
    delete m_app;
    m_app = nullptr;
    m_frame = nullptr;
    m_view = nullptr;
    m_guard.reset();
    AppSettings::useFolder(QString());
    delete m_dir;
    m_dir = nullptr;
}

QWidget *TestEntryForm::field(const QString &name) const
{
    const QHash<QString, QWidget *> fields = {
        {"Date", m_view->dateEdit()},       {"Time", m_view->timeEdit()},         {"Call", m_view->callEdit()},
        {"Sent", m_view->rstSentEdit()},    {"Rcvd", m_view->rstRcvdEdit()},      {"Frequency", m_view->freqEdit()},
        {"Band", m_view->bandEdit()},       {"Mode", m_view->modeList()},         {"Power", m_view->powerEdit()},
        {"CQ zone", m_view->cqZoneEdit()},  {"Grid", m_view->gridEdit()},         {"Qsl sent", m_view->qslSentList()},
        {"Qsl rcvd", m_view->qslRcvdList()}, {"Name", m_view->nameEdit()},        {"Qth", m_view->qthEdit()},
        {"Address1", m_view->address1Edit()}, {"Address2", m_view->address2Edit()}, {"Remarks", m_view->remarksEdit()},
        {"Country", m_view->countryList()}, {"Qsl mgr", m_view->qslMgrEdit()},    {"Iota", m_view->iotaEdit()},
    };
    return fields.value(name);
}

void TestEntryForm::fieldsShowTheirLongestValueWhole_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::newRow("date with its year") << "Date" << "28-12-2026";
    QTest::newRow("time") << "Time" << "23:59:59";
    QTest::newRow("call of 15 characters") << "Call" << "VP2EWW/DL1ABC/P";
    QTest::newRow("call of 16 characters") << "Call" << "VP2EWW/DL1ABCD/P";
    QTest::newRow("report sent") << "Sent" << "599";
    QTest::newRow("report received") << "Rcvd" << "599";
    QTest::newRow("frequency typed") << "Frequency" << "14.012.0";
    QTest::newRow("frequency from the radio") << "Frequency" << "144.300.0";
    QTest::newRow("band") << "Band" << "160";
    QTest::newRow("power") << "Power" << "1500";
    QTest::newRow("zone") << "CQ zone" << "40";
    QTest::newRow("locator") << "Grid" << "JN47QK";
    QTest::newRow("name") << "Name" << "Maximilian Alexander Schneider";
    QTest::newRow("qth") << "Qth" << "Garmisch-Partenkirchen, Bayern";
    QTest::newRow("address") << "Address1" << "Hauptstrasse 123, Hinterhaus 4";
    QTest::newRow("second address line") << "Address2" << "82467 Garmisch-Partenkirchen";
    QTest::newRow("remarks") << "Remarks" << "New vertical, 5 W, QSB on 20 m";
    QTest::newRow("QSL manager") << "Qsl mgr" << "OH2BH/VP2EWW";
    QTest::newRow("IOTA") << "Iota" << "EU-123";
}

void TestEntryForm::fieldsShowTheirLongestValueWhole()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QWidget *widget = this->field(field);
    QVERIFY(widget);
    if (field == "Date")
        m_view->dateEdit()->setDate(QDate::fromString(value, QStringLiteral("dd-MM-yyyy")));
    else if (field == "Time")
        m_view->timeEdit()->setTime(QTime::fromString(value, QStringLiteral("HH:mm:ss")));
    else
        FormControls::setTextBeyondLimit(textOf(widget), value);
    const QLineEdit *edit = textOf(widget);
    QCOMPARE(edit->text(), value);
    QVERIFY2(FieldGeometry::showsWhole(edit, value),
             qPrintable(QStringLiteral("%1 pixels of text in %2").arg(edit->fontMetrics().horizontalAdvance(value))
                            .arg(FieldGeometry::textRoom(edit))));
}

// The lists of the real program database: every country name, mode and QSL code.
void TestEntryForm::listsShowTheirLongestEntryWhole()
{
    for (QComboBox *list : {m_view->countryList(), m_view->modeList(), m_view->qslSentList(), m_view->qslRcvdList()}) {
        QVERIFY(list->count() > 1);
        QString longest;
        for (int i = 0; i < list->count(); ++i) {
            if (list->fontMetrics().horizontalAdvance(list->itemText(i)) > list->fontMetrics().horizontalAdvance(longest))
                longest = list->itemText(i);
        }
        QVERIFY2(FieldGeometry::showsWhole(list, longest), qPrintable(longest));
    }
    // And the longest country name is one of some length.
    QVERIFY(m_view->countryList()->count() > 300);
}

// Each field of the top row ends before the next begins, under its own label; the
// labels stand whole.
void TestEntryForm::topRowFieldsStandSideBySide()
{
    const QStringList row = {"Date", "Time", "Call", "Sent", "Rcvd", "Frequency", "Band", "Mode", "Power",
                             "CQ zone", "Grid", "Qsl sent", "Qsl rcvd"};
    for (int i = 0; i + 1 < row.size(); ++i) {
        const QRect left = placeIn(field(row.at(i)), m_view);
        const QRect right = placeIn(field(row.at(i + 1)), m_view);
        QVERIFY2(left.right() < right.left(), qPrintable(row.at(i) + " reaches under " + row.at(i + 1)));
        QCOMPARE(left.top(), right.top());
    }
    for (const QLabel *label : m_view->findChildren<QLabel *>()) {
        if (!label->isVisible() || label->text().contains(QLatin1Char('\t')) || label->wordWrap())
            continue;
        QVERIFY2(label->width() >= label->minimumSizeHint().width(), qPrintable(label->text()));
    }
    QVERIFY(m_view->width() >= m_view->minimumSizeHint().width());
}

// Headings ("Frequency" among them) and the values of the longest QSO, whole, and the
// columns all in sight beside the scroll bar.
void TestEntryForm::workedListShowsHeadingsAndValuesWhole()
{
    QTableWidget *list = m_view->workedList();
    QCOMPARE(list->rowCount(), 1);
    QCOMPARE(list->item(0, 2)->text(), QStringLiteral("VP2EWW/DL1ABC/P"));
    // A changed row shows its date as stored, the longer form.
    m_view->UpdateWorkedRow(0, {"2026-12-28", "23:59", "VP2EWW/DL1ABCD/P", "599", "599", "144.300.0", "RTTY", "N", "N"});
    const QHeaderView *header = list->horizontalHeader();
    const QAbstractItemView *view = list;
    int total = 0;
    for (int c = 0; c < list->columnCount(); ++c) {
        const QString heading = list->horizontalHeaderItem(c)->text();
        QVERIFY2(header->sectionSize(c) >= header->sectionSizeHint(c), qPrintable(heading));
        QVERIFY2(list->columnWidth(c) >= view->sizeHintForColumn(c), qPrintable(heading));
        total += list->columnWidth(c);
    }
    QCOMPARE(list->horizontalHeaderItem(5)->text(), QStringLiteral("Frequency"));
    QVERIFY(list->viewport()->width() >= total);
}

void TestEntryForm::editDialogShowsTheLongestValuesWhole()
{
    Sqlite3DB::UM_RECORD qso = QsoBuilder().call("VP2EWW/DL1ABCD/P").freq("144.300.0").date("2026-12-28").time("23:59:00");
    qso.qslMgr = QStringLiteral("OH2BH/VP2EWW");
    CEditQso dialog(m_view->GetDocument(), qso, m_view);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    for (const QLineEdit *edit : {dialog.callEdit(), dialog.freqEdit(), dialog.qslMgrEdit()})
        QVERIFY2(FieldGeometry::showsWhole(edit, edit->text()), qPrintable(edit->text()));
    QVERIFY(FieldGeometry::showsWhole(textOf(dialog.dateEdit()), QStringLiteral("28-12-2026")));
}

void TestEntryForm::dateAndTimeAreLeftWithOneTab_data()
{
    QTest::addColumn<bool>("dialog"); // the "Edit Qso" dialog, else the entry form
    QTest::addColumn<QString>("from");
    QTest::addColumn<bool>("backwards");
    QTest::addColumn<QString>("to");
    for (const bool dialog : {false, true}) {
        const char *window = dialog ? "dialog: " : "form: ";
        QTest::addRow("%sdate to time", window) << dialog << "Date" << false << "Time";
        QTest::addRow("%stime to call", window) << dialog << "Time" << false << "Call";
        QTest::addRow("%stime back to date", window) << dialog << "Time" << true << "Date";
        QTest::addRow("%scall back to time", window) << dialog << "Call" << true << "Time";
    }
}

// One Tab leaves a date or time field, as it leaves every other field.
void TestEntryForm::dateAndTimeAreLeftWithOneTab()
{
    QFETCH(bool, dialog);
    QFETCH(QString, from);
    QFETCH(bool, backwards);
    QFETCH(QString, to);
    std::unique_ptr<CEditQso> edit;
    QHash<QString, QWidget *> fields = {{"Date", m_view->dateEdit()}, {"Time", m_view->timeEdit()},
                                        {"Call", m_view->callEdit()}};
    if (dialog) {
        edit = std::make_unique<CEditQso>(m_view->GetDocument(), QsoBuilder().call("DL1ABC"), m_view);
        edit->show();
        edit->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(edit.get()));
        fields = {{"Date", edit->dateEdit()}, {"Time", edit->timeEdit()}, {"Call", edit->callEdit()}};
    }
    QWidget *start = fields.value(from);
    start->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(start->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), backwards ? Qt::Key_Backtab : Qt::Key_Tab,
                    backwards ? Qt::ShiftModifier : Qt::NoModifier);
    QWidget *target = fields.value(to);
    QTRY_VERIFY2(target->hasFocus() || target->isAncestorOf(QApplication::focusWidget()),
                 qPrintable(QApplication::focusWidget()->metaObject()->className()));
}

QTEST_MAIN(TestEntryForm)
#include "tst_entry_form.moc"
