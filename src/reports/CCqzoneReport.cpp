#include "CCqzoneReport.h"

#include "document/CKorva3Doc.h"
#include "forms/TablePrinter.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QtMath>
#include <QVBoxLayout>

#include <algorithm>

const int CCqzoneReport::kRowIds[ReportBands::kCount] = {1010, 1011, 1012, 1013, 20,  1015,
                                                         1016, 1017, 1018, 1019, 1020};

namespace {

// Dark blue, the colour the rows are painted in.
const QColor kRowColour(0, 0, 175);
// The room between two columns, in average character widths of the heading.
constexpr double kColumnGapChars = 0.8;

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
    fitColumns();
    if (!document)
        return;
    fillRows(*document);
    connect(document, &CKorva3Doc::changed, this, [this, document] { fillRows(*document); });
}

// A failed read keeps the grid the document already held.
void CCqzoneReport::fillRows(CKorva3Doc &document)
{
    const CqZoneGrid &grid = document.ReadCqZoneGrid();
    for (int row = 0; row < ReportBands::kCount; ++row)
        m_rowTexts[row] = RowText(grid, row);
    update();
    for (QWidget *area : std::as_const(m_rowAreas))
        area->update();
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

QRect CCqzoneReport::headingRect() const
{
    return QRect(m_heading->mapTo(this, QPoint(0, 0)), m_heading->size());
}

void CCqzoneReport::buildForm()
{
    auto *zones = new QGroupBox(this);
    auto *rows = new QGridLayout(zones);
    rows->setVerticalSpacing(0);
    // The zone numbers stand over the rows, in the same columns.
    m_heading = new QWidget(zones);
    m_heading->setObjectName(QStringLiteral("zoneHeading"));
    m_heading->installEventFilter(this);
    rows->addWidget(m_heading, 0, 1);
    for (int row = 0; row < ReportBands::kCount; ++row) {
        rows->addWidget(new QLabel(QStringLiteral("%1m").arg(QLatin1String(ReportBands::kBands[row])), zones),
                        row + 1, 0);
        // An area only gives the row its place; the form paints the row's text into it.
        auto *area = new QWidget(zones);
        area->setObjectName(QString::number(kRowIds[row]));
        area->installEventFilter(this);
        rows->addWidget(area, row + 1, 1);
        m_rowAreas.append(area);
    }

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    TablePrinter::addPrintButtons(buttons, [this] { return printedTable(); });

    auto *form = new QVBoxLayout(this);
    form->addWidget(new QLabel(QStringLiteral("Zones Worked / Confirmed by Band"), this));
    form->addWidget(zones);
    form->addWidget(buttons);
}

// A column holds the widest zone number in the form's font and the widest mark in the
// row font, with some room between columns.
int CCqzoneReport::columnWidth() const
{
    const QFontMetricsF heading(font());
    const QFontMetricsF marks(m_font);
    qreal widest = std::max(marks.horizontalAdvance(QLatin1Char('W')), marks.horizontalAdvance(QLatin1Char('C')));
    for (int zone = 1; zone <= CqZoneGrid::kZones; ++zone)
        widest = std::max(widest, heading.horizontalAdvance(QString::number(zone)));
    return qCeil(widest + kColumnGapChars * heading.averageCharWidth());
}

// The heading and the rows are equally wide, so their columns fall on the same pixels.
void CCqzoneReport::fitColumns()
{
    const int width = CqZoneGrid::kZones * columnWidth();
    m_heading->setFixedSize(width, qCeil(QFontMetricsF(font()).height()) + 4);
    const int rowHeight = qCeil(QFontMetricsF(m_font).height()) + 4;
    for (QWidget *area : std::as_const(m_rowAreas))
        area->setFixedSize(width, rowHeight);
}

QRectF CCqzoneReport::columnRect(int zone, int height) const
{
    const int width = columnWidth();
    return QRectF((zone - 1) * width, 0, width, height);
}

void CCqzoneReport::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange && m_heading)
        fitColumns();
}

bool CCqzoneReport::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        if (watched == m_heading) {
            paintHeading();
            return true;
        }
        const int row = m_rowAreas.indexOf(qobject_cast<QWidget *>(watched));
        if (row >= 0) {
            paintRow(row);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CCqzoneReport::paintHeading()
{
    QPainter painter(m_heading);
    painter.setPen(m_heading->palette().color(QPalette::WindowText));
    for (int zone = 1; zone <= CqZoneGrid::kZones; ++zone)
        painter.drawText(columnRect(zone, m_heading->height()), Qt::AlignCenter, QString::number(zone));
}

// Each of the row's marks, centred in its zone's column.
void CCqzoneReport::paintRow(int row)
{
    QWidget *area = m_rowAreas.at(row);
    QPainter painter(area);
    painter.setFont(m_font);
    painter.setPen(kRowColour);
    const QStringList marks = m_rowTexts.at(row).split(QLatin1Char('\t'));
    for (int zone = 1; zone <= CqZoneGrid::kZones && zone <= marks.size(); ++zone)
        painter.drawText(columnRect(zone, area->height()), Qt::AlignCenter, marks.at(zone - 1));
}

PrintedTable CCqzoneReport::printedTable() const
{
    PrintedTable table;
    table.title = windowTitle();
    table.headings.append(QStringLiteral("Band"));
    for (int zone = 1; zone <= CqZoneGrid::kZones; ++zone)
        table.headings.append(QString::number(zone));
    for (int row = 0; row < ReportBands::kCount; ++row) {
        table.rows.append(QStringList({QStringLiteral("%1m").arg(QLatin1String(ReportBands::kBands[row]))})
                          + m_rowTexts.at(row).split(QLatin1Char('\t')));
    }
    return table;
}
