#include "MdiArrangement.h"

#include <QtMath>

#include <algorithm>

namespace MdiArrangement {

namespace {

// The smallest share of the area a cascaded window keeps, so that later steps do not
// squeeze it to a title bar.
constexpr int kCascadeMinimumShare = 2;

} // namespace

QList<QRect> tile(const QRect &area, int count)
{
    QList<QRect> rects;
    if (count <= 0 || area.isEmpty())
        return rects;
    const int rows = qCeil(qSqrt(count));
    const int shortRows = rows - count % rows; // rows with count / rows windows
    int top = area.top();
    for (int row = 0; row < rows; ++row) {
        const int inRow = count / rows + (count % rows != 0 && row >= shortRows ? 1 : 0);
        if (inRow == 0)
            continue;
        const int bottom = area.top() + (row + 1) * area.height() / rows;
        int left = area.left();
        for (int column = 0; column < inRow; ++column) {
            const int right = area.left() + (column + 1) * area.width() / inRow;
            rects.append(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
            left = right;
        }
        top = bottom;
    }
    return rects;
}

QList<QRect> cascade(const QRect &area, const QList<QSize> &sizes, int step)
{
    QList<QRect> rects;
    if (area.isEmpty())
        return rects;
    step = std::max(step, 1);
    // How many steps fit before a window would get less than its share of the area.
    const int room = std::min(area.width(), area.height()) / kCascadeMinimumShare;
    const int steps = std::max(1, room / step + 1);
    for (int i = 0; i < sizes.size(); ++i) {
        const int offset = (i % steps) * step;
        const QPoint topLeft = area.topLeft() + QPoint(offset, offset);
        const QSize size(std::min(sizes.at(i).width(), area.right() + 1 - topLeft.x()),
                         std::min(sizes.at(i).height(), area.bottom() + 1 - topLeft.y()));
        rects.append(QRect(topLeft, size));
    }
    return rects;
}

} // namespace MdiArrangement
