#include "ui/frmDownFileList.h"
#include "ui/frmMain.h"
#include "ui/frmProgress.h"

#include "core/NewDataListJob.h"
#include "core/modNengajo.h"
#include "platform/messagebox.h"

namespace {

const QString DownloadFailed = QStringLiteral("ファイルのダウンロードに失敗しました。");

} // namespace

void frmMain::mnuDownload_Click()
{
    using platform::MessageBox;
    const QString &title = modNengajo::MessageTitle;
    // A fetch under way goes on; its progress window comes in a moment.
    if (m_fetch && m_fetch->isRunning())
        return;
    try {
        const QString confirmation = QStringLiteral("新着の当選番号データがあればダウンロードします。")
            + modNengajo::CrLf + QStringLiteral("続行しますか？") + modNengajo::CrLf + modNengajo::CrLf
            + QStringLiteral("※インターネットに繋がる環境が必要です。");
        if (platform::showMessage(title, confirmation, MessageBox::Icon::Question, MessageBox::Buttons::OkCancel)
            != MessageBox::Answer::Ok)
            return;

        auto *fetch = new NewDataListJob(m_state.data, this);
        fetch->setObjectName(QStringLiteral("jobNewDataList"));
        m_fetch = fetch;
        // Gone, with the hourglass, before any box of the result is shown.
        frmProgress::follow(fetch, this);
        connect(fetch, &Job::finished, this, [this, fetch] {
            fetch->deleteLater();
            newDataListFetched(*fetch);
        });
        fetch->start();
    } catch (...) {
        platform::showMessage(title, DownloadFailed, MessageBox::Icon::Critical);
    }
}

void frmMain::newDataListFetched(const NewDataListJob &fetch)
{
    using platform::MessageBox;
    const QString &title = modNengajo::MessageTitle;
    try {
        // A cancel ends the command: no message, nothing written.
        if (fetch.wasCancelled())
            return;
        switch (fetch.status()) {
        case 1:
            platform::showMessage(
                title, QStringLiteral("新着の当選番号データはありません。"), MessageBox::Icon::Information);
            return;
        case -1:
            platform::showMessage(title, modNengajo::ListFailedText(), MessageBox::Icon::Warning);
            return;
        default:
            break;
        }
        if (const QStringList &duplicates = fetch.duplicates(); !duplicates.isEmpty())
            platform::showMessage(title,
                QStringLiteral("新着データリストに、同じ名前のデータが２つ以上ありました。") + modNengajo::CrLf
                    + QStringLiteral("それぞれ最初のものだけを一覧に表示します。") + modNengajo::CrLf + modNengajo::CrLf
                    + u'・' + duplicates.join(modNengajo::CrLf + u'・') + modNengajo::CrLf,
                MessageBox::Icon::Warning);

        // The completion report is shown once the dialog has gone, over this window.
        QString report;
        QString refused;
        {
            frmDownFileList dialog(m_state.data.NewDataList(), this);
            dialog.exec();
            report = dialog.downloadReport();
            refused = dialog.refusedReport();
        }
        if (!report.isEmpty() || !refused.isEmpty()) {
            activateWindow();
            QString text = report.isEmpty() ? QString() : downloadCompletedText(report);
            if (!refused.isEmpty())
                text += (text.isEmpty() ? QString() : modNengajo::CrLf) + downloadRefusedText(refused);
            platform::showMessage(
                title, text, refused.isEmpty() ? MessageBox::Icon::Information : MessageBox::Icon::Warning);
        }
    } catch (...) {
        platform::showMessage(title, DownloadFailed, MessageBox::Icon::Critical);
    }
}
