#include "ui/frmFileSelect.h"

#include "core/DataFileAdd.h"
#include "core/DataFileList.h"
#include "core/DataInForce.h"
#include "ui/Fonts.h"
#include "ui/Look.h"
#include "ui/TextSize.h"
#include "ui/Widgets.h"

#include "platform/messagebox.h"
#include "platform/openfiledialog.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

frmFileSelect::frmFileSelect(DataInForce &data, QWidget *parent)
    : QDialog(parent)
    , m_data(data)
{
    setObjectName(QStringLiteral("frmFileSelect"));
    setWindowTitle(QStringLiteral("はがきの種類を選択"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    Look::paintWindowBackground(this);

    lstXmlFile = Widgets::make<QListWidget>(this, QStringLiteral("lstXmlFile"), QStringLiteral("はがきの種類"));

    cmdOK = Widgets::makeButton(this, QStringLiteral("cmdOK"), QStringLiteral("OK"));
    cmdOK->setDefault(true);
    cmdCancel = Widgets::makeButton(this, QStringLiteral("cmdCancel"), QStringLiteral("キャンセル"));
    cmdAddFile = Widgets::makeButton(this, QStringLiteral("cmdAddFile"), QStringLiteral("ファイルから追加(&A)..."));
    // Only OK is pressed by Enter.
    cmdAddFile->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);
    layout->addWidget(lstXmlFile);
    auto *buttons = Widgets::buttonRow({cmdOK, cmdCancel});
    // The way in for a file from elsewhere stands apart from the choice itself.
    buttons->insertWidget(0, cmdAddFile);
    layout->addLayout(buttons);
    setTabOrder(lstXmlFile, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    setTabOrder(cmdCancel, cmdAddFile);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    TextSize::follow(this, [this] {
        lstXmlFile->setFont(Fonts::font(Fonts::UIGothic, 11.25));
        // Room for the longest card types and ten of them at a time.
        lstXmlFile->setFixedSize(Widgets::textWidth(lstXmlFile, 22), Widgets::textHeight(lstXmlFile, 10));
        for (QPushButton *button : {cmdOK, cmdCancel})
            button->setMinimumWidth(Widgets::textWidth(button, 7));
    });

    // A Ctrl+click can clear the selection in Qt, so OK follows whether an entry is selected.
    connect(lstXmlFile, &QListWidget::itemSelectionChanged, this,
        [this] { cmdOK->setEnabled(!lstXmlFile->selectedItems().isEmpty()); });
    connect(lstXmlFile, &QListWidget::itemDoubleClicked, this, &frmFileSelect::cmdOK_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmFileSelect::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdAddFile, &QPushButton::clicked, this, &frmFileSelect::cmdAddFile_Click);

    fillList();
    setAcceptDrops(true);
    lstXmlFile->installEventFilter(this);
    lstXmlFile->setFocus();
}

bool frmFileSelect::eventFilter(QObject *watched, QEvent *event)
{
    // While nothing is chosen, the first arrow press chooses the first entry.
    // The list makes that entry current, unselected, on getting the focus, and
    // would otherwise step over it.
    if (watched == lstXmlFile && event->type() == QEvent::KeyPress && lstXmlFile->count() > 0
        && lstXmlFile->selectedItems().isEmpty()) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Down || key == Qt::Key_Up) {
            lstXmlFile->setCurrentRow(0);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmFileSelect::keyPressEvent(QKeyEvent *event)
{
    // No button of this dialog answers Esc.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmFileSelect::fillList()
{
    // Every opening reads each file afresh: files come and go between openings.
    lstXmlFile->clear();
    for (const DataFileEntry &entry : modNengajo::ListDataFiles())
        lstXmlFile->addItem(entry.strName);
    cmdOK->setEnabled(false);
}

bool frmFileSelect::addFile(const QString &path)
{
    using platform::MessageBox;
    const DataFileAdd added = modNengajo::AddDataFile(path, [this](const QString &title) {
        return platform::showMessage(modNengajo::MessageTitle,
                   QStringLiteral("当選番号データ\"") + title + QStringLiteral("\"はすでにあります。")
                       + modNengajo::CrLf + QStringLiteral("追加するファイルの内容で置き換えますか？"),
                   MessageBox::Icon::Warning, MessageBox::Buttons::YesNoDefaultNo, this)
            == MessageBox::Answer::Yes;
    });
    if (!added.words.isEmpty())
        platform::showMessage(
            modNengajo::MessageTitle, added.words, MessageBox::Icon::Critical, MessageBox::Buttons::Ok, this);
    if (!added.listed())
        return false;
    fillList();
    const QList<QListWidgetItem *> items
        = lstXmlFile->findItems(added.fileName.chopped(4), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (!items.isEmpty()) {
        lstXmlFile->setCurrentItem(items.first());
        lstXmlFile->scrollToItem(items.first());
    }
    lstXmlFile->setFocus();
    return !items.isEmpty();
}

QString frmFileSelect::droppedDataFile(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls() || mime->urls().size() != 1)
        return {};
    const QUrl url = mime->urls().first();
    if (!url.isLocalFile() || !url.toLocalFile().endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive))
        return {};
    return url.toLocalFile();
}

void frmFileSelect::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedDataFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmFileSelect::dropEvent(QDropEvent *event)
{
    const QString path = droppedDataFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    addFile(path);
}

void frmFileSelect::cmdAddFile_Click()
{
    const QString path = platform::Service<platform::OpenFileDialog>::get().choose(
        QStringLiteral("ファイルから追加"), QDir::homePath(), QStringLiteral("当選番号データ (*.xml)"));
    if (!path.isEmpty())
        addFile(path);
}

void frmFileSelect::cmdOK_Click()
{
    const QList<QListWidgetItem *> selected = lstXmlFile->selectedItems();
    if (selected.isEmpty())
        return;

    // On failure the box tells why, the file in force stays in force with
    // its counts, and the dialog stays open for another choice.
    if (m_data.LoadDataFile(selected.first()->text() + QStringLiteral(".xml")).tell())
        accept();
}
