#include "core/DataFile.h"
#include "core/modNengajo.h"
#include "platform/xmldocument.h"
#include "testsupport.h"

#include <QFile>
#include <QTest>

using platform::xml::Document;
using platform::xml::Node;
using platform::xml::SchemaCache;
using namespace Qt::StringLiterals;

namespace {

QByteArray readFixture(const QString &name)
{
    QFile file(testsupport::fixturePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray nested(int depth)
{
    return QByteArray("<a>").repeated(depth) + QByteArray("</a>").repeated(depth);
}

// One long entity referenced over and over on line 4, in the text or in an attribute.
QByteArray repeatedEntity(bool inAttribute)
{
    const QByteArray head = "<!DOCTYPE a [\n<!ENTITY e \"" + QByteArray(10000, 'x') + "\">\n]>\n";
    const QByteArray references = QByteArray("&e;").repeated(200);
    return head + (inAttribute ? "<a b=\"" + references + "\"/>" : "<a>" + references + "</a>");
}

QString schemaPath()
{
    return testsupport::bundledPath(modNengajo::SchemaFileName);
}

QStringList names(const QList<Node> &nodes)
{
    QStringList result;
    for (const Node &node : nodes)
        result.append(node.isElement() ? node.name() : QStringLiteral("#") + node.text().trimmed());
    return result;
}

// Everything a document shows as text: the root's content and every attribute.
QString allText(const Document &document)
{
    QString text = document.documentElement().text();
    for (const Node &element : document.documentElement().elementsByTagName(QStringLiteral("*"))) {
        for (const QString &attribute : {u"name"_s, u"type"_s})
            text += element.attribute(attribute).value_or(QString());
    }
    return text;
}

} // namespace

class tst_XmlDocument : public QObject
{
    Q_OBJECT

private slots:
    void componentIsAvailable() { QVERIFY(platform::xml::LibXmlComponent().isAvailable()); }

    // Documents that are not well-formed: the first error with the parser's
    // own position and reason, validating or not.
    void parseErrors_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("pos");
        QTest::addColumn<QString>("reason");

        const QByteArray root = "<tousen xmlns=\"urn:tousen\" type=\"t\" year=\"1\">\n";
        QTest::newRow("tag mismatch") << root + "  <toukyu name=\"1\"></toukyuu>\n</tousen>" << 2 << 30
                                      << "Opening and ending tag mismatch: toukyu line 2 and toukyuu";
        QTest::newRow("first of several errors")
            << root + "  <toukyu name=1/>\n</toukyuu>" << 2 << 16 << "AttValue: \" or ' expected";
        QTest::newRow("undeclared prefix")
            << root + "  <p:toukyu/>\n</tousen>" << 2 << 12 << "Namespace prefix p on toukyu is not defined";
        QTest::newRow("no element") << QByteArray("harovan") << 1 << 1 << "Start tag expected, '<' not found";
        QTest::newRow("empty") << QByteArray() << 0 << 0 << "Document is empty";
        QTest::newRow("unknown encoding")
            << "<?xml version=\"1.0\" encoding=\"X-HAROVAN\"?>\n" + root << 1 << 41 << "Unsupported encoding X-HAROVAN";
        QTest::newRow("Shift_JIS bytes in a UTF-8 file")
            << root + "\x82\xa0</tousen>" << 2 << 1
            << "Input is not proper UTF-8, indicate encoding !\nBytes: 0x82 0xA0 0x3C 0x2F";
    }
    void parseErrors()
    {
        QFETCH(QByteArray, xml);
        QFETCH(int, line);
        QFETCH(int, pos);
        QFETCH(QString, reason);
        for (const bool validate : {false, true}) {
            SchemaCache schemas;
            QVERIFY(schemas.add(modNengajo::SchemaNamespace, schemaPath()));
            Document document;
            document.setValidateOnParse(validate);
            document.setSchemas(&schemas);
            QVERIFY(!document.loadXml(xml));
            QVERIFY(document.parseError().errorCode != 0);
            QCOMPARE(document.parseError().line, line);
            QCOMPARE(document.parseError().linepos, pos);
            QCOMPARE(document.parseError().reason, reason);
            QVERIFY(document.documentElement().isNull());
        }
    }

    // Schema errors: the position is the parser's when the validator complains,
    // so the text up to the column ends at the offending element or attribute.
    void schemaErrors_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("pos");
        QTest::addColumn<QString>("endsAt");
        QTest::addColumn<QString>("reason");

        QTest::newRow("number with a letter")
            << "load_bad_number.xml" << 5 << 27 << "<number>7a3</number>"
            << "Element '{urn:tousen}number': [facet 'pattern'] The value '7a3' is not accepted by the pattern "
               "'[0-9]{2,6}'.";
        QTest::newRow("class without name") << "load_missing_name.xml" << 4 << 10 << "<toukyu>"
                                            << "Element '{urn:tousen}toukyu': The attribute 'name' is required "
                                               "but missing.";
        QTest::newRow("root without type")
            << "load_missing_type.xml" << 2 << 37 << "year=\"26\">"
            << "Element '{urn:tousen}tousen': The attribute 'type' is required but missing.";
        QTest::newRow("sixth class") << "load_six_classes.xml" << 8 << 20 << "<toukyu name=\"6等\">"
                                     << "Element '{urn:tousen}toukyu': This element is not expected.";
        // Text where only classes may stand, in one piece or several: the
        // position is where the text ends, at the next tag.
        QTest::newRow("text between classes")
            << "load_text_in_root.xml" << 4 << 3 << "  <"
            << "Element '{urn:tousen}tousen': Character content other than whitespace is not allowed because the "
               "content type is 'element-only'.";
        QTest::newRow("CDATA between classes")
            << "load_cdata_in_root.xml" << 3 << 3 << "  <"
            << "Element '{urn:tousen}tousen': Character content other than whitespace is not allowed because the "
               "content type is 'element-only'.";
    }
    void schemaErrors()
    {
        QFETCH(QString, fixture);
        QFETCH(int, line);
        QFETCH(int, pos);
        QFETCH(QString, endsAt);
        QFETCH(QString, reason);
        SchemaCache schemas;
        QVERIFY(schemas.add(modNengajo::SchemaNamespace, schemaPath()));
        Document document;
        document.setValidateOnParse(true);
        document.setSchemas(&schemas);
        QVERIFY(!document.load(testsupport::fixturePath(fixture)));
        QCOMPARE(document.parseError().line, line);
        QCOMPARE(document.parseError().linepos, pos);
        QCOMPARE(document.parseError().reason, reason);
        const QString text = QString::fromUtf8(readFixture(fixture)).split(u'\n').at(line - 1);
        QVERIFY2(text.left(pos).endsWith(endsAt), qPrintable(text.left(pos)));

        // Without validation the same file reads.
        Document plain;
        plain.setSchemas(&schemas);
        QVERIFY(plain.load(testsupport::fixturePath(fixture)));
        QCOMPARE(plain.parseError().errorCode, 0);
    }

    // Files that try to reach outside, expand without end or exhaust the stack
    // end in an error, validating or not, and show nothing of the outside.
    void hostileDocuments_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("reason");

        QTest::newRow("external entity") << readFixture(QStringLiteral("load_external_entity.xml")) << 3
                                         << "External entity 'xxe' is not allowed";
        QTest::newRow("external parameter entity")
            << QByteArray("<!DOCTYPE a [\n<!ENTITY % p SYSTEM \"file:///etc/passwd\">\n%p;\n]>\n<a/>") << 2
            << "External entity 'p' is not allowed";
        QTest::newRow("external DTD over the network")
            << QByteArray("<!DOCTYPE a SYSTEM \"http://127.0.0.1:9/a.dtd\">\n<a>&e;</a>") << 2
            << "Entity 'e' not defined";
        QTest::newRow("billion laughs") << readFixture(QStringLiteral("load_billion_laughs.xml")) << 3
                                        << "Entity 'lol' is not allowed";
        QTest::newRow("100000 levels deep")
            << nested(100000) << 1 << "Excessive depth in document: 256 use XML_PARSE_HUGE option";
        // 12 KB that would read as 2 MB of text.
        QTest::newRow("entity repeated in the text") << repeatedEntity(false) << 2 << "Entity 'e' is not allowed";
        QTest::newRow("entity repeated in an attribute") << repeatedEntity(true) << 2 << "Entity 'e' is not allowed";
        QByteArray oversize = "<a>" + QByteArray(platform::xml::MaxDocumentBytes, 'x') + "</a>";
        // Found before the parse: the program's words, from the core.
        QTest::newRow("over 1 MiB") << oversize << 0 << u"ファイルが大きすぎます（1048576バイトまで）。"_s;
    }
    void hostileDocuments()
    {
        QFETCH(QByteArray, xml);
        QFETCH(int, line);
        QFETCH(QString, reason);
        Document plain;
        QVERIFY(!plain.loadXml(xml));
        QCOMPARE(plain.parseError().line, line);
        QCOMPARE(modNengajo::ParseErrorText(plain.parseError()), reason);

        // Validating, the schema may object first; the file is refused all the same.
        SchemaCache schemas;
        QVERIFY(schemas.add(modNengajo::SchemaNamespace, schemaPath()));
        Document validating;
        validating.setValidateOnParse(true);
        validating.setSchemas(&schemas);
        QVERIFY(!validating.loadXml(xml));
        QVERIFY(validating.parseError().errorCode != 0);
        QVERIFY(!validating.parseError().reason.contains(u"root:"));
    }

    // No document declares an entity, even a small one: validating, the
    // validator would take in the text of every reference again; without, one
    // named over and over reads as far more text than the file holds.
    void entityDeclarationsRefused_data()
    {
        QTest::addColumn<QByteArray>("declaration");
        QTest::addColumn<int>("pos");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("plainReason");
        QTest::newRow("entity") << QByteArray("<!ENTITY e \"12\">") << 16
                                << "Entity 'e' is not allowed in a document validated against a schema"
                                << "Entity 'e' is not allowed";
        QTest::newRow("parameter entity") << QByteArray("<!ENTITY % p \"\">") << 16
                                          << "Entity 'p' is not allowed in a document validated against a schema"
                                          << "Entity 'p' is not allowed";
        QTest::newRow("external entity") << QByteArray("<!ENTITY x SYSTEM \"file:///etc/passwd\">") << 39
                                         << "External entity 'x' is not allowed"
                                         << "External entity 'x' is not allowed";
    }
    void entityDeclarationsRefused()
    {
        QFETCH(QByteArray, declaration);
        QFETCH(int, pos);
        QFETCH(QString, reason);
        QFETCH(QString, plainReason);
        const QByteArray xml = "<!DOCTYPE tousen [\n" + declaration
            + "\n]>\n<tousen xmlns=\"urn:tousen\" type=\"t\" year=\"1\"><toukyu name=\"1\"><number>12</number>"
              "</toukyu></tousen>";
        SchemaCache schemas;
        QVERIFY(schemas.add(modNengajo::SchemaNamespace, schemaPath()));
        Document validating;
        validating.setValidateOnParse(true);
        validating.setSchemas(&schemas);
        QVERIFY(!validating.loadXml(xml));
        QCOMPARE(validating.parseError().line, 2);
        QCOMPARE(validating.parseError().linepos, pos);
        QCOMPARE(validating.parseError().reason, reason);

        Document plain;
        QVERIFY(!plain.loadXml(xml));
        QCOMPARE(plain.parseError().line, 2);
        QCOMPARE(plain.parseError().linepos, pos);
        QCOMPARE(plain.parseError().reason, plainReason);
    }

    void fileLimitsAndMissingFiles()
    {
        QTemporaryDir dir;
        const QString big = dir.filePath(QStringLiteral("big.xml"));
        QFile file(big);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<a>" + QByteArray(platform::xml::MaxDocumentBytes, ' ') + "</a>");
        file.close();

        Document document;
        QVERIFY(!document.load(big));
        QCOMPARE(document.parseError().line, 0);
        QCOMPARE(document.parseError().linepos, 0);
        QCOMPARE(modNengajo::ParseErrorText(document.parseError()), u"ファイルが大きすぎます（1048576バイトまで）。"_s);

        QCOMPARE(document.parseError().kind, platform::xml::ParseError::Kind::TooLarge);

        // The system's refusals in Japanese, its own words after them; the
        // platform reports what and where, the core says it.
        const QString none = dir.filePath(QStringLiteral("none.xml"));
        QVERIFY(!document.load(none));
        QVERIFY(document.parseError().errorCode != 0);
        QCOMPARE(
            modNengajo::ParseErrorText(document.parseError()), u"ファイル \""_s + none + u"\" が見つかりません。"_s);
        const QString tooLong = dir.filePath(QString(300, u'a') + u".xml"_s);
        QVERIFY(!document.load(tooLong));
        QVERIFY2(modNengajo::ParseErrorText(document.parseError())
                     .startsWith(u"ファイル \""_s + tooLong + u"\" を読み込めません。ファイル名が長すぎます（"_s),
            qPrintable(modNengajo::ParseErrorText(document.parseError())));

        // A folder or a device of the name is never opened for real.
#ifdef Q_OS_WIN
        const QString device = u"NUL"_s;
#else
        const QString device = u"/dev/null"_s;
#endif
        for (const QString &notAFile : {dir.path(), device}) {
            QVERIFY(!document.load(notAFile));
            QCOMPARE(modNengajo::ParseErrorText(document.parseError()),
                u"\""_s + notAFile + u"\" はファイルではありません。"_s);
        }

        // Bytes are read by the program, so a name in any script reads.
        const QString japanese = dir.filePath(u"年賀状（平成17年度版）.xml"_s);
        QVERIFY(QFile::copy(testsupport::fixturePath(u"load_valid.xml"_s), japanese));
        QVERIFY2(document.load(japanese), qPrintable(modNengajo::ParseErrorText(document.parseError())));
        QCOMPARE(document.documentElement().attribute(u"type"_s), u"年賀状"_s);

        // A document that reads after a failure clears the error, and the reverse.
        QVERIFY(document.loadXml("<a/>"));
        QCOMPARE(document.parseError().errorCode, 0);
        QCOMPARE(document.documentElement().name(), u"a"_s);
        QVERIFY(!document.loadXml("<a>"));
        QVERIFY(document.documentElement().isNull());
    }

    // The external entity never reaches any text, even when the parse is not
    // stopped by the declaration (an entity declared in a DTD the parser never loads).
    void externalContentNeverAppears()
    {
        Document document;
        document.loadXml("<!DOCTYPE a SYSTEM \"file:///etc/passwd\">\n<a type=\"x\"><b name=\"y\">z</b></a>");
        QVERIFY(!allText(document).contains(u"root:"));
        QCOMPARE(document.documentElement().text(), u"z"_s);

        document.loadXml(readFixture(QStringLiteral("load_external_entity.xml")));
        QVERIFY(!allText(document).contains(u"root:"));
    }

    // A file declaring Shift_JIS written on Windows holds CP932 characters.
    void shiftJisReadsAsCp932_data()
    {
        QTest::addColumn<QByteArray>("encoding");
        // Bytes of a comment before the root: the file's two-byte characters
        // then lie across the places where the decoder's input is cut.
        QTest::addColumn<int>("padding");
        QTest::newRow("Shift_JIS") << QByteArray("Shift_JIS") << 0;
        QTest::newRow("shift_jis") << QByteArray("shift_jis") << 0;
        QTest::newRow("SJIS") << QByteArray("SJIS") << 0;
        QTest::newRow("CP932") << QByteArray("CP932") << 0;
        for (const int padding : {4001, 4002, 8191, 8192, 16383})
            QTest::addRow("Shift_JIS after %d bytes", padding) << QByteArray("Shift_JIS") << padding;
    }
    void shiftJisReadsAsCp932()
    {
        QFETCH(QByteArray, encoding);
        QFETCH(int, padding);
        QByteArray xml = readFixture(QStringLiteral("load_cp932.xml"));
        xml.replace("Shift_JIS", encoding);
        if (padding > 0) {
            const qsizetype root = xml.indexOf("<tousen");
            QVERIFY(root > 0);
            // A comment of one-byte and two-byte characters, "①" (0x87 0x40) last.
            QByteArray comment = "<!--" + QByteArray(padding % 2, 'x');
            while (comment.size() < padding)
                comment += "\x82\xa0";
            xml.insert(root, comment + "\x87\x40-->\n");
        }
        Document document;
        QVERIFY2(document.loadXml(xml), qPrintable(document.parseError().reason));
        const Node root = document.documentElement();
        QCOMPARE(root.attribute(QStringLiteral("type")), u"年賀状"_s);
        QCOMPARE(root.elementsByTagName(QStringLiteral("syouhin")).value(0).text(), u"①㈱商品券\uff5e１万円分"_s);
    }

    void domOfADataFile()
    {
        Document document;
        QVERIFY(
            document.loadXml("<?xml version=\"1.0\"?>\n<!DOCTYPE tousen>\n<!-- head -->\n"
                             "<tousen xmlns=\"urn:tousen\" xmlns:p=\"urn:p\" type=\"\" p:year=\"9\" url=\"a&amp;b\">\n"
                             "  <toukyu name=\"1\">\n    <number>01</number>\n"
                             "    <x><number>02</number></x>\n  </toukyu>\n"
                             "  <!-- note -->\n  <toukyu><number>03</number><syouhin>A<![CDATA[<B>]]>C</syouhin>"
                             "</toukyu>\n  <![CDATA[ ]]>\n</tousen>\n<?pi data?>\n"));
        QCOMPARE(names(document.childNodes()), QStringList({u"#head"_s, u"tousen"_s, u"#data"_s}));

        const Node root = document.documentElement();
        QVERIFY(root.isElement());
        QCOMPARE(root.name(), u"tousen"_s);
        // Blank text between elements is no node; comments and CDATA are.
        QCOMPARE(names(root.childNodes()), QStringList({u"toukyu"_s, u"#note"_s, u"toukyu"_s, u"#"_s}));
        QVERIFY(root.hasChildNodes());

        QCOMPARE(root.attribute(QStringLiteral("type")), std::optional<QString>(QString()));
        QCOMPARE(root.attribute(QStringLiteral("year")), std::nullopt); // p:year is another attribute
        QCOMPARE(root.attribute(QStringLiteral("url")), u"a&b"_s);
        QCOMPARE(root.childNodes().at(2).attribute(QStringLiteral("name")), std::nullopt);

        // Descendants at any depth in document order, in the default namespace.
        QStringList numbers;
        for (const Node &number : root.elementsByTagName(QStringLiteral("number")))
            numbers.append(number.text());
        QCOMPARE(numbers, QStringList({u"01"_s, u"02"_s, u"03"_s}));
        QCOMPARE(root.childNodes().at(0).elementsByTagName(QStringLiteral("number")).size(), 2);
        QVERIFY(root.elementsByTagName(QStringLiteral("tousen")).isEmpty());
        QCOMPARE(root.elementsByTagName(QStringLiteral("syouhin")).at(0).text(), u"A<B>C"_s);

        // Only descendants: an element is not found below itself.
        const Node x = root.childNodes().at(0).elementsByTagName(QStringLiteral("x")).at(0);
        QCOMPARE(names(x.childNodes()), QStringList {u"number"_s});
        QVERIFY(x.childNodes().at(0).elementsByTagName(QStringLiteral("number")).isEmpty());
    }

    // Every node stays in the tree, however far into the file it stands:
    // before, inside and after the root.
    void wholeDocumentKept_data()
    {
        QTest::addColumn<int>("classes");
        QTest::newRow("one class") << 1;
        QTest::newRow("5000 classes, 300 KB") << 5000;
    }
    void wholeDocumentKept()
    {
        QFETCH(int, classes);
        QByteArray xml = "<!-- head -->\n<tousen xmlns=\"urn:tousen\" type=\"t\" year=\"1\">\n";
        for (int i = 0; i < classes; ++i)
            xml += "  <toukyu name=\"" + QByteArray::number(i) + "\"><number>12</number><syouhin>" + QByteArray(30, 'x')
                + "</syouhin></toukyu>\n";
        xml += "</tousen>\n<?pi tail?>\n";
        Document document;
        QVERIFY(document.loadXml(xml));
        QCOMPARE(names(document.childNodes()), QStringList({u"#head"_s, u"tousen"_s, u"#tail"_s}));
        const QList<Node> children = document.documentElement().childNodes();
        QCOMPARE(children.size(), classes);
        QCOMPARE(children.last().attribute(u"name"_s), QString::number(classes - 1));
        QCOMPARE(document.documentElement().elementsByTagName(u"number"_s).size(), classes);
    }

    // A schema that cannot be read validates nothing: the parse still finds
    // well-formedness errors.
    void unusableSchema_data()
    {
        QTest::addColumn<QByteArray>("schema");
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("not a schema") << QByteArray("<a/>");
        QTest::newRow("not well-formed") << QByteArray("<xs:schema");
        QTest::newRow("other namespace") << QByteArray(
            "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" targetNamespace=\"urn:other\">"
            "<xs:element name=\"tousen\"/></xs:schema>");
        QTest::newRow("includes a file") << QByteArray(
            "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" targetNamespace=\"urn:tousen\">"
            "<xs:include schemaLocation=\"file:///etc/passwd\"/></xs:schema>");
    }
    void unusableSchema()
    {
        QFETCH(QByteArray, schema);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tousen1.2.xsd"));
        if (!schema.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(schema);
        }
        SchemaCache schemas;
        QVERIFY(!schemas.add(modNengajo::SchemaNamespace, path));
        QVERIFY(schemas.isEmpty());

        Document document;
        document.setValidateOnParse(true);
        document.setSchemas(&schemas);
        QVERIFY(document.load(testsupport::fixturePath(QStringLiteral("load_six_classes.xml"))));
        QVERIFY(!document.load(testsupport::fixturePath(QStringLiteral("load_malformed.xml"))));
        QCOMPARE(document.parseError().line, 5);
    }
};

QTEST_GUILESS_MAIN(tst_XmlDocument)
#include "tst_xmldocument.moc"
