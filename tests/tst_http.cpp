// The HTTP transfer against a real server on 127.0.0.1: what counts as a
// document, and every way a transfer must fail instead.

#include "localhttpserver.h"
#include "platform/http.h"
#include "platform/module.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <memory>
#include <optional>

using platform::CurlHttpTransfer;

namespace {

// A transfer started and waited for to its end, as the program's jobs hear
// it; a cancel (cancelAfterMs on, 0: never) ends it as a job's cancel does,
// by deleting it.
platform::HttpResult waitedFor(platform::HttpTransfer &http, const QString &url, int cancelAfterMs = 0)
{
    struct Watch final : platform::TransferWatch
    {
        std::optional<platform::HttpResult> result;
        void reportProgress(qint64, qint64) override { }
        void transferEnded(const platform::HttpResult &ended) override { result = ended; }
    } watch;
    std::unique_ptr<platform::RunningTransfer> running = http.start(url, &watch);
    QObject context;
    bool cancelled = false;
    if (cancelAfterMs > 0)
        QTimer::singleShot(cancelAfterMs, &context, [&] {
            running.reset();
            cancelled = true;
        });
    if (!QTest::qWaitFor([&] { return watch.result.has_value() || cancelled; }, 60000))
        qFatal("the transfer did not end");
    running.reset();
    return watch.result.value_or(platform::HttpResult {false, {}, QStringLiteral("cancelled"), 0, true});
}

} // namespace

class tst_Http : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void get_data();
    void get();
    void refusesOtherSchemesWithoutARequest_data();
    void refusesOtherSchemesWithoutARequest();
    void refusedConnection();
    void throughTheDesktopsProxy_data();
    void throughTheDesktopsProxy();
    void stallAndTrickleEndInTime_data();
    void stallAndTrickleEndInTime();
    void programModuleTransfers();

private:
    static CurlHttpTransfer::Options quickOptions();

    testsupport::LocalHttpServer m_server;
    QByteArray m_binary;
    // "<tousen/>" gzip-compressed.
    const QByteArray m_packed = QByteArray::fromHex("1f8b08000000000002 03b329c92f2d4ecdd3b70300be46b90309000000");
};

CurlHttpTransfer::Options tst_Http::quickOptions()
{
    // A small cap, so bodies over it are cheap to send.
    CurlHttpTransfer::Options options = testsupport::quickHttpOptions();
    options.maxBodyBytes = 1000;
    return options;
}

void tst_Http::initTestCase()
{
    if (!m_server.start())
        QFAIL(qPrintable(m_server.error()));
    // Every byte value, CR LF and Shift_JIS text: stored exactly as sent.
    for (int i = 0; i < 256; ++i)
        m_binary.append(char(i));
    m_binary.append("\r\n\x94\x4e\x89\xea\x8f\xf3\r\n");
    QVERIFY(m_server.writeFile(QStringLiteral("files/binary.xml"), m_binary));
    QVERIFY(m_server.writeFile(QStringLiteral("files/empty.xml"), {}));
    QVERIFY(m_server.writeFile(QStringLiteral("files/年賀状（令和8年度版）.xml"), "<tousen/>"));
    QVERIFY(m_server.writeFile(QStringLiteral("files/cap.xml"), QByteArray(1000, 'x')));
    QVERIFY(m_server.writeFile(QStringLiteral("files/a b%.xml"), "<blank/>"));
    QVERIFY(m_server.writeFile(QStringLiteral("files/packed.gz"), m_packed));
}

void tst_Http::get_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<long>("status");
    QTest::addColumn<QStringList>("requests");

    const QByteArray none;
    const QString redirect = QStringLiteral("/fault/redirect?to=");
    auto encoded = [](const QString &target) { return QString::fromLatin1(QUrl::toPercentEncoding(target)); };

    // Documents.
    QTest::newRow("binary body byte for byte")
        << "/files/binary.xml" << true << m_binary << 200L << QStringList {"/files/binary.xml"};
    QTest::newRow("empty body") << "/files/empty.xml" << true << none << 200L << QStringList {"/files/empty.xml"};
    QTest::newRow("Japanese file name") << "/files/年賀状（令和8年度版）.xml" << true << QByteArray("<tousen/>") << 200L
                                        << QStringList {"/files/" + encoded("年賀状（令和8年度版）.xml")};
    QTest::newRow("blank and percent sign encoded")
        << "/files/a b%.xml" << true << QByteArray("<blank/>") << 200L << QStringList {"/files/a%20b%25.xml"};
    QTest::newRow("body exactly at the cap")
        << "/files/cap.xml" << true << QByteArray(1000, 'x') << 200L << QStringList {"/files/cap.xml"};
    QTest::newRow("chunked body at the cap")
        << "/fault/chunked?n=1000" << true << QByteArray(1000, 'c') << 200L << QStringList {"/fault/chunked?n=1000"};
    QTest::newRow("chunk extensions and a trailer") << "/fault/chunked?n=10&ext=1" << true << QByteArray(10, 'c')
                                                    << 200L << QStringList {"/fault/chunked?n=10&ext=1"};
    QTest::newRow("body until the connection closes") << "/fault/until-close?n=1000" << true << QByteArray(1000, 'u')
                                                      << 200L << QStringList {"/fault/until-close?n=1000"};
    QTest::newRow("100 Continue before the answer")
        << "/fault/continue" << true << QByteArray("continued") << 200L << QStringList {"/fault/continue"};
    QTest::newRow("header lines at the limit")
        << "/fault/headers?n=100" << true << QByteArray("headers") << 200L << QStringList {"/fault/headers?n=100"};
    QTest::newRow("204 without a body") << "/fault/status/204" << true << none << 204L
                                        << QStringList {"/fault/status/204"};
    // Stored as the server holds it, whatever it says of its coding.
    QTest::newRow("gzip-encoded body as sent") << "/fault/encoded?path=/files/packed.gz" << true << m_packed << 200L
                                               << QStringList {"/fault/encoded?path=/files/packed.gz"};
    // The zone names the way to the server, not the server.
    QTest::newRow("IPv6 address with a zone")
        << m_server.url6(QStringLiteral("::1%25lo"), QStringLiteral("/fault/host")) << true
        << QStringLiteral("[::1]:%1").arg(m_server.port6()).toLatin1() << 200L << QStringList {"/fault/host"};

    // Redirects: followed for http, only the final body counts.
    QTest::newRow("redirect to a file") << redirect + "/files/binary.xml" << true << m_binary << 200L
                                        << QStringList {redirect + "/files/binary.xml", "/files/binary.xml"};
    QTest::newRow("permanent redirect") << redirect + "/files/cap.xml&code=301" << true << QByteArray(1000, 'x') << 200L
                                        << QStringList {redirect + "/files/cap.xml&code=301", "/files/cap.xml"};
    const QString hop3 = redirect + encoded(QStringLiteral("/files/cap.xml"));
    const QString hop2 = redirect + encoded(hop3);
    const QString hop1 = redirect + encoded(hop2);
    const QString hop0 = redirect + encoded(hop1);
    QTest::newRow("redirects up to the limit")
        << hop1 << true << QByteArray(1000, 'x') << 200L << QStringList {hop1, hop2, hop3, "/files/cap.xml"};
    QTest::newRow("one redirect too many") << hop0 << false << none << 302L << QStringList {hop0, hop1, hop2, hop3};
    const QString ftp = QStringLiteral("ftp://127.0.0.1:%1/files/cap.xml").arg(m_server.port());
    QTest::newRow("redirect to ftp") << redirect + encoded(ftp) << false << none << 302L
                                     << QStringList {redirect + encoded(ftp)};
    QTest::newRow("redirect to a local file") << redirect + encoded("file:///etc/passwd") << false << none << 302L
                                              << QStringList {redirect + encoded("file:///etc/passwd")};
    // A final answer that is neither a success nor followed is no document either.
    QTest::newRow("302 without a target")
        << "/fault/status/302" << false << none << 302L << QStringList {"/fault/status/302"};
    QTest::newRow("304") << "/fault/status/304" << false << none << 304L << QStringList {"/fault/status/304"};

    // Error statuses are failed transfers, never documents.
    QTest::newRow("404") << "/fault/status/404" << false << none << 404L << QStringList {"/fault/status/404"};
    QTest::newRow("missing file") << "/files/none.xml" << false << none << 404L << QStringList {"/files/none.xml"};
    QTest::newRow("500") << "/fault/status/500" << false << none << 500L << QStringList {"/fault/status/500"};
    QTest::newRow("503") << "/fault/status/503" << false << none << 503L << QStringList {"/fault/status/503"};

    // Bodies that break the rules.
    QTest::newRow("truncated body") << "/fault/truncated?declared=500&sent=10" << false << none << 200L
                                    << QStringList {"/fault/truncated?declared=500&sent=10"};
    QTest::newRow("oversize with Content-Length")
        << "/fault/bytes?n=1001" << false << none << 200L << QStringList {"/fault/bytes?n=1001"};
    QTest::newRow("oversize chunked") << "/fault/chunked?n=200000" << false << none << 200L
                                      << QStringList {"/fault/chunked?n=200000"};
    QTest::newRow("one byte over, chunked")
        << "/fault/chunked?n=1001" << false << none << 200L << QStringList {"/fault/chunked?n=1001"};
    QTest::newRow("body until close over the cap")
        << "/fault/until-close?n=1001" << false << none << 200L << QStringList {"/fault/until-close?n=1001"};

    // Answers that break HTTP.
    QTest::newRow("one header line too many")
        << "/fault/headers?n=101" << false << none << 200L << QStringList {"/fault/headers?n=101"};
    QTest::newRow("two lengths that disagree")
        << "/fault/two-lengths" << false << none << 200L << QStringList {"/fault/two-lengths"};
    QTest::newRow("no HTTP at all") << "/fault/not-http" << false << none << 0L << QStringList {"/fault/not-http"};
    // A certificate nobody vouches for: refused before any request.
    QTest::newRow("self-signed certificate")
        << m_server.tlsUrl(QStringLiteral("/files/cap.xml")) << false << none << 0L << QStringList {};
}

void tst_Http::get()
{
    QFETCH(QString, path);
    QFETCH(bool, ok);
    QFETCH(QByteArray, body);
    QFETCH(long, status);
    QFETCH(QStringList, requests);

    m_server.takeRequests();
    CurlHttpTransfer http(quickOptions());
    const auto result = waitedFor(http, path.startsWith(u'/') ? m_server.url(path) : path);
    QVERIFY2(result.ok == ok, qPrintable(result.error));
    QCOMPARE(result.body, body);
    QCOMPARE(result.httpStatus, status);
    if (!ok)
        QVERIFY(!result.error.isEmpty());
    QCOMPARE(m_server.takeRequests(), requests);
}

void tst_Http::refusesOtherSchemesWithoutARequest_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("empty") << QString();
    QTest::newRow("ftp") << QStringLiteral("ftp://127.0.0.1:%1/files/cap.xml").arg(m_server.port());
    QTest::newRow("file") << QStringLiteral("file:///etc/passwd");
    QTest::newRow("relative") << QStringLiteral("/files/cap.xml");
    QTest::newRow("no host") << QStringLiteral("http:///files/cap.xml");
    QTest::newRow("not an address") << QStringLiteral("これは住所ではありません");
    QTest::newRow("space in host") << QStringLiteral("http://127.0.0.1 :%1/files/cap.xml").arg(m_server.port());
}

void tst_Http::refusesOtherSchemesWithoutARequest()
{
    QFETCH(QString, address);
    m_server.takeRequests();
    CurlHttpTransfer http(quickOptions());
    const auto result = waitedFor(http, address);
    QVERIFY(!result.ok);
    QVERIFY(result.body.isEmpty());
    QVERIFY(!result.error.isEmpty());
    QCOMPARE(m_server.takeRequests(), QStringList());
}

void tst_Http::refusedConnection()
{
    const quint16 port = testsupport::LocalHttpServer::closedPort();
    QVERIFY(port != 0);
    CurlHttpTransfer http(quickOptions());
    QElapsedTimer timer;
    timer.start();
    const auto result = waitedFor(http, QStringLiteral("http://127.0.0.1:%1/gajo/list.xml").arg(port));
    QVERIFY(!result.ok);
    QCOMPARE(result.httpStatus, 0L);
    QVERIFY(result.body.isEmpty());
    QVERIFY(timer.elapsed() < 2000);
}

// A request goes to the proxy the environment names, as libcurl reads it: a
// plain one for the whole address, a secure one through a tunnel, with the
// credentials the proxy's address carries and none otherwise. A proxy that
// cannot be used fails the transfer: it never goes straight to the server.
// The local server stands in for the proxy.
void tst_Http::throughTheDesktopsProxy_data()
{
    QTest::addColumn<QByteArray>("variables"); // each set to proxy
    QTest::addColumn<QString>("proxy");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<long>("status");
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<QString>("says"); // in the error
    const QByteArray both = "http_proxy https_proxy";
    const QString remote = QStringLiteral("http://harovan.invalid/files/binary.xml");
    const QString plain = m_server.url(QString());
    const QString authorized = QStringLiteral("Proxy-Authorization: Basic dXNlcjpwYXNz"); // user:pass
    QTest::newRow("plain, no credentials sent")
        << both << plain << remote << true << 200L << QStringList {remote} << QString();
    QTest::newRow("with credentials") << both << m_server.proxyUrl(QStringLiteral("user:pass@")) << remote << true
                                      << 200L << QStringList {authorized, remote} << QString();
    QTest::newRow("wrong credentials") << both << m_server.proxyUrl(QStringLiteral("user:wrong@")) << remote << false
                                       << 407L << QStringList {"Proxy-Authorization: Basic dXNlcjp3cm9uZw=="}
                                       << QString();
    // The tunnel stands; the server's self-signed certificate then fails it.
    const QString secure = m_server.tlsUrl(QStringLiteral("/files/binary.xml"));
    QTest::newRow("https through a tunnel")
        << both << m_server.proxyUrl(QStringLiteral("user:pass@")) << secure << false << 0L
        << QStringList {authorized, QStringLiteral("CONNECT 127.0.0.1:%1").arg(QUrl(secure).port())} << QString();

    // Straight to the server, a request would name the path alone.
    const QString local = m_server.url(QStringLiteral("/files/binary.xml"));
    QTest::newRow("all_proxy") << QByteArray("all_proxy") << plain << local << true << 200L << QStringList {local}
                               << QString();
    QTest::newRow("ALL_PROXY") << QByteArray("ALL_PROXY") << plain << local << true << 200L << QStringList {local}
                               << QString();
    QTest::newRow("HTTPS_PROXY for https")
        << QByteArray("HTTPS_PROXY") << m_server.proxyUrl(QStringLiteral("user:pass@")) << secure << false << 0L
        << QStringList {authorized, QStringLiteral("CONNECT 127.0.0.1:%1").arg(QUrl(secure).port())} << QString();
    const QString closed = QStringLiteral("127.0.0.1:%1").arg(testsupport::LocalHttpServer::closedPort());
    QTest::newRow("socks5h in ALL_PROXY, not there")
        << QByteArray("ALL_PROXY") << "socks5h://" + closed << local << false << 0L << QStringList {} << QString();
    // Its certificate is vouched for by nobody.
    QTest::newRow("an https proxy in http_proxy") << QByteArray("http_proxy") << m_server.tlsUrl(QString()) << local
                                                  << false << 0L << QStringList {} << QString();
    QTest::newRow("a proxy of a kind libcurl has not")
        << QByteArray("http_proxy") << "ftp://" + closed << local << false << 0L << QStringList {}
        << QStringLiteral("the proxy in http_proxy is of a kind this program cannot use: ftp");
    QTest::newRow("no_proxy names the server") << QByteArray("all_proxy no_proxy") << "http://" + closed << local
                                               << true << 200L << QStringList {"/files/binary.xml"} << QString();
}

void tst_Http::throughTheDesktopsProxy()
{
    QFETCH(QByteArray, variables);
    QFETCH(QString, proxy);
    QFETCH(QString, address);
    QFETCH(bool, ok);
    QFETCH(long, status);
    QFETCH(QStringList, requests);
    QFETCH(QString, says);
    m_server.takeRequests();
    const QList<QByteArray> names = variables.split(' ');
    for (const QByteArray &name : names)
        qputenv(name.constData(), name == "no_proxy" ? QByteArray("127.0.0.1") : proxy.toLatin1());
    CurlHttpTransfer http(quickOptions());
    const auto result = waitedFor(http, address);
    for (const QByteArray &name : names)
        qunsetenv(name.constData());
    QVERIFY2(result.ok == ok, qPrintable(result.error));
    QCOMPARE(result.body, ok ? m_binary : QByteArray());
    QCOMPARE(result.httpStatus, status);
    QCOMPARE(m_server.takeRequests(), requests);
    QVERIFY2(result.error.contains(says), qPrintable(result.error));
}

void tst_Http::stallAndTrickleEndInTime_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<long>("totalTimeoutMs");
    QTest::addColumn<int>("cancelAfterMs"); // 0: never
    QTest::addColumn<int>("endsAfterMs"); // not before this
    QTest::addColumn<int>("endsBeforeMs");
    QTest::newRow("no response") << "/fault/stall?seconds=8" << 10000L << 0 << 900 << 5000;
    QTest::newRow("body stops half-way") << "/fault/stall-body?seconds=8" << 10000L << 0 << 900 << 5000;
    // One byte every 0.4 s never stalls; the overall limit ends it.
    QTest::newRow("trickle past the overall limit") << "/fault/trickle?n=20&interval=0.4" << 1500L << 0 << 1400 << 5000;
    // Headers are capped as they arrive, however fast they come.
    QTest::newRow("headers without end") << "/fault/endless-headers" << 10000L << 0 << 0 << 900;
    // Interim answers are no answer: the stall limit runs on through them.
    QTest::newRow("interim answers without end") << "/fault/interim?n=8&interval=0.4" << 10000L << 0 << 900 << 2000;
    // A cancel does not wait for any time-out.
    QTest::newRow("cancel during a stall") << "/fault/stall?seconds=8" << 10000L << 200 << 150 << 900;
    QTest::newRow("cancel during a trickle") << "/fault/trickle?n=20&interval=0.4" << 10000L << 500 << 450 << 1200;
    QTest::newRow("cancel during headers without end")
        << "/fault/endless-headers?interval=0.01" << 10000L << 300 << 250 << 900;
}

void tst_Http::stallAndTrickleEndInTime()
{
    QFETCH(QString, path);
    QFETCH(long, totalTimeoutMs);
    QFETCH(int, cancelAfterMs);
    QFETCH(int, endsAfterMs);
    QFETCH(int, endsBeforeMs);
    CurlHttpTransfer::Options options = quickOptions();
    options.totalTimeoutMs = totalTimeoutMs;
    auto http = std::make_unique<CurlHttpTransfer>(options);
    QElapsedTimer timer;
    timer.start();
    const auto result = waitedFor(*http, m_server.url(path), cancelAfterMs);
    QVERIFY(!result.ok);
    QCOMPARE(result.cancelled, cancelAfterMs > 0);
    QVERIFY(result.body.isEmpty());
    QVERIFY2(
        timer.elapsed() >= endsAfterMs && timer.elapsed() < endsBeforeMs, qPrintable(QString::number(timer.elapsed())));

    // Its connection ended with it: the next transfer goes through at once, and
    // nothing is left to wait for when the program quits.
    timer.restart();
    QVERIFY(waitedFor(*http, m_server.url(QStringLiteral("/files/cap.xml"))).ok);
    http.reset();
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
}

// The program transfers through the module beside it, with the same rules;
// without the module every transfer fails, and nothing else does.
void tst_Http::programModuleTransfers()
{
    m_server.takeRequests();
    platform::RefusedTransfer refused;
    platform::Deferred<platform::HttpTransfer> http(QStringLiteral(PROGRAM_DIR "/modules/harovan_network.so"), refused);
    QCOMPARE(waitedFor(http, m_server.url(QStringLiteral("/files/binary.xml"))).body, m_binary);
    QVERIFY(!waitedFor(http, m_server.url(QStringLiteral("/fault/redirect?to=file%3A%2F%2F%2Fetc%2Fpasswd"))).ok);
    // A cancel from the program reaches the transfer in the module at once.
    QElapsedTimer timer;
    timer.start();
    QVERIFY(waitedFor(http, m_server.url(QStringLiteral("/fault/stall?seconds=8")), 200).cancelled);
    QVERIFY2(timer.elapsed() < 900, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(m_server.takeRequests(),
        (QStringList {
            "/files/binary.xml", "/fault/redirect?to=file%3A%2F%2F%2Fetc%2Fpasswd", "/fault/stall?seconds=8"}));

    platform::Deferred<platform::HttpTransfer> missing(
        QStringLiteral(PROGRAM_DIR "/modules/no_such_module.so"), refused);
    const auto result = waitedFor(missing, m_server.url(QStringLiteral("/files/binary.xml")));
    QVERIFY(!result.ok);
    QVERIFY(!result.error.isEmpty());
    QCOMPARE(m_server.takeRequests(), QStringList());
}

QTEST_GUILESS_MAIN(tst_Http)
#include "tst_http.moc"
