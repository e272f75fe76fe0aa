#include "ui/frmDownFileList.h"
#include "ui/frmMain.h"
#include "ui/frmProgress.h"

#include "core/modNengajo.h"
#include "platform/messagebox.h"

#include <QMenuBar>
#include <QScopeGuard>

void frmMain::mnuDownload_Click()
{
    using platform::MessageBox;
    const QString &title = modNengajo::MessageTitle;
    try {
        const QString confirmation = QStringLiteral("新着の当選番号データがあればダウンロードします。")
            + modNengajo::CrLf + QStringLiteral("続行しますか？") + modNengajo::CrLf + modNengajo::CrLf
            + QStringLiteral("※インターネットに繋がる環境が必要です。");
        if (platform::showMessage(title, confirmation, MessageBox::Icon::Question, MessageBox::Buttons::OkCancel)
            != MessageBox::Answer::Ok)
            return;

        qint16 result = 0;
        QStringList duplicates;
        {
            // Gone before any box of the result is shown.
            frmProgress progress(this);
            progress.setStep(QStringLiteral("新着データリストを読み込んでいます…"));
            // The window goes on taking cards meanwhile, but no command: the
            // fetch waits here until it ends.
            menuBar()->setEnabled(false);
            const auto menusBack = qScopeGuard([this] { menuBar()->setEnabled(true); });
            result = m_state.data.GetNewDataList(progress.control(), &duplicates);
            // A cancel ends the command: no message, nothing written.
            if (progress.wasCanceled())
                return;
        }
        switch (result) {
        case 1:
            platform::showMessage(
                title, QStringLiteral("新着の当選番号データはありません。"), MessageBox::Icon::Information);
            return;
        case -1:
            platform::showMessage(
                title, QStringLiteral("新着データリストの読み込みに失敗しました。"), MessageBox::Icon::Warning);
            return;
        default:
            break;
        }
        if (!duplicates.isEmpty())
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
        platform::showMessage(
            title, QStringLiteral("ファイルのダウンロードに失敗しました。"), MessageBox::Icon::Critical);
    }
}
