#pragma once

#include "platform/xmldocument.h"

#include <QByteArray>
#include <QString>

#include <memory>

// A data file parsed once, for every reader of data files: the loader, the
// card-type list, the editor's look at another file, and the check of a file
// before it is stored.
namespace modNengajo {

// The longest related web page a data file may give, as the schema bounds
// it: the prize list shows the address whole (a text box holds 32767
// characters and would cut a longer one) and opens what it shows.
inline constexpr qsizetype MaxUrlLength = 2048;

struct ParsedDataFile
{
    // Null when the file did not parse (or, validating, was not valid).
    std::unique_ptr<platform::xml::Document> document;
    // Then the first error: "[line:L, pos:C] reason".
    QString error;
};

// What went wrong in a parse, in the user's words: the parser's own
// description of an error in the text, the program's for the others (a
// missing file, one too large, ...). Without the place.
QString ParseErrorText(const platform::xml::ParseError &error);

// The program's schema (data/tousen1.2.xsd of the program folder), compiled;
// it validates nothing when the file is missing or cannot be read.
std::unique_ptr<platform::xml::SchemaCache> ProgramSchema();

// Parses the data file at path, validating it against schemas when they hold
// a schema; with none (or nullptr) only whether it is well-formed is checked.
ParsedDataFile ParseDataFile(const QString &path, const platform::xml::SchemaCache *schemas);

// What keeps bytes from being a data file the program can choose and load:
// the first error against the program's schema ("[line:L, pos:C] reason"), or
// what the loader cannot read (a comment among the classes, say). Empty when
// they are one.
QString CheckDataBytes(const QByteArray &bytes);

} // namespace modNengajo
