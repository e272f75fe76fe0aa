#include "ui/frmProgress.h"

#include "platform/waitcursor.h"
#include "ui/TextSize.h"
#include "ui/Widgets.h"
#include "ui/WorkProgress.h"

#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

namespace {

// The width of the window's lines, in full-width characters.
constexpr int LineColumns = 24;

} // namespace

frmProgress::frmProgress(QWidget *parent)
    : QProgressDialog(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
            | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmProgress"));
    cmdProgressCancel = setUpProgressBox(this, QStringLiteral("cmdProgressCancel"));
    cmdProgressCancel->installEventFilter(this);
    lblProgress = Widgets::makeLabel(this, QStringLiteral("lblProgress"), {});
    setLabel(lblProgress);
    barProgress = Widgets::make<QProgressBar>(this, QStringLiteral("barProgress"), QStringLiteral("進行状況"));
    setBar(barProgress);
    TextSize::follow(this, [this] { lblProgress->setFixedWidth(Widgets::textWidth(lblProgress, LineColumns)); });

    connect(this, &QProgressDialog::canceled, &m_control, &platform::TransferControl::cancel);
    connect(&m_control, &platform::TransferControl::progressed, this, &frmProgress::showProgress);
    setStep({});
    // The first value starts the delay afresh: the bar of its own had none yet.
    setValue(0);
}

frmProgress::~frmProgress()
{
    setOrdinaryPointer(false);
}

void frmProgress::setStep(const QString &text, const QString &title)
{
    const QString elided = lblProgress->fontMetrics().elidedText(title, Qt::ElideMiddle, lblProgress->maximumWidth());
    setLabelText(title.isEmpty() ? text : text + u'\n' + elided);
    // Busy until a size is known.
    setRange(0, 0);
}

void frmProgress::showProgress(qint64 received, qint64 total)
{
    if (total <= 0) {
        setRange(0, 0);
        return;
    }
    // In thousandths, so that any size fits the bar's range.
    setRange(0, 1000);
    setValue(int(std::clamp<qint64>(received * 1000 / total, 0, 1000)));
}

// Esc, as the button and the close box, ends the work.
void frmProgress::reject()
{
    emit canceled();
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
    return QProgressDialog::eventFilter(watched, event);
}
