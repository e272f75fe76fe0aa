#pragma once

#include <QDate>
#include <QString>

#include <optional>

// settings.ini, the user's choices (UserFiles::settingsPath() says where it
// lies), and the one owner of its keys, all in the section [Settings]:
//   FileName       the data file of the card type in use, a bare name
//   TextSize       the text size in percent
//   Reminded       the day the exchange deadline was last told
//   RemindAtLogin  1 or 0, the user's answer to the login reminder's question;
//                  whether it is on is the entry's own state (core/LoginEntry.h)
// It stays a text file the user may edit: writing a key changes its one line
// and keeps every other line, key and comment. A setter returns false when
// settings.ini cannot be written; a value it already holds is not written
// again.
class Settings
{
public:
    // The remembered data file, up to its first NUL; the default file when
    // none is remembered or the value is empty.
    static QString fileName();
    static bool setFileName(const QString &name);

    // The text size as written, for TextSize::fromSetting to judge.
    static QString textSize();
    static bool setTextSize(int percent);

    // Null when never.
    static QDate reminded();
    static bool setReminded(const QDate &day);

    // Nothing when never answered.
    static std::optional<bool> remindAtLogin();
    static bool setRemindAtLogin(bool yes);

    // Keeps the data file in force, as at exit. When settings.ini cannot keep
    // it, or it is empty because the remembered file was missing or led out of
    // the data folder: the words that tell the user, once (told: they were told before);
    // none for a settings.ini the user made read-only, which keeps its choice
    // on purpose. While stopping nobody waits on a box: the note of
    // noteUnsavedFileName tells the next start (unsavedFileNameText).
    static QString keepFileName(const QString &name, bool stopping, bool &told);
    // At start: the words about a choice the last run could not keep, once;
    // empty when there is none.
    static QString unsavedFileNameText();

    // The card type could not be saved while the session ended, when nobody
    // could be told: a note beside settings.ini keeps its name for the next
    // start, which takes it (true once, and the note is gone). A note that is
    // no file, or whose name settings.ini holds by now, is taken untold.
    static void noteUnsavedFileName(const QString &name = {});
    static bool takeUnsavedFileNameNote();
};
