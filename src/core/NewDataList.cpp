#include "core/NewData.h"
#include "core/modNengajo.h"

#include "platform/xmldocument.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace {

QString &listDocumentUrlOverride()
{
    static QString url;
    return url;
}

// The first child element of parent with this name, or a null node.
platform::xml::Node firstChildElement(const platform::xml::Node &parent, const QString &name)
{
    const QList<platform::xml::Node> children = parent.childNodes();
    for (const platform::xml::Node &child : children) {
        if (child.isElement() && child.name() == name)
            return child;
    }
    return {};
}

} // namespace

qint16 modNengajo::ReadListDocument(const platform::xml::Document &document,
    const std::function<bool(const QString &fileName)> &isPresent, QList<NewDataEntry> &list, QStringList *duplicates)
{
    const platform::xml::Node opml = document.documentElement();
    if (opml.isNull() || opml.name() != u"opml")
        return -1;
    const platform::xml::Node body = firstChildElement(opml, QStringLiteral("body"));
    if (body.isNull())
        return -1;

    const qsizetype before = list.size();
    // Each title is one file: the first entry of a title stands, a later
    // one would replace its file with something else. Titles that differ in
    // letter case or composition alone name one file too.
    QSet<QString> titles;
    // The titles of this list among the new entries, by their key. Sets, not
    // searches of the lists: a list of a mebibyte holds tens of thousands of entries.
    QHash<QString, QString> offered;
    QSet<QString> told;
    const QList<platform::xml::Node> children = body.childNodes();
    for (const platform::xml::Node &outline : children) {
        if (!outline.isElement() || outline.name() != u"outline")
            continue;
        // The title names a file in the data folder: anything but a plain
        // file name is refused like a missing title.
        const std::optional<QString> title = outline.attribute(QStringLiteral("title"));
        if (!title || !modNengajo::IsSafeDataTitle(*title))
            return -1;
        const QString key = modNengajo::DataTitleKey(*title);
        if (titles.contains(key)) {
            // A few names tell the user what is wrong with the list; a box of
            // thousands of lines would reach past the screen.
            const auto first = offered.constFind(key);
            if (first != offered.cend() && duplicates && told.size() < MaxDuplicatesNamed && !told.contains(key)) {
                told.insert(key);
                duplicates->append(*first);
            }
            continue;
        }
        titles.insert(key);
        if (isPresent(*title + QStringLiteral(".xml")))
            continue;
        const std::optional<QString> xmlUrl = outline.attribute(QStringLiteral("xmlUrl"));
        if (!xmlUrl)
            return -1;
        list.append({*title, *xmlUrl});
        offered.insert(key, *title);
    }
    return list.size() > before ? 0 : 1;
}

modNengajo::ScopedListDocumentUrl::ScopedListDocumentUrl(const QString &url)
    : m_previous(listDocumentUrlOverride())
{
    listDocumentUrlOverride() = url;
}

modNengajo::ScopedListDocumentUrl::~ScopedListDocumentUrl()
{
    listDocumentUrlOverride() = m_previous;
}

QString modNengajo::ListDocumentUrl()
{
    if (!listDocumentUrlOverride().isEmpty())
        return listDocumentUrlOverride();
    return QStringLiteral("http://" HAROVAN_DOWNLOAD_HOST "/gajo/list.xml");
}

bool modNengajo::IsThisComputer(const QString &host)
{
    static const QRegularExpression thisComputer(
        QStringLiteral("^(127\\.[0-9.]+|localhost|\\[::1\\])(:[0-9]+)?$"), QRegularExpression::CaseInsensitiveOption);
    return thisComputer.match(host).hasMatch();
}

QString modNengajo::ListFailedText(const QString &host)
{
    const QString failed = QStringLiteral("新着データリストの読み込みに失敗しました。");
    if (!IsThisComputer(host))
        return failed;
    return failed + CrLf
        + QStringLiteral(
            "新しい当選番号データは、メニューの「当選番号データの作成」で当選番号を入力するか、"
            "ほかで受け取ったデータファイルを「はがきの種類を選択」の「ファイルから追加」で加えてください。");
}

QString modNengajo::ListFailedText()
{
    return ListFailedText(QStringLiteral(HAROVAN_DOWNLOAD_HOST));
}
