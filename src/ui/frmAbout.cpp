#include "ui/frmAbout.h"

#include "ui/Fonts.h"
#include "ui/ProgramIcon.h"
#include "ui/Widgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using Widgets::makeLabel;

frmAbout::frmAbout(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setModal(true);

    m_picIcon = makeLabel(this, QStringLiteral("picIcon"), {});
    m_picIcon->setPixmap(programIcon().pixmap(QSize(48, 48)));
    m_picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    m_lblTitle = makeLabel(this, QStringLiteral("lblTitle"), QStringLiteral("Harovan\u3000Version."));
    m_lblTitle->setFont(Fonts::font(Fonts::UIGothic, 9));
    m_lblTitle->setText(
        m_lblTitle->text() + QString::number(HAROVAN_VERSION_MAJOR) + u'.' + QString::number(HAROVAN_VERSION_MINOR));

    m_lblDescription = makeLabel(this, QStringLiteral("lblDescription"),
        QStringLiteral("当選の確認は、必ず公式の当選番号の発表でもお確かめください。"));

    m_Label1 = makeLabel(
        this, QStringLiteral("Label1"), QStringLiteral("最新版はこちらから。ご意見・ご感想もお待ちしております。"));

    m_lblURL = makeLabel(this, QStringLiteral("lblURL"), QStringLiteral("http://harovan.example.jp/"));
    QFont linkFont = m_lblURL->font();
    linkFont.setUnderline(true);
    m_lblURL->setFont(linkFont);
    m_lblURL->setCursor(Qt::PointingHandCursor);
    // The caption is the address, whatever it says.
    new Link(this, m_lblURL);
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
