#include "platform/webaddress.h"

#include <QTest>

// What counts as a web address that opens, for the prize list, the HTTP
// transfer and the publishing tool alike.
class tst_WebAddress : public QObject
{
    Q_OBJECT

private slots:
    void isWebAddress_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("web");

        QTest::newRow("http") << "http://example.jp/nenga/" << true;
        QTest::newRow("https with a port") << "https://127.0.0.1:8080/gajo/list.xml" << true;
        QTest::newRow("Japanese path") << "https://example.jp/年賀状（令和8年度版）.xml" << true;
        QTest::newRow("scheme in capitals") << "HTTP://EXAMPLE.JP/" << false;
        QTest::newRow("other scheme") << "ftp://example.jp/" << false;
        QTest::newRow("local file") << "file:///etc/passwd" << false;
        QTest::newRow("no host") << "http:///gajo/list.xml" << false;
        QTest::newRow("scheme alone") << "http://" << false;
        QTest::newRow("blank in the host") << "http://127.0.0.1 :8080/gajo/list.xml" << false;
        QTest::newRow("blank before the scheme") << " http://example.jp/" << false;
        QTest::newRow("relative path") << "/gajo/list.xml" << false;
        QTest::newRow("no address") << "(なし)" << false;
        QTest::newRow("empty") << "" << false;
    }
    void isWebAddress()
    {
        QFETCH(QString, text);
        QTEST(platform::isWebAddress(text), "web");
    }
};

QTEST_GUILESS_MAIN(tst_WebAddress)
#include "tst_webaddress.moc"
