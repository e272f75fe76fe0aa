#pragma once

#include <QString>

// The ending of an operation that either does what it was asked or fails.
enum class Ended { AsAsked, Failed };

// What came of an operation that can fail and say why: how it ended, and the
// words that tell the user why it did not end as asked. The one shape of the
// program's operations, but for the routines whose status codes are fixed
// (LoadDataFile, GetNewDataList). A Code's first value (0) is the ending
// asked for; the words are empty then.
template <typename Code = Ended> struct Outcome
{
    Code code {};
    QString words;

    bool ok() const { return code == Code {}; }
    bool operator==(const Outcome &) const = default;
};
