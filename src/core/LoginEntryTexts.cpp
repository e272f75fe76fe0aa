#include "core/LoginEntryTexts.h"

#include "core/FileErrorText.h"

#include "core/modNengajo.h"

#include <QDir>

namespace {

using Failure = LoginEntryChange::Failure;
using Found = LoginEntry::Found;

QString quoted(const QString &path)
{
    return u'"' + QDir::toNativeSeparators(path) + u'"';
}

} // namespace

LoginEntryNames LoginEntryTexts::names()
{
    return {QStringLiteral("Harovan 引換期限のお知らせ"),
        QStringLiteral("当たったはがきの賞品の引換期限が近づくと、ログインしたときにお知らせします")};
}

QString LoginEntryTexts::found(const LoginEntry &entry)
{
    switch (entry.found) {
    case Found::LinkToNothing:
        return QStringLiteral("ないファイル ") + quoted(entry.name) + QStringLiteral(" へのリンク");
    case Found::Folder:
        return QStringLiteral("フォルダー");
    case Found::Link:
        return QStringLiteral("ファイル ") + quoted(entry.name) + QStringLiteral(" へのリンク");
    case Found::Unreadable:
        return QStringLiteral("読めないファイル");
    case Found::NotAnEntry:
        return QStringLiteral("ログイン時に起動するプログラムの設定ではないファイル");
    case Found::OtherProgram:
        return QStringLiteral("別のプログラム ") + quoted(entry.name) + QStringLiteral(" の設定");
    case Found::Nothing:
        break;
    }
    return {};
}

QString LoginEntryTexts::failure(const LoginEntryChange &change, bool inFile)
{
    const QString &crLf = modNengajo::CrLf;
    switch (change.failure) {
    case Failure::None:
        return {};
    case Failure::NoHome:
        return QStringLiteral("ホームフォルダーがないため、ログイン時のお知らせを設定できません。");
    case Failure::Foreign:
        if (!inFile)
            return QStringLiteral("ログイン時のお知らせの設定 ") + change.path + QStringLiteral(" にあるのは、")
                + found(change.entry) + QStringLiteral("で、このプログラムのものではありません。") + crLf
                + QStringLiteral("この設定は変更も削除もしません。");
        return QStringLiteral("ログイン時のお知らせの設定ファイルの場所 ") + quoted(change.path)
            + QStringLiteral(" にあるのは、") + found(change.entry)
            + QStringLiteral("で、このプログラムのものではありません。") + crLf
            + QStringLiteral("このファイルは変更も削除もしません。");
    case Failure::ProgramPath:
        if (!inFile)
            return QStringLiteral("プログラムの場所 ") + quoted(change.path)
                + QStringLiteral(" は、ログイン時に起動する設定に書けません。");
        return QStringLiteral("プログラムの場所 ") + quoted(change.path)
            + QStringLiteral(" をログイン時に起動するよう設定できません。");
    case Failure::FolderNotMade:
        return QStringLiteral("フォルダー ") + quoted(change.path) + QStringLiteral(" を作れませんでした。") + crLf
            + (change.other.isEmpty() ? FileErrorText::text(change.refusal)
                                      : quoted(change.other) + QStringLiteral(" はフォルダーではなくファイルです。"));
    case Failure::NotWritten:
    case Failure::NotRemoved:
        if (!inFile)
            return QStringLiteral("ログイン時のお知らせを設定できませんでした。") + crLf
                + FileErrorText::text(change.refusal);
        return QStringLiteral("ファイル ") + quoted(change.path)
            + (change.failure == Failure::NotWritten ? QStringLiteral(" に保存できませんでした。")
                                                     : QStringLiteral(" を削除できませんでした。"))
            + crLf + FileErrorText::text(change.refusal);
    }
    return {};
}
