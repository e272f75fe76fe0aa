#include "ui/Placement.h"

#include <QEvent>
#include <QLayout>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <functional>

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

// Runs its function once the window first shows on screen; then goes.
class AtFirstShow final : public QObject
{
public:
    AtFirstShow(QWidget *window, std::function<void()> run)
        : QObject(window)
        , m_window(window)
        , m_run(std::move(run))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Show && m_window->windowHandle())
            m_window->windowHandle()->installEventFilter(this);
        else if (watched == m_window->windowHandle() && event->type() == QEvent::Expose
            && m_window->windowHandle()->isExposed()) {
            m_window->removeEventFilter(this);
            m_window->windowHandle()->removeEventFilter(this);
            // After the exposure is handled, with the frame it was given.
            QTimer::singleShot(0, m_window, m_run);
            deleteLater();
        }
        return false;
    }

private:
    QWidget *m_window;
    std::function<void()> m_run;
};

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
    // The layout's least size, which the window takes as it shows.
    if (QLayout *layout = window->layout())
        layout->activate();
    const QSize size = window->size().expandedTo(window->minimumSizeHint());
    const QRect placed = besideRect(anchorFrame, size + frame, anchor->screen()->availableGeometry());
    if (placed.size() != size + frame)
        window->resize(placed.size() - frame);
    // A window's position is that of its frame.
    window->move(placed.topLeft());
    if (!window->isVisible())
        atFirstShow(window, [window] {
            if (window->isVisible())
                keepOnScreen(window);
        });
}

void Placement::atFirstShow(QWidget *window, std::function<void()> run)
{
    new AtFirstShow(window, std::move(run));
}

void Placement::keepOnScreen(QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen)
        return;
    const QRect frame = window->frameGeometry();
    const QRect room = screen->availableGeometry();
    const QPoint at = pushedInside(QRect(frame.topLeft(), frame.size().boundedTo(room.size())), room).topLeft();
    if (at != frame.topLeft())
        window->move(at);
}
