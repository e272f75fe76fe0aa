#include "ui/frmProgress.h"

#include "core/modNengajo.h"
#include "ui/Look.h"
#include "ui/TextSize.h"
#include "ui/Widgets.h"

#include <QBoxLayout>
#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace {

// The width of the window's lines, in full-width characters.
constexpr int LineColumns = 24;

} // namespace

frmProgress *frmProgress::follow(Job *job, QWidget *parent)
{
    auto *progress = new frmProgress(job, parent);
    // Later, since it may be telling of its キャンセル right now.
    connect(job, &Job::finished, progress, &QObject::deleteLater);
    connect(job, &QObject::destroyed, progress, &QObject::deleteLater);
    return progress;
}

frmProgress::frmProgress(Job *job, QWidget *parent)
    : QDialog(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
            | Qt::MSWindowsFixedSizeDialogHint)
    , m_job(job)
{
    setObjectName(QStringLiteral("frmProgress"));
    setWindowTitle(modNengajo::MessageTitle);
    setWindowModality(Qt::ApplicationModal);
    Look::paintWindowBackground(this);

    lblProgress = Widgets::makeLabel(this, QStringLiteral("lblProgress"), {});
    lblProgress->setWordWrap(false);
    barProgress = Widgets::make<QProgressBar>(this, QStringLiteral("barProgress"), QStringLiteral("進行状況"));
    barProgress->setTextVisible(false);
    cmdProgressCancel = Widgets::makeButton(this, QStringLiteral("cmdProgressCancel"), QStringLiteral("キャンセル"));
    // Enter must not stop the work by chance; Esc and the button do.
    cmdProgressCancel->setAutoDefault(false);
    cmdProgressCancel->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblProgress);
    layout->addWidget(barProgress);
    layout->addLayout(Widgets::buttonRow({cmdProgressCancel}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    TextSize::follow(this, [this] { lblProgress->setFixedWidth(Widgets::textWidth(lblProgress, LineColumns)); });

    tmrProgressShow = new QTimer(this);
    tmrProgressShow->setObjectName(QStringLiteral("tmrProgressShow"));
    tmrProgressShow->setSingleShot(true);
    tmrProgressShow->setInterval(ShowDelayMs);
    connect(tmrProgressShow, &QTimer::timeout, this, &QWidget::show);

    connect(cmdProgressCancel, &QPushButton::clicked, this, &frmProgress::reject);
    connect(job, &Job::stepStarted, this, &frmProgress::setStep);
    connect(job, &Job::progressed, this, &frmProgress::showProgress);
    connect(job, &Job::finished, this, &frmProgress::jobFinished);
    connect(job, &QObject::destroyed, this, &frmProgress::jobFinished);
    setStep({}, {});
    m_waitCursor.emplace();
    tmrProgressShow->start();
}

frmProgress::~frmProgress()
{
    setOrdinaryPointer(false);
}

void frmProgress::setStep(const QString &text, const QString &title)
{
    const QString elided = lblProgress->fontMetrics().elidedText(title, Qt::ElideMiddle, lblProgress->maximumWidth());
    lblProgress->setText(title.isEmpty() ? text : text + u'\n' + elided);
    barProgress->setRange(0, 0);
}

void frmProgress::showProgress(qint64 done, qint64 total)
{
    if (total <= 0) {
        barProgress->setRange(0, 0);
        return;
    }
    // In thousandths, so that any size fits the bar's range.
    barProgress->setRange(0, 1000);
    barProgress->setValue(int(std::clamp<qint64>(done * 1000 / total, 0, 1000)));
}

void frmProgress::reject()
{
    if (m_job)
        m_job->cancel();
}

void frmProgress::jobFinished()
{
    // Gone for good, also from its own timer, before whoever started the job
    // hears that it has ended.
    tmrProgressShow->stop();
    hide();
    setOrdinaryPointer(false);
    m_waitCursor.reset();
}

void frmProgress::setOrdinaryPointer(bool ordinary)
{
    if (ordinary == m_ordinaryPointer)
        return;
    m_ordinaryPointer = ordinary;
    if (auto *pointer = platform::Service<platform::MousePointer>::current())
        pointer->setOrdinaryOverControl(ordinary);
}

// Over キャンセル the ordinary pointer, so that it looks as clickable as it is.
bool frmProgress::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == cmdProgressCancel) {
        if (event->type() == QEvent::Enter)
            setOrdinaryPointer(true);
        else if (event->type() == QEvent::Leave || event->type() == QEvent::Hide)
            setOrdinaryPointer(false);
    }
    return QDialog::eventFilter(watched, event);
}
