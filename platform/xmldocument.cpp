#include "platform/xmldocument.h"

#include "platform/filewrite.h"
#include "platform/regularfile.h"

#include <libxml/SAX2.h>
#include <libxml/encoding.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/schemasInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlschemas.h>
#include <libxml/xmlversion.h>

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace platform::xml {

namespace {

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

template <typename T, void (*Free)(T *)> struct LibXmlDeleter
{
    void operator()(T *p) const { Free(p); }
};
template <typename T, void (*Free)(T *)> using LibXmlPtr = std::unique_ptr<T, LibXmlDeleter<T, Free>>;

using DocPtr = LibXmlPtr<xmlDoc, xmlFreeDoc>;
using ParserCtxtPtr = LibXmlPtr<xmlParserCtxt, xmlFreeParserCtxt>;
using SchemaParserCtxtPtr = LibXmlPtr<xmlSchemaParserCtxt, xmlSchemaFreeParserCtxt>;
using SchemaPtr = LibXmlPtr<xmlSchema, xmlSchemaFree>;
using ValidCtxtPtr = LibXmlPtr<xmlSchemaValidCtxt, xmlSchemaFreeValidCtxt>;

void unplug(xmlSchemaSAXPlugStruct *plug)
{
    xmlSchemaSAXUnplug(plug);
}
using SaxPlugPtr = LibXmlPtr<xmlSchemaSAXPlugStruct, unplug>;

void freeXmlChars(xmlChar *text)
{
    xmlFree(text);
}
using XmlCharPtr = LibXmlPtr<xmlChar, freeXmlChars>;

QString fromXmlChars(const xmlChar *text)
{
    return text ? QString::fromUtf8(reinterpret_cast<const char *>(text)) : QString();
}

const xmlChar *toXmlChars(const QByteArray &utf8)
{
    return reinterpret_cast<const xmlChar *>(utf8.constData());
}

struct ValidatorFeed;

// The first error of one parse; later ones are ignored.
struct ParseState
{
    xmlParserCtxtPtr ctxt = nullptr;
    // Set while a schema validator takes part in the parse.
    ValidatorFeed *feed = nullptr;
    bool failed = false;
    ParseError first;
    // Where the text the validator is looking at ended; the parser is further on by then.
    std::optional<std::pair<int, int>> textEnd;

    void record(int code, int line, int column, const char *message)
    {
        if (failed)
            return;
        failed = true;
        first.errorCode = code != 0 ? code : -1;
        first.line = line;
        first.linepos = column;
        first.reason = QString::fromUtf8(message ? message : "Unknown error");
        while (first.reason.endsWith(u'\n') || first.reason.endsWith(u'\r'))
            first.reason.chop(1);
    }
};

// Errors of the parser itself: the context carries the state of its parse.
// An error inside an entity's text is placed at the document's own position
// (the reference), not at a position within the entity.
void parserErrorHandler(void *, xmlErrorPtr error)
{
    if (!error || error->level < XML_ERR_ERROR || !error->ctxt)
        return;
    auto *ctxt = static_cast<xmlParserCtxtPtr>(error->ctxt);
    auto *state = static_cast<ParseState *>(ctxt->_private);
    if (!state)
        return;
    const xmlParserCtxtPtr main = state->ctxt;
    if (ctxt == main && main->inputNr <= 1) {
        state->record(error->code, error->line, error->int2, error->message);
    } else {
        const xmlParserInputPtr input = main && main->inputNr > 0 ? main->inputTab[0] : nullptr;
        state->record(error->code, input ? input->line : error->line, input ? input->col : error->int2, error->message);
    }
}

ParseState *stateOf(void *ctx)
{
    return static_cast<ParseState *>(static_cast<xmlParserCtxtPtr>(ctx)->_private);
}

// Only entities whose text stands in the document itself are accepted; one
// that names a file or an address is an error, so no outside content can reach
// the data whatever the parser would do with it. A document checked against a
// schema declares none at all: the validator would take the text of every
// reference again (thousands of references to a long entity take minutes),
// and no data file needs one.
void entityDeclHandler(
    void *ctx, const xmlChar *name, int type, const xmlChar *publicId, const xmlChar *systemId, xmlChar *content)
{
    auto *ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    ParseState *state = stateOf(ctx);
    const bool internal = type == XML_INTERNAL_GENERAL_ENTITY || type == XML_INTERNAL_PARAMETER_ENTITY;
    if (internal && !(state && state->feed)) {
        xmlSAX2EntityDecl(ctx, name, type, publicId, systemId, content);
        return;
    }
    if (state && ctxt->input) {
        const QByteArray entity = QByteArray(reinterpret_cast<const char *>(name));
        const QByteArray reason = internal
            ? "Entity '" + entity + "' is not allowed in a document validated against a schema"
            : "External entity '" + entity + "' is not allowed";
        state->record(-1, ctxt->input->line, ctxt->input->col, reason.constData());
    }
    if (internal)
        xmlStopParser(ctxt);
}

// Errors of the schema validator plugged into the parse. Its own position is
// the element's line only, so the parser's current position is taken.
void schemaErrorHandler(void *data, xmlErrorPtr error)
{
    auto *state = static_cast<ParseState *>(data);
    if (!state || !error || error->level < XML_ERR_ERROR)
        return;
    const xmlParserInputPtr input = state->ctxt ? state->ctxt->input : nullptr;
    if (state->textEnd)
        state->record(error->code, state->textEnd->first, state->textEnd->second, error->message);
    else if (input)
        state->record(error->code, input->line, input->col, error->message);
    else
        state->record(error->code, error->line, 0, error->message);
}

// The parse's events shared between the tree builder and the schema
// validator. libxml2's own splitter hands the validator every piece of text as
// the parser meets it, and the validator adds each piece to the element's text
// by first measuring all of it again: an element written in many pieces
// (references such as &lt; or &#49;, CDATA sections) costs time by the square
// of its length. Here the pieces between two tags reach the validator joined,
// in one go; the tree builder gets every event as before. (References reach
// the tree builder only: the validator does nothing with them.)
struct ValidatorFeed
{
    xmlSAXHandler builder {}; // the tree builder's own handlers
    xmlSAXHandlerPtr validator = nullptr; // set by xmlSchemaSAXPlug
    void *validatorData = nullptr;

    std::string text;
    bool pending = false;
    bool cdata = false; // a CDATA section among the pieces: no element-only content may hold one
    std::pair<int, int> textEnd; // line and column where the last piece ended

    void add(ParseState &state, const xmlChar *piece, int length, bool isCdata)
    {
        text.append(reinterpret_cast<const char *>(piece), static_cast<size_t>(std::max(length, 0)));
        pending = true;
        cdata = cdata || isCdata;
        if (const xmlParserInputPtr input = state.ctxt ? state.ctxt->input : nullptr)
            textEnd = {input->line, input->col};
    }

    void flush(ParseState &state)
    {
        if (!pending)
            return;
        state.textEnd = textEnd;
        const auto *bytes = reinterpret_cast<const xmlChar *>(text.data());
        const int length = static_cast<int>(text.size());
        if (cdata && validator->cdataBlock)
            validator->cdataBlock(validatorData, bytes, length);
        else if (!cdata && validator->characters)
            validator->characters(validatorData, bytes, length);
        state.textEnd.reset();
        text.clear();
        pending = cdata = false;
    }
};

ValidatorFeed &feedOf(void *ctx)
{
    return *stateOf(ctx)->feed;
}

void feedStartElement(void *ctx, const xmlChar *localName, const xmlChar *prefix, const xmlChar *uri,
    int namespaceCount, const xmlChar **namespaces, int attributeCount, int defaultedCount, const xmlChar **attributes)
{
    ValidatorFeed &feed = feedOf(ctx);
    feed.flush(*stateOf(ctx));
    feed.builder.startElementNs(
        ctx, localName, prefix, uri, namespaceCount, namespaces, attributeCount, defaultedCount, attributes);
    feed.validator->startElementNs(feed.validatorData, localName, prefix, uri, namespaceCount, namespaces,
        attributeCount, defaultedCount, attributes);
}

void feedEndElement(void *ctx, const xmlChar *localName, const xmlChar *prefix, const xmlChar *uri)
{
    ValidatorFeed &feed = feedOf(ctx);
    feed.flush(*stateOf(ctx));
    feed.builder.endElementNs(ctx, localName, prefix, uri);
    feed.validator->endElementNs(feed.validatorData, localName, prefix, uri);
}

void feedCharacters(void *ctx, const xmlChar *text, int length)
{
    ValidatorFeed &feed = feedOf(ctx);
    feed.builder.characters(ctx, text, length);
    feed.add(*stateOf(ctx), text, length, false);
}

void feedCdata(void *ctx, const xmlChar *text, int length)
{
    ValidatorFeed &feed = feedOf(ctx);
    feed.builder.cdataBlock(ctx, text, length);
    feed.add(*stateOf(ctx), text, length, true);
}

void ignoreError(void *, xmlErrorPtr) { }

void ignoreGenericError(void *, const char *, ...) { }

// The schema validator prints notes of its own (for instance on entity
// references it does not follow) through libxml2's generic channel; they are
// kept off the console while the program's own parse runs.
class QuietGenericErrors
{
public:
    QuietGenericErrors()
        : m_function(xmlGenericError)
        , m_context(xmlGenericErrorContext)
    {
        xmlSetGenericErrorFunc(nullptr, ignoreGenericError);
    }
    ~QuietGenericErrors() { xmlSetGenericErrorFunc(m_context, m_function); }
    QuietGenericErrors(const QuietGenericErrors &) = delete;
    QuietGenericErrors &operator=(const QuietGenericErrors &) = delete;

private:
    xmlGenericErrorFunc m_function;
    void *m_context;
};

ParseError makeError(int line, int column, const QString &reason)
{
    return ParseError {-1, line, column, reason};
}

// Reads a whole regular file of at most MaxDocumentBytes; the reason when it
// cannot. A FIFO or device of that name is never opened for real.
std::optional<QString> readCapped(const QString &path, QByteArray &bytes)
{
    QFile file;
    switch (openRegularFile(file, path, QIODevice::ReadOnly)) {
    case RegularFile::Opened:
        break;
    case RegularFile::Missing:
        return QStringLiteral("ファイル \"%1\" が見つかりません。").arg(path);
    case RegularFile::NotAFile:
        return QStringLiteral("\"%1\" はファイルではありません。").arg(path);
    case RegularFile::Failed:
        return QStringLiteral("ファイル \"%1\" を読み込めません。%2。")
            .arg(path, systemErrorText(errno, FileAccess::Read));
    }
    if (file.size() > MaxDocumentBytes)
        return QStringLiteral("ファイルが大きすぎます（%1バイトまで）。").arg(MaxDocumentBytes);
    bytes = readUpTo(file, MaxDocumentBytes);
    if (bytes.size() > MaxDocumentBytes)
        return QStringLiteral("ファイルが大きすぎます（%1バイトまで）。").arg(MaxDocumentBytes);
    // QFile keeps no errno: a failed read of a regular file is the disk's.
    if (file.error() != QFileDevice::NoError)
        return QStringLiteral("ファイル \"%1\" を読み込めません。%2。")
            .arg(path, systemErrorText(EIO, FileAccess::Read));
    return std::nullopt;
}

xmlNodePtr asNode(void *node)
{
    return static_cast<xmlNodePtr>(node);
}

// Blank text between elements is layout, not content.
bool isLayoutText(xmlNodePtr node)
{
    return node->type == XML_TEXT_NODE && xmlIsBlankNode(node);
}

// Nodes a data file can meaningfully hold. An entity reference's children are
// the entity's own nodes, not part of this tree, so it is shown as a leaf.
bool hasOwnChildren(xmlNodePtr node)
{
    return node->type == XML_ELEMENT_NODE || node->type == XML_DOCUMENT_NODE;
}

// Text that entity references add to the document, counted the way the text
// of a node reads them. The parser stops entities that nest without end, but
// not one entity referenced over and over: a few kilobytes that name a long
// entity thousands of times would read as gigabytes. Counting stops at the
// limit; the result is then anything above it.
class EntityExpansion
{
public:
    EntityExpansion(xmlDocPtr doc, qint64 limit)
        : m_doc(doc)
        , m_limit(limit)
    { }

    // The first reference at which the text brought in by references passes
    // the limit, or nullptr when the whole document stays within it.
    xmlNodePtr firstExcess(xmlNodePtr root)
    {
        qint64 total = 0;
        std::vector<xmlNodePtr> pending {root};
        while (!pending.empty()) {
            const xmlNodePtr node = pending.back();
            pending.pop_back();
            if (node->type == XML_ENTITY_REF_NODE) {
                total += entityLength(node);
                if (total > m_limit)
                    return node;
                continue;
            }
            if (node->type == XML_ELEMENT_NODE) {
                for (xmlAttrPtr attr = node->properties; attr; attr = attr->next) {
                    for (xmlNodePtr child = attr->children; child; child = child->next)
                        pending.push_back(child);
                }
            }
            if (hasOwnChildren(node)) {
                for (xmlNodePtr child = node->last; child; child = child->prev)
                    pending.push_back(child);
            }
        }
        return nullptr;
    }

private:
    // Length of the text one reference stands for, its own references included.
    qint64 entityLength(xmlNodePtr reference)
    {
        const xmlEntityPtr entity = xmlGetDocEntity(m_doc, reference->name);
        if (!entity)
            return 0;
        if (const auto known = m_lengths.find(entity); known != m_lengths.end())
            return known->second;
        // Seen while its own length is still being counted: a loop, which is never acceptable.
        m_lengths[entity] = m_limit + 1;

        qint64 length = 0;
        std::vector<xmlNodePtr> pending;
        for (xmlNodePtr child = entity->children; child; child = child->next)
            pending.push_back(child);
        while (!pending.empty() && length <= m_limit) {
            const xmlNodePtr node = pending.back();
            pending.pop_back();
            switch (node->type) {
            case XML_TEXT_NODE:
            case XML_CDATA_SECTION_NODE:
                length += xmlStrlen(node->content);
                break;
            case XML_ENTITY_REF_NODE:
                length += entityLength(node);
                break;
            case XML_ELEMENT_NODE:
                for (xmlNodePtr child = node->children; child; child = child->next)
                    pending.push_back(child);
                break;
            default:
                break;
            }
        }
        length = std::min(length, m_limit + 1);
        m_lengths[entity] = length;
        return length;
    }

    xmlDocPtr m_doc;
    qint64 m_limit;
    std::map<xmlEntityPtr, qint64> m_lengths;
};

} // namespace

struct SchemaCache::Impl
{
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
    const QuietGenericErrors quiet;
    QByteArray bytes;
    if (readCapped(schemaPath, bytes) || bytes.isEmpty())
        return false;
    SchemaParserCtxtPtr parser(xmlSchemaNewMemParserCtxt(bytes.constData(), static_cast<int>(bytes.size())));
    if (!parser)
        return false;
    xmlSchemaSetParserStructuredErrors(parser.get(), ignoreError, nullptr);
    SchemaPtr schema(xmlSchemaParse(parser.get()));
    if (!schema || fromXmlChars(schema->targetNamespace) != namespaceUri)
        return false;
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
        if (!isLayoutText(child))
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
    if (!m_node)
        return {};
    const XmlCharPtr content(xmlNodeGetContent(asNode(m_node)));
    return fromXmlChars(content.get());
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
    d->doc.reset();
    d->error = {};
    QByteArray bytes;
    if (const std::optional<QString> reason = readCapped(path, bytes))
        return d->fail(makeError(0, 0, *reason));
    return d->parse(bytes);
}

bool Document::loadXml(const QByteArray &bytes)
{
    d->doc.reset();
    d->error = {};
    if (bytes.size() > MaxDocumentBytes)
        return d->fail(makeError(0, 0, QStringLiteral("The document is larger than %1 bytes.").arg(MaxDocumentBytes)));
    return d->parse(bytes);
}

bool Document::Impl::parse(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return fail(makeError(0, 0, QStringLiteral("Document is empty")));

    const QuietGenericErrors quiet;
    ParseState state;
    ParserCtxtPtr ctxt(xmlCreateMemoryParserCtxt(bytes.constData(), static_cast<int>(bytes.size())));
    if (!ctxt)
        return fail(makeError(0, 0, QStringLiteral("The XML parser cannot be created.")));
    // Network off; entities stay references, no DTD is loaded, the usual size
    // and depth limits stay on.
    xmlCtxtUseOptions(ctxt.get(), XML_PARSE_NONET | XML_PARSE_BIG_LINES);
    ctxt->_private = &state;
    ctxt->sax->serror = parserErrorHandler;
    ctxt->sax->entityDecl = entityDeclHandler;
    state.ctxt = ctxt.get();

    // The validator is plugged into a handler table of its own, which the
    // feed calls beside the tree builder's. Declared in this order so that the
    // plug goes first and writes back into a feed that still exists.
    ValidatorFeed feed;
    ValidCtxtPtr validator;
    SaxPlugPtr plug;
    if (validateOnParse && schemas && !schemas->isEmpty()) {
        validator.reset(xmlSchemaNewValidCtxt(schemas->d->schema.get()));
        if (!validator)
            return fail(makeError(0, 0, QStringLiteral("The schema validator cannot be created.")));
        xmlSchemaSetValidStructuredErrors(validator.get(), schemaErrorHandler, &state);
        plug.reset(xmlSchemaSAXPlug(validator.get(), &feed.validator, &feed.validatorData));
        if (!plug || !feed.validator)
            return fail(makeError(0, 0, QStringLiteral("The schema validator cannot be started.")));
        feed.builder = *ctxt->sax;
        // The same function for characters and blanks, as libxml2's own
        // splitter has it, so that the parser does not sort out blanks itself.
        ctxt->sax->startElementNs = feedStartElement;
        ctxt->sax->endElementNs = feedEndElement;
        ctxt->sax->characters = feedCharacters;
        ctxt->sax->ignorableWhitespace = feedCharacters;
        ctxt->sax->cdataBlock = feedCdata;
        state.feed = &feed;
    }

    const int status = xmlParseDocument(ctxt.get());
    DocPtr parsed(ctxt->myDoc);
    ctxt->myDoc = nullptr;
    const bool wellFormed = ctxt->wellFormed != 0;
    const bool valid = !validator || xmlSchemaIsValid(validator.get()) == 1;
    plug.reset();

    if (state.failed)
        return fail(state.first);
    if (status != 0 || !wellFormed || !valid || !parsed) {
        const xmlParserInputPtr input = ctxt->input;
        return fail(
            makeError(input ? input->line : 0, input ? input->col : 0, QStringLiteral("The document cannot be read.")));
    }
    // A document may be small and still read as far more text than any file
    // the program accepts; it is refused like one that is too large.
    if (const xmlNodePtr excess
        = EntityExpansion(parsed.get(), MaxDocumentBytes).firstExcess(reinterpret_cast<xmlNodePtr>(parsed.get()))) {
        // A reference inside an attribute value has no line of its own: its element's is taken.
        const xmlNodePtr placed
            = excess->parent && excess->parent->type == XML_ATTRIBUTE_NODE ? excess->parent->parent : excess;
        return fail(makeError(static_cast<int>(std::max(0L, xmlGetLineNo(placed))), 0,
            QStringLiteral("Entity references expand to more than %1 bytes.").arg(MaxDocumentBytes)));
    }
    doc = std::move(parsed);
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
    QList<Node> children;
    if (!d->doc)
        return children;
    for (xmlNodePtr child = d->doc->children; child; child = child->next) {
        // The document type declaration belongs to the parser, not to the data.
        if (child->type != XML_DTD_NODE && !isLayoutText(child))
            children.append(Node(child));
    }
    return children;
}

bool LibXmlComponent::isAvailable()
{
    initLibrary();
    // The library in use must be the one built against (same major version, no
    // older minor), and able to validate against XML Schema.
    const int running = xmlParserVersion ? std::atoi(xmlParserVersion) : 0;
    const bool sameMajor = running / 10000 == LIBXML_VERSION / 10000;
    const bool notOlder = running / 100 >= LIBXML_VERSION / 100;
    return sameMajor && notOlder && xmlHasFeature(XML_WITH_SCHEMAS) != 0;
}

} // namespace platform::xml
