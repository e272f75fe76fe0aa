#include "ui/frmAtariList.h"

#include "core/CheckRecord.h"
#include "core/Kigen.h"
#include "platform/clock.h"
#include "platform/messagebox.h"
#include "platform/printdialog.h"
#include "platform/savefiledialog.h"
#include "ui/AtariPrint.h"
#include "ui/Fonts.h"
#include "ui/Look.h"
#include "ui/Widgets.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>

namespace AtariListDetail {

// The record's cards as the table's rows: the won ones, or all of them. Rows
// are added as cards are judged, so a long sitting never rebuilds the table.
class Model final : public QAbstractTableModel
{
public:
    Model(const CheckRecord &record, QObject *parent)
        : QAbstractTableModel(parent)
        , m_record(record)
    {
        rebuild();
    }

    bool all() const { return m_all; }
    void setAll(bool all)
    {
        beginResetModel();
        m_all = all;
        rebuild();
        endResetModel();
    }
    void reset()
    {
        beginResetModel();
        rebuild();
        endResetModel();
    }
    void cardAdded(qsizetype index)
    {
        if (!shows(index))
            return;
        const int row = static_cast<int>(m_shown.size());
        beginInsertRows({}, row, row);
        m_shown.append(index);
        endInsertRows();
    }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_shown.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 3; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_shown.size())
            return {};
        const qsizetype card = m_shown.at(index.row());
        const bool loss = m_record.cards().at(card).intToukyu <= 0;
        switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole: {
            const AtariList::Row row = AtariList::MakeRow(m_record, card, modNengajo::winningData());
            const QString texts[3] = {row.strNumber, row.strResult, row.strSyouhin};
            return texts[index.column()];
        }
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(
                index.column() < 2 ? Qt::AlignCenter : Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        case Qt::ForegroundRole:
            // Lost cards stand back, so the won ones are found at a glance.
            return loss ? QVariant(QColor(Look::DisabledText)) : QVariant();
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        if (orientation == Qt::Horizontal) {
            static const QString titles[3] = {QStringLiteral("番号"), QStringLiteral("等級"), QStringLiteral("賞品")};
            return section >= 0 && section < 3 ? titles[section] : QVariant();
        }
        // Each card's place in the sitting, to find it in the pile.
        return section >= 0 && section < m_shown.size() ? QVariant(m_shown.at(section) + 1) : QVariant();
    }

private:
    bool shows(qsizetype index) const { return m_all || m_record.cards().at(index).intToukyu > 0; }
    void rebuild()
    {
        m_shown.clear();
        for (qsizetype i = 0; i < m_record.cards().size(); ++i) {
            if (shows(i))
                m_shown.append(i);
        }
    }

    const CheckRecord &m_record;
    bool m_all = false;
    QList<qsizetype> m_shown;
};

} // namespace AtariListDetail

namespace {

// A file name from the card type and year of a data file: whatever a file
// system refuses becomes "_".
QString suggestedFileName(const WinningData &data)
{
    QString name = QStringLiteral("当たったはがき");
    if (!data.strType.isEmpty())
        name += u'（' + data.strType + u' ' + modNengajo::EraYearText(data.strYear) + QStringLiteral("年度）");
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    for (QChar &c : name) {
        if (c.category() == QChar::Other_Control || forbidden.contains(c))
            c = u'_';
    }
    return name + QStringLiteral(".csv");
}

} // namespace

frmAtariList::frmAtariList(const CheckRecord &record, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_record(record)
{
    setObjectName(QStringLiteral("frmAtariList"));
    setWindowTitle(QStringLiteral("当たったはがきの一覧"));
    Look::paintWindowBackground(this);
    // Taken to the post office and read there: its texts grow with the
    // desktop's, unlike the windows it sits beside.
    setFont(Fonts::followingDesktop(Fonts::PGothic, 9));

    lblAtariType = Widgets::makeLabel(this, QStringLiteral("lblAtariType"), QString());
    lblAtariType->setFont(Fonts::followingDesktop(Fonts::UIGothic, 11.25));
    lblAtariKigen = Widgets::makeLabel(this, QStringLiteral("lblAtariKigen"), QString());
    lblAtariKigen->setFont(Fonts::followingDesktop(Fonts::PGothic, 11.25));

    m_model = new AtariListDetail::Model(record, this);
    lstAtari = new QTableView(this);
    lstAtari->setObjectName(QStringLiteral("lstAtari"));
    lstAtari->setAccessibleName(windowTitle());
    lstAtari->setModel(m_model);
    lstAtari->setFont(Fonts::followingDesktop(Fonts::PGothic, 11.25));
    lstAtari->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstAtari->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstAtari->setSelectionMode(QAbstractItemView::SingleSelection);
    lstAtari->setTabKeyNavigation(false);
    lstAtari->setWordWrap(false);
    lstAtari->setAlternatingRowColors(true);
    lstAtari->horizontalHeader()->setStretchLastSection(true);
    lstAtari->horizontalHeader()->setHighlightSections(false);
    lstAtari->verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lstAtari->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    lstAtari->verticalHeader()->setDefaultSectionSize(Widgets::textHeight(lstAtari, 1) + 6);
    lstAtari->setColumnWidth(0, Widgets::textWidth(lstAtari, 6));
    lstAtari->setColumnWidth(1, Widgets::textWidth(lstAtari, 4));
    lstAtari->setMinimumSize(Widgets::textWidth(lstAtari, 36), Widgets::textHeight(lstAtari, 14));

    lblAtariGoukei = Widgets::makeLabel(this, QStringLiteral("lblAtariGoukei"), QString());
    lblAtariGoukei->setFont(Fonts::followingDesktop(Fonts::PGothic, 11.25));

    chkAll = new QCheckBox(QStringLiteral("はずれも表示"), this);
    chkAll->setObjectName(QStringLiteral("chkAll"));
    cmdSaveCsv = Widgets::makeButton(this, QStringLiteral("cmdSaveCsv"), QStringLiteral("CSVで保存(&S)..."));
    cmdPrint = Widgets::makeButton(this, QStringLiteral("cmdPrint"), QStringLiteral("印刷(&P)..."));
    cmdClose = Widgets::makeButton(this, QStringLiteral("cmdClose"), QStringLiteral("閉じる(&C)"));
    for (QPushButton *button : {cmdSaveCsv, cmdPrint, cmdClose}) {
        button->setMinimumWidth(Widgets::textWidth(button, 7));
        button->setAutoDefault(false);
    }

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(chkAll);
    buttons->addStretch(1);
    buttons->addWidget(cmdSaveCsv);
    buttons->addWidget(cmdPrint);
    buttons->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(8);
    layout->addWidget(lblAtariType);
    layout->addWidget(lblAtariKigen);
    layout->addWidget(lstAtari, 1);
    layout->addWidget(lblAtariGoukei);
    layout->addLayout(buttons);

    setTabOrder(lstAtari, chkAll);
    setTabOrder(chkAll, cmdSaveCsv);
    setTabOrder(cmdSaveCsv, cmdPrint);
    setTabOrder(cmdPrint, cmdClose);
    lstAtari->setFocus();

    connect(&record, &CheckRecord::cardAdded, this, &frmAtariList::record_cardAdded);
    // A clear, and every load of a data file, which clears the record too.
    connect(&record, &CheckRecord::cleared, this, &frmAtariList::refresh);
    connect(chkAll, &QCheckBox::toggled, this, &frmAtariList::chkAll_Toggled);
    connect(cmdSaveCsv, &QPushButton::clicked, this, &frmAtariList::cmdSaveCsv_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmAtariList::cmdPrint_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);

    refresh();
}

frmAtariList::~frmAtariList() = default;

void frmAtariList::refresh()
{
    refreshHeading();
    m_model->reset();
    refreshTotals();
}

QList<AtariList::Row> frmAtariList::shownRows() const
{
    return AtariList::Rows(m_record, modNengajo::winningData(), m_model->all());
}

void frmAtariList::refreshHeading()
{
    const WinningData &data = modNengajo::winningData();
    lblAtariType->setText(
        data.strType.isEmpty() ? QStringLiteral("（はがきの種類未設定）") : AtariList::TypeYearText(data));
    const KigenLine kigen = modNengajo::KigenText(platform::Service<platform::Clock>::get().today(), data.exchangeTo);
    lblAtariKigen->setText(kigen.text);
    lblAtariKigen->setVisible(!kigen.text.isEmpty());
    Look::setColour(lblAtariKigen, QPalette::WindowText, kigen.urgent ? Look::Urgent : 0x000000);
}

void frmAtariList::refreshTotals()
{
    lblAtariGoukei->setText(AtariList::TotalsText(m_record));
    const bool any = m_model->rowCount() > 0;
    cmdSaveCsv->setEnabled(any);
    cmdPrint->setEnabled(any);
}

void frmAtariList::record_cardAdded(qsizetype index)
{
    const int before = m_model->rowCount();
    m_model->cardAdded(index);
    if (m_model->rowCount() > before)
        lstAtari->scrollToBottom();
    refreshTotals();
}

void frmAtariList::chkAll_Toggled()
{
    m_model->setAll(chkAll->isChecked());
    refreshTotals();
}

void frmAtariList::cmdSaveCsv_Click()
{
    const WinningData &data = modNengajo::winningData();
    if (m_saveFolder.isEmpty()) {
        m_saveFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (m_saveFolder.isEmpty() || !QFileInfo(m_saveFolder).isDir())
            m_saveFolder = QDir::homePath();
    }
    const QString path = platform::Service<platform::SaveFileDialog>::get().choose(QStringLiteral("CSVで保存"),
        QDir(m_saveFolder).filePath(suggestedFileName(data)), QStringLiteral("CSVファイル (*.csv)"),
        QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    m_saveFolder = QFileInfo(path).absolutePath();

    const QString failure = AtariList::SaveFile(path, AtariList::CsvBytes(shownRows()));
    if (!failure.isEmpty())
        platform::showMessage(modNengajo::MessageTitle, failure, platform::MessageBox::Icon::Critical);
}

void frmAtariList::cmdPrint_Click()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(AtariPrint::Title);
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    if (!platform::Service<platform::PrintDialog>::get().setUp(printer))
        return;

    const WinningData &data = modNengajo::winningData();
    const QDate today = platform::Service<platform::Clock>::get().today();
    AtariPrintContent content {lblAtariType->text(), modNengajo::KigenText(today, data.exchangeTo), shownRows(),
        AtariList::TotalsText(m_record), today};
    const QString failure = AtariPrint::print(printer, content);
    if (!failure.isEmpty())
        platform::showMessage(modNengajo::MessageTitle, failure, platform::MessageBox::Icon::Critical);
}

bool frmAtariList::event(QEvent *event)
{
    // The deadline counts its days from today, which may have changed.
    if (event->type() == QEvent::WindowActivate)
        refreshHeading();
    return QWidget::event(event);
}

void frmAtariList::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
