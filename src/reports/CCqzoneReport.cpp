#include "CCqzoneReport.h"

#include "document/CKorva3Doc.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTextOption>
#include <QtMath>
#include <QVBoxLayout>

const int CCqzoneReport::kRowIds[ReportBands::kCount] = {1010, 1011, 1012, 1013, 20,  1015,
                                                         1016, 1017, 1018, 1019, 1020};

namespace {

const char kZoneHeading[] =
    "1    2    3    4    5    6    7    8    9   10  11  12  13  14  15  16  17  18  19  20  21  22  23  24  25  "
    "26  27  28  29  30  31  32  33  34  35  36  37  38  39  40";

// Dark blue, the colour the rows are painted in.
const QColor kRowColour(0, 0, 175);
// Tab stops every three average character widths of the row font.
constexpr int kTabWidthChars = 3;

} // namespace

CCqzoneReport::CCqzoneReport(QWidget *parent, CKorva3Doc *document)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("CQ zone Report"));
    m_font = QFont(QStringLiteral("Arial"));
    m_font.setPixelSize(16);
    m_font.setWeight(QFont::Normal);
    for (int row = 0; row < ReportBands::kCount; ++row)
        m_rowTexts.append(QString());
    buildForm();
    if (!document)
        return;
    // A failed read keeps the grid the document already held.
    const CqZoneGrid &grid = document->ReadCqZoneGrid();
    for (int row = 0; row < ReportBands::kCount; ++row)
        m_rowTexts[row] = RowText(grid, row);
}

QString CCqzoneReport::RowText(const CqZoneGrid &grid, int row)
{
    QString text;
    text.reserve(2 * CqZoneGrid::kZones);
    for (int zone = 0; zone < CqZoneGrid::kZones; ++zone) {
        if (zone > 0)
            text += QLatin1Char('\t');
        const char mark = grid.marks[row][zone];
        text += QLatin1Char(mark == '\0' ? ' ' : mark);
    }
    return text;
}

QRect CCqzoneReport::rowRect(int row) const
{
    const QWidget *area = m_rowAreas.value(row);
    if (!area)
        return {};
    return QRect(area->mapTo(this, QPoint(0, 0)), area->size());
}

void CCqzoneReport::buildForm()
{
    const QFontMetricsF metrics(m_font);
    const int rowWidth = qCeil(CqZoneGrid::kZones * kTabWidthChars * metrics.averageCharWidth()) + 8;
    const int rowHeight = qCeil(metrics.height()) + 4;

    auto *zones = new QGroupBox(QLatin1String(kZoneHeading), this);
    auto *rows = new QGridLayout(zones);
    rows->setVerticalSpacing(0);
    for (int row = 0; row < ReportBands::kCount; ++row) {
        rows->addWidget(new QLabel(QStringLiteral("%1m").arg(QLatin1String(ReportBands::kBands[row])), zones), row,
                        0);
        // An area only gives the row its place; the form paints the row's text into it.
        auto *area = new QWidget(zones);
        area->setObjectName(QString::number(kRowIds[row]));
        area->setFixedSize(rowWidth, rowHeight);
        area->installEventFilter(this);
        rows->addWidget(area, row, 1);
        m_rowAreas.append(area);
    }

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *form = new QVBoxLayout(this);
    form->addWidget(new QLabel(QStringLiteral("Zones Worked / Confirmed by Band"), this));
    form->addWidget(zones);
    form->addWidget(buttons);
}

bool CCqzoneReport::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        const int row = m_rowAreas.indexOf(qobject_cast<QWidget *>(watched));
        if (row >= 0) {
            paintRow(row);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CCqzoneReport::paintRow(int row)
{
    QWidget *area = m_rowAreas.at(row);
    QPainter painter(area);
    painter.setFont(m_font);
    painter.setPen(kRowColour);
    QTextOption option(Qt::AlignLeft | Qt::AlignVCenter);
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(kTabWidthChars * QFontMetricsF(m_font).averageCharWidth());
    painter.drawText(QRectF(area->rect()), m_rowTexts.at(row), option);
}
