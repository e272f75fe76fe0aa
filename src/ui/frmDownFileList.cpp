#include "ui/frmDownFileList.h"

#include "core/NewData.h"
#include "core/modNengajo.h"
#include "platform/messagebox.h"
#include "ui/Fonts.h"
#include "ui/Look.h"
#include "ui/TextSize.h"
#include "ui/Widgets.h"
#include "ui/frmProgress.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

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

frmDownFileList::frmDownFileList(const QList<NewDataEntry> &newDataList, QWidget *parent)
    : QDialog(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
            | Qt::MSWindowsFixedSizeDialogHint)
    , m_newDataList(newDataList)
    , m_job(this)
{
    setObjectName(QStringLiteral("frmDownFileList"));
    m_job.setObjectName(QStringLiteral("jobDownload"));
    setWindowTitle(QStringLiteral("新着当選番号データ一覧"));
    setModal(true);
    Look::paintWindowBackground(this);

    auto *layout = new QVBoxLayout(this);
    static const QString messages[2] = {QStringLiteral("新着の当選番号データが見つかりました。"),
        QStringLiteral("ダウンロードするファイルを選択してください。")};
    for (int i = 0; i < 2; ++i) {
        lblMsg[i] = Widgets::makeLabel(this, Widgets::indexedName(QStringLiteral("lblMsg"), i), messages[i]);
        layout->addWidget(lblMsg[i]);
    }

    lstXmlFile
        = Widgets::make<QListWidget>(this, QStringLiteral("lstXmlFile"), QStringLiteral("ダウンロードするファイル"));
    // A click selects an entry or, when it is selected, deselects it.
    lstXmlFile->setSelectionMode(QAbstractItemView::MultiSelection);

    cmdDownload = Widgets::makeButton(this, QStringLiteral("cmdDownload"), QStringLiteral("ダウンロード"));
    cmdDownload->setEnabled(false);
    cmdCancel = Widgets::makeButton(this, QStringLiteral("cmdCancel"), QStringLiteral("キャンセル"));
    // Enter presses no button of this dialog.
    for (QPushButton *button : {cmdDownload, cmdCancel})
        button->setAutoDefault(false);

    layout->addWidget(lstXmlFile);
    layout->addLayout(Widgets::buttonRow({cmdDownload, cmdCancel}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    TextSize::follow(this, [this] {
        lstXmlFile->setFont(Fonts::font(Fonts::UIGothic, 11.25));
        lstXmlFile->setFixedSize(Widgets::textWidth(lstXmlFile, 25), Widgets::textHeight(lstXmlFile, 10));
    });

    // The entries the last fetch found, in its order: position k is record k.
    for (const NewDataEntry &entry : m_newDataList)
        lstXmlFile->addItem(entry.strTitle);

    connect(lstXmlFile, &QListWidget::itemSelectionChanged, this, &frmDownFileList::lstXmlFile_SelectionChanged);
    connect(cmdDownload, &QPushButton::clicked, this, &frmDownFileList::cmdDownload_Click);
    // Esc and the close box end the dialog the same way.
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmDownFileList::lstXmlFile_SelectionChanged()
{
    cmdDownload->setEnabled(!lstXmlFile->selectedItems().isEmpty());
}

void frmDownFileList::cmdDownload_Click()
{
    QList<NewDataEntry> entries;
    for (int i = 0; i < lstXmlFile->count(); ++i) {
        if (!lstXmlFile->item(i)->isSelected())
            continue;
        if (i >= m_newDataList.size()) {
            platform::showMessage(modNengajo::MessageTitle, QStringLiteral("ダウンロードに失敗しました。"),
                platform::MessageBox::Icon::Warning);
            return;
        }
        entries.append(m_newDataList.at(i));
    }
    // The selection stays as it is while the job runs.
    lstXmlFile->setEnabled(false);
    cmdDownload->setEnabled(false);
    // Gone, with the hourglass, before the outcome is told.
    frmProgress::follow(&m_job, this);
    connect(&m_job, &Job::finished, this, &frmDownFileList::job_Finished, Qt::SingleShotConnection);
    m_job.start(entries);
}

void frmDownFileList::job_Finished()
{
    lstXmlFile->setEnabled(true);
    lstXmlFile_SelectionChanged();
    const Outcome<DownloadJob::Ending> &outcome = m_job.outcome();
    switch (outcome.code) {
    case DownloadJob::Ending::Cancelled:
        // The files stored before a cancel stay; the dialog stays open with its
        // selection, and nothing more is said.
        return;
    case DownloadJob::Ending::Failed: {
        const QString reason
            = outcome.words.isEmpty() ? QString() : modNengajo::CrLf + modNengajo::CrLf + outcome.words;
        platform::showMessage(modNengajo::MessageTitle, QStringLiteral("ダウンロードに失敗しました。") + reason,
            platform::MessageBox::Icon::Warning);
        return;
    }
    case DownloadJob::Ending::Completed:
        m_report = m_job.report();
        m_refused = m_job.refused();
        accept();
        return;
    }
}

void frmDownFileList::reject()
{
    if (m_job.isRunning())
        m_job.cancel();
    else
        QDialog::reject();
}

void frmDownFileList::closeEvent(QCloseEvent *event)
{
    m_job.cancel();
    QDialog::closeEvent(event);
}
