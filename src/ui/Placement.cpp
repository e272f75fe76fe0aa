#include "ui/Placement.h"

#include <QScreen>
#include <QWidget>

namespace {

// Room between the two windows' frames.
constexpr int Gap = 8;

// rect moved the least distance that puts it inside available; rect is no larger.
QRect pushedInside(QRect rect, const QRect &available)
{
    rect.moveLeft(std::clamp(rect.left(), available.left(), available.right() - rect.width() + 1));
    rect.moveTop(std::clamp(rect.top(), available.top(), available.bottom() - rect.height() + 1));
    return rect;
}

qint64 area(const QRect &rect)
{
    return rect.isEmpty() ? 0 : qint64(rect.width()) * rect.height();
}

} // namespace

QRect Placement::besideRect(const QRect &anchor, QSize size, const QRect &available)
{
    size = size.boundedTo(available.size());
    const QRect candidates[] = {
        QRect(QPoint(anchor.right() + 1 + Gap, anchor.top()), size),
        QRect(QPoint(anchor.left() - Gap - size.width(), anchor.top()), size),
        QRect(QPoint(anchor.left(), anchor.bottom() + 1 + Gap), size),
        QRect(QPoint(anchor.left(), anchor.top() - Gap - size.height()), size),
    };
    QRect best;
    qint64 bestCovered = -1;
    for (const QRect &candidate : candidates) {
        const QRect inside = pushedInside(candidate, available);
        const qint64 covered = area(inside & anchor);
        if (bestCovered < 0 || covered < bestCovered) {
            best = inside;
            bestCovered = covered;
        }
    }
    return best;
}

void Placement::placeBeside(QWidget *window, const QWidget *anchor)
{
    if (window->testAttribute(Qt::WA_Moved) || !anchor->isVisible() || !anchor->screen())
        return;
    // A window not yet shown has no frame of its own: it gets the main window's.
    const QRect anchorFrame = anchor->frameGeometry();
    const QSize frame = anchorFrame.size() - anchor->geometry().size();
    window->ensurePolished();
    const QSize size = window->size().expandedTo(window->minimumSizeHint());
    const QRect placed = besideRect(anchorFrame, size + frame, anchor->screen()->availableGeometry());
    if (placed.size() != size + frame)
        window->resize(placed.size() - frame);
    // A window's position is that of its frame.
    window->move(placed.topLeft());
}
