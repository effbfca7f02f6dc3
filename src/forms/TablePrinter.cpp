#include "TablePrinter.h"

#include <QDialogButtonBox>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>

#include <algorithm>
#include <limits>
#include <numeric>

namespace {

constexpr qreal kBodyPoints = 9;
constexpr qreal kTitlePoints = 12;
// The room a line takes, in heights of its font.
constexpr qreal kLineSpacing = 1.25;
// The room between two columns, in average character widths.
constexpr qreal kColumnGapChars = 1.5;
// A table wider than the page is printed in a smaller font, down to this share of the
// usual size; beyond that its columns are narrowed.
constexpr qreal kSmallestScale = 0.6;

QFont printFont(qreal points, bool bold)
{
    QFont font = QGuiApplication::font();
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace

QString TablePrinter::pageLabel(int page, int pages)
{
    return QStringLiteral("Page %1 of %2").arg(page).arg(pages);
}

QList<qreal> TablePrinter::columnWidths(const QFontMetricsF &body, const QFontMetricsF &headings,
                                        qreal pageWidth) const
{
    const qreal gap = kColumnGapChars * body.averageCharWidth();
    QList<qreal> widths;
    for (const QString &heading : m_table.headings)
        widths.append(headings.horizontalAdvance(heading) + gap);
    for (const QStringList &row : m_table.rows) {
        for (int column = 0; column < row.size() && column < widths.size(); ++column)
            widths[column] = std::max(widths.at(column), body.horizontalAdvance(row.at(column)) + gap);
    }
    const qreal total = std::accumulate(widths.cbegin(), widths.cend(), qreal(0));
    if (total > pageWidth) {
        for (qreal &width : widths)
            width *= pageWidth / total;
    }
    return widths;
}

// Each cell's text fills its column but for the half of the gap on its right.
qreal TablePrinter::tableWidth(QPrinter *printer, qreal points) const
{
    const QList<qreal> widths = columnWidths(QFontMetricsF(printFont(points, false), printer),
                                             QFontMetricsF(printFont(points, true), printer),
                                             std::numeric_limits<qreal>::max());
    return std::accumulate(widths.cbegin(), widths.cend(), qreal(0));
}

void TablePrinter::paintRow(QPainter &painter, const QStringList &cells, const QList<qreal> &widths, qreal y,
                            qreal height, qreal gap) const
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    qreal x = 0;
    for (int column = 0; column < widths.size(); ++column) {
        const qreal width = widths.at(column);
        const QString text =
            metrics.elidedText(cells.value(column), Qt::ElideRight, std::max(width - gap / 2, qreal(1)));
        painter.drawText(QRectF(x, y, width, height), Qt::AlignLeft | Qt::AlignVCenter, text);
        x += width;
    }
}

int TablePrinter::paint(QPrinter *printer) const
{
    QPainter painter;
    if (!printer || !painter.begin(printer))
        return 0;
    const QSizeF page = printer->pageRect(QPrinter::DevicePixel).size();
    const QFont titleFont = printFont(kTitlePoints, true);
    const QFontMetricsF titleMetrics(titleFont, printer);
    qreal scale = 1;
    const qreal natural = tableWidth(printer, kBodyPoints);
    if (natural > page.width())
        scale = std::max(page.width() / natural, kSmallestScale);
    const QFont headingFont = printFont(scale * kBodyPoints, true);
    const QFont bodyFont = printFont(scale * kBodyPoints, false);
    const QFontMetricsF headingMetrics(headingFont, printer);
    const QFontMetricsF bodyMetrics(bodyFont, printer);

    const qreal gap = kColumnGapChars * bodyMetrics.averageCharWidth();
    const QList<qreal> widths = columnWidths(bodyMetrics, headingMetrics, page.width());
    const qreal tableWidth = std::accumulate(widths.cbegin(), widths.cend(), qreal(0));
    const qreal line = kLineSpacing * bodyMetrics.height();
    const qreal titleHeight = kLineSpacing * titleMetrics.height();
    // Title, a blank line, the headings with a rule beneath; the page label on the last line.
    const qreal top = titleHeight + 2 * line + line / 4;
    const int rowsPerPage = std::max(1, int((page.height() - top - 2 * line) / line));
    const int rows = int(m_table.rows.size());
    const int pages = std::max(1, (rows + rowsPerPage - 1) / rowsPerPage);

    for (int index = 0; index < pages; ++index) {
        if (index > 0 && !printer->newPage())
            return 0;
        painter.setFont(titleFont);
        painter.drawText(QRectF(0, 0, page.width(), titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         titleMetrics.elidedText(m_table.title, Qt::ElideRight, page.width()));
        painter.setFont(headingFont);
        paintRow(painter, m_table.headings, widths, titleHeight + line, line, gap);
        painter.drawLine(QPointF(0, titleHeight + 2 * line), QPointF(tableWidth, titleHeight + 2 * line));
        painter.setFont(bodyFont);
        const int first = index * rowsPerPage;
        for (int row = first; row < rows && row < first + rowsPerPage; ++row)
            paintRow(painter, m_table.rows.at(row), widths, top + (row - first) * line, line, gap);
        painter.drawText(QRectF(0, page.height() - line, page.width(), line), Qt::AlignHCenter | Qt::AlignVCenter,
                         pageLabel(index + 1, pages));
    }
    return painter.end() ? pages : 0;
}

Prompter::Answer TablePrinter::print(const PrintedTable &table, Prompter::PrintRequest::Kind kind)
{
    QPrinter printer(QPrinter::HighResolution);
    const TablePrinter pages(table);
    bool failed = false;
    Prompter::PrintRequest request;
    request.kind = kind;
    request.title = table.title;
    request.printer = &printer;
    request.paint = [&pages, &failed](QPrinter *target) { failed = pages.paint(target) == 0 || failed; };
    const Prompter::Answer answer = Prompter::current().print(request);
    if (failed) {
        Prompter::current().error(QStringLiteral("%1 could not be printed.").arg(table.title));
        return Prompter::Answer::Cancel;
    }
    return answer;
}

void TablePrinter::addPrintButtons(QDialogButtonBox *buttons, std::function<PrintedTable()> table)
{
    using Kind = Prompter::PrintRequest::Kind;
    for (const auto &[text, kind] : {std::pair{"&Print...", Kind::Print}, std::pair{"Print Pre&view", Kind::Preview}}) {
        QPushButton *button = buttons->addButton(QString::fromLatin1(text), QDialogButtonBox::ActionRole);
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, buttons, [table, kind = kind] { print(table(), kind); });
    }
}
