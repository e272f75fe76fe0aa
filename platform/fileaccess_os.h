#pragma once

#include "platform/fileaccess.h"

// What fileaccess.cpp asks of fileaccess_unix.cpp or fileaccess_win.cpp.
namespace platform {

// The kind of failure an errno value stands for.
FileError failureOf(int errorNumber, FileUse use);
// The system's own text for an errno value.
QString systemText(int errorNumber);
// Forgets the reason of an earlier failure before a call that may fail.
void clearLastError();
// The system's reason for the call that just failed: errno, or on Windows
// the error code of its own calls that Qt makes; a failure reported without
// either counts as a failed disk access.
FileResult lastFailure(FileUse use = FileUse::Write);
// Makes the open file size bytes long, its new part set aside on the disk.
FileResult lengthen(QFile &file, qint64 size);

} // namespace platform
