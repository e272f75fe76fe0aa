#pragma once

#include "platform/fileaccess.h"

#include <QString>

// The user's words for each way a file can fail (platform::FileError): the
// one table every message about a file reads from.
namespace FileErrorText {

// "ディスクの空きがありません" for a full disk, "書き込みが許可されていません"
// for a refused write, ...; empty for None.
QString words(platform::FileError error);

// The words, then the system's own text in parentheses when it adds
// something to them; empty for success.
QString text(const platform::FileResult &result);

// An errno value (what a call outside the seam left) as text().
QString ofErrno(int errorNumber, platform::FileUse use = platform::FileUse::Write);

} // namespace FileErrorText
