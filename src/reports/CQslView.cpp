#include "CQslView.h"

#include "QslListTexts.h"
#include "document/CKorva3Doc.h"
#include "forms/CEditQso.h"
#include "forms/QsoListColumns.h"
#include "forms/UpperCaseValidator.h"
#include "platform/CommandIds.h"
#include "platform/DbDateTime.h"
#include "platform/Prompter.h"
#include "store/QsoModes.h"

#include <QAbstractItemView>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The edit dialog of the logbook windows.
std::optional<Sqlite3DB::UM_RECORD> runEditDialog(CKorva3Doc *document, const Sqlite3DB::UM_RECORD &qso,
                                                  QWidget *parent)
{
    // The dialog's lists come from the document; a QSL window may be the first to need them.
    if (document->m_modes.isEmpty())
        document->LoadReferenceLists();
    CEditQso dialog(document, qso, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.editedQso();
}

// The columns after date and time, as both the filled and the rewritten rows show them.
QStringList qsoTexts(const Sqlite3DB::UM_RECORD &r, const QString &date, const QString &time)
{
    return {date,
            time,
            r.call,
            r.sent,
            r.rcvd,
            r.freq,
            QsoModes::shownName(r.mode, r.adifMode, r.adifSubmode),
            QslListTexts::QslSentText(r.qslSent),
            QslListTexts::QslRcvdText(r.qslRcvd)};
}

bool isSpaceKey(const QEvent *event)
{
    const auto *key = static_cast<const QKeyEvent *>(event);
    return key->key() == Qt::Key_Space && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

// Today as ADIF writes a date.
QByteArray adifToday()
{
    return CQslView::s_clock().date().toString(QStringLiteral("yyyyMMdd")).toLatin1();
}

} // namespace

QDateTime (*CQslView::s_clock)() = &QDateTime::currentDateTimeUtc;

CQslView::CQslView(CKorva3Doc *document, QWidget *parent)
    : QWidget(parent)
    , m_doc(document)
    , m_editQso(runEditDialog)
{
    buildForm();
    // Whatever changed the logbook (this window, another one, another program), the
    // list of the last lookup is read again.
    connect(m_doc, &CKorva3Doc::changed, this, [this] { lookUpAgain(); });
}

// --- The form -----------------------------------------------------------------------

void CQslView::buildForm()
{
    auto *lookupFrame = new QGroupBox(QStringLiteral("Lookup qso by call"), this);
    m_lookupField = new QLineEdit(lookupFrame);
    m_lookupField->setObjectName(QStringLiteral("1036"));
    m_lookupField->setMaxLength(kLookupLimit);
    m_lookupField->setValidator(new UpperCaseValidator(m_lookupField));
    m_lookupField->installEventFilter(this);
    auto *lookupLayout = new QVBoxLayout(lookupFrame);
    lookupLayout->addWidget(m_lookupField);

    m_lookupButton = new QPushButton(QStringLiteral("Lookup"), this);
    m_lookupButton->setObjectName(QStringLiteral("1035"));
    m_lookupButton->setAutoDefault(false);
    connect(m_lookupButton, &QPushButton::clicked, this, [this] { OnLookupQsos(); });
    m_qslRcvdButton = new QPushButton(QStringLiteral("Qsl Rcvd"), this);
    m_qslRcvdButton->setObjectName(QStringLiteral("1037"));
    m_qslRcvdButton->setAutoDefault(false);
    m_qslRcvdButton->setEnabled(false);
    connect(m_qslRcvdButton, &QPushButton::clicked, this, [this] { SetQslReceived(kQslYes); });
    m_qslSentButton = new QPushButton(QStringLiteral("Qsl Sent"), this);
    m_qslSentButton->setAutoDefault(false);
    m_qslSentButton->setEnabled(false);
    connect(m_qslSentButton, &QPushButton::clicked, this, [this] { SetQslSent(); });

    m_foundCountField = new QLabel(this);
    m_foundCountField->setObjectName(QStringLiteral("1081"));
    m_foundCountField->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_foundCountField->setAlignment(Qt::AlignCenter);
    m_foundCountField->setMinimumWidth(60);

    m_qsoList = new QTableWidget(0, QsoListColumns::kCount, this);
    m_qsoList->setObjectName(QStringLiteral("1034"));
    m_qsoList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_qsoList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_qsoList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_qsoList->setShowGrid(true);
    m_qsoList->setWordWrap(false);
    m_qsoList->verticalHeader()->hide();
    m_qsoList->verticalHeader()->setDefaultSectionSize(m_qsoList->fontMetrics().height() + 4);
    m_qsoList->horizontalHeader()->setSectionsMovable(true);
    QsoListColumns::setUp(m_qsoList);
    connect(m_qsoList, &QTableWidget::itemSelectionChanged, this, [this] {
        m_qslRcvdButton->setEnabled(selectedRow() >= 0);
        m_qslSentButton->setEnabled(selectedRow() >= 0);
        emit commandsChanged();
    });
    connect(m_qsoList, &QTableWidget::cellDoubleClicked, this, [this] {
        if (m_editQso)
            OnChangeQso();
    });

    auto *top = new QGridLayout;
    top->addWidget(lookupFrame, 0, 0, 2, 1);
    top->addWidget(m_lookupButton, 0, 1);
    top->addWidget(m_qslRcvdButton, 1, 1);
    top->addWidget(m_qslSentButton, 1, 2);
    auto *foundLabel = new QLabel(QStringLiteral("Total qso's found:"), this);
    foundLabel->setMinimumWidth(foundLabel->sizeHint().width()); // never cut
    top->addWidget(foundLabel, 0, 3, Qt::AlignRight);
    top->addWidget(m_foundCountField, 1, 3, Qt::AlignRight);
    top->setColumnStretch(0, 1);

    auto *form = new QVBoxLayout(this);
    form->addLayout(top);
    form->addWidget(m_qsoList, 1);
}

bool CQslView::pullFields()
{
    const QString call = m_lookupField->text();
    if (call.size() > kLookupLimit) {
        Prompter::current().warning(QStringLiteral("Please enter no more than %1 characters.").arg(kLookupLimit));
        m_lookupField->setFocus();
        return false;
    }
    m_lookupCall = call;
    return true;
}

void CQslView::pushFields()
{
    if (m_lookupField->text() != m_lookupCall)
        m_lookupField->setText(m_lookupCall);
    m_foundCountField->setText(m_foundCount);
}

QString CQslView::foundCountText() const
{
    return m_foundCountField->text();
}

bool CQslView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_lookupField && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)
        && isSpaceKey(event)) {
        // Not claimed as text, so the window's key runs; never typed into the call.
        event->ignore();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// --- Commands -----------------------------------------------------------------------

bool CQslView::handlesCommand(int id) const
{
    switch (id) {
    case ID_CLEAR_FORM:
    case ID_LOOKUP_QSOS:
    case ID_QSL_RCVD_YES:
    case ID_QSL_RCVD_NO:
        return true;
    case ID_CHANGE_QSO:
        return static_cast<bool>(m_editQso);
    default:
        return false;
    }
}

bool CQslView::commandEnabled(int id) const
{
    if (id == ID_CHANGE_QSO)
        return selectedRow() >= 0;
    return true;
}

void CQslView::onCommand(int id)
{
    switch (id) {
    case ID_CLEAR_FORM:
        OnClearForm();
        break;
    case ID_LOOKUP_QSOS:
        OnLookupQsos();
        break;
    case ID_QSL_RCVD_YES:
        SetQslReceived(kQslYes);
        break;
    case ID_QSL_RCVD_NO:
        SetQslReceived(kQslNo);
        break;
    case ID_CHANGE_QSO:
        OnChangeQso();
        break;
    default:
        break;
    }
}

void CQslView::OnClearForm()
{
    ClearQsoList();
    m_lookedUp = false;
    m_lookupCall.clear();
    pushFields();
    m_qslRcvdButton->setEnabled(false);
    m_qslSentButton->setEnabled(false);
    m_lookupField->setFocus();
}

void CQslView::OnLookupQsos()
{
    ClearQsoList();
    if (!pullFields())
        return;
    m_lookedUp = true;
    m_listedCall = m_lookupCall;
    // An empty field matches every call: the latest QSOs of the logbook.
    m_found = m_doc->FindQsosByCall(m_listedCall);
    FillQsoList();
    pushFields();
}

// The last lookup read again, the same QSO marked as before.
void CQslView::lookUpAgain()
{
    if (!m_lookedUp)
        return;
    const int marked = QsoListColumns::selectedRowId(m_qsoList);
    ClearQsoList();
    m_found = m_doc->FindQsosByCall(m_listedCall);
    FillQsoList();
    m_foundCountField->setText(m_foundCount);
    QsoListColumns::selectRowId(m_qsoList, marked);
}

void CQslView::SetQslReceived(int value)
{
    const int row = selectedRow();
    if (row < 0)
        return;
    std::optional<Sqlite3DB::UM_RECORD> changed = readRowQso(row);
    if (!changed)
        return;
    changed->qslRcvd = value;
    QList<Sqlite3DB::UM_QSOFIELD> day;
    if (value == kQslYes)
        day.append({changed->rowId, QByteArrayLiteral("QSLRDATE"), adifToday()});
    m_doc->ChangeQso(changed->rowId, *changed, day);
}

void CQslView::SetQslSent()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    std::optional<Sqlite3DB::UM_RECORD> changed = readRowQso(row);
    if (!changed)
        return;
    changed->qslSent = kQslSentYes;
    m_doc->ChangeQso(changed->rowId, *changed, {{changed->rowId, QByteArrayLiteral("QSLSDATE"), adifToday()}});
}

void CQslView::OnChangeQso()
{
    const int row = selectedRow();
    if (row < 0 || !m_editQso)
        return;
    const std::optional<Sqlite3DB::UM_RECORD> stored = readRowQso(row);
    if (!stored)
        return;
    const std::optional<Sqlite3DB::UM_RECORD> changed = m_editQso(m_doc, *stored, this);
    if (changed)
        m_doc->ChangeQso(stored->rowId, *changed);
}

std::optional<Sqlite3DB::UM_RECORD> CQslView::readRowQso(int row)
{
    // A QSO deleted since the lookup is refused: acting on it would count an empty QSO
    // in the statistics.
    return m_doc->ReadQsoToChange(m_qsoList->item(row, 0)->data(Qt::UserRole).toInt());
}

// --- The list -----------------------------------------------------------------------

void CQslView::ClearQsoList()
{
    m_qsoList->setRowCount(0);
    emit commandsChanged();
    m_foundCount = QStringLiteral("0");
    m_foundCountField->setText(m_foundCount);
    m_found.clear();
}

void CQslView::FillQsoList()
{
    // The records come oldest first; each goes on top, so the newest ends up first.
    for (const Sqlite3DB::UM_RECORD &record : std::as_const(m_found)) {
        m_qsoList->insertRow(0);
        const DbDateTime::ListTexts shown = DbDateTime::listTexts(record.date, record.time);
        setRowTexts(0, qsoTexts(record, shown.date, shown.time));
        m_qsoList->item(0, 0)->setData(Qt::UserRole, record.rowId);
    }
    m_foundCount = QString::number(m_found.size());
}

void CQslView::setRowTexts(int row, const QStringList &texts)
{
    for (int c = 0; c < texts.size(); ++c) {
        QTableWidgetItem *item = m_qsoList->item(row, c);
        if (!item) {
            item = new QTableWidgetItem;
            m_qsoList->setItem(row, c, item);
        }
        item->setText(texts.at(c));
    }
}

int CQslView::selectedRow() const
{
    const QModelIndexList rows = m_qsoList->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}
