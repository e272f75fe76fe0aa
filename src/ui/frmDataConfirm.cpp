#include "ui/frmDataConfirm.h"

#include "core/AtariList.h"
#include "core/modNengajo.h"
#include "platform/messagebox.h"
#include "ui/Fonts.h"
#include "ui/Look.h"
#include "ui/TextSize.h"
#include "ui/Widgets.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

using Widgets::indexedName;

// The digits a number of this length matches, as a card's number is read.
QString ketaText(qsizetype digits)
{
    return digits >= 6 ? QStringLiteral("（6桁）") : QStringLiteral("（下%1桁）").arg(digits);
}

} // namespace

frmDataConfirm::frmDataConfirm(const DataEditInput &input, const DataEditStart &start, QWidget *parent)
    : QDialog(parent)
{
    using Widgets::makeLabel;
    setObjectName(QStringLiteral("frmDataConfirm"));
    setWindowTitle(QStringLiteral("当選番号の確認"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Look::paintWindowBackground(this);

    QLabel *type = makeLabel(this, QStringLiteral("lblConfirmType"),
        modNengajo::TypeCaptionText(input.strType.trimmed(), modNengajo::DataEditYear(input)));
    QLabel *note = makeLabel(this, QStringLiteral("lblConfirmNote"),
        QStringLiteral("公表された当選番号と見比べてください") + modNengajo::CrLf
            + QStringLiteral("１けたでも違うと、当たったはがきを「はずれ」と判定してしまいます。"));

    QList<QLabel *> captions;
    QList<QLabel *> shownNumbers;
    // Each class's goods and the row they stand in.
    QList<std::pair<QLabel *, int>> syouhinRows;
    const std::array<int, DataEditInput::ClassCount> changed = modNengajo::ChangedDigitCounts(input, start);
    QString changedClasses;
    auto *table = new QGridLayout;
    table->setHorizontalSpacing(16);
    table->setVerticalSpacing(4);
    for (int k = 0; k < DataEditInput::ClassCount; ++k) {
        const QStringList numbers = modNengajo::SplitNumbers(input.strNumbers[k]);
        if (numbers.isEmpty())
            continue;
        const qsizetype digits = numbers.first().size();
        QLabel *caption = makeLabel(
            this, indexedName(QStringLiteral("lblConfirmToukyuu"), k), AtariList::ResultText(qint16(k + 1)));
        captions.append(caption);
        QLabel *keta = makeLabel(this, indexedName(QStringLiteral("lblConfirmKeta"), k), ketaText(digits));
        if (changed[k] != 0) {
            // One digit fewer makes ten times the winners: this is said in red.
            keta->setText(keta->text() + QStringLiteral("（元のデータでは%1桁）").arg(changed[k]));
            for (QLabel *label : {caption, keta})
                Look::setColour(label, QPalette::WindowText, Look::Urgent);
            changedClasses += QStringLiteral("・") + AtariList::ResultText(qint16(k + 1)) + ketaText(digits)
                + QStringLiteral("：元のデータでは%1桁").arg(changed[k]) + modNengajo::CrLf;
        }
        QLabel *shown = makeLabel(this, indexedName(QStringLiteral("lblConfirmNumbers"), k), numbers.join(u"　"));
        shown->setWordWrap(true);
        shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
        shownNumbers.append(shown);

        // Last year's goods kept by accident are as wrong as a wrong number.
        QStringList goods = modNengajo::SplitSyouhin(input.strSyouhin[k]);
        for (QString &item : goods) {
            if (start.goods[k].contains(item))
                item += QStringLiteral("（元のデータと同じ）");
        }
        QLabel *syouhin = makeLabel(this, indexedName(QStringLiteral("lblConfirmSyouhin"), k),
            goods.isEmpty() ? QStringLiteral("（賞品なし）") : goods.join(u'\n'));
        syouhin->setWordWrap(true);
        syouhinRows.append({syouhin, 2 * k + 1});

        const int row = 2 * k;
        table->addWidget(caption, row, 0, Qt::AlignLeft | Qt::AlignVCenter);
        table->addWidget(keta, row, 1, Qt::AlignLeft | Qt::AlignVCenter);
        table->addWidget(shown, row, 2);
        table->addWidget(syouhin, row + 1, 2);
    }
    if (!changedClasses.isEmpty()) {
        m_digitsQuestion = QStringLiteral("当選番号の桁数が、元のデータと違う等級があります。") + modNengajo::CrLf
            + modNengajo::CrLf + changedClasses + modNengajo::CrLf
            + QStringLiteral("桁数が違うと、当たりになるはがきの数が大きく変わります。") + modNengajo::CrLf
            + QStringLiteral("公表された当選番号と同じ桁数か確かめてください。このまま保存しますか？");
    }

    QPushButton *cmdOK = Widgets::makeButton(this, QStringLiteral("cmdOK"), QStringLiteral("OK"));
    QPushButton *cmdCancel = Widgets::makeButton(this, QStringLiteral("cmdCancel"), QStringLiteral("キャンセル"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmDataConfirm::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(12);
    layout->addWidget(type);
    layout->addWidget(note);
    layout->addLayout(table);
    layout->addLayout(Widgets::buttonRow({cmdOK, cmdCancel}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    TextSize::follow(this, [=] {
        type->setFont(Fonts::font(Fonts::UIGothic, 11.25));
        for (QLabel *caption : captions)
            caption->setFont(Fonts::font(Fonts::PGothic, 12));
        // Three numbers of six digits to a line.
        for (QLabel *shown : shownNumbers) {
            shown->setFont(Fonts::font(Fonts::PGothic, 20));
            shown->setMinimumWidth(shown->fontMetrics().horizontalAdvance(QStringLiteral("000000　000000　000000")));
        }
        for (const auto &[syouhin, row] : syouhinRows) {
            syouhin->setMinimumWidth(Widgets::textWidth(syouhin, 30));
            table->setRowMinimumHeight(row, syouhin->fontMetrics().height() + TextSize::scaled(8));
        }
        for (QPushButton *button : {cmdOK, cmdCancel})
            button->setMinimumWidth(Widgets::textWidth(button, 7));
    });
}

void frmDataConfirm::cmdOK_Click()
{
    using platform::MessageBox;
    // No goes back to the fields, to put the digits right.
    const bool yes = m_digitsQuestion.isEmpty()
        || platform::showMessage(
               modNengajo::MessageTitle, m_digitsQuestion, MessageBox::Icon::Warning, MessageBox::Buttons::YesNo)
            == MessageBox::Answer::Yes;
    done(yes ? Accepted : Rejected);
}
