#include "ui/frmSyouhin.h"

#include "core/AtariList.h"
#include "core/Kigen.h"
#include "core/UserFiles.h"
#include "core/modNengajo.h"
#include "platform/webaddress.h"
#include "ui/Fonts.h"
#include "ui/Look.h"
#include "ui/TextSize.h"
#include "ui/Widgets.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QVBoxLayout>

namespace {

using Widgets::makeLabel;

QFrame *makeLine(QWidget *parent, int number, QFrame::Shape shape)
{
    auto *line = new QFrame(parent);
    line->setObjectName(QStringLiteral("Line%1").arg(number));
    line->setFrameShape(shape);
    line->setFrameShadow(QFrame::Plain);
    line->setLineWidth(1);
    Look::setColour(line, QPalette::WindowText, 0x000000);
    return line;
}

// One cell of the table: its labels stacked from the top, clear of the grid lines.
QVBoxLayout *makeCell(Qt::Alignment alignment)
{
    auto *cell = new QVBoxLayout;
    cell->setContentsMargins(8, 5, 8, 5);
    cell->setSpacing(3);
    cell->setAlignment(alignment);
    return cell;
}

} // namespace

frmSyouhin::frmSyouhin(const WinningData &data, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_data(data)
{
    setObjectName(QStringLiteral("frmSyouhin"));
    setWindowTitle(QStringLiteral("当選番号と賞品"));
    // Closing from the title bar discards the window; the next use builds it afresh.
    setAttribute(Qt::WA_DeleteOnClose);
    Look::paintWindowBackground(this);
    buildControls();
    m_fittedSize = sizeHint();
    resize(m_fittedSize);
}

void frmSyouhin::buildControls()
{
    // Columns: line, class title, line, goods, line, numbers, line.
    // Rows: line, headings, line, then each class row followed by its line.
    auto *table = new QGridLayout;
    table->setSpacing(0);
    table->setColumnStretch(3, 1);
    constexpr int LastGridRow = 2 + 2 * RowCount;
    constexpr int LastGridColumn = 6;

    int lineNumber = 0;
    for (int gridRow = 0; gridRow <= LastGridRow; gridRow += 2)
        table->addWidget(makeLine(this, ++lineNumber, QFrame::HLine), gridRow, 0, 1, LastGridColumn + 1);
    for (int gridColumn = 0; gridColumn <= LastGridColumn; gridColumn += 2)
        table->addWidget(makeLine(this, ++lineNumber, QFrame::VLine), 0, gridColumn, LastGridRow + 1, 1);

    const auto addHeading = [&](const QString &name, const QString &text, int gridColumn) {
        QLabel *label = makeLabel(this, name, text);
        m_headings.append(label);
        QVBoxLayout *cell = makeCell(Qt::AlignCenter);
        cell->addWidget(label, 0, Qt::AlignCenter);
        table->addLayout(cell, 1, gridColumn);
    };
    addHeading(QStringLiteral("Label15"), QStringLiteral("等級"), 1);
    addHeading(QStringLiteral("Label16"), QStringLiteral("賞品名"), 3);
    addHeading(QStringLiteral("Label17"), QStringLiteral("当選番号（各組共通）"), 5);

    for (int r = 0; r < RowCount; ++r) {
        const int gridRow = 3 + 2 * r;
        const auto named = [r](const char *stem) { return Widgets::indexedName(QLatin1String(stem), r); };

        QLabel *name = lblToukyuuName[r]
            = makeLabel(this, named("lblToukyuuName"), AtariList::ResultText(qint16(r + 1)));
        m_headings.append(name);
        // A blank row keeps its height, so the table keeps its five rows.
        QSizePolicy namePolicy = name->sizePolicy();
        namePolicy.setRetainSizeWhenHidden(true);
        name->setSizePolicy(namePolicy);
        QVBoxLayout *nameCell = makeCell(Qt::AlignCenter);
        nameCell->addWidget(name, 0, Qt::AlignCenter);
        table->addLayout(nameCell, gridRow, 1);

        QLabel *syouhin = lblSyouhin[r] = makeLabel(this, named("lblSyouhin"), {});
        QLabel *select = lblSyohinSelect[r]
            = makeLabel(this, named("lblSyohinSelect"), QStringLiteral("以上の中から１点選択"));
        select->hide();
        QVBoxLayout *syouhinCell = makeCell(Qt::AlignLeft | Qt::AlignVCenter);
        syouhinCell->setSpacing(6);
        syouhinCell->addWidget(syouhin);
        syouhinCell->addWidget(select);
        table->addLayout(syouhinCell, gridRow, 3);

        QLabel *numbers = lblTousenNum[r] = makeLabel(this, named("lblTousenNum"), {}, Qt::AlignCenter);
        QLabel *keta = lblKeta[r] = makeLabel(this, named("lblKeta"), QStringLiteral("（下ｎ桁）"), Qt::AlignCenter);
        keta->hide();
        QVBoxLayout *numberCell = makeCell(Qt::AlignCenter);
        numberCell->addWidget(numbers, 0, Qt::AlignHCenter);
        numberCell->addWidget(keta, 0, Qt::AlignHCenter);
        table->addLayout(numberCell, gridRow, 5);
    }

    // The days on which the prizes of these numbers are exchanged.
    lblKikan = makeLabel(this, QStringLiteral("lblKikan"), modNengajo::KikanText({}, {}));

    QLabel *urlTitle = makeLabel(this, QStringLiteral("lblURLTitle"), QStringLiteral("関連URL："));
    txtURL = Widgets::make<QLineEdit>(this, QStringLiteral("txtURL"), QStringLiteral("関連URL"));
    urlTitle->setBuddy(txtURL);
    txtURL->setReadOnly(true);
    txtURL->setFrame(false);
    txtURL->setCursor(Qt::ArrowCursor);
    Look::setColour(txtURL, QPalette::Base, Look::WindowBackground);
    Look::setColour(txtURL, QPalette::Text, Look::LinkCold);
    new Link(this, txtURL, platform::isWebAddress);
    auto *urlLine = new QHBoxLayout;
    urlLine->addWidget(urlTitle);
    urlLine->addWidget(txtURL, 1);

    cmdBrowseOpen = Widgets::makeButton(this, QStringLiteral("cmdBrowseOpen"), QStringLiteral("ブラウザで開く(&B)"));
    cmdClose = Widgets::makeButton(this, QStringLiteral("cmdClose"), QStringLiteral("閉じる(&C)"));
    connect(cmdBrowseOpen, &QPushButton::clicked, this, [this] {
        Widgets::openOrTell(UserFiles::dataFilePath(m_data.strFileName), QStringLiteral("データファイル"), this);
    });
    connect(cmdClose, &QPushButton::clicked, this, &frmSyouhin::cmdClose_Click);

    auto *window = new QVBoxLayout(this);
    window->setContentsMargins(12, 12, 12, 12);
    window->setSpacing(10);
    window->addLayout(table);
    window->addWidget(lblKikan);
    window->addLayout(urlLine);
    window->addLayout(Widgets::buttonRow({cmdBrowseOpen, cmdClose}));

    TextSize::follow(this, [this] {
        setFont(Fonts::font(Fonts::PGothic, 9));
        for (QLabel *heading : std::as_const(m_headings))
            heading->setFont(Fonts::font(Fonts::PGothic, 9, true));
        for (QLabel *numbers : lblTousenNum)
            numbers->setFont(Fonts::font(Fonts::PGothic, 9.75, true));
        txtURL->setMinimumWidth(Widgets::textWidth(txtURL, 20));
        for (QPushButton *button : {cmdBrowseOpen, cmdClose})
            button->setMinimumWidth(Widgets::textWidth(button, 9));
        // The content's new size is the fitted one, not a size of the user's.
        m_fittedSize = sizeHint();
    });
}

void frmSyouhin::Form_Activate()
{
    const WinningData &data = m_data;
    for (int r = 0; r < RowCount; ++r) {
        lblSyouhin[r]->clear();
        lblTousenNum[r]->clear();
        lblKeta[r]->clear();
        lblToukyuuName[r]->hide();
        lblSyohinSelect[r]->hide();
    }

    // Classes after the fifth have no row and are left out.
    const int shown = std::min<int>(data.intClassCount, RowCount);
    for (int i = 1; i <= shown; ++i) {
        const int r = i - 1;
        const PrizeClass &prizeClass = data.prizeClass(i);
        lblToukyuuName[r]->show();

        lblTousenNum[r]->setText(modNengajo::ShownNumbersText(prizeClass, data.intMaxNumbers));

        lblSyouhin[r]->setText(prizeClass.strSyouhin);

        // The first number's length is the count of trailing card digits the class compares.
        const qsizetype digits = prizeClass.number(1).size();
        lblKeta[r]->setText(QStringLiteral("（下") + QString::number(digits) + QStringLiteral("桁）"));
        lblKeta[r]->setVisible(digits < 6);

        // Several goods: the winner chooses one of them.
        lblSyohinSelect[r]->setVisible(prizeClass.strSyouhin.contains(modNengajo::CrLf));
    }

    lblKikan->setText(modNengajo::KikanText(data.exchangeFrom, data.exchangeTo));
    txtURL->setText(data.strUrl.isEmpty() ? QStringLiteral("(なし)") : data.strUrl);
    txtURL->setCursorPosition(0);

    setWindowTitle(QStringLiteral("当選番号と賞品 ") + AtariList::TypeYearText(data));

    const QSize fitted = sizeHint();
    if (!m_userSized && fitted != m_fittedSize) {
        m_fittedSize = fitted;
        resize(fitted);
    }
}

void frmSyouhin::resizeEvent(QResizeEvent *event)
{
    if (isVisible() && event->size() != m_fittedSize)
        m_userSized = true;
    QWidget::resizeEvent(event);
}

void frmSyouhin::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdClose_Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool frmSyouhin::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(event);
}

void frmSyouhin::cmdClose_Click()
{
    hide();
    emit hiddenByClose();
}
