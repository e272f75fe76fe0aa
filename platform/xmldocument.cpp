#include "platform/xmldocument.h"

#include "platform/cp932.h"
#include "platform/fileaccess.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

namespace platform::xml {

namespace {

// libxml2 2.12 hands error handlers a const error.
#if LIBXML_VERSION >= 21200
using ErrorPtr = const xmlError *;
#else
using ErrorPtr = xmlErrorPtr;
#endif

// Data files and the list document never need anything from outside: every
// external entity, DTD or included schema is refused, whatever asks for it.
xmlParserInputPtr refuseExternalEntity(const char *, const char *, xmlParserCtxtPtr)
{
    return nullptr;
}

// Files written on Windows declare Shift_JIS but hold CP932 characters
// (①, ㈱, ～); glibc's Shift_JIS decoder rejects those, its CP932 reads them.
void registerShiftJisAsCp932()
{
    static const char *const shiftJisNames[] = {"Shift_JIS", "Shift-JIS", "SJIS", "x-sjis", "MS_Kanji", "csShiftJIS"};
    registerCp932Decoder();
    xmlCharEncodingHandlerPtr cp932 = xmlFindCharEncodingHandler("CP932");
    if (!cp932)
        return;
    xmlCharEncCloseFunc(cp932);
    for (const char *name : shiftJisNames)
        xmlAddEncodingAlias("CP932", name);
}

void initLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(refuseExternalEntity);
        registerShiftJisAsCp932();
    });
}

template <auto Free> struct Deleter
{
    template <typename T> void operator()(T *p) const { Free(p); }
};
void freeXmlChars(xmlChar *text)
{
    xmlFree(text);
}
using DocPtr = std::unique_ptr<xmlDoc, Deleter<xmlFreeDoc>>;
using ParserCtxtPtr = std::unique_ptr<xmlParserCtxt, Deleter<xmlFreeParserCtxt>>;
using ValidCtxtPtr = std::unique_ptr<xmlSchemaValidCtxt, Deleter<xmlSchemaFreeValidCtxt>>;
using SaxPlugPtr = std::unique_ptr<xmlSchemaSAXPlugStruct, Deleter<xmlSchemaSAXUnplug>>;
using SchemaPtr = std::unique_ptr<xmlSchema, Deleter<xmlSchemaFree>>;
using XmlCharPtr = std::unique_ptr<xmlChar, Deleter<freeXmlChars>>;

QString fromXmlChars(const xmlChar *text)
{
    return text ? QString::fromUtf8(reinterpret_cast<const char *>(text)) : QString();
}

const xmlChar *toXmlChars(const QByteArray &utf8)
{
    return reinterpret_cast<const xmlChar *>(utf8.constData());
}

void ignoreError(void *, ErrorPtr) { }

void ignoreGenericError(void *, const char *, ...) { }

// libxml2 prints some notes of its own through its generic channel, outside
// any parse's handlers (a character conversion that fails, for one); they
// are kept off the console while the program's own parse runs.
struct QuietGenericErrors
{
    const xmlGenericErrorFunc function = xmlGenericError;
    void *const context = xmlGenericErrorContext;
    QuietGenericErrors() { xmlSetGenericErrorFunc(nullptr, ignoreGenericError); }
    ~QuietGenericErrors() { xmlSetGenericErrorFunc(context, function); }
};

// One parse. libxml2's tree builder takes the parser context for its own, so
// the handlers that stand in front of it find the rest here, on the thread
// that parses.
//
// With a schema, they also feed its validator. libxml2's own hook would hand
// it every piece of text as the parser meets it, and the validator adds each
// piece to the element's text by first measuring all of it again: an element
// written in many pieces (references such as &lt; or &#49;, CDATA sections)
// would cost time by the square of its length. Here the pieces between two
// tags reach the validator joined, in one go.
struct Parse
{
    xmlParserCtxtPtr ctxt = nullptr;
    bool failed = false;
    ParseError error; // the first one of the parse; later ones are ignored
    xmlSAXHandlerPtr validator = nullptr; // set by xmlSchemaSAXPlug
    void *validatorData = nullptr;
    std::string text;
    bool cdata = false; // a CDATA section among the pieces: no element-only content may hold one
    std::optional<std::pair<int, int>> textEnd; // where the pieces end, once there are some
    std::optional<std::pair<int, int>> flushing; // the validator is looking at text that ended here

    void record(int code, int line, int column, const char *message)
    {
        if (failed)
            return;
        failed = true;
        error = {code != 0 ? code : -1, line, column, QString::fromUtf8(message ? message : "Unknown error").trimmed(),
            ParseError::Kind::Parse, {}, {}};
    }

    std::pair<int, int> position() const
    {
        return flushing.value_or(std::pair(xmlSAX2GetLineNumber(ctxt), xmlSAX2GetColumnNumber(ctxt)));
    }

    void addText(const xmlChar *piece, int length, bool isCdata)
    {
        if (!validator)
            return;
        text.append(reinterpret_cast<const char *>(piece), static_cast<size_t>(std::max(length, 0)));
        cdata = cdata || isCdata;
        textEnd = position();
    }

    void flushText()
    {
        if (!textEnd)
            return;
        flushing = textEnd;
        const auto *bytes = reinterpret_cast<const xmlChar *>(text.data());
        if (cdata && validator->cdataBlock)
            validator->cdataBlock(validatorData, bytes, static_cast<int>(text.size()));
        else if (!cdata && validator->characters)
            validator->characters(validatorData, bytes, static_cast<int>(text.size()));
        flushing.reset();
        textEnd.reset();
        text.clear();
        cdata = false;
    }
};

thread_local Parse *parsing = nullptr;

// Errors of the parser carry its own position.
void recordParserError(void *, ErrorPtr error)
{
    if (parsing && error && error->level >= XML_ERR_ERROR)
        parsing->record(error->code, error->line, error->int2, error->message);
}

// The validator knows only the element's line: the parser's position when it
// complains is taken, just after the offending tag or text.
void recordSchemaError(void *data, ErrorPtr error)
{
    auto *parse = static_cast<Parse *>(data);
    if (!error || error->level < XML_ERR_ERROR)
        return;
    const auto [line, column] = parse->position();
    parse->record(error->code, line, column, error->message);
}

// No document the program reads declares an entity, so every declaration is
// refused where it stands: nothing from outside can reach the data, and no
// small file can read as far more text through references repeated over and
// over (which the parser does not stop).
void refuseEntityDeclaration(void *ctxt, const xmlChar *name, int type, const xmlChar *, const xmlChar *, xmlChar *)
{
    const QByteArray entity = QByteArray(reinterpret_cast<const char *>(name));
    const bool internal = type == XML_INTERNAL_GENERAL_ENTITY || type == XML_INTERNAL_PARAMETER_ENTITY;
    const QByteArray reason = !internal ? "External entity '" + entity + "' is not allowed"
        : parsing->validator ? "Entity '" + entity + "' is not allowed in a document validated against a schema"
                             : "Entity '" + entity + "' is not allowed";
    parsing->record(-1, xmlSAX2GetLineNumber(ctxt), xmlSAX2GetColumnNumber(ctxt), reason.constData());
    xmlStopParser(static_cast<xmlParserCtxtPtr>(ctxt));
}

void startElement(void *ctxt, const xmlChar *localName, const xmlChar *prefix, const xmlChar *uri, int namespaceCount,
    const xmlChar **namespaces, int attributeCount, int defaultedCount, const xmlChar **attributes)
{
    parsing->flushText();
    xmlSAX2StartElementNs(
        ctxt, localName, prefix, uri, namespaceCount, namespaces, attributeCount, defaultedCount, attributes);
    if (parsing->validator)
        parsing->validator->startElementNs(parsing->validatorData, localName, prefix, uri, namespaceCount, namespaces,
            attributeCount, defaultedCount, attributes);
}

void endElement(void *ctxt, const xmlChar *localName, const xmlChar *prefix, const xmlChar *uri)
{
    parsing->flushText();
    xmlSAX2EndElementNs(ctxt, localName, prefix, uri);
    if (parsing->validator)
        parsing->validator->endElementNs(parsing->validatorData, localName, prefix, uri);
}

void characters(void *ctxt, const xmlChar *text, int length)
{
    xmlSAX2Characters(ctxt, text, length);
    parsing->addText(text, length, false);
}

void cdataBlock(void *ctxt, const xmlChar *text, int length)
{
    xmlSAX2CDataBlock(ctxt, text, length);
    parsing->addText(text, length, true);
}

// Reads a whole regular file of at most MaxDocumentBytes; what went wrong when
// it cannot. A FIFO or device of that name is never opened for real.
std::optional<ParseError> readCapped(const QString &path, QByteArray &bytes)
{
    const FileResult read = readRegularFile(path, MaxDocumentBytes, bytes);
    const auto failed = [&path, &read](ParseError::Kind kind) { return ParseError {-1, 0, 0, {}, kind, path, read}; };
    switch (read.error) {
    case FileError::None:
        return std::nullopt;
    case FileError::Missing:
        return failed(ParseError::Kind::Missing);
    case FileError::NotAFile:
    case FileError::Folder:
        return failed(ParseError::Kind::NotAFile);
    case FileError::TooLarge:
        return failed(ParseError::Kind::TooLarge);
    default:
        return failed(ParseError::Kind::CannotRead);
    }
}

xmlNodePtr asNode(void *node)
{
    return static_cast<xmlNodePtr>(node);
}

// Blank text between elements is layout, not content; the document type
// declaration belongs to the parser, not to the data.
bool isLayout(xmlNodePtr node)
{
    return (node->type == XML_TEXT_NODE && xmlIsBlankNode(node)) || node->type == XML_DTD_NODE;
}

bool hasOwnChildren(xmlNodePtr node)
{
    return node->type == XML_ELEMENT_NODE || node->type == XML_DOCUMENT_NODE;
}

} // namespace

struct SchemaCache::Impl
{
    DocPtr document; // the compiled schema points into it
    SchemaPtr schema;
};

SchemaCache::SchemaCache()
    : d(std::make_unique<Impl>())
{
    initLibrary();
}

SchemaCache::~SchemaCache() = default;

bool SchemaCache::add(const QString &namespaceUri, const QString &schemaPath)
{
    d->schema.reset();
    d->document.reset();
    const QuietGenericErrors quiet;
    QByteArray bytes;
    if (readCapped(schemaPath, bytes) || bytes.isEmpty())
        return false;
    DocPtr doc(xmlReadMemory(bytes.constData(), static_cast<int>(bytes.size()), nullptr, nullptr,
        XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (!doc)
        return false;
    const XmlCharPtr target(xmlGetNoNsProp(xmlDocGetRootElement(doc.get()), toXmlChars("targetNamespace")));
    if (fromXmlChars(target.get()) != namespaceUri)
        return false;
    const std::unique_ptr<xmlSchemaParserCtxt, Deleter<xmlSchemaFreeParserCtxt>> parser(
        xmlSchemaNewDocParserCtxt(doc.get()));
    if (!parser)
        return false;
    xmlSchemaSetParserStructuredErrors(parser.get(), ignoreError, nullptr);
    SchemaPtr schema(xmlSchemaParse(parser.get()));
    if (!schema)
        return false;
    d->document = std::move(doc);
    d->schema = std::move(schema);
    return true;
}

bool SchemaCache::isEmpty() const
{
    return !d->schema;
}

bool Node::isElement() const
{
    return m_node && asNode(m_node)->type == XML_ELEMENT_NODE;
}

QString Node::name() const
{
    if (!isElement())
        return {};
    const xmlNode *node = asNode(m_node);
    const QString local = fromXmlChars(node->name);
    if (node->ns && node->ns->prefix)
        return fromXmlChars(node->ns->prefix) + u':' + local;
    return local;
}

QList<Node> Node::childNodes() const
{
    QList<Node> children;
    if (!m_node || !hasOwnChildren(asNode(m_node)))
        return children;
    for (xmlNodePtr child = asNode(m_node)->children; child; child = child->next) {
        if (!isLayout(child))
            children.append(Node(child));
    }
    return children;
}

std::optional<QString> Node::attribute(const QString &name) const
{
    if (!isElement())
        return std::nullopt;
    const QByteArray utf8 = name.toUtf8();
    // Only attributes written in the file; never defaults from a DTD. A plain
    // name is the attribute written without a prefix: p:type is another one.
    for (xmlAttrPtr attr = asNode(m_node)->properties; attr; attr = attr->next) {
        if (!attr->ns && xmlStrEqual(attr->name, toXmlChars(utf8))) {
            const XmlCharPtr value(xmlNodeGetContent(reinterpret_cast<xmlNodePtr>(attr)));
            return value ? fromXmlChars(value.get()) : QStringLiteral("");
        }
    }
    return std::nullopt;
}

QList<Node> Node::elementsByTagName(const QString &name) const
{
    QList<Node> found;
    if (!m_node || !hasOwnChildren(asNode(m_node)))
        return found;
    const QByteArray utf8 = name.toUtf8();
    const bool any = name == u"*";
    // Depth first in document order, without recursion: nesting depth is the file's choice.
    std::vector<xmlNodePtr> pending;
    for (xmlNodePtr child = asNode(m_node)->last; child; child = child->prev)
        pending.push_back(child);
    while (!pending.empty()) {
        const xmlNodePtr node = pending.back();
        pending.pop_back();
        if (node->type != XML_ELEMENT_NODE)
            continue;
        if (any || xmlStrEqual(node->name, toXmlChars(utf8)))
            found.append(Node(node));
        for (xmlNodePtr child = node->last; child; child = child->prev)
            pending.push_back(child);
    }
    return found;
}

QString Node::text() const
{
    return fromXmlChars(XmlCharPtr(xmlNodeGetContent(asNode(m_node))).get());
}

struct Document::Impl
{
    DocPtr doc;
    ParseError error;
    bool validateOnParse = false;
    const SchemaCache *schemas = nullptr;

    bool parse(const QByteArray &bytes);
    bool fail(const ParseError &parseError)
    {
        doc.reset();
        error = parseError;
        return false;
    }
    // A failure that is not the parser's: at no place in the text.
    bool fail(ParseError::Kind kind) { return fail(ParseError {-1, 0, 0, {}, kind, {}, {}}); }
};

Document::Document()
    : d(std::make_unique<Impl>())
{
    initLibrary();
}

Document::~Document() = default;

void Document::setValidateOnParse(bool validate)
{
    d->validateOnParse = validate;
}

void Document::setSchemas(const SchemaCache *schemas)
{
    d->schemas = schemas;
}

bool Document::load(const QString &path)
{
    QByteArray bytes;
    if (const std::optional<ParseError> error = readCapped(path, bytes))
        return d->fail(*error);
    return d->parse(bytes);
}

bool Document::loadXml(const QByteArray &bytes)
{
    if (bytes.size() > MaxDocumentBytes)
        return d->fail(ParseError::Kind::TooLarge);
    return d->parse(bytes);
}

bool Document::Impl::parse(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return fail(ParseError {-1, 0, 0, QStringLiteral("Document is empty"), ParseError::Kind::Parse, {}, {}});

    const QuietGenericErrors quiet;
    const xmlSchemaPtr schema = validateOnParse && schemas ? schemas->d->schema.get() : nullptr;
    Parse state;

    // libxml2's tree builder, with the handlers above in front of it, in a
    // context of its own; the parse reads the whole document from memory.
    xmlSAXHandler handlers {};
    xmlSAXVersion(&handlers, 2);
    handlers.entityDecl = refuseEntityDeclaration;
    handlers.startElementNs = startElement;
    handlers.endElementNs = endElement;
    handlers.characters = characters;
    handlers.ignorableWhitespace = characters;
    handlers.cdataBlock = cdataBlock;
    handlers.serror = recordParserError;
    const ParserCtxtPtr ctxt(xmlCreatePushParserCtxt(&handlers, nullptr, nullptr, 0, nullptr));
    if (!ctxt)
        return fail(ParseError::Kind::NoParser);
    state.ctxt = ctxt.get();

    // Declared in this order so that the plug goes first.
    ValidCtxtPtr validator;
    SaxPlugPtr plug;
    if (schema) {
        validator.reset(xmlSchemaNewValidCtxt(schema));
        if (validator) {
            xmlSchemaSetValidStructuredErrors(validator.get(), recordSchemaError, &state);
            plug.reset(xmlSchemaSAXPlug(validator.get(), &state.validator, &state.validatorData));
        }
        if (!plug || !state.validator)
            return fail(ParseError::Kind::NoParser);
    }

    parsing = &state;
    // Network off; entities stay references, no DTD is loaded, the usual size
    // and depth limits stay on.
    DocPtr parsed(xmlCtxtReadMemory(ctxt.get(), bytes.constData(), static_cast<int>(bytes.size()), nullptr, nullptr,
        XML_PARSE_NONET | XML_PARSE_BIG_LINES));
    const bool valid = !validator || xmlSchemaIsValid(validator.get()) == 1;
    plug.reset();
    parsing = nullptr;

    if (state.failed)
        return fail(state.error);
    if (!parsed || !valid)
        return fail(ParseError::Kind::NotRead);
    doc = std::move(parsed);
    error = {};
    return true;
}

const ParseError &Document::parseError() const
{
    return d->error;
}

Node Document::documentElement() const
{
    return d->doc ? Node(xmlDocGetRootElement(d->doc.get())) : Node();
}

QList<Node> Document::childNodes() const
{
    return d->doc ? Node(d->doc.get()).childNodes() : QList<Node>();
}

bool LibXmlComponent::isAvailable()
{
    initLibrary();
    // The library in use must be the one built against (same major version, no
    // older minor), and able to validate against XML Schema.
    const int running = xmlParserVersion ? std::atoi(xmlParserVersion) : 0;
    return running / 10000 == LIBXML_VERSION / 10000 && running / 100 >= LIBXML_VERSION / 100
        && xmlHasFeature(XML_WITH_SCHEMAS) != 0;
}

} // namespace platform::xml
