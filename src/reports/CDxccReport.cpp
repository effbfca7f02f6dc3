#include "CDxccReport.h"

#include "document/CKorva3Doc.h"
#include "forms/TablePrinter.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

const int CDxccReport::kCellIds[ReportBands::kCount][4] = {
    {1013, 1014, 1021, 1049}, // 160m
    {1017, 1018, 1039, 1051}, // 80m
    {1019, 1020, 1040, 1052}, // 40m
    {1022, 1023, 1041, 1053}, // 30m
    {1024, 1025, 1042, 1054}, // 20m
    {1026, 1031, 1043, 1055}, // 17m
    {1027, 1033, 1044, 1056}, // 15m
    {1028, 1034, 1045, 1057}, // 12m
    {1029, 1035, 1046, 1058}, // 10m
    {1030, 1036, 1047, 1059}, // 6m
    {1032, 1037, 1048, 1060}, // 2m
};

const int CDxccReport::kModeTotalIds[DxccTotals::kModes] = {1015, 1016, 1038};

namespace {

constexpr int kFieldWidth = 70;

QString pairText(const DxccTotals::Pair &pair)
{
    return QStringLiteral("%1/%2").arg(pair.worked).arg(pair.confirmed);
}

} // namespace

CDxccReport::CDxccReport(QWidget *parent, CKorva3Doc *document)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Dxcc Report"));
    buildForm();
    if (!document)
        return;
    // A failed read keeps the document's earlier totals, which start as zeros. The
    // figures follow every change of the logbook while the report is open.
    fillFields(document->ReadDxccTotals());
    connect(document, &CKorva3Doc::changed, this, [this, document] { fillFields(document->ReadDxccTotals()); });
}

QString CDxccReport::fieldText(int controlId) const
{
    const QLineEdit *field = m_fields.value(controlId);
    return field ? field->text() : QString();
}

QLineEdit *CDxccReport::addValueField(int controlId)
{
    auto *field = new QLineEdit(this);
    field->setObjectName(QString::number(controlId));
    field->setReadOnly(true);
    field->setAlignment(Qt::AlignCenter);
    field->setFocusPolicy(Qt::NoFocus);
    field->setFixedWidth(kFieldWidth);
    m_fields.insert(controlId, field);
    return field;
}

void CDxccReport::buildForm()
{
    auto *cells = new QGridLayout;
    // Each value column is as wide as two tab stops of the heading, so that the heading's
    // words stand over their columns.
    const int column = 2 * fontMetrics().horizontalAdvance(QLatin1Char('x')) * 8;
    auto *heading = new QLabel(QStringLiteral("CW\t\tSSB\t\tRTTY\t\tBand Totals"), this);
    heading->setObjectName(QStringLiteral("heading"));
    cells->addWidget(heading, 0, 1, 1, 4);
    for (int band = 0; band < ReportBands::kCount; ++band) {
        cells->addWidget(new QLabel(QStringLiteral("%1m").arg(QLatin1String(ReportBands::kBands[band])), this),
                         band + 1, 0);
        for (int c = 0; c < 4; ++c)
            cells->addWidget(addValueField(kCellIds[band][c]), band + 1, c + 1, Qt::AlignLeft);
    }
    const int modeRow = ReportBands::kCount + 1;
    cells->addWidget(new QLabel(QStringLiteral("Mode Totals"), this), modeRow, 0);
    for (int m = 0; m < DxccTotals::kModes; ++m)
        cells->addWidget(addValueField(kModeTotalIds[m]), modeRow, m + 1, Qt::AlignLeft);
    for (int c = 1; c <= 4; ++c)
        cells->setColumnMinimumWidth(c, qMax(column, kFieldWidth));

    auto *totals = new QVBoxLayout;
    totals->addWidget(new QLabel(QStringLiteral("Total Qso's"), this), 0, Qt::AlignHCenter);
    QLineEdit *totalQsos = addValueField(kTotalQsosId);
    totalQsos->setFrame(true);
    totals->addWidget(totalQsos, 0, Qt::AlignHCenter);
    totals->addSpacing(12);
    totals->addWidget(new QLabel(QStringLiteral("Mixed Mode Totals"), this), 0, Qt::AlignHCenter);
    totals->addWidget(addValueField(kMixedId), 0, Qt::AlignHCenter);
    totals->addStretch(1);

    auto *body = new QHBoxLayout;
    body->addLayout(cells);
    body->addSpacing(16);
    body->addLayout(totals);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    TablePrinter::addPrintButtons(buttons, [this] { return printedTable(); });

    auto *form = new QVBoxLayout(this);
    form->addLayout(body);
    auto *footer = new QLabel(QStringLiteral("DXCC Counties Worked/Confirmed by Band and Mode"), this);
    footer->setObjectName(QStringLiteral("footer"));
    form->addWidget(footer);
    form->addWidget(buttons);
}

void CDxccReport::fillFields(const DxccTotals &totals)
{
    for (int band = 0; band < ReportBands::kCount; ++band) {
        for (int c = 0; c < 4; ++c)
            m_fields.value(kCellIds[band][c])->setText(pairText(totals.cells[band][c]));
    }
    for (int m = 0; m < DxccTotals::kModes; ++m)
        m_fields.value(kModeTotalIds[m])->setText(pairText(totals.modeTotals[m]));
    m_fields.value(kTotalQsosId)->setText(QString::number(totals.totalQsos));
    m_fields.value(kMixedId)->setText(pairText(totals.mixed));
}

PrintedTable CDxccReport::printedTable() const
{
    PrintedTable table;
    table.title = windowTitle();
    table.headings = QStringList({QStringLiteral("Band"), QStringLiteral("CW"), QStringLiteral("SSB"),
                                  QStringLiteral("RTTY"), QStringLiteral("Band Totals")});
    for (int band = 0; band < ReportBands::kCount; ++band) {
        QStringList row({QStringLiteral("%1m").arg(QLatin1String(ReportBands::kBands[band]))});
        for (int id : kCellIds[band])
            row.append(fieldText(id));
        table.rows.append(row);
    }
    QStringList modes({QStringLiteral("Mode Totals")});
    for (int id : kModeTotalIds)
        modes.append(fieldText(id));
    table.rows.append(modes);
    table.rows.append({QStringLiteral("Mixed Mode Totals"), QString(), QString(), QString(), fieldText(kMixedId)});
    table.rows.append({QStringLiteral("Total Qso's"), QString(), QString(), QString(), fieldText(kTotalQsosId)});
    return table;
}
