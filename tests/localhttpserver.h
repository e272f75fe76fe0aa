#pragma once

// A real HTTP server on 127.0.0.1 for the transfer's test and the published
// site's (the jobs and the windows use the fake transfer): tests/httpserver.py
// serving a temporary folder, with the fault paths that script describes.

#include "platform/http.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

// Transfers that give up within seconds, for tests against the local server:
// its stalls, trickles and refused connections end quickly.
inline platform::CurlHttpTransfer::Options quickHttpOptions()
{
    platform::CurlHttpTransfer::Options options;
    options.connectTimeoutMs = 2000;
    options.stallTimeoutMs = 1000;
    options.totalTimeoutMs = 10000;
    options.maxBodyBytes = 100000;
    options.maxRedirects = 3;
    return options;
}

class LocalHttpServer
{
public:
    LocalHttpServer()
    {
        // The transfers go straight to 127.0.0.1, whatever the environment says.
        for (const char *name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
            qunsetenv(name);
    }
    ~LocalHttpServer() { stop(); }
    LocalHttpServer(const LocalHttpServer &) = delete;
    LocalHttpServer &operator=(const LocalHttpServer &) = delete;

    // Starts the server; on failure error() says why.
    bool start()
    {
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty()) {
            m_error = QStringLiteral("python3 not found");
            return false;
        }
        m_process.setProgram(python);
        m_process.setArguments({QStringLiteral(PROJECT_SOURCE_DIR "/tests/httpserver.py"), m_root.path(),
            QStringLiteral(PROJECT_SOURCE_DIR "/tests/data/selfsigned.pem")});
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
        if (!m_process.waitForStarted(5000)) {
            m_error = m_process.errorString();
            return false;
        }
        while (m_process.canReadLine() || m_process.waitForReadyRead(5000)) {
            const QByteArray line = m_process.readLine().trimmed();
            if (line.startsWith("PORT6 "))
                m_port6 = line.mid(6).toUShort();
            else if (line.startsWith("PROXY "))
                m_proxyPort = line.mid(6).toUShort();
            else if (line.startsWith("TLS "))
                m_tlsPort = line.mid(4).toUShort();
            if (line.startsWith("PORT ")) {
                m_port = line.mid(5).toUShort();
                return m_port != 0;
            }
            if (!m_process.canReadLine() && m_process.state() != QProcess::Running)
                break;
        }
        m_error = QStringLiteral("the server did not report its port");
        return false;
    }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.closeWriteChannel(); // the server ends when its input closes
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }

    QString error() const { return m_error; }
    quint16 port() const { return m_port; }
    quint16 port6() const { return m_port6; }
    QString url(const QString &path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path); }
    // The same server on [::1], with the host as given (a zone, for one).
    QString url6(const QString &host, const QString &path) const
    {
        return QStringLiteral("http://[%1]:%2%3").arg(host).arg(m_port6).arg(path);
    }
    // Over TLS, with a certificate nobody vouches for.
    QString tlsUrl(const QString &path) const
    {
        return QStringLiteral("https://127.0.0.1:%1%2").arg(m_tlsPort).arg(path);
    }
    // A proxy that wants the user "user" with the password "pass".
    QString proxyUrl(const QString &credentials) const
    {
        return QStringLiteral("http://") + credentials + QStringLiteral("127.0.0.1:%1").arg(m_proxyPort);
    }

    // The folder the server serves.
    QString root() const { return m_root.path() + u'/'; }
    bool writeFile(const QString &relativePath, const QByteArray &content) const
    {
        const QString path = root() + relativePath;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
    }

    // The paths requested since the last call, in order, "CONNECT host:port"
    // for every tunnel through the proxy, and before each the line
    // "Proxy-Authorization: value" when it carries one.
    QStringList takeRequests()
    {
        // The server logs a request before it answers it, so after a transfer
        // has returned its line is already in the pipe.
        while (m_process.waitForReadyRead(30)) { }
        QStringList requests;
        while (m_process.canReadLine()) {
            const QByteArray line = m_process.readLine().trimmed();
            if (line.startsWith("GET "))
                requests.append(QString::fromUtf8(line.mid(4)));
            else if (line.startsWith("CONNECT ") || line.startsWith("Proxy-Authorization: "))
                requests.append(QString::fromUtf8(line));
        }
        return requests;
    }

    // A port on 127.0.0.1 on which nothing listens: connections are refused.
    static quint16 closedPort()
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        quint16 port = 0;
        if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
            && ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
            port = ntohs(address.sin_port);
        if (fd >= 0)
            ::close(fd);
        return port;
    }

private:
    QTemporaryDir m_root;
    QProcess m_process;
    quint16 m_port = 0;
    quint16 m_port6 = 0;
    quint16 m_proxyPort = 0;
    quint16 m_tlsPort = 0;
    QString m_error;
};

} // namespace testsupport
