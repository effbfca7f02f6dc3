#include "CKorva3View.h"

#include "CSetup.h"
#include "forms/CEditQso.h"
#include "forms/ChoiceList.h"
#include "forms/DateTimePicker.h"
#include "forms/FormControls.h"
#include "forms/QsoListColumns.h"
#include "document/CKorva3Doc.h"
#include "document/LocatorMath.h"
#include "platform/AppSettings.h"
#include "platform/CodePage.h"
#include "platform/CommandIds.h"
#include "platform/DbDateTime.h"
#include "platform/Numbers.h"
#include "platform/Prompter.h"
#include "store/BandPlan.h"
#include "store/QsoModes.h"
#include "store/ReportBands.h"
#include "reports/CCqzoneReport.h"
#include "reports/CDxccReport.h"
#include "net/CallbookClient.h"
#include "net/DxSpot.h"
#include "rig/TrxDecoding.h"
#include "rig/TrxReading.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QEvent>
#include <QFocusEvent>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <tuple>

using FormControls::setText;
using Field = QsoFieldEdits::Field;

const QString CKorva3View::kBlankGridLine = QStringLiteral(" \t \t \t \t \t \t \t \t \t \t ");
const QString CKorva3View::kLatestQsosLine = QStringLiteral("   Your latest qso's (shortkey F6)");

QDateTime (*CKorva3View::s_clock)() = &QDateTime::currentDateTime;

namespace {

const char kDefaultSection[] = "Default";
const QColor kLineColour(0, 0, 238);

constexpr int kWorkedColumnCount = QsoListColumns::kCount;


QLabel *blueLine(QWidget *parent)
{
    auto *label = new QLabel(parent);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, kLineColour);
    label->setPalette(palette);
    return label;
}

} // namespace

CKorva3View::CKorva3View(CKorva3Doc *document, QWidget *parent)
    : QWidget(parent)
    , m_doc(document)
    , m_edits(QsoFormFields::Window::Entry, this)
    , m_modeList(new ChoiceList(this))
    , m_lists(m_modeList, new QComboBox(this), new QComboBox(this), new QComboBox(this))
    , m_date(s_clock())
    , m_time(m_date)
    , m_infoLine1(kLatestQsosLine)
    , m_workedCw(kBlankGridLine)
    , m_workedSsb(kBlankGridLine)
    , m_workedDigi(kBlankGridLine)
{
    // A new form offers QSL sent "N" (the list's second entry), the others their first.
    m_lists.qslSentIndex = 1;
    m_titleFont = QFont(QStringLiteral("Ariel"));
    m_titleFont.setPixelSize(30);
    m_titleFont.setWeight(QFont::Bold);
    m_titleFont.setItalic(true);
    m_titleFont.setUnderline(true);
    readDefaults();
    buildForm();
    freqEdit()->setPlaceholderText(QStringLiteral("14.012.0"));
    connectEvents();
    pushFields();
}

CKorva3View::~CKorva3View()
{
    // The controls go after this body; their focus changes must not reach the form.
    for (QWidget *edit : {callEdit(), freqEdit(), gridEdit()})
        edit->removeEventFilter(this);
    disconnect();
    writeDefaults();
}

// --- Remembered defaults ------------------------------------------------------------

void CKorva3View::readDefaults()
{
    const auto settings = AppSettings::open();
    settings->beginGroup(QLatin1String(kDefaultSection));
    // No frequency until the operator or the radio gives one: the field shows how one
    // is written, and an empty one is stored empty.
    m_qso.freq = settings->value(QStringLiteral("DefFreq")).toString();
    m_qso.band = settings->value(QStringLiteral("DefBand"), QStringLiteral("20")).toString();
    m_lists.modeIndex = settings->value(QStringLiteral("DefMode"), 0).toInt();
    m_qso.rcvd = settings->value(QStringLiteral("DefRst1"), QStringLiteral("599")).toString();
    m_qso.sent = settings->value(QStringLiteral("DefRst2"), QStringLiteral("599")).toString();
    m_qso.power = settings->value(QStringLiteral("DefPwr"), QStringLiteral("100")).toString();
    settings->endGroup();
    m_lists.modeIndex = std::max(m_lists.modeIndex, 0);
    m_lists.qslSentIndex = std::max(m_lists.qslSentIndex, 0);
    m_lists.qslRcvdIndex = std::max(m_lists.qslRcvdIndex, 0);
}

void CKorva3View::writeDefaults() const
{
    const auto settings = AppSettings::open();
    settings->beginGroup(QLatin1String(kDefaultSection));
    settings->setValue(QStringLiteral("DefFreq"), m_qso.freq);
    settings->setValue(QStringLiteral("DefBand"), m_qso.band);
    settings->setValue(QStringLiteral("DefMode"), m_lists.modeIndex);
    settings->setValue(QStringLiteral("DefRst1"), m_qso.rcvd);
    settings->setValue(QStringLiteral("DefRst2"), m_qso.sent);
    settings->setValue(QStringLiteral("DefPwr"), m_qso.power);
    settings->endGroup();
}

// --- Building the form --------------------------------------------------------------

void CKorva3View::buildForm()
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildTopRow());
    auto *middle = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    left->addWidget(buildWorkedGroup(), 1);
    left->addWidget(buildGridGroup());
    middle->addLayout(left, 3);
    middle->addWidget(buildRightColumn(), 2);
    layout->addLayout(middle, 1);

    // Tab goes along the top row, down the right column, then to the list and its
    // options, whatever order the fields were made in.
    m_fieldOrder = {m_dateEdit,    m_timeEdit,      callEdit(),         rstSentEdit(),        rstRcvdEdit(),
                    freqEdit(),    bandEdit(),      m_modeList,         powerEdit(),          cqZoneEdit(),
                    gridEdit(),    m_lists.qslSentList, m_lists.qslRcvdList, nameEdit(),      qthEdit(),
                    address1Edit(), address2Edit(), remarksEdit(),      m_lists.countryList,  qslMgrEdit(),
                    iotaEdit(),    m_workedList,    m_searchByCountryBox, m_listBeforeBox};
}

// Tab and Shift+Tab follow the form's own order round, from whatever part of a field
// (the text of a list, the section of a date) has the focus. Qt's focus chain loses its
// way through the compound fields, so the form leads itself.
bool CKorva3View::focusNextPrevChild(bool next)
{
    QWidget *focused = QApplication::focusWidget();
    const auto current = std::find_if(m_fieldOrder.cbegin(), m_fieldOrder.cend(), [focused](QWidget *field) {
        return field == focused || field->isAncestorOf(focused);
    });
    if (current == m_fieldOrder.cend())
        return QWidget::focusNextPrevChild(next);
    const qsizetype count = m_fieldOrder.size();
    qsizetype index = current - m_fieldOrder.cbegin();
    for (qsizetype step = 0; step < count; ++step) {
        index = (index + (next ? 1 : count - 1)) % count;
        QWidget *target = m_fieldOrder.at(index);
        if (target->isEnabled() && target->isVisible() && target->focusPolicy() != Qt::NoFocus) {
            target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return false;
}

QWidget *CKorva3View::buildTopRow()
{
    auto *row = new QWidget(this);
    auto *grid = new QGridLayout(row);
    grid->setContentsMargins(0, 0, 0, 0);
    m_dateEdit = new DateTimePicker(QStringLiteral("dd-MM-yyyy"), row);
    m_dateEdit->setCalendarPopup(true);
    m_timeEdit = new DateTimePicker(QStringLiteral("HH:mm:ss"), row);
    for (QComboBox *list : {m_lists.qslSentList, m_lists.qslRcvdList}) {
        list->setEditable(true);
        list->setInsertPolicy(QComboBox::NoInsert);
    }
    // The mode list is as wide as its longest entry, once it is filled; the QSL lists
    // hold one letter each.
    m_modeList->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (QComboBox *list : {m_lists.qslSentList, m_lists.qslRcvdList}) {
        list->setMinimumContentsLength(2);
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    }

    const auto fieldColumn = [this](Field field) {
        return std::pair<QString, QWidget *>(m_edits.label(field), m_edits.edit(field));
    };
    const QList<std::pair<QString, QWidget *>> columns = {
        {QStringLiteral("Date"), m_dateEdit},
        {QStringLiteral("Time"), m_timeEdit},
        fieldColumn(Field::Call),
        fieldColumn(Field::Sent),
        fieldColumn(Field::Rcvd),
        fieldColumn(Field::Freq),
        fieldColumn(Field::Band),
        {QStringLiteral("Mode"), m_modeList},
        fieldColumn(Field::Power),
        fieldColumn(Field::CqZone),
        fieldColumn(Field::Grid),
        {QStringLiteral("sent"), m_lists.qslSentList},
        {QStringLiteral("Rcvd"), m_lists.qslRcvdList},
    };
    int column = 0;
    for (const auto &[text, field] : columns) {
        auto *label = new QLabel(text, row);
        label->setBuddy(field);
        grid->addWidget(label, 1, column);
        grid->addWidget(field, 2, column, Qt::AlignTop); // lists and fields level at the top
        // Each field keeps the width its widest value needs (set when it was made); the
        // row never squeezes one under the next.
        if (auto *edit = qobject_cast<QLineEdit *>(field))
            edit->setMaximumWidth(edit->minimumWidth());
        ++column;
    }
    grid->addWidget(new QLabel(QStringLiteral("<Qsl>"), row), 0, column - 2, 1, 2, Qt::AlignCenter);
    grid->setColumnStretch(column, 1);
    return row;
}

QWidget *CKorva3View::buildWorkedGroup()
{
    auto *group = new QGroupBox(QStringLiteral("List calls worked before"), this);
    auto *layout = new QVBoxLayout(group);
    m_workedList = new QTableWidget(0, kWorkedColumnCount, group);
    QsoListColumns::setUp(m_workedList);
    m_workedList->horizontalHeader()->setSectionsMovable(true);
    m_workedList->verticalHeader()->hide();
    m_workedList->verticalHeader()->setDefaultSectionSize(m_workedList->fontMetrics().height() + 4);
    m_workedList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_workedList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_workedList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the list for the next field; the arrow keys go through its rows.
    m_workedList->setTabKeyNavigation(false);
    m_workedList->setShowGrid(true);
    layout->addWidget(m_workedList, 1);

    auto *options = new QHBoxLayout;
    m_searchByCountryBox = new QCheckBox(QStringLiteral("Search by call or country"), group);
    m_listBeforeBox = new QCheckBox(QStringLiteral("List qso's b4"), group);
    m_foundCountLabel = new QLabel(group);
    m_foundCountLabel->setMinimumWidth(30);
    options->addWidget(m_searchByCountryBox);
    options->addWidget(m_listBeforeBox);
    options->addStretch(1);
    options->addWidget(new QLabel(QStringLiteral("Total qso's found"), group));
    options->addWidget(m_foundCountLabel);
    layout->addLayout(options);

    m_infoLine1Label = blueLine(group);
    m_infoLine2Label = blueLine(group);
    layout->addWidget(m_infoLine1Label);
    layout->addWidget(m_infoLine2Label);
    return group;
}

QWidget *CKorva3View::buildGridGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Worked / Confirmed"), this);
    auto *grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("160\t80\t40\t30\t20\t17\t15\t12\t10\t 6\t 2"), group), 0, 1);
    m_workedCwLabel = blueLine(group);
    m_workedSsbLabel = blueLine(group);
    m_workedDigiLabel = blueLine(group);
    int row = 1;
    for (const auto &line : {std::pair{"CW", m_workedCwLabel}, std::pair{"SSB", m_workedSsbLabel},
                             std::pair{"DIGI", m_workedDigiLabel}}) {
        grid->addWidget(new QLabel(QString::fromLatin1(line.first), group), row, 0);
        grid->addWidget(line.second, row, 1);
        ++row;
    }
    grid->setColumnStretch(1, 1);
    return group;
}

QWidget *CKorva3View::buildRightColumn()
{
    auto *column = new QWidget(this);
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *form = new QFormLayout;
    for (const Field field : {Field::Name, Field::Qth, Field::Address1, Field::Address2, Field::Remarks})
        form->addRow(m_edits.label(field), m_edits.edit(field));
    // The country list is as wide as its longest country name, once it is filled.
    m_lists.countryList->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    form->addRow(QStringLiteral("Country"), m_lists.countryList);
    for (const Field field : {Field::QslMgr, Field::Iota})
        form->addRow(m_edits.label(field), m_edits.edit(field));
    layout->addLayout(form);

    // The title is painted by the form itself, over the area of this frame.
    m_titleFrame = new QFrame(column);
    m_titleFrame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    m_titleFrame->setMinimumHeight(70);
    layout->addWidget(m_titleFrame, 1);
    m_logbookLabelText = new QLabel(column);
    m_logbookLabelText->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_logbookLabelText);
    return column;
}

void CKorva3View::connectEvents()
{
    connect(callEdit(), &QLineEdit::textEdited, this, [this] { OnCallChange(); });
    // A date or time the operator sets stays as set.
    for (QDateTimeEdit *edit : {m_dateEdit, m_timeEdit})
        connect(edit, &QDateTimeEdit::dateTimeChanged, this, [this] {
            if (m_settingClock)
                return;
            m_dateTimeTyped = true;
            m_clockRunning = false;
        });
    connect(callEdit(), &QLineEdit::textChanged, this, &CKorva3View::commandsChanged);
    connect(m_workedList, &QTableWidget::itemSelectionChanged, this, &CKorva3View::commandsChanged);
    connect(m_workedList, &QTableWidget::cellDoubleClicked, this, [this] { OnChangeQso(); });
    // Only the operator's choices count, not the selections the form sets itself.
    // Only a choice from the list sets the reports, never a mode typed into its field.
    connect(m_modeList, &ChoiceList::chosen, this, [this] { OnSetRst(); });
    connect(m_lists.countryList, QOverload<int>::of(&QComboBox::activated), this, [this] { OnCountrySelChange(); });
    for (QWidget *edit : {callEdit(), freqEdit(), bandEdit(), gridEdit()})
        edit->installEventFilter(this);
    // The band plan's bands offered as the band is typed.
    auto *bands = new QCompleter(BandPlan::bands(), bandEdit());
    bands->setCaseSensitivity(Qt::CaseInsensitive);
    bandEdit()->setCompleter(bands);
    for (auto qsoSignal : {&CKorva3Doc::qsoAdded, &CKorva3Doc::qsoChanged, &CKorva3Doc::qsoDeleted, &CKorva3Doc::qsosImported})
        connect(m_doc, qsoSignal, this, [this] { listChanged(); });
    connect(m_doc, &CKorva3Doc::statisticsChanged, this, &CKorva3View::statisticsChanged);
    connect(m_doc, &CKorva3Doc::changedOutside, this, [this] {
        listChanged();
        statisticsChanged(0);
    });
}

bool CKorva3View::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && !m_refusingPull) {
        // The focus leaving the window (another application, a message box) or going
        // to the menus is no leaving of the field.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason
            && reason != Qt::MenuBarFocusReason) {
            if (watched == callEdit())
                OnCallKillFocus();
            else if (watched == freqEdit())
                OnFreqKillFocus();
            else if (watched == bandEdit())
                acceptBand();
            else if (watched == gridEdit())
                OnGridKillFocus();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CKorva3View::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    OnInitialUpdate();
}

void CKorva3View::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    const QRect area =
        QRect(m_titleFrame->mapTo(this, QPoint(0, 0)), m_titleFrame->size()).translated(0, -10);
    painter.setFont(m_titleFont);
    painter.setBackgroundMode(Qt::TransparentMode);
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    // Highlight shifted by a pixel under shadow: an engraved title.
    painter.setPen(palette().color(QPalette::Light));
    painter.drawText(area.translated(1, 1), flags, m_title);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawText(area, flags, m_title);
}

QLabel *CKorva3View::workedLineLabel(int group) const
{
    switch (group) {
    case 1: return m_workedCwLabel;
    case 2: return m_workedSsbLabel;
    case 3: return m_workedDigiLabel;
    default: return nullptr;
    }
}

// --- Initial update -----------------------------------------------------------------

void CKorva3View::OnInitialUpdate()
{
    if (m_initialised)
        return;
    m_initialised = true;
    const QString title = m_doc->title();
    m_logbookLabel = QStringLiteral("Logbook: ") + title.left(std::max<qsizetype>(0, title.size() - 8)).toUpper();

    m_doc->LoadReferenceLists();
    m_lists.fill(*m_doc);
    // The mode list keeps the width of its longest name (DIGITALVOICE), whichever is shown.
    m_modeList->setMinimumWidth(m_modeList->sizeHint().width());

    m_utcOffset = Numbers::atoi(m_doc->GetParameter("utcoffset").value_or(QByteArray()));
    SetUtcNow();
    auto *clock = new QTimer(this);
    connect(clock, &QTimer::timeout, this, &CKorva3View::tickClock);
    clock->start(1000);
    m_askYesNo = m_doc->GetParameter("AskYesNo").value_or(QByteArray()) == "Y";
    m_ownLocator = CodePage::fromStored(m_doc->GetParameter("gridlocator").value_or(QByteArray()));
    m_ownLatitude = LocatorMath::LocatorLatitude(m_ownLocator);
    m_ownLongitude = LocatorMath::LocatorLongitude(m_ownLocator);

    pushFields();
    showList({ListQuery::Kind::Latest, 30, QString(), 0});
    callEdit()->setFocus();
}

// --- Moving values between controls and members -------------------------------------

bool CKorva3View::pullFields()
{
    // A refusal moves the focus to the field; the field left on the way must not pull
    // (and refuse) a second time.
    m_refusingPull = true;
    const bool fits = m_edits.checkLimits();
    m_refusingPull = false;
    if (!fits)
        return false;
    m_date.setDate(m_dateEdit->date());
    m_time.setTime(m_timeEdit->time());
    m_edits.pull(m_qso);
    m_lists.pull();
    m_logbookLabel = m_logbookLabelText->text();
    m_searchByCountry = m_searchByCountryBox->isChecked();
    m_listBefore = m_listBeforeBox->isChecked();
    m_foundCount = m_foundCountLabel->text();
    m_infoLine1 = m_infoLine1Label->text();
    m_infoLine2 = m_infoLine2Label->text();
    m_workedCw = m_workedCwLabel->text();
    m_workedSsb = m_workedSsbLabel->text();
    m_workedDigi = m_workedDigiLabel->text();
    return true;
}

void CKorva3View::pushFields()
{
    showDateTime();
    m_edits.push(m_qso);
    m_lists.push();
    m_logbookLabelText->setText(m_logbookLabel);
    m_searchByCountryBox->setChecked(m_searchByCountry);
    m_listBeforeBox->setChecked(m_listBefore);
    m_foundCountLabel->setText(m_foundCount);
    m_infoLine1Label->setText(m_infoLine1);
    m_infoLine2Label->setText(m_infoLine2);
    m_workedCwLabel->setText(m_workedCw);
    m_workedSsbLabel->setText(m_workedSsb);
    m_workedDigiLabel->setText(m_workedDigi);
}

// --- Commands -----------------------------------------------------------------------

bool CKorva3View::handlesCommand(int id) const
{
    switch (id) {
    case ID_CLEAR_FORM:
    case ID_ADD_QSO:
    case ID_ACTUAL_TIME:
    case ID_SET_RST:
    case ID_LOOKUP_QSOS:
    case ID_LATEST_QSOS:
    case ID_CHANGE_QSO:
    case ID_DELETE_QSO:
    case ID_SETUP:
    case ID_DXCC_REPORT:
    case ID_CQZONE_REPORT:
        return true;
    default:
        return false;
    }
}

bool CKorva3View::commandEnabled(int id) const
{
    switch (id) {
    case ID_ADD_QSO:
        return callEdit()->text().size() >= 3;
    case ID_CHANGE_QSO:
    case ID_DELETE_QSO:
        return selectionMark() >= 0;
    default:
        return true;
    }
}

void CKorva3View::onCommand(int id)
{
    switch (id) {
    case ID_CLEAR_FORM: OnClearForm(); break;
    case ID_ADD_QSO: OnAddQso(); break;
    case ID_ACTUAL_TIME: OnActualTime(); break;
    case ID_SET_RST: OnSetRst(); break;
    case ID_LOOKUP_QSOS: OnLookupQsos(); break;
    case ID_LATEST_QSOS: OnLatestQsos(); break;
    case ID_CHANGE_QSO: OnChangeQso(); break;
    case ID_DELETE_QSO: OnDeleteQso(); break;
    case ID_SETUP: OnSetup(); break;
    case ID_DXCC_REPORT: OnDxccReport(); break;
    case ID_CQZONE_REPORT: OnCqzoneReport(); break;
    default: break;
    }
}

// The computer's clock knows UTC: the form takes it as it is, to the second.
void CKorva3View::SetUtcNow()
{
    QDateTime utc = s_clock().toUTC();
    utc = utc.addMSecs(-utc.time().msec());
    m_date = utc;
    m_time = utc;
}

// Each second while the form holds no QSO yet: the date and time show the UTC clock.
// The first character of a call stops them at the QSO's start, and so does a date or
// time the operator changes; Add and Clear Form set them going again.
void CKorva3View::tickClock()
{
    if (!m_clockRunning)
        return;
    SetUtcNow();
    showDateTime();
}

void CKorva3View::showDateTime()
{
    m_settingClock = true;
    m_dateEdit->setDate(m_date.date());
    m_timeEdit->setTime(m_time.time());
    m_settingClock = false;
}

void CKorva3View::startClock()
{
    m_clockRunning = true;
    tickClock();
}

void CKorva3View::ClearEntryFields()
{
    m_filledIn.clear();
    m_filledForCall.clear();
    m_lookupCall.clear();
    for (QString *text : {&m_qso.call, &m_qso.name, &m_qso.qth, &m_qso.address1, &m_qso.address2, &m_qso.remarks, &m_qso.qslMgr, &m_qso.iota,
                          &m_qso.cqZone, &m_qso.grid})
        text->clear();
    m_lists.countryIndex = 0;
    m_resolvedCall.clear();
}

void CKorva3View::OnClearForm()
{
    if (!pullFields())
        return;
    ClearEntryFields();
    const QString report = QsoModes::defaultReport(selectedModeCode());
    m_qso.sent = report;
    m_qso.rcvd = report;
    m_infoLine1.clear();
    m_infoLine2.clear();
    m_foundCount.clear();
    m_workedCw = kBlankGridLine;
    m_workedSsb = kBlankGridLine;
    m_workedDigi = kBlankGridLine;
    m_gridEntity = -1;
    m_dateTimeTyped = false;
    m_clockRunning = true;
    SetUtcNow();
    pushFields();
    ClearWorkedList();
    callEdit()->setFocus();
}

// The time of now: it runs on while no call is typed.
void CKorva3View::OnActualTime()
{
    if (!pullFields())
        return;
    m_dateTimeTyped = false;
    m_clockRunning = m_qso.call.isEmpty();
    SetUtcNow();
    pushFields();
}

void CKorva3View::OnSetRst()
{
    if (!pullFields())
        return;
    // A mode no entry carries counts as not phone here, while Clear Form takes it as phone.
    m_qso.sent = QsoModes::isPhone(selectedModeCode()) ? QStringLiteral("59") : QStringLiteral("599");
    m_qso.rcvd = m_qso.sent;
    pushFields();
}

void CKorva3View::OnAddQso()
{
    if (!pullFields())
        return;
    // A call not yet resolved (Enter pressed in the call field) is resolved as leaving
    // the field resolves it, before anything is stored.
    if (m_qso.call.size() > 2 && m_qso.call != m_resolvedCall) {
        OnCallKillFocus();
        if (!pullFields())
            return;
    }
    if (m_qso.call.size() > 2 && acceptMode() && acceptBand()) {
        Prompter &prompter = Prompter::current();
        if (!m_qso.freq.isEmpty() && CKorva3Doc::BandFromFrequency(m_qso.freq).isEmpty())
            prompter.warning(QStringLiteral("Frequency possible not correct..."));
        const int mode = selectedModeCode();
        if (mode == QsoModes::kCw && (m_qso.sent.size() != 3 || m_qso.rcvd.size() != 3))
            prompter.warning(QStringLiteral("Rst not correct in CW mode...\nexample \"599\""));
        if (mode == QsoModes::kSsb && (m_qso.sent.size() != 2 || m_qso.rcvd.size() != 2))
            prompter.warning(QStringLiteral("Rst not correct in SSB mode...\nexample \"59\""));
        if (!isLikelyDuplicate()
            && (!m_askYesNo || prompter.question(QStringLiteral("Add qso ?"), QStringLiteral("Are you sure?")) == Prompter::Answer::Ok))
            addEnteredQso();
    }
    setFoundCount(m_workedList->rowCount());
    pushFields();
}

// A mode the list does not offer is refused before anything is stored: it would be
// stored without a mode and count in no statistics.
bool CKorva3View::acceptMode()
{
    if (m_lists.modeIndex >= 0)
        return true;
    Prompter::current().warning(
        QStringLiteral("The mode \"%1\" is not known: choose a mode of the list.").arg(m_modeList->currentText()));
    m_modeList->setFocus();
    return false;
}

// A band is one of the plan's, typed in any case, with or without its unit ("20m");
// any other text is refused while the operator is still at the field, and at Add.
bool CKorva3View::acceptBand()
{
    const QString typed = bandEdit()->text();
    if (typed.trimmed().isEmpty())
        return true;
    const QString band = BandPlan::matchBand(typed);
    if (!band.isEmpty()) {
        if (band != typed)
            bandEdit()->setText(band);
        m_qso.band = band;
        return true;
    }
    Prompter::current().warning(QStringLiteral("The band \"%1\" is not known: choose a band of the list (%2).")
                                    .arg(typed, BandPlan::bands().join(QLatin1String(", "))));
    refocus(bandEdit());
    return false;
}

// Back to a field whose text was refused; leaving another field on the way is no
// leaving to check.
void CKorva3View::refocus(QWidget *field)
{
    m_refusingPull = true;
    field->setFocus();
    m_refusingPull = false;
}

// The QSO as it would be stored: the form's values, its date and time, its codes.
Sqlite3DB::UM_RECORD CKorva3View::enteredQso() const
{
    Sqlite3DB::UM_RECORD qso = m_qso;
    qso.date = DbDateTime::formatDate(m_date.date());
    qso.time = DbDateTime::formatTime(m_time.time());
    m_lists.writeCodes(qso);
    return qso;
}

// The same call, band and mode logged within the last ten minutes: asked first, and
// true when the operator does not want it twice.
bool CKorva3View::isLikelyDuplicate()
{
    constexpr int kMinutes = 10;
    if (!m_doc->FindQsoNear(enteredQso(), kMinutes))
        return false;
    return Prompter::current().question(QStringLiteral("Duplicate qso: add it anyway?")) != Prompter::Answer::Ok;
}

// Stores the QSO on the form; a QSO that was not stored changes nothing else, and the
// form keeps it for another try.
void CKorva3View::addEnteredQso()
{
    const Sqlite3DB::UM_RECORD qso = enteredQso();

    // The list follows the call just logged, with the new QSO on top, once the document
    // says it was added; a QSO that was not stored leaves the list as it was.
    const ListQuery before = m_listQuery;
    m_listQuery = m_searchByCountry ? ListQuery{ListQuery::Kind::ByCountry, 0, QString(), qso.country}
                                    : ListQuery{ListQuery::Kind::ByCall, 0, qso.call, 0};
    m_gridEntity = qso.country;
    if (m_doc->AddQso(qso, m_doc->StationFields()) == 0) {
        m_listQuery = before;
        return;
    }
    ClearEntryFields();
    // The next QSO starts with the mode's reports, not with those of the last one.
    m_qso.sent = QsoModes::defaultReport(selectedModeCode());
    m_qso.rcvd = m_qso.sent;
    m_dateTimeTyped = false;
    startClock();
    callEdit()->setFocus();
}

void CKorva3View::OnSetup()
{
    CSetup dialog(this, m_trxLink, m_wsjtxLogging);
    if (dialog.exec() == QDialog::Accepted) {
        m_ownLatitude = LocatorMath::LocatorLatitude(m_ownLocator);
        m_ownLongitude = LocatorMath::LocatorLongitude(m_ownLocator);
        if (m_callbook)
            m_callbook->reload();
    }
}

void CKorva3View::OnDxccReport()
{
    CDxccReport report(this, m_doc);
    report.exec();
}

void CKorva3View::OnCqzoneReport()
{
    CCqzoneReport report(this, m_doc);
    report.exec();
}

void CKorva3View::SetTrxReading(const TrxReading &reading)
{
    FormControls::setTextBeyondLimit(freqEdit(), reading.frequency);
    bandEdit()->setText(reading.band);
    FormControls::selectIndex(m_modeList, reading.modePosition);
    rstSentEdit()->setText(reading.reports);
    rstRcvdEdit()->setText(reading.reports);
}

// --- Field events -------------------------------------------------------------------

// Works on the call field and the country list alone: a full pull on every keystroke
// would repeat a refusal (a field over its limit) with each key.
void CKorva3View::OnCallChange()
{
    QString call = callEdit()->text();
    call.remove(QLatin1Char(' '));
    // The first keystroke of a call is the QSO's start; an emptied call field lets the
    // clock run again, unless the operator set the date or time.
    if (m_clockRunning && !call.isEmpty()) {
        tickClock();
        m_clockRunning = false;
    } else if (call.isEmpty() && !m_dateTimeTyped) {
        startClock();
    }
    m_qso.call = call;
    setText(callEdit(), m_qso.call);
    if (!m_qso.call.isEmpty()) {
        const int index = FormControls::indexOfCode(m_lists.countryList, m_doc->ResolveCallsign(m_qso.call));
        if (index >= 0) {
            m_lists.countryIndex = index;
            FormControls::selectIndex(m_lists.countryList, m_lists.countryIndex);
        }
    }
}

void CKorva3View::OnCallKillFocus()
{
    clearFilledIn();
    if (!pullFields())
        return;
    m_resolvedCall = m_qso.call;
    if (m_lists.countryIndex > 0)
        ShowStationInfo();
    const int dxcc = selectedCountryId();
    if (m_listBefore && !m_qso.call.isEmpty())
        refreshWorkedList();
    if (m_qso.qslMgr.isEmpty()) {
        m_qso.qslMgr = m_doc->GetQslManager(m_qso.call);
        m_filledIn.insert(qslMgrEdit(), m_qso.qslMgr);
    }
    offerLastQso();
    showGridLines(dxcc);
    pushFields();
    // One lookup for the call entered; what it finds goes only into fields still empty
    // when the answer comes.
    if (m_callbook && m_callbook->isSetUp() && m_qso.call.size() >= 3) {
        m_lookupCall = m_qso.call;
        m_callbook->lookup(m_qso.call);
    }
}

// Name and QTH of the latest QSO with the same call, for fields still empty.
void CKorva3View::offerLastQso()
{
    if (m_qso.call.size() < 3 || (!m_qso.name.isEmpty() && !m_qso.qth.isEmpty()))
        return;
    const QList<Sqlite3DB::UM_RECORD> found = m_doc->FindQsosByCall(m_qso.call);
    for (auto it = found.crbegin(); it != found.crend(); ++it) {
        if (it->call.compare(m_qso.call, Qt::CaseInsensitive) != 0)
            continue;
        const std::optional<Sqlite3DB::UM_RECORD> last = m_doc->ReadQso(it->rowId);
        if (!last)
            return;
        for (const auto &[edit, member, value] : {std::tuple{nameEdit(), &m_qso.name, last->name},
                                                   std::tuple{qthEdit(), &m_qso.qth, last->qth}}) {
            if (member->isEmpty() && !value.isEmpty()) {
                *member = value;
                m_filledIn.insert(edit, value);
            }
        }
        return;
    }
}

// A new call: what the form filled for the call before and the operator left as it
// was is cleared, so that it cannot pass for the new call's.
void CKorva3View::clearFilledIn()
{
    QString call = callEdit()->text();
    call.remove(QLatin1Char(' '));
    if (call.compare(m_filledForCall, Qt::CaseInsensitive) == 0)
        return;
    for (auto it = m_filledIn.cbegin(); it != m_filledIn.cend(); ++it) {
        if (it.key()->text() == it.value())
            it.key()->clear();
    }
    m_filledIn.clear();
    m_filledForCall = call;
}

// The answer for the call still in the form fills what is still empty; any answer is
// said in the status bar.
void CKorva3View::callbookAnswered(const QString &call, const CallbookResult &result, const QString &status)
{
    if (call != m_lookupCall)
        return; // another window's lookup
    m_lookupCall.clear();
    emit statusMessage(status);
    QString current = callEdit()->text();
    current.remove(QLatin1Char(' '));
    if (result.outcome != CallbookResult::Outcome::Found || current.compare(call, Qt::CaseInsensitive) != 0)
        return;
    const CallbookRecord &record = result.record;
    const bool gridWasEmpty = gridEdit()->text().isEmpty();
    fillIn(nameEdit(), record.name);
    fillIn(qthEdit(), record.qth);
    fillIn(gridEdit(), record.grid.toUpper());
    fillIn(qslMgrEdit(), record.qslManager);
    if (gridWasEmpty && !gridEdit()->text().isEmpty())
        showGridDistance();
}

// Into the control alone, cut to its limit: the member follows at the next pull.
void CKorva3View::fillIn(QLineEdit *edit, const QString &value)
{
    if (!edit->text().isEmpty() || value.isEmpty())
        return;
    const int limit = FormControls::limitOf(edit);
    const QString fitting = limit > 0 ? value.left(limit) : value;
    edit->setText(fitting);
    m_filledIn.insert(edit, fitting);
}

void CKorva3View::setCallbook(CallbookClient *callbook)
{
    if (m_callbook)
        disconnect(m_callbook, nullptr, this, nullptr);
    m_callbook = callbook;
    if (callbook)
        connect(callbook, &CallbookClient::answered, this, &CKorva3View::callbookAnswered);
}

bool CKorva3View::TakeSpot(const DxSpot &spot, const QString &mode)
{
    if (!callEdit()->text().trimmed().isEmpty())
        return false;
    callEdit()->setText(spot.dxCall);
    OnCallChange();
    const QString frequency = TrxDecoding::frequencyTextOfHz(std::llround(spot.frequencyKHz * 1000));
    FormControls::setTextBeyondLimit(freqEdit(), frequency);
    bandEdit()->setText(CKorva3Doc::BandFromFrequency(frequency));
    int position = mode.isEmpty() ? -1 : m_modeList->findText(mode, Qt::MatchFixedString);
    if (position < 0) {
        const std::optional<QsoModes::Choice> choice = QsoModes::find(mode);
        position = choice ? FormControls::indexOfCode(m_modeList, choice->code) : -1;
    }
    if (position >= 0) {
        FormControls::selectIndex(m_modeList, position);
        const QString report = QsoModes::defaultReport(FormControls::codeAt(m_modeList, position));
        rstSentEdit()->setText(report);
        rstRcvdEdit()->setText(report);
    }
    OnCallKillFocus();
    rstSentEdit()->setFocus();
    return true;
}

// The band follows the frequency left in the field. A frequency in no band is said at
// once and leaves the band as it was; an empty field leaves it too.
void CKorva3View::OnFreqKillFocus()
{
    if (!pullFields() || m_qso.freq.trimmed().isEmpty())
        return;
    const QString band = CKorva3Doc::BandFromFrequency(m_qso.freq);
    if (band.isEmpty()) {
        Prompter::current().warning(QStringLiteral("Frequency possible not correct..."));
        refocus(freqEdit());
        return;
    }
    m_qso.band = band;
    pushFields();
}

void CKorva3View::OnCountrySelChange()
{
    ShowStationInfo();
}

int CKorva3View::selectedModeCode() const
{
    return FormControls::codeAt(m_modeList, m_lists.modeIndex);
}

int CKorva3View::selectedCountryId() const
{
    return std::max(FormControls::codeAt(m_lists.countryList, m_lists.countryList->currentIndex()), 0);
}

// --- Station information and distance -----------------------------------------------

double CKorva3View::GreatCircleDistance(double lat2, double lon2) const
{
    return LocatorMath::GreatCircleDistance(m_ownLatitude, m_ownLongitude, lat2, lon2);
}

double CKorva3View::Bearing(double lat2, double lon2, double arc) const
{
    return LocatorMath::Bearing(m_ownLatitude, m_ownLongitude, lat2, lon2, arc);
}

QString CKorva3View::distanceLine(double lat2, double lon2) const
{
    const double arc = GreatCircleDistance(lat2, lon2);
    return LocatorMath::DistanceLine(arc, Bearing(lat2, lon2, arc));
}

void CKorva3View::ShowStationInfo()
{
    if (!pullFields())
        return;
    const std::optional<ProgramDb::UM_COUNTRYINFO> info = m_doc->GetCountryInfo(selectedCountryId(), m_qso.call);
    if (info) {
        const ProgramDb::UM_COUNTRYINFO &country = *info;
        // The country file counts hours west of UTC; operators read "UTC+1" for Germany.
        const int secondsEast = static_cast<int>(std::lround(-country.gmtDiff * 3600.0));
        m_infoLine1 = QStringLiteral("  ") + country.country + QLatin1Char(' ') + country.countryPrefix
                    + QStringLiteral("  ") + DbDateTime::utcOffsetText(secondsEast) + QStringLiteral("  ")
                    + country.continent;
        m_infoLine2 = distanceLine(country.latitude, country.longitude);
        m_qso.cqZone = country.cqZone;
    } else {
        m_infoLine1 = QStringLiteral("  No country information found for this call...");
        m_infoLine2.clear();
    }
    pushFields();
}

void CKorva3View::OnGridKillFocus()
{
    if (!pullFields())
        return;
    if (m_qso.grid.size() < 4)
        return;
    m_infoLine2 = LocatorMath::IsValidLocator(m_qso.grid)
                    ? distanceLine(LocatorMath::LocatorLatitude(m_qso.grid), LocatorMath::LocatorLongitude(m_qso.grid))
                    : QStringLiteral(" No valid locator");
    pushFields();
}

// The distance line of a grid the form filled in, written straight into its label.
void CKorva3View::showGridDistance()
{
    const QString grid = gridEdit()->text();
    if (grid.size() >= 4 && LocatorMath::IsValidLocator(grid))
        m_infoLine2Label->setText(
            distanceLine(LocatorMath::LocatorLatitude(grid), LocatorMath::LocatorLongitude(grid)));
}

// --- Worked-before list -------------------------------------------------------------

void CKorva3View::setFoundCount(int count)
{
    m_foundCount = QString::number(count);
    m_foundCountLabel->setText(m_foundCount);
}

void CKorva3View::ClearWorkedList()
{
    m_workedList->setRowCount(0);
    setFoundCount(0);
    m_listQuery = ListQuery();
}

void CKorva3View::OnLookupQsos()
{
    showList({ListQuery::Kind::Latest, 30, QString(), 0});
}

void CKorva3View::OnLatestQsos()
{
    showList({ListQuery::Kind::Latest, 500, QString(), 0});
}

void CKorva3View::refreshWorkedList()
{
    showList(m_searchByCountry ? ListQuery{ListQuery::Kind::ByCountry, 0, QString(), selectedCountryId()}
                               : ListQuery{ListQuery::Kind::ByCall, 0, m_qso.call, 0});
}

void CKorva3View::showList(ListQuery query)
{
    ClearWorkedList();
    m_listQuery = query;
    switch (query.kind) {
    case ListQuery::Kind::None: break;
    case ListQuery::Kind::Latest: FillWorkedList(m_doc->LoadLatestQsos(query.count)); break;
    case ListQuery::Kind::ByCall: FillWorkedList(m_doc->FindQsosByCall(query.call)); break;
    case ListQuery::Kind::ByCountry: FillWorkedList(m_doc->FindQsosByCountry(query.dxcc)); break;
    }
}

// The document changed the logbook: the list is read again as it was asked for, and the
// grid of the entity shown follows its statistics.
void CKorva3View::listChanged()
{
    if (!m_initialised)
        return;
    // The QSO marked before stays marked, wherever it now stands; a deleted one is gone.
    const int marked = QsoListColumns::selectedRowId(m_workedList);
    showList(m_listQuery);
    QsoListColumns::selectRowId(m_workedList, marked);
}

void CKorva3View::statisticsChanged(int entity)
{
    if (m_initialised && m_gridEntity >= 0 && (entity == 0 || entity == m_gridEntity))
        showGridLines(m_gridEntity);
}

void CKorva3View::FillWorkedList(const QList<Sqlite3DB::UM_RECORD> &records)
{
    for (const Sqlite3DB::UM_RECORD &record : records) {
        const DbDateTime::ListTexts shown = DbDateTime::listTexts(record.date, record.time);
        m_workedList->insertRow(0);
        UpdateWorkedRow(0, {shown.date, shown.time, record.call, record.sent, record.rcvd, record.freq,
                            QsoModes::shownName(record.mode, record.adifMode, record.adifSubmode),
                            ComboTextById(m_lists.qslSentList, record.qslSent),
                            ComboTextById(m_lists.qslRcvdList, record.qslRcvd)});
        m_workedList->item(0, 0)->setData(Qt::UserRole, record.rowId);
    }
    setFoundCount(static_cast<int>(records.size()));
}

void CKorva3View::UpdateWorkedRow(int row, const QStringList &texts)
{
    for (int column = 0; column < kWorkedColumnCount && column < texts.size(); ++column) {
        QTableWidgetItem *item = m_workedList->item(row, column);
        if (item)
            item->setText(texts.at(column));
        else
            m_workedList->setItem(row, column, new QTableWidgetItem(texts.at(column)));
    }
}

QString CKorva3View::ComboTextById(const QComboBox *list, int code)
{
    return FormControls::textOfCode(list, code);
}

int CKorva3View::selectionMark() const
{
    const QModelIndexList rows = m_workedList->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

// --- Worked/confirmed lines ---------------------------------------------------------

QString CKorva3View::WorkedGridLine(const QList<Sqlite3DB::UM_DXCCREPORT> &rows)
{
    // The grid's columns are the report bands, in the reports' order.
    QStringList cells(ReportBands::kCount, QStringLiteral(" "));
    for (const Sqlite3DB::UM_DXCCREPORT &row : rows) {
        const int band = ReportBands::BandIndex(row.band.toLatin1());
        if (band < 0)
            continue;
        cells[band] = row.countC > 0   ? QStringLiteral("C")
                    : row.countW > 0 ? QStringLiteral("W")
                                     : QStringLiteral(" ");
    }
    QString line = QStringLiteral(" ") + cells.first();
    for (int i = 1; i < ReportBands::kCount; ++i)
        line += (i == ReportBands::kCount - 1 ? QStringLiteral(" \t") : QStringLiteral("\t")) + cells.at(i);
    return line;
}

// Written into the members and straight into their controls, as the form's other
// members may hold values not yet pushed.
void CKorva3View::showGridLines(int dxcc)
{
    m_gridEntity = dxcc;
    const std::array<QList<Sqlite3DB::UM_DXCCREPORT>, 3> grid = m_doc->QueryDxccGrid(dxcc);
    m_workedCw = WorkedGridLine(grid[0]);
    m_workedSsb = WorkedGridLine(grid[1]);
    m_workedDigi = WorkedGridLine(grid[2]);
    m_workedCwLabel->setText(m_workedCw);
    m_workedSsbLabel->setText(m_workedSsb);
    m_workedDigiLabel->setText(m_workedDigi);
}

// --- Change and delete --------------------------------------------------------------

// The QSO of the marked row, read anew from the logbook; the document says so when it
// cannot be read or no longer exists (deleted from another window).
std::optional<Sqlite3DB::UM_RECORD> CKorva3View::readMarkedQso(int &rowId)
{
    const int row = selectionMark();
    if (row < 0)
        return std::nullopt;
    rowId = m_workedList->item(row, 0)->data(Qt::UserRole).toInt();
    return m_doc->ReadQsoToChange(rowId);
}

// The list shows the change when the document tells of it.
void CKorva3View::OnChangeQso()
{
    int rowId = 0;
    const std::optional<Sqlite3DB::UM_RECORD> stored = readMarkedQso(rowId);
    if (!stored)
        return;
    CEditQso dialog(m_doc, *stored, this);
    if (dialog.exec() == QDialog::Accepted)
        m_doc->ChangeQso(rowId, dialog.editedQso());
}

// The list is read again when the document tells of the delete, so no row stays marked
// and a second F8 cannot reach another QSO.
void CKorva3View::OnDeleteQso()
{
    int rowId = 0;
    if (!readMarkedQso(rowId))
        return;
    if (Prompter::current().question(QStringLiteral("Delete selected qso?")) != Prompter::Answer::Ok)
        return;
    m_doc->DeleteQso(rowId);
    emit commandsChanged();
}

PrintedTable CKorva3View::printedTable() const
{
    return PrintedTable::fromTableWidget(QString(), *m_workedList);
}
