#include "core/AtariBookTexts.h"

#include <QDir>

namespace {

const QString BookName = QStringLiteral("当たったはがきの記録（atari.db）");

} // namespace

QString BookTexts::Failure(const QString &sqliteText)
{
    return QStringLiteral("記録を読み書きできませんでした（") + sqliteText + u'）';
}

QString BookTexts::Unchangeable(const QString &reason)
{
    return BookName + QStringLiteral("に書き込めません。") + reason + QStringLiteral("。");
}

QString BookTexts::Message(AtariBook::State state, const QString &reason, const QString &path)
{
    using State = AtariBook::State;
    const QString cannotOpen = BookName + QStringLiteral("を開けません。");
    const QString withoutBook
        = QStringLiteral("はがきのチェックはこのまま続けられますが、当たったはがきは記録されません。");
    QString text;
    switch (state) {
    case State::Ready:
        return {};
    case State::ReadOnly:
        text = Unchangeable(reason) + modNengajo::CrLf
            + QStringLiteral(
                "記録してある当たりはがきは一覧に表示されますが、新しい当たりはがきや引換の印は記録されません。");
        break;
    case State::WriteFailed:
        text = BookName + QStringLiteral("に書き込めませんでした。") + reason + QStringLiteral("。") + modNengajo::CrLf
            + QStringLiteral("今の変更は記録されていません。はがきのチェックはこのまま続けられます。");
        break;
    case State::NotABook:
        text = cannotOpen + QStringLiteral("Harovanの記録ではないファイルです。") + modNengajo::CrLf + withoutBook;
        break;
    case State::Damaged:
        text = cannotOpen + (reason.isEmpty() ? QStringLiteral("ファイルが壊れています。") : reason + u'。')
            + modNengajo::CrLf + withoutBook;
        break;
    case State::TooNew:
        text = cannotOpen + QStringLiteral("新しい版のHarovanで作られた記録です。新しい版のHarovanをお使いください。")
            + modNengajo::CrLf + withoutBook;
        break;
    case State::Unreadable:
        text = cannotOpen + reason + QStringLiteral("。") + modNengajo::CrLf + withoutBook;
        break;
    }
    return text + modNengajo::CrLf + modNengajo::CrLf + QDir::toNativeSeparators(path);
}

QString BookTexts::NewBookQuestion(const QString &asideName)
{
    return QStringLiteral("新しい記録を始めますか？") + modNengajo::CrLf + QStringLiteral("今のファイルは「")
        + asideName + QStringLiteral("」という名前で同じフォルダーに残します。");
}

QString BookTexts::NotMovedAside(const QString &systemReason)
{
    const QString failure = BookName + QStringLiteral("の名前を変えられませんでした。");
    return systemReason.isEmpty() ? failure : failure + modNengajo::CrLf + systemReason;
}
