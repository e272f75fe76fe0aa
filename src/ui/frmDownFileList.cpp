#include "ui/frmDownFileList.h"

#include "core/NewData.h"
#include "core/modNengajo.h"
#include "platform/http.h"
#include "platform/messagebox.h"
#include "platform/programfolder.h"
#include "platform/waitcursor.h"
#include "ui/Fonts.h"
#include "ui/Look.h"
#include "ui/TextSize.h"
#include "ui/Widgets.h"
#include "ui/frmProgress.h"

#include <QBoxLayout>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace {

QPushButton *makeButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    // Enter presses no button of this dialog.
    button->setAutoDefault(false);
    button->setDefault(false);
    Look::setColour(button, QPalette::Button, Look::ButtonBackground);
    return button;
}

} // namespace

QString downloadCompletedText(const QString &report)
{
    return QStringLiteral("以下のファイルのダウンロードが完了しました。") + modNengajo::CrLf + modNengajo::CrLf
        + report;
}

QString downloadRefusedText(const QString &refused)
{
    return QStringLiteral("以下のファイルは当選番号データではなかったため、保存しませんでした。") + modNengajo::CrLf
        + modNengajo::CrLf + refused + modNengajo::CrLf
        + QStringLiteral("ホテルや駅などのインターネットでは、接続の手続きが済んでいるか確かめてから、")
        + QStringLiteral("もう一度ダウンロードしてください。");
}

frmDownFileList::frmDownFileList(QWidget *parent)
    : QDialog(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
            | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmDownFileList"));
    setWindowTitle(QStringLiteral("新着当選番号データ一覧"));
    setModal(true);
    Look::paintWindowBackground(this);

    static const QString messages[2] = {QStringLiteral("新着の当選番号データが見つかりました。"),
        QStringLiteral("ダウンロードするファイルを選択してください。")};
    for (int i = 0; i < 2; ++i) {
        lblMsg[i] = Widgets::makeLabel(this, QStringLiteral("lblMsg_%1").arg(i), messages[i]);
    }

    lstXmlFile = new QListWidget(this);
    lstXmlFile->setObjectName(QStringLiteral("lstXmlFile"));
    lstXmlFile->setAccessibleName(QStringLiteral("ダウンロードするファイル"));
    // A click selects an entry or, when it is selected, deselects it.
    lstXmlFile->setSelectionMode(QAbstractItemView::MultiSelection);
    lstXmlFile->setSortingEnabled(false);

    cmdDownload = makeButton(QStringLiteral("cmdDownload"), QStringLiteral("ダウンロード"), this);
    cmdDownload->setEnabled(false);
    cmdCancel = makeButton(QStringLiteral("cmdCancel"), QStringLiteral("キャンセル"), this);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdDownload);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblMsg[0]);
    layout->addWidget(lblMsg[1]);
    layout->addWidget(lstXmlFile);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    TextSize::growSpacing(this, 1);
    applySizes();

    setTabOrder(lstXmlFile, cmdDownload);
    setTabOrder(cmdDownload, cmdCancel);

    // The entries the last fetch found, in its order: position k is record k.
    for (const NewDataEntry &entry : modNengajo::NewDataList())
        lstXmlFile->addItem(entry.strTitle);

    connect(lstXmlFile, &QListWidget::itemSelectionChanged, this, &frmDownFileList::lstXmlFile_SelectionChanged);
    connect(cmdDownload, &QPushButton::clicked, this, &frmDownFileList::cmdDownload_Click);
    // Esc and the close box end the dialog the same way.
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool frmDownFileList::event(QEvent *event)
{
    const bool done = QDialog::event(event);
    if (event->type() == QEvent::ApplicationFontChange)
        applySizes();
    return done;
}

void frmDownFileList::applySizes()
{
    lstXmlFile->setFont(Fonts::font(Fonts::UIGothic, 11.25));
    lstXmlFile->setFixedSize(Widgets::textWidth(lstXmlFile, 25), Widgets::textHeight(lstXmlFile, 10));
}

void frmDownFileList::lstXmlFile_SelectionChanged()
{
    for (int i = 0; i < lstXmlFile->count(); ++i) {
        if (lstXmlFile->item(i)->isSelected()) {
            cmdDownload->setEnabled(true);
            return;
        }
    }
    cmdDownload->setEnabled(false);
}

void frmDownFileList::cmdDownload_Click()
{
    QList<int> rows;
    for (int i = 0; i < lstXmlFile->count(); ++i) {
        if (lstXmlFile->item(i)->isSelected())
            rows.append(i);
    }
    QString report;
    QString refused;
    bool stored = true;
    QString failure; // why a file could not be written, when the writer says
    bool cancelled = false;
    {
        const platform::WaitCursor waitCursor;
        frmProgress progress(this);
        const QString dataPath = platform::newDataFolder();
        const QList<NewDataEntry> &list = modNengajo::NewDataList();
        for (qsizetype k = 0; k < rows.size() && stored; ++k) {
            if (rows.at(k) >= list.size()) {
                stored = false;
                break;
            }
            const NewDataEntry &entry = list.at(rows.at(k));
            progress.setStep(
                QStringLiteral("ダウンロードしています（%1/%2）").arg(k + 1).arg(rows.size()), entry.strTitle);
            const platform::HttpTransfer::Result transfer
                = platform::Service<platform::HttpTransfer>::get().get(entry.strXmlUrl, progress.control());
            if (transfer.cancelled) {
                cancelled = true;
                break;
            }
            if (!transfer.ok) {
                stored = false;
                break;
            }
            // A body that is no data file is not stored and the next one is
            // fetched: what the network gave instead is told after the download.
            const modNengajo::DataStoreResult result
                = modNengajo::StoreDataFile(dataPath, entry.strTitle, transfer.body);
            const QString line = QStringLiteral("・") + entry.strTitle + modNengajo::CrLf;
            switch (result.outcome) {
            case modNengajo::DataStoreResult::Outcome::Stored:
                report += line;
                break;
            case modNengajo::DataStoreResult::Outcome::NotADataFile:
                refused += line;
                break;
            case modNengajo::DataStoreResult::Outcome::NotWritten:
                stored = false;
                failure = result.description;
                break;
            }
        }
    }
    // The files stored before a cancel stay; the dialog stays open with its
    // selection, and nothing more is said.
    if (cancelled)
        return;
    if (!stored) {
        const QString reason = failure.isEmpty() ? QString() : modNengajo::CrLf + modNengajo::CrLf + failure;
        platform::showMessage(modNengajo::MessageTitle, QStringLiteral("ダウンロードに失敗しました。") + reason,
            platform::MessageBox::Icon::Warning);
        return;
    }
    m_report = report;
    m_refused = refused;
    accept();
}
