#pragma once

#include "platform/fileaccess.h"

#include "platform/service.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

// libxml2 behind a small DOM in the manner the program's data files need:
// validation during the parse against a schema cache, the first error with its
// line and column, blank text between elements not counted as a node, missing
// attributes distinct from empty ones, and no network or entity access ever.
// A document that declares an entity is refused. Files are read whole and
// parsed from memory; only regular files are read.
namespace platform::xml {

// Files larger than this are refused before parsing.
inline constexpr qint64 MaxDocumentBytes = 1024 * 1024;

struct ParseError
{
    // What failed. Parse: the parser or the validator, at a place in the text,
    // as reason describes it. The others are found before or around the
    // parse, at no place in the text, and have no words here: whoever tells
    // the user says them.
    enum class Kind {
        None,
        Parse,
        Missing, // no file at path
        NotAFile, // a folder, FIFO, device or socket at path
        CannotRead, // the system refused to read path (read)
        TooLarge, // over MaxDocumentBytes
        NoParser, // the parser or the validator could not be set up
        NotRead, // the parser gave no document and said nothing
    };

    int errorCode = 0; // 0: no error
    int line = 0;
    int linepos = 0;
    QString reason; // Parse: the parser's own description, without a trailing newline
    Kind kind = Kind::None;
    QString path; // Missing, NotAFile, CannotRead: the file's path
    platform::FileResult read; // CannotRead: what the system said
};

class SchemaCache
{
public:
    SchemaCache();
    ~SchemaCache();

    // Compiles the schema at schemaPath for namespaceUri. False when the schema
    // cannot be read or compiled; the cache then validates nothing.
    bool add(const QString &namespaceUri, const QString &schemaPath);
    bool isEmpty() const;

private:
    friend class Document;
    struct Impl;
    std::unique_ptr<Impl> d;
};

// A handle to a node of a Document; valid while the document lives.
class Node
{
public:
    Node() = default;

    bool isNull() const { return m_node == nullptr; }
    bool isElement() const;
    // Name of an element as written, with its prefix if it has one ("x:opml").
    QString name() const;
    // Child nodes in document order, blank text nodes left out.
    QList<Node> childNodes() const;
    bool hasChildNodes() const { return !childNodes().isEmpty(); }
    // Missing attribute: std::nullopt; present but empty: an empty string.
    std::optional<QString> attribute(const QString &name) const;
    // Every descendant element with this local name, in document order.
    QList<Node> elementsByTagName(const QString &name) const;
    // The text content of the node and all its descendants.
    QString text() const;

private:
    friend class Document;
    explicit Node(void *node)
        : m_node(node)
    { }
    void *m_node = nullptr; // xmlNodePtr
};

class Document
{
public:
    Document();
    ~Document();

    void setValidateOnParse(bool validate);
    // Not owned; must outlive the load.
    void setSchemas(const SchemaCache *schemas);

    // Parses a file. False when it is missing, too large, not well-formed or,
    // when validating, not valid; parseError() then describes the first error.
    bool load(const QString &path);
    // Parses a document held in memory, with the same rules.
    bool loadXml(const QByteArray &bytes);

    const ParseError &parseError() const;
    // Null when nothing was loaded.
    Node documentElement() const;
    // The document's own children (root element, comments, processing instructions).
    QList<Node> childNodes() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Whether the XML component is usable: libxml2 with XML Schema support.
class XmlComponent
{
public:
    virtual ~XmlComponent() = default;
    virtual bool isAvailable() = 0;
};

class LibXmlComponent final : public XmlComponent
{
public:
    bool isAvailable() override;
};

} // namespace platform::xml
