#include "platform/xmldocument.h"

#include "platform/filewrite.h"
#include "platform/regularfile.h"

#include <libxml/SAX2.h>
#include <libxml/encoding.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlreader.h>
#include <libxml/xmlschemas.h>
#include <libxml/xmlversion.h>

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <mutex>
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

// A parse without a tree may still leave libxml2's own document behind, which
// holds the entities declared; resetting the context frees it.
void resetAndFree(xmlParserCtxt *ctxt)
{
    xmlCtxtReset(ctxt);
    xmlFreeParserCtxt(ctxt);
}
using ParserCtxtPtr = LibXmlPtr<xmlParserCtxt, resetAndFree>;
using ReaderPtr = LibXmlPtr<xmlTextReader, xmlFreeTextReader>;
using SchemaParserCtxtPtr = LibXmlPtr<xmlSchemaParserCtxt, xmlSchemaFreeParserCtxt>;
using SchemaPtr = LibXmlPtr<xmlSchema, xmlSchemaFree>;

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

ParseError makeError(int line, int column, const QString &reason)
{
    return ParseError {-1, line, column, reason};
}

// The first error of one parse; later ones are ignored.
struct FirstError
{
    bool failed = false;
    ParseError error;

    void record(int code, int line, int column, const char *message)
    {
        if (failed)
            return;
        failed = true;
        error = makeError(line, column, QString::fromUtf8(message ? message : "Unknown error"));
        error.errorCode = code != 0 ? code : -1;
        while (error.reason.endsWith(u'\n') || error.reason.endsWith(u'\r'))
            error.reason.chop(1);
    }
};

void ignoreError(void *, ErrorPtr) { }

void ignoreGenericError(void *, const char *, ...) { }

// Errors reach the handlers libxml2 keeps for the thread: the schema validator
// that the reader plugs into its parse passes the parser's errors on to no
// other. While the program's own parse runs they go to its first error, and
// the notes the validator prints of its own (for instance on entity
// references it does not follow) are kept off the console.
class CapturedErrors
{
public:
    CapturedErrors(void *context, xmlStructuredErrorFunc handler)
        : m_generic(xmlGenericError)
        , m_genericContext(xmlGenericErrorContext)
        , m_structured(xmlStructuredError)
        , m_structuredContext(xmlStructuredErrorContext)
    {
        xmlSetGenericErrorFunc(nullptr, ignoreGenericError);
        xmlSetStructuredErrorFunc(context, handler);
    }
    ~CapturedErrors()
    {
        xmlSetGenericErrorFunc(m_genericContext, m_generic);
        xmlSetStructuredErrorFunc(m_structuredContext, m_structured);
    }
    CapturedErrors(const CapturedErrors &) = delete;
    CapturedErrors &operator=(const CapturedErrors &) = delete;

private:
    xmlGenericErrorFunc m_generic;
    void *m_genericContext;
    xmlStructuredErrorFunc m_structured;
    void *m_structuredContext;
};

// No document the program reads declares an entity, so every declaration is
// refused where it stands: nothing from outside can reach the data, and no
// small file can read as far more text through references repeated over and
// over (which the parser does not stop). A pass of its own over the prolog,
// which ends at the first element, finds them.
struct DeclarationScan
{
    xmlParserCtxtPtr ctxt = nullptr;
    bool validating = false;
    FirstError *first = nullptr;
};

void refuseEntityDeclaration(void *data, const xmlChar *name, int type, const xmlChar *, const xmlChar *, xmlChar *)
{
    auto *scan = static_cast<DeclarationScan *>(data);
    const QByteArray entity = QByteArray(reinterpret_cast<const char *>(name));
    const bool internal = type == XML_INTERNAL_GENERAL_ENTITY || type == XML_INTERNAL_PARAMETER_ENTITY;
    const QByteArray reason = !internal ? "External entity '" + entity + "' is not allowed"
        : scan->validating ? "Entity '" + entity + "' is not allowed in a document validated against a schema"
                           : "Entity '" + entity + "' is not allowed";
    scan->first->record(-1, xmlSAX2GetLineNumber(scan->ctxt), xmlSAX2GetColumnNumber(scan->ctxt), reason.constData());
    xmlStopParser(scan->ctxt);
}

void stopAtFirstElement(
    void *data, const xmlChar *, const xmlChar *, const xmlChar *, int, const xmlChar **, int, int, const xmlChar **)
{
    xmlStopParser(static_cast<DeclarationScan *>(data)->ctxt);
}

void refuseEntityDeclarations(const QByteArray &bytes, bool validating, FirstError &first)
{
    xmlSAXHandler handler {};
    handler.initialized = XML_SAX2_MAGIC;
    handler.entityDecl = refuseEntityDeclaration;
    handler.startElementNs = stopAtFirstElement;
    // Errors are the main parse's to report.
    handler.serror = ignoreError;
    DeclarationScan scan {nullptr, validating, &first};
    const ParserCtxtPtr ctxt(xmlCreatePushParserCtxt(&handler, &scan, nullptr, 0, nullptr));
    if (!ctxt)
        return;
    scan.ctxt = ctxt.get();
    xmlCtxtUseOptions(ctxt.get(), XML_PARSE_NONET | XML_PARSE_BIG_LINES);
    xmlParseChunk(ctxt.get(), bytes.constData(), static_cast<int>(bytes.size()), 1);
}

// Errors of the parser carry its position. The schema validator knows only
// the element's line, so the parser's position when it complains is taken:
// just after the offending tag or text.
struct ReaderErrors
{
    xmlTextReaderPtr reader = nullptr; // while the parse runs
    FirstError first;
};

void recordReaderError(void *data, ErrorPtr error)
{
    auto *errors = static_cast<ReaderErrors *>(data);
    // Nothing said after the parse (while the reader is released) counts.
    if (!error || error->level < XML_ERR_ERROR || !errors->reader)
        return;
    const char *message = error->message;
#if LIBXML_VERSION < 21200
    // Before 2.12 the reader, which parses piece by piece, calls a document
    // that does not begin with markup empty, where the parser of whole
    // documents and later versions say what is wrong. Empty input never gets here.
    if (error->code == XML_ERR_DOCUMENT_EMPTY)
        message = "Start tag expected, '<' not found";
#endif
    if (error->domain == XML_FROM_SCHEMASV)
        errors->first.record(error->code, xmlTextReaderGetParserLineNumber(errors->reader),
            xmlTextReaderGetParserColumnNumber(errors->reader), message);
    else
        errors->first.record(error->code, error->line, error->int2, message);
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

// Nodes a data file can meaningfully hold.
bool hasOwnChildren(xmlNodePtr node)
{
    return node->type == XML_ELEMENT_NODE || node->type == XML_DOCUMENT_NODE;
}

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
    const CapturedErrors capture(nullptr, ignoreError);
    QByteArray bytes;
    if (readCapped(schemaPath, bytes) || bytes.isEmpty())
        return false;
    const DocPtr doc(xmlReadMemory(bytes.constData(), static_cast<int>(bytes.size()), nullptr, nullptr,
        XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (!doc)
        return false;
    const XmlCharPtr target(xmlGetNoNsProp(xmlDocGetRootElement(doc.get()), toXmlChars("targetNamespace")));
    if (fromXmlChars(target.get()) != namespaceUri)
        return false;
    const SchemaParserCtxtPtr parser(xmlSchemaNewDocParserCtxt(doc.get()));
    if (!parser)
        return false;
    xmlSchemaSetParserStructuredErrors(parser.get(), ignoreError, nullptr);
    d->schema.reset(xmlSchemaParse(parser.get()));
    return d->schema != nullptr;
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

    ReaderErrors errors;
    const CapturedErrors capture(&errors, recordReaderError);
    const xmlSchemaPtr schema = validateOnParse && schemas ? schemas->d->schema.get() : nullptr;
    refuseEntityDeclarations(bytes, schema != nullptr, errors.first);
    if (errors.first.failed)
        return fail(errors.first.error);

    // Network off; entities stay references, no DTD is loaded, the usual size
    // and depth limits stay on.
    const ReaderPtr reader(xmlReaderForMemory(
        bytes.constData(), static_cast<int>(bytes.size()), nullptr, nullptr, XML_PARSE_NONET | XML_PARSE_BIG_LINES));
    if (!reader)
        return fail(makeError(0, 0, QStringLiteral("The XML parser cannot be created.")));
    errors.reader = reader.get();
    if (schema && xmlTextReaderSetSchema(reader.get(), schema) != 0)
        return fail(makeError(0, 0, QStringLiteral("The schema validator cannot be started.")));

    // The reader lets go of every node it has passed unless told to keep it:
    // each top-level node is kept, and with it all below.
    int status = 0;
    while (!errors.first.failed && (status = xmlTextReaderRead(reader.get())) == 1) {
        if (xmlTextReaderDepth(reader.get()) == 0)
            xmlTextReaderPreserve(reader.get());
    }
    errors.reader = nullptr;
    if (errors.first.failed)
        return fail(errors.first.error);
    if (status != 0 || (schema && xmlTextReaderIsValid(reader.get()) != 1))
        return fail(makeError(xmlTextReaderGetParserLineNumber(reader.get()),
            xmlTextReaderGetParserColumnNumber(reader.get()), QStringLiteral("The document cannot be read.")));
    doc.reset(xmlTextReaderCurrentDoc(reader.get()));
    if (!doc)
        return fail(makeError(0, 0, QStringLiteral("Document is empty")));
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
