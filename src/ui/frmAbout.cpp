#include "ui/frmAbout.h"

#include "platform/shell.h"
#include "ui/Look.h"
#include "ui/ProgramIcon.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel *makeLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

frmAbout::frmAbout(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setModal(true);
    // The link turns dark grey when the pointer crosses the window's own surface.
    setMouseTracking(true);

    m_picIcon = makeLabel(QStringLiteral("picIcon"), {}, this);
    m_picIcon->setPixmap(programIcon().pixmap(QSize(48, 48)));
    m_picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    m_lblTitle = makeLabel(QStringLiteral("lblTitle"), QStringLiteral("Harovan\u3000Version."), this);
    m_lblTitle->setFont(QFont(QStringLiteral("MS UI Gothic"), 9));
    m_lblTitle->setText(
        m_lblTitle->text() + QString::number(HAROVAN_VERSION_MAJOR) + u'.' + QString::number(HAROVAN_VERSION_MINOR));

    m_lblDescription = makeLabel(QStringLiteral("lblDescription"),
        QStringLiteral("当選の確認は、必ず公式の当選番号の発表でもお確かめください。"), this);

    m_Label1 = makeLabel(
        QStringLiteral("Label1"), QStringLiteral("最新版はこちらから。ご意見・ご感想もお待ちしております。"), this);

    m_lblURL = makeLabel(QStringLiteral("lblURL"), QStringLiteral("http://harovan.example.jp/"), this);
    QFont linkFont = m_lblURL->font();
    linkFont.setUnderline(true);
    m_lblURL->setFont(linkFont);
    m_lblURL->setCursor(Qt::PointingHandCursor);
    m_lblURL->setMouseTracking(true);
    m_lblURL->installEventFilter(this);
    // As wide as its text, so the pointer is over the link only where the link is.
    m_lblURL->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    m_cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);
    m_cmdOK->setAutoDefault(true);
    connect(m_cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto *text = new QVBoxLayout;
    text->addWidget(m_lblTitle);
    text->addWidget(m_lblDescription);
    text->addSpacing(12);
    text->addWidget(m_Label1);
    text->addSpacing(2);
    text->addWidget(m_lblURL);

    auto *top = new QHBoxLayout;
    top->addWidget(m_picIcon);
    top->addSpacing(12);
    top->addLayout(text, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdOK);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(top);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_cmdOK->setFocus();
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_lblURL) {
        if (event->type() == QEvent::MouseMove) {
            setLinkColour(Look::LinkHot);
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton && m_lblURL->rect().contains(mouse->position().toPoint()))
                lblURL_Click();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmAbout::mouseMoveEvent(QMouseEvent *event)
{
    // A move over a label, the picture or the button reaches the window too
    // (those controls pass it on); only the window's own surface counts.
    if (!childAt(event->position().toPoint()))
        setLinkColour(Look::LinkCold);
    QDialog::mouseMoveEvent(event);
}

void frmAbout::setLinkColour(QRgb colour)
{
    Look::setColour(m_lblURL, QPalette::WindowText, colour);
}

void frmAbout::lblURL_Click()
{
    // The caption is the address, whatever it says; the result is not examined.
    platform::Service<platform::Shell>::get().open(m_lblURL->text());
}
