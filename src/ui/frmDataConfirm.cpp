#include "ui/frmDataConfirm.h"

#include "core/modNengajo.h"
#include "ui/Fonts.h"
#include "ui/Look.h"
#include "ui/Widgets.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString indexed(const QString &stem, int k)
{
    return stem + QStringLiteral("_%1").arg(k);
}

} // namespace

frmDataConfirm::frmDataConfirm(const DataEditInput &input, QWidget *parent)
    : QDialog(parent)
{
    using Widgets::makeLabel;
    setObjectName(QStringLiteral("frmDataConfirm"));
    setWindowTitle(QStringLiteral("当選番号の確認"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Look::paintWindowBackground(this);

    QLabel *type = makeLabel(this, QStringLiteral("lblConfirmType"),
        modNengajo::TypeCaptionText(input.strType.trimmed(), modNengajo::DataEditYear(input)));
    type->setFont(Fonts::font(Fonts::UIGothic, 11.25));
    QLabel *note = makeLabel(this, QStringLiteral("lblConfirmNote"),
        QStringLiteral("公表された当選番号と見比べてください") + modNengajo::CrLf
            + QStringLiteral("１けたでも違うと、当たったはがきを「はずれ」と判定してしまいます。"));

    const QFont large = Fonts::font(Fonts::PGothic, 20);
    auto *table = new QGridLayout;
    table->setHorizontalSpacing(16);
    table->setVerticalSpacing(8);
    for (int k = 0; k < DataEditInput::ClassCount; ++k) {
        const QStringList numbers = modNengajo::SplitNumbers(input.strNumbers[k]);
        if (numbers.isEmpty())
            continue;
        QLabel *caption = makeLabel(
            this, indexed(QStringLiteral("lblConfirmToukyuu"), k), modNengajo::FullWidthDigits(k + 1) + u'等');
        caption->setFont(Fonts::font(Fonts::PGothic, 12));
        const qsizetype digits = numbers.first().size();
        QLabel *keta = makeLabel(this, indexed(QStringLiteral("lblConfirmKeta"), k),
            digits >= 6 ? QStringLiteral("（6桁）") : QStringLiteral("（下%1桁）").arg(digits));
        QLabel *shown = makeLabel(this, indexed(QStringLiteral("lblConfirmNumbers"), k), numbers.join(u"　"));
        shown->setFont(large);
        shown->setWordWrap(true);
        shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
        shown->setMinimumWidth(QFontMetrics(large).horizontalAdvance(QStringLiteral("000000　000000　000000")));
        table->addWidget(caption, k, 0, Qt::AlignLeft | Qt::AlignVCenter);
        table->addWidget(keta, k, 1, Qt::AlignLeft | Qt::AlignVCenter);
        table->addWidget(shown, k, 2);
    }

    QPushButton *ok = Widgets::makeButton(this, QStringLiteral("cmdOK"), QStringLiteral("OK"));
    QPushButton *cancel = Widgets::makeButton(this, QStringLiteral("cmdCancel"), QStringLiteral("キャンセル"));
    for (QPushButton *button : {ok, cancel})
        button->setMinimumWidth(Widgets::textWidth(button, 7));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(12);
    layout->addWidget(type);
    layout->addWidget(note);
    layout->addLayout(table);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
