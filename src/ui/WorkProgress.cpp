#include "ui/WorkProgress.h"

#include "core/modNengajo.h"
#include "platform/stoprequest.h"
#include "ui/Look.h"

#include <QCoreApplication>
#include <QPushButton>

#include <limits>

namespace {

// The windows are painted and the box's button heard this often while the work goes on.
constexpr qint64 EventsEveryMs = 50;

} // namespace

QPushButton *setUpProgressBox(QProgressDialog *box, const QString &cancelName)
{
    box->setWindowTitle(modNengajo::MessageTitle);
    box->setWindowModality(Qt::ApplicationModal);
    Look::paintWindowBackground(box);
    box->setMinimumDuration(WorkProgress::ShowDelayMs);
    // The box stays until the work is over, whatever the count says.
    box->setAutoReset(false);
    box->setAutoClose(false);
    // The box's own button: Qt 6.4's setCancelButton() leaves the first
    // button's Esc shortcut beside the new one's, and with two Esc does nothing.
    box->setCancelButtonText(QStringLiteral("キャンセル"));
    auto *cancel = box->findChild<QPushButton *>();
    cancel->setObjectName(cancelName);
    Look::setColour(cancel, QPalette::Button, Look::ButtonBackground);
    // Enter must not stop the work by chance; Esc and the button do.
    cancel->setAutoDefault(false);
    return cancel;
}

WorkProgress::WorkProgress(const QString &objectName, QWidget *parent)
    : QProgressDialog(parent)
{
    setObjectName(objectName);
    setUpProgressBox(this, objectName + QStringLiteral("Cancel"));
    m_started.start();
    m_sinceEvents.start();
}

void WorkProgress::setStep(const QString &text, qint64 total)
{
    setLabelText(text);
    setMaximum(static_cast<int>(std::clamp<qint64>(total, 1, std::numeric_limits<int>::max())));
    // A new count starts from nothing.
    QProgressDialog::setValue(minimum());
    // The new words show at once, before a step that may take a while.
    if (isVisible())
        QCoreApplication::processEvents();
}

bool WorkProgress::advance(qint64 done)
{
    if (wasCanceled() || platform::stopRequested())
        return false;
    // Qt shows the box by its estimate of what remains; work that tells of
    // no new step for a while (one long text) shows it by the clock.
    QProgressDialog::setValue(static_cast<int>(std::clamp<qint64>(done, minimum(), maximum())));
    if (!isVisible() && m_started.hasExpired(ShowDelayMs))
        forceShow();
    if (isVisible() && m_sinceEvents.hasExpired(EventsEveryMs)) {
        QCoreApplication::processEvents();
        m_sinceEvents.restart();
    }
    return !wasCanceled() && !platform::stopRequested();
}

void WorkProgress::reject()
{
    cancel();
}
