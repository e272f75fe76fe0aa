#include "xmldocument.h"

namespace platform::xml {

struct SchemaCache::Impl
{
};
SchemaCache::SchemaCache()
    : d(std::make_unique<Impl>())
{
}
SchemaCache::~SchemaCache() = default;
bool SchemaCache::add(const QString &, const QString &)
{
    return false;
}
bool SchemaCache::isEmpty() const
{
    return true;
}

bool Node::isElement() const
{
    return false;
}
QString Node::name() const
{
    return {};
}
QList<Node> Node::childNodes() const
{
    return {};
}
std::optional<QString> Node::attribute(const QString &) const
{
    return std::nullopt;
}
QList<Node> Node::elementsByTagName(const QString &) const
{
    return {};
}
QString Node::text() const
{
    return {};
}

struct Document::Impl
{
    ParseError error;
};
Document::Document()
    : d(std::make_unique<Impl>())
{
}
Document::~Document() = default;
void Document::setValidateOnParse(bool)
{
}
void Document::setSchemas(const SchemaCache *)
{
}
bool Document::load(const QString &)
{
    return false;
}
bool Document::loadXml(const QByteArray &)
{
    return false;
}
const ParseError &Document::parseError() const
{
    return d->error;
}
Node Document::documentElement() const
{
    return {};
}
QList<Node> Document::childNodes() const
{
    return {};
}

bool LibXmlComponent::isAvailable()
{
    return true;
}

} // namespace platform::xml
