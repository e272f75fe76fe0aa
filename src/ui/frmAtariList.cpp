#include "ui/frmAtariList.h"

#include "core/AtariCalendar.h"
#include "core/BookAtariList.h"
#include "core/DataInForce.h"
#include "core/Kigen.h"
#include "core/NewData.h"
#include "platform/clock.h"
#include "platform/messagebox.h"
#include "platform/printdialog.h"
#include "platform/savefiledialog.h"
#include "ui/AtariPrint.h"
#include "ui/Fonts.h"
#include "ui/Look.h"
#include "ui/PrintJob.h"
#include "ui/TextSize.h"
#include "ui/Widgets.h"
#include "ui/frmProgress.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include <optional>

namespace {

// A file name from the card type and year of a data file: whatever a file
// system refuses becomes "_".
QString suggestedFileName(const WinningData &data)
{
    QString name = QStringLiteral("当たったはがき");
    if (!data.strType.isEmpty())
        name += u'（' + data.strType + u' ' + modNengajo::EraYearText(data.strYear) + QStringLiteral("年度）");
    return modNengajo::FileNameOf(name) + QStringLiteral(".csv");
}

// Lost cards stand back in the palette's greyed text, so the won ones are
// found at a glance.
class LostCardDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.data(AtariListModel::LostRole).toBool())
            option->palette.setColor(QPalette::Text, option->palette.color(QPalette::Disabled, QPalette::Text));
    }
};

const QString KoukanText = QStringLiteral("引換済にする(&K)");
const QString UnKoukanText = QStringLiteral("引換済を取り消す(&K)");

} // namespace

frmAtariList::frmAtariList(AtariBook &book, const CheckRecord &record, const DataInForce &data, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_data(data.winningData())
{
    setObjectName(QStringLiteral("frmAtariList"));
    setWindowTitle(QStringLiteral("当たったはがきの一覧"));
    Look::paintWindowBackground(this);

    lblAtariType = Widgets::makeLabel(this, QStringLiteral("lblAtariType"), QString());
    lblAtariKigen = Widgets::makeLabel(this, QStringLiteral("lblAtariKigen"), QString());

    m_source = new BookAtariList(book, record, m_data, this);
    m_model = new AtariListModel(*m_source, this);
    lstAtari = Widgets::make<QTableView>(this, QStringLiteral("lstAtari"), windowTitle());
    lstAtari->setModel(m_model);
    lstAtari->setItemDelegate(new LostCardDelegate(lstAtari));
    lstAtari->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstAtari->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstAtari->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstAtari->setTabKeyNavigation(false);
    lstAtari->setWordWrap(false);
    lstAtari->setAlternatingRowColors(true);
    lstAtari->horizontalHeader()->setHighlightSections(false);
    // 順番 is a column of its own, headed as in the CSV and on paper.
    lstAtari->verticalHeader()->hide();
    lstAtari->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // The goods fill what the other columns leave, and never shrink below their text.
    lstAtari->viewport()->installEventFilter(this);
    // F2 and Delete act on the selected cards, wherever the current cell is.
    lstAtari->installEventFilter(this);

    lblAtariGoukei = Widgets::makeLabel(this, QStringLiteral("lblAtariGoukei"), QString());

    chkAll = new QCheckBox(QStringLiteral("はずれも表示"), this);
    chkAll->setObjectName(QStringLiteral("chkAll"));
    cmdKoukan = Widgets::makeButton(this, QStringLiteral("cmdKoukan"), KoukanText);
    cmdDelete = Widgets::makeButton(this, QStringLiteral("cmdDelete"), QStringLiteral("削除(&D)"));
    cmdSaveCsv = Widgets::makeButton(this, QStringLiteral("cmdSaveCsv"), QStringLiteral("CSVで保存(&S)..."));
    cmdPrint = Widgets::makeButton(this, QStringLiteral("cmdPrint"), QStringLiteral("印刷(&P)..."));
    cmdCalendar = Widgets::makeButton(this, QStringLiteral("cmdCalendar"), QStringLiteral("カレンダーに登録(&R)..."));
    cmdClose = Widgets::makeButton(this, QStringLiteral("cmdClose"), QStringLiteral("閉じる(&C)"));

    // The buttons for the chosen cards at the left, those for the whole list
    // at the right; on two lines where the screen is too narrow for one.
    m_cardButtons = new QHBoxLayout;
    m_cardButtons->addWidget(chkAll);
    m_cardButtons->addWidget(cmdKoukan);
    m_cardButtons->addWidget(cmdDelete);
    m_cardButtons->addStretch(1);
    m_listButtons = Widgets::buttonRow({cmdSaveCsv, cmdPrint, cmdCalendar, cmdClose});
    m_buttons = new QBoxLayout(QBoxLayout::LeftToRight);
    m_buttons->addLayout(m_cardButtons);
    m_buttons->addLayout(m_listButtons);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(8);
    layout->addWidget(lblAtariType);
    layout->addWidget(lblAtariKigen);
    layout->addWidget(lstAtari, 1);
    layout->addWidget(lblAtariGoukei);
    layout->addLayout(m_buttons);
    lstAtari->setFocus();

    connect(m_model, &QAbstractItemModel::rowsInserted, this, [this] {
        lstAtari->scrollToBottom();
        refreshTotals();
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, &frmAtariList::refreshTotals);
    // Another data file in force: the cards of its draw, under its heading.
    connect(&data, &DataInForce::changed, this, [this] {
        m_source->reload();
        refresh();
    });
    connect(chkAll, &QCheckBox::toggled, m_source, &BookAtariList::setShowsLosses);
    connect(m_model, &QAbstractItemModel::dataChanged, this, &frmAtariList::refreshTotals);
    connect(lstAtari->selectionModel(), &QItemSelectionModel::selectionChanged, this, &frmAtariList::refreshButtons);
    connect(lstAtari, &QAbstractItemView::doubleClicked, this,
        [this](const QModelIndex &index) { editSender(index.row()); });
    connect(cmdKoukan, &QPushButton::clicked, this, [this] {
        // The book tells the main window when it cannot be changed; the list stays as the book has it.
        m_source->toggleExchanged(selectedRows(), platform::Service<platform::Clock>::get().today());
        refreshButtons();
    });
    connect(cmdDelete, &QPushButton::clicked, this, &frmAtariList::cmdDelete_Click);
    connect(cmdSaveCsv, &QPushButton::clicked, this, &frmAtariList::cmdSaveCsv_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmAtariList::cmdPrint_Click);
    connect(cmdCalendar, &QPushButton::clicked, this, &frmAtariList::cmdCalendar_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);

    TextSize::follow(this, [this] { applySizes(); });
    refresh();
    // At first as wide as its columns, the goods of every class whole, as far as the screen has room.
    resize(QSize(std::max(sizeHint().width(),
                     columnsWidth() + layout->contentsMargins().left() + layout->contentsMargins().right()),
        sizeHint().height())
               .boundedTo(TextSize::roomOnScreen(this))
               .expandedTo(minimumSizeHint()));
}

void frmAtariList::applySizes()
{
    // Taken to the post office and read there: its texts grow with the
    // desktop's, unlike the windows it sits beside.
    setFont(Fonts::followingDesktop(Fonts::PGothic, 9));
    lblAtariType->setFont(Fonts::followingDesktop(Fonts::UIGothic, 11.25));
    for (QWidget *large : std::initializer_list<QWidget *> {lblAtariKigen, lstAtari, lblAtariGoukei})
        large->setFont(Fonts::followingDesktop(Fonts::PGothic, 11.25));
    lstAtari->verticalHeader()->setDefaultSectionSize(Widgets::textHeight(lstAtari, 1) + TextSize::scaled(6));
    const QSize designed(Widgets::textWidth(lstAtari, 36), Widgets::textHeight(lstAtari, 14));
    lstAtari->setMinimumSize(designed);
    for (QPushButton *button : {cmdKoukan, cmdDelete, cmdSaveCsv, cmdPrint, cmdCalendar, cmdClose})
        button->setMinimumWidth(Widgets::textWidth(button, 7));
    // As wide as its longer text, so it keeps its place when the text turns.
    const QFontMetrics metrics = cmdKoukan->fontMetrics();
    cmdKoukan->setMinimumWidth(std::max(cmdKoukan->minimumWidth(),
        cmdKoukan->sizeHint().width() + metrics.horizontalAdvance(QString(UnKoukanText).remove(u'&'))
            - metrics.horizontalAdvance(cmdKoukan->text().remove(u'&'))));
    m_cardButtons->invalidate();
    m_listButtons->invalidate();
    const QMargins margins = this->layout()->contentsMargins();
    const int oneLine = m_cardButtons->sizeHint().width() + m_buttons->spacing() + m_listButtons->sizeHint().width();
    const QSize room = TextSize::roomOnScreen(this);
    m_buttons->setDirection(
        oneLine <= room.width() - margins.left() - margins.right() ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    // The whole window on the screen at every text size: the table gives up
    // rows (it scrolls) and width (the goods are cut short) before the window
    // runs off the screen.
    this->layout()->invalidate();
    const QSize over = (minimumSizeHint() - room).expandedTo(QSize(0, 0));
    lstAtari->setMinimumSize((designed - over)
                                 .expandedTo(QSize(Widgets::textWidth(lstAtari, 12), Widgets::textHeight(lstAtari, 4)))
                                 .boundedTo(designed));
    fitColumns();
}

frmAtariList::~frmAtariList()
{
    // A sender still being typed is saved as the window goes, after this
    // object has stopped being one to tell.
    m_model->disconnect(this);
    m_source->disconnect(this);
    lstAtari->selectionModel()->disconnect(this);
}

void frmAtariList::refresh()
{
    refreshHeading();
    fitColumns();
    refreshTotals();
}

void frmAtariList::refreshHeading()
{
    lblAtariType->setText(
        m_data.strType.isEmpty() ? QStringLiteral("（はがきの種類未設定）") : AtariList::TypeYearText(m_data));
    const KigenLine kigen = modNengajo::KigenText(platform::Service<platform::Clock>::get().today(), m_data.exchangeTo);
    lblAtariKigen->setText(kigen.text);
    lblAtariKigen->setVisible(!kigen.text.isEmpty());
    const QRgb normal = palette().color(QPalette::WindowText).rgb();
    Look::setColour(lblAtariKigen, QPalette::WindowText, kigen.urgent ? Look::Urgent : normal);
}

void frmAtariList::refreshTotals()
{
    lblAtariGoukei->setText(m_source->totalsText());
    const bool any = m_model->rowCount() > 0;
    cmdSaveCsv->setEnabled(any);
    cmdPrint->setEnabled(any);
    refreshButtons();
}

QList<qsizetype> frmAtariList::selectedRows() const
{
    QList<qsizetype> rows;
    const QModelIndexList selected = lstAtari->selectionModel()->selectedRows();
    for (const QModelIndex &index : selected)
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void frmAtariList::refreshButtons()
{
    const QList<qsizetype> rows = selectedRows();
    const bool inBook
        = std::any_of(rows.cbegin(), rows.cend(), [this](qsizetype r) { return m_source->row(r).id > 0; });
    cmdKoukan->setText(m_source->allExchanged(rows) ? UnKoukanText : KoukanText);
    // A button that goes grey while it has the focus hands it to the table.
    const auto enable = [this](QPushButton *button, bool enabled) {
        if (!enabled && button->hasFocus())
            lstAtari->setFocus();
        button->setEnabled(enabled);
    };
    // A read-only book: the book's cards stay as they are, and the buttons say why.
    const QString unchangeable = inBook ? m_source->whyUnchangeable() : QString();
    for (QPushButton *button : {cmdKoukan, cmdDelete}) {
        enable(button, inBook && unchangeable.isEmpty());
        button->setToolTip(unchangeable);
    }
    enable(cmdCalendar, calendarOpen());
}

bool frmAtariList::calendarOpen() const
{
    const QDate today = platform::Service<platform::Clock>::get().today();
    return m_data.exchangeTo.isValid() && today <= m_data.exchangeTo && !m_source->cardsToExchange().isEmpty();
}

void frmAtariList::cmdDelete_Click()
{
    const QList<qsizetype> rows = selectedRows();
    if (std::none_of(rows.cbegin(), rows.cend(), [this](qsizetype r) { return m_source->row(r).id > 0; }))
        return;
    if (platform::showMessage(modNengajo::MessageTitle, DeleteQuestion, platform::MessageBox::Icon::Question,
            platform::MessageBox::Buttons::YesNo)
        != platform::MessageBox::Answer::Yes)
        return;
    m_source->remove(rows);
}

void frmAtariList::editSender(int row)
{
    const QModelIndex index = m_model->index(row, m_model->section(AtariColumn::Sender));
    if (!index.isValid())
        return;
    if (!(m_model->flags(index) & Qt::ItemIsEditable)) {
        // A card of a read-only book: say why its sender cannot be written.
        if (m_source->row(row).id > 0 && !m_source->whyUnchangeable().isEmpty())
            platform::showMessage(modNengajo::MessageTitle, m_source->whyUnchangeable(),
                platform::MessageBox::Icon::Information, platform::MessageBox::Buttons::Ok, this);
        return;
    }
    lstAtari->setCurrentIndex(index);
    lstAtari->edit(index);
}

void frmAtariList::fitColumns()
{
    const QFontMetrics metrics = lstAtari->fontMetrics();
    // The room a cell's text needs beside it, as the view draws it.
    const int margin = 2 * (lstAtari->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, lstAtari) + 1) + 8;
    const auto width = [&](AtariColumn column, const QStringList &texts) {
        int widest = metrics.horizontalAdvance(AtariColumnTitles.at(int(column)));
        for (const QString &text : texts)
            widest = std::max(widest, metrics.horizontalAdvance(text));
        return widest + margin;
    };
    QStringList goods;
    for (int k = 1; k <= m_data.intClassCount; ++k)
        goods.append(AtariList::SyouhinText(m_data.prizeClass(k).strSyouhin));
    const std::pair<AtariColumn, QStringList> widest[] {{AtariColumn::Order, {QStringLiteral("00000")}},
        {AtariColumn::Number, {QStringLiteral("000000")}},
        {AtariColumn::Result, {AtariList::ResultText(0), AtariList::ResultText(1)}},
        {AtariColumn::Koukan, {QStringLiteral("済")}},
        // Room for a name of eight characters; a longer one shows whole as the cell's tip.
        {AtariColumn::Sender, {QStringLiteral("あいうえおかきく")}}};
    for (const auto &[column, texts] : widest)
        lstAtari->setColumnWidth(m_model->section(column), width(column, texts));
    m_goodsWidth = width(AtariColumn::Syouhin, goods);
    m_goodsMargin = margin;
    fitGoodsColumn();
}

void frmAtariList::fitGoodsColumn()
{
    const int goods = m_model->section(AtariColumn::Syouhin);
    int others = 0;
    for (int c = 0; c < m_model->columnCount(); ++c) {
        if (c != goods)
            others += lstAtari->columnWidth(c);
    }
    // Every column in sight: goods longer than their room end in "…" and show
    // whole as the cell's tip, in the CSV and on paper. Their heading stays whole.
    const int least = lstAtari->fontMetrics().horizontalAdvance(AtariColumnTitles.at(goods)) + m_goodsMargin;
    lstAtari->setColumnWidth(goods, std::max(least, lstAtari->viewport()->width() - others));
}

int frmAtariList::columnsWidth() const
{
    int width = 2 * lstAtari->frameWidth() + lstAtari->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const bool goods = c == m_model->section(AtariColumn::Syouhin);
        width += goods ? m_goodsWidth : lstAtari->columnWidth(c);
    }
    return width;
}

bool frmAtariList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lstAtari->viewport() && event->type() == QEvent::Resize)
        fitGoodsColumn();
    if (watched == lstAtari && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() == Qt::NoModifier && key->key() == Qt::Key_F2) {
            editSender(lstAtari->currentIndex().isValid() ? lstAtari->currentIndex().row() : -1);
            return true;
        }
        if (key->modifiers() == Qt::NoModifier && key->key() == Qt::Key_Delete) {
            cmdDelete_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QString frmAtariList::choosePath(
    const QString &title, const QString &fileName, const QString &filter, const QString &suffix)
{
    if (m_saveFolder.isEmpty()) {
        m_saveFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (m_saveFolder.isEmpty() || !QFileInfo(m_saveFolder).isDir())
            m_saveFolder = QDir::homePath();
    }
    const QString path = platform::Service<platform::SaveFileDialog>::get().choose(
        title, QDir(m_saveFolder).filePath(fileName), filter, suffix);
    if (!path.isEmpty())
        m_saveFolder = QFileInfo(path).absolutePath();
    return path;
}

void frmAtariList::tellFailure(const QString &failure)
{
    if (!failure.isEmpty())
        platform::showMessage(modNengajo::MessageTitle, failure, platform::MessageBox::Icon::Critical,
            platform::MessageBox::Buttons::Ok, this);
}

void frmAtariList::follow(Job &job, void (frmAtariList::*finished)())
{
    frmProgress::follow(&job, this);
    connect(&job, &Job::finished, this, finished, Qt::SingleShotConnection);
}

void frmAtariList::saveFinished()
{
    if (m_save.outcome().code == SaveJob::Ending::Failed)
        tellFailure(m_save.outcome().words);
}

void frmAtariList::cmdSaveCsv_Click()
{
    if (m_save.isRunning() || m_print.isRunning())
        return;
    const QString path = choosePath(QStringLiteral("CSVで保存"), suggestedFileName(m_data),
        QStringLiteral("CSVファイル (*.csv)"), QStringLiteral("csv"));
    if (path.isEmpty())
        return;

    // Goods of great length make a file of many megabytes: the user sees how
    // far it has come and may stop it; a stopped save writes nothing.
    follow(m_save, &frmAtariList::saveFinished);
    m_save.startCsv(path, m_source->rows());
}

void frmAtariList::cmdCalendar_Click()
{
    if (!calendarOpen() || m_save.isRunning() || m_print.isRunning())
        return;
    const AtariDraw draw = AtariDraw::of(m_data);
    const QString path = choosePath(QStringLiteral("カレンダーに登録"), AtariCalendar::FileName(draw),
        QStringLiteral("iCalendarファイル (*.ics)"), QStringLiteral("ics"));
    if (path.isEmpty())
        return;

    // The cards as they are now: the dialog may have stayed open while another program changed the book.
    m_source->reload();
    follow(m_save, &frmAtariList::saveFinished);
    m_save.startCalendar(path, draw, m_source->cardsToExchange(), QDateTime::currentDateTime());
}

void frmAtariList::cmdPrint_Click()
{
    if (m_save.isRunning() || m_print.isRunning())
        return;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setDocName(AtariPrint::Title);
    printer->setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    if (!platform::Service<platform::PrintDialog>::get().setUp(*printer))
        return;

    const QDate today = platform::Service<platform::Clock>::get().today();
    AtariPrintContent content {lblAtariType->text(), modNengajo::KigenText(today, m_data.exchangeTo), m_source->rows(),
        m_source->totalsText(), today};
    // A long list, or goods of great length, take a while: the user sees how
    // far the print has come and may stop it; a stopped print prints nothing.
    follow(m_print, &frmAtariList::printFinished);
    m_print.start(std::move(printer), std::move(content));
}

void frmAtariList::printFinished()
{
    tellFailure(m_print.outcome().words);
}

bool frmAtariList::event(QEvent *event)
{
    // The deadline counts its days from today, which may have changed; another
    // program on the same book may have changed its cards.
    if (event->type() == QEvent::WindowActivate) {
        refreshHeading();
        m_source->reload();
        refreshButtons();
    }
    return QWidget::event(event);
}

void frmAtariList::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous()) {
        m_save.cancel();
        m_print.cancel();
    }
    QWidget::hideEvent(event);
}

void frmAtariList::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
