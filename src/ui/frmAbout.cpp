#include "ui/frmAbout.h"

#include "ui/Fonts.h"
#include "ui/ProgramIcon.h"
#include "ui/TextSize.h"
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

    QLabel *picIcon = makeLabel(this, QStringLiteral("picIcon"), {}, Qt::AlignTop | Qt::AlignHCenter);
    QLabel *lblTitle = makeLabel(this, QStringLiteral("lblTitle"),
        QStringLiteral("Harovan\u3000Version.%1.%2").arg(HAROVAN_VERSION_MAJOR).arg(HAROVAN_VERSION_MINOR));
    QLabel *lblDescription = makeLabel(this, QStringLiteral("lblDescription"),
        QStringLiteral("当選の確認は、必ず公式の当選番号の発表でもお確かめください。"));
    QLabel *Label1 = makeLabel(
        this, QStringLiteral("Label1"), QStringLiteral("最新版はこちらから。ご意見・ご感想もお待ちしております。"));

    QLabel *lblURL = makeLabel(this, QStringLiteral("lblURL"), QStringLiteral("http://harovan.example.jp/"));
    lblURL->setCursor(Qt::PointingHandCursor);
    // The caption is the address, whatever it says.
    new Link(this, lblURL);
    // As wide as its text, so the pointer is over the link only where the link is.
    lblURL->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    auto *cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto *text = new QVBoxLayout;
    text->addWidget(lblTitle);
    text->addWidget(lblDescription);
    text->addSpacing(12);
    text->addWidget(Label1);
    text->addSpacing(2);
    text->addWidget(lblURL);

    auto *top = new QHBoxLayout;
    top->addWidget(picIcon);
    top->addSpacing(12);
    top->addLayout(text, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(top);
    layout->addSpacing(12);
    layout->addLayout(Widgets::buttonRow({cmdOK}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    TextSize::follow(this, [=, this] {
        const int icon = TextSize::scaled(48);
        picIcon->setPixmap(programIcon().pixmap(QSize(icon, icon)));
        lblTitle->setFont(Fonts::font(Fonts::UIGothic, 9));
        // The dialog's own font, underlined.
        QFont linkFont = font();
        linkFont.setUnderline(true);
        lblURL->setFont(linkFont);
    });

    cmdOK->setFocus();
}
