#include "app/CChildFrame.h"
#include "common/FieldGeometry.h"
#include "common/QsoBuilder.h"
#include "common/RunFolders.h"
#include "common/RunningApp.h"
#include "common/TestSurroundings.h"
#include "entry/CKorva3View.h"
#include "forms/CEditQso.h"
#include "forms/FormControls.h"
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
    void tabWalksEveryFieldInReadingOrder();

private:
    QWidget *field(const QString &name) const;

    RunFolders m_run; // set up before anything of the application starts
    QTemporaryDir m_programDir;
    ScriptedPrompter m_prompter;
    std::unique_ptr<TestSurroundings> m_here;
    TestDir *m_dir = nullptr;
    std::unique_ptr<RunningApp> m_app;
    CMainFrame *m_frame = nullptr;
    CKorva3View *m_view = nullptr;
};

void TestEntryForm::initTestCase()
{
    QVERIFY(m_run.isReady());
    CMainFrame::s_startupPauseMs = 0;
    QVERIFY(ProgramDatabaseBuilder::build(m_programDir.filePath("korva3.sqlite3")));
}

// A logbook of one QSO whose texts are as long as they come, in its window.
void TestEntryForm::init()
{
    m_here = std::make_unique<TestSurroundings>(m_prompter);
    QVERIFY(m_here->isValid());
    m_dir = &m_here->dir();
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
    m_app = std::make_unique<RunningApp>();
    m_frame = m_app->start({"Korva3", log});
    QVERIFY(m_frame);
    m_frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_frame));
    auto *child = qobject_cast<CChildFrame *>(m_frame->activeFrame());
    QVERIFY(child);
    m_view = child->view();
    QTRY_VERIFY(m_view->callEdit()->hasFocus());
}

void TestEntryForm::cleanup()
{
    m_app.reset();
    m_frame = nullptr;
    m_view = nullptr;
    m_dir = nullptr;
    m_here.reset();
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

// Each row's tag names the field (up to a comma); its one column is the value.
void TestEntryForm::fieldsShowTheirLongestValueWhole_data()
{
    QTest::addColumn<QString>("value");
    const char *rows[][2] = {
        {"Date, with its year", "28-12-2026"},
        {"Time", "23:59:59"},
        {"Call, 15 characters", "VP2EWW/DL1ABC/P"},
        {"Call, 16 characters", "VP2EWW/DL1ABCD/P"},
        {"Sent", "599"},
        {"Rcvd", "599"},
        {"Frequency, typed", "14.012.0"},
        {"Frequency, from the radio", "144.300.0"},
        {"Band", "160"},
        {"Power", "1500"},
        {"CQ zone", "40"},
        {"Grid", "JN47QK"},
        {"Name", "Maximilian Alexander Schneider"},
        {"Qth", "Garmisch-Partenkirchen, Bayern"},
        {"Address1", "Hauptstrasse 123, Hinterhaus 4"},
        {"Address2", "82467 Garmisch-Partenkirchen"},
        {"Remarks", "New vertical, 5 W, QSB on 20 m"},
        {"Qsl mgr", "OH2BH/VP2EWW"},
        {"Iota", "EU-123"},
    };
    for (const auto &row : rows)
        QTest::newRow(row[0]) << QString::fromLatin1(row[1]);
}

void TestEntryForm::fieldsShowTheirLongestValueWhole()
{
    QFETCH(QString, value);
    const QString field = QString::fromLatin1(QTest::currentDataTag()).section(QLatin1Char(','), 0, 0);
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
    // The lists fill after the window opens; the view then takes the room they need.
    QTRY_VERIFY(m_view->width() >= m_view->minimumSizeHint().width());
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

// Tab goes through every field once, in reading order, and comes back round; Shift+Tab
// goes the same way back.
void TestEntryForm::tabWalksEveryFieldInReadingOrder()
{
    const QStringList order = {"Date",    "Time",     "Call",     "Sent",     "Rcvd",    "Frequency", "Band",
                               "Mode",    "Power",    "CQ zone",  "Grid",     "Qsl sent", "Qsl rcvd",  "Name",
                               "Qth",     "Address1", "Address2", "Remarks",  "Country", "Qsl mgr",   "Iota"};
    const auto focused = [this, &order] {
        for (const QString &name : order) {
            QWidget *widget = field(name);
            if (widget->hasFocus() || widget->isAncestorOf(QApplication::focusWidget()))
                return name;
        }
        return QString::fromLatin1(QApplication::focusWidget()->metaObject()->className());
    };
    for (const bool backwards : {false, true}) {
        m_view->dateEdit()->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(m_view->dateEdit()->hasFocus());
        QStringList walked = {focused()};
        while (walked.size() <= order.size() + 3) {
            QTest::keyClick(QApplication::focusWidget(), backwards ? Qt::Key_Backtab : Qt::Key_Tab,
                            backwards ? Qt::ShiftModifier : Qt::NoModifier);
            const QString now = focused();
            if (now == walked.first())
                break;
            walked.append(now);
        }
        QStringList fields;
        for (const QString &name : std::as_const(walked)) {
            if (order.contains(name))
                fields.append(name);
        }
        QStringList expected = order;
        if (backwards) {
            std::reverse(expected.begin(), expected.end());
            expected.prepend(expected.takeLast());
        }
        QCOMPARE(fields, expected);
    }
}

QTEST_MAIN(TestEntryForm)
#include "tst_entry_form.moc"
