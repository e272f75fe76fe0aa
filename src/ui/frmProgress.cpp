#include "ui/frmProgress.h"

#include "core/modNengajo.h"
#include "platform/waitcursor.h"
#include "ui/Look.h"
#include "ui/TextSize.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
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
    : QDialog(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
            | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmProgress"));
    setWindowTitle(modNengajo::MessageTitle);
    setWindowModality(Qt::ApplicationModal);
    Look::paintWindowBackground(this);

    lblProgress = Widgets::makeLabel(this, QStringLiteral("lblProgress"), {});
    lblProgressTitle = Widgets::makeLabel(this, QStringLiteral("lblProgressTitle"), {});
    barProgress = new QProgressBar(this);
    barProgress->setObjectName(QStringLiteral("barProgress"));
    barProgress->setAccessibleName(QStringLiteral("進行状況"));
    cmdProgressCancel = Widgets::makeButton(this, QStringLiteral("cmdProgressCancel"), QStringLiteral("キャンセル"));
    // Enter must not stop a transfer by chance; Esc and the button do.
    cmdProgressCancel->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdProgressCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblProgress);
    layout->addWidget(lblProgressTitle);
    layout->addWidget(barProgress);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    TextSize::growSpacing(this, 1);
    applySizes();

    connect(cmdProgressCancel, &QPushButton::clicked, &m_control, &platform::TransferControl::cancel);
    connect(&m_control, &platform::TransferControl::progressed, this, &frmProgress::showProgress);
    m_showTimer.setSingleShot(true);
    connect(&m_showTimer, &QTimer::timeout, this, [this] {
        show();
        raise();
        activateWindow();
    });
    m_showTimer.start(ShowDelayMs);
    // Until it goes, this window alone takes the user's input, shown yet or not.
    qApp->installEventFilter(this);
    setStep({});
}

bool frmProgress::event(QEvent *event)
{
    const bool done = QDialog::event(event);
    if (event->type() == QEvent::ApplicationFontChange)
        applySizes();
    return done;
}

void frmProgress::applySizes()
{
    const int width = Widgets::textWidth(lblProgress, LineColumns);
    for (QWidget *line : {static_cast<QWidget *>(lblProgress), static_cast<QWidget *>(lblProgressTitle),
             static_cast<QWidget *>(barProgress)})
        line->setFixedWidth(width);
}

frmProgress::~frmProgress()
{
    qApp->removeEventFilter(this);
    setOrdinaryPointer(false);
}

void frmProgress::setStep(const QString &text, const QString &title)
{
    lblProgress->setText(text);
    lblProgressTitle->setText(
        lblProgressTitle->fontMetrics().elidedText(title, Qt::ElideMiddle, lblProgressTitle->maximumWidth()));
    lblProgressTitle->setVisible(!title.isEmpty());
    // Busy until a size is known.
    barProgress->setRange(0, 0);
    barProgress->setValue(0);
}

void frmProgress::showProgress(qint64 received, qint64 total)
{
    if (total <= 0) {
        barProgress->setRange(0, 0);
        return;
    }
    // In thousandths, so that any size fits the bar's range.
    barProgress->setRange(0, 1000);
    barProgress->setValue(int(std::clamp<qint64>(received * 1000 / total, 0, 1000)));
}

void frmProgress::closeEvent(QCloseEvent *event)
{
    m_control.cancel();
    event->accept();
}

void frmProgress::reject()
{
    m_control.cancel();
}

void frmProgress::setOrdinaryPointer(bool ordinary)
{
    if (ordinary == m_ordinaryPointer)
        return;
    m_ordinaryPointer = ordinary;
    if (auto *pointer = platform::Service<platform::MousePointer>::current())
        pointer->setOrdinaryOverControl(ordinary);
}

bool frmProgress::isInputForAnotherWindow(QObject *watched, const QEvent *event) const
{
    switch (event->type()) {
    case QEvent::Shortcut:
        // Sent by the shortcut map to actions and shortcuts, never spontaneous.
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::Close: // a close box; the program closing sends its own
        if (!event->spontaneous())
            return false;
        break;
    default:
        return false;
    }
    const auto *widget = qobject_cast<const QWidget *>(watched);
    if (!widget)
        return event->type() == QEvent::Shortcut;
    return widget->window() != this;
}

bool frmProgress::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == cmdProgressCancel) {
        if (event->type() == QEvent::Enter)
            setOrdinaryPointer(true);
        else if (event->type() == QEvent::Leave || event->type() == QEvent::Hide)
            setOrdinaryPointer(false);
    }
    if (isInputForAnotherWindow(watched, event)) {
        // An ignored close event leaves its window open.
        event->ignore();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
