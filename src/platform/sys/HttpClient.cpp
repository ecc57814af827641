#include "platform/sys/HttpClient.h"
#include "platform/sys/DestinationGuard.h"
#include "platform/sys/ServiceSlot.h"
#include "platform/sys/SysWait.h"

#include <QUrl>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include <cerrno>
#include <fcntl.h>
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

namespace Sys {

namespace {

struct Fd {
    int V = -1;
    ~Fd()
    {
        if (V >= 0)
            ::close(V);
    }
};

[[noreturn]] void TimedOut(const QString& url)
{
    throw ESysTimeout(QStringLiteral("HTTP request to %1 timed out").arg(url), ETIMEDOUT);
}

// Waits for the socket to be ready for the events; false when the time ran out.
bool WaitFor(int fd, short events, const Deadline& d)
{
    return WaitReady(fd, events, d, QStringLiteral("Cannot wait on the connection"));
}

bool HasLineBreak(const QByteArray& s)
{
    return s.contains('\r') || s.contains('\n');
}

// Asks the destination guard about one resolved address.
void checkResolved(const addrinfo* a, int port)
{
    if (a->ai_family == AF_INET) {
        CheckDestinationIPv4(reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr, quint16(port),
                             QStringLiteral("connection"));
        return;
    }
    char text[INET6_ADDRSTRLEN] = {};
    if (a->ai_family == AF_INET6)
        ::inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(a->ai_addr)->sin6_addr, text, sizeof text);
    CheckDestinationText(QString::fromLatin1(text), quint16(port), QStringLiteral("connection"));
}

std::function<void(const QString&)>& lookupHook()
{
    static std::function<void(const QString&)> hook;
    return hook;
}

// One name lookup, shared by the caller and the thread that does it: the
// caller may stop waiting, and the thread then frees what it found.
struct TLookup {
    std::mutex M;
    std::condition_variable Ready;
    bool Done = false;
    bool Abandoned = false;
    int Gai = 0;
    addrinfo* Res = nullptr;
};

// getaddrinfo cannot be given a time-out and may wait for a name server for
// many seconds: it runs on a thread of its own, and the caller waits for it
// only until the request's deadline.
addrinfo* Resolve(const QString& host, int port, const QString& url, const Deadline& d)
{
    const auto lookup = std::make_shared<TLookup>();
    const QByteArray h = QUrl::toAce(host);
    const QByteArray p = QByteArray::number(port);
    std::thread([lookup, h, p, host, hook = lookupHook()] {
        if (hook)
            hook(host);
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* res = nullptr;
        const int gai = ::getaddrinfo(h.constData(), p.constData(), &hints, &res);
        const std::lock_guard<std::mutex> lock(lookup->M);
        if (lookup->Abandoned) {
            if (gai == 0 && res)
                ::freeaddrinfo(res);
            return;
        }
        lookup->Gai = gai;
        lookup->Res = gai == 0 ? res : nullptr;
        lookup->Done = true;
        lookup->Ready.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(lookup->M);
    if (!lookup->Ready.wait_for(lock, std::chrono::milliseconds(d.Left()), [&] { return lookup->Done; })) {
        lookup->Abandoned = true;
        TimedOut(url);
    }
    if (lookup->Gai != 0)
        throw ESysError(
            QStringLiteral("Cannot resolve \"%1\": %2").arg(host, QString::fromLocal8Bit(gai_strerror(lookup->Gai))));
    return lookup->Res;
}

// Connects to one of the resolved addresses within the deadline.
void Connect(Fd& fd, const QString& host, int port, const QString& url, const Deadline& d)
{
    addrinfo* res = Resolve(host, port, url, d);
    int lastErr = ECONNREFUSED;
    for (addrinfo* a = res; a; a = a->ai_next) {
        try {
            checkResolved(a, port);
        } catch (...) {
            ::freeaddrinfo(res);
            throw;
        }
        const int s = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
        if (s < 0) {
            lastErr = errno;
            continue;
        }
        if (::connect(s, a->ai_addr, a->ai_addrlen) == 0 || errno == EINPROGRESS) {
            if (!WaitFor(s, POLLOUT, d)) {
                ::close(s);
                ::freeaddrinfo(res);
                TimedOut(url);
            }
            int soErr = 0;
            socklen_t len = sizeof soErr;
            ::getsockopt(s, SOL_SOCKET, SO_ERROR, &soErr, &len);
            if (soErr == 0) {
                fd.V = s;
                ::freeaddrinfo(res);
                return;
            }
            lastErr = soErr;
        } else {
            lastErr = errno;
        }
        ::close(s);
    }
    ::freeaddrinfo(res);
    RaiseErrno(QStringLiteral("Cannot connect to %1:%2").arg(host).arg(port), lastErr);
}

void SendAll(int fd, const QByteArray& data, const QString& url, const Deadline& d)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::send(fd, data.constData() + done, size_t(data.size() - done), MSG_NOSIGNAL);
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            RaiseErrno(QStringLiteral("Cannot send the HTTP request"), errno);
        if (!WaitFor(fd, POLLOUT, d))
            TimedOut(url);
    }
}

// Reads until the server closes the connection (HTTP/1.0), or until a
// Content-Length body is complete.
QByteArray ReceiveAll(int fd, const QString& url, const Deadline& d)
{
    QByteArray data;
    char buf[16384];
    qsizetype wanted = -1;
    for (;;) {
        if (!WaitFor(fd, POLLIN, d))
            TimedOut(url);
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n == 0)
            return data;
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR)
                continue;
            RaiseErrno(QStringLiteral("Cannot receive the HTTP reply"), errno);
        }
        data.append(buf, n);
        if (data.size() > RealHttpClient::MaxResponseBytes)
            throw ESysError(QStringLiteral("HTTP reply from %1 is too large").arg(url));
        if (wanted < 0) {
            const qsizetype end = data.indexOf("\r\n\r\n");
            if (end >= 0) {
                const QByteArray head = data.left(end).toLower();
                const qsizetype at = head.indexOf("\r\ncontent-length:");
                if (at >= 0) {
                    const qsizetype eol = head.indexOf("\r\n", at + 2);
                    bool ok = false;
                    const qlonglong len = head.mid(at + 17, eol < 0 ? -1 : eol - at - 17).trimmed().toLongLong(&ok);
                    if (ok && len >= 0)
                        wanted = end + 4 + qsizetype(len);
                }
            }
        }
        if (wanted >= 0 && data.size() >= wanted)
            return data.left(wanted);
    }
}

HttpResponse ParseResponse(const QByteArray& data, const QString& url)
{
    qsizetype headEnd = data.indexOf("\r\n\r\n");
    qsizetype bodyAt = headEnd + 4;
    if (headEnd < 0) {
        // Some servers end lines with LF alone.
        headEnd = data.indexOf("\n\n");
        bodyAt = headEnd + 2;
    }
    if (headEnd < 0)
        throw ESysError(QStringLiteral("Malformed HTTP reply from %1").arg(url));
    const QList<QByteArray> lines = data.left(headEnd).split('\n');
    const QByteArray status = lines.first().trimmed();
    // "HTTP/1.x NNN reason"
    const QList<QByteArray> parts = status.split(' ');
    bool ok = false;
    const int code = parts.size() >= 2 ? parts[1].toInt(&ok) : 0;
    if (!status.startsWith("HTTP/") || !ok || code < 100 || code > 999)
        throw ESysError(QStringLiteral("Malformed HTTP status line from %1").arg(url));
    HttpResponse r;
    r.Status = code;
    const qsizetype reasonAt = status.indexOf(' ', status.indexOf(' ') + 1);
    if (reasonAt > 0)
        r.Reason = status.mid(reasonAt + 1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            r.Headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    r.Body = data.mid(bodyAt);
    return r;
}

} // namespace

QByteArray HttpResponse::Header(const QByteArray& name) const
{
    for (const auto& h : Headers)
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    return QByteArray();
}

void SetNameLookupHook(std::function<void(const QString& host)> hook)
{
    lookupHook() = std::move(hook);
}

HttpResponse RealHttpClient::Get(const QString& url, const HttpHeaders& headers, int timeoutMs)
{
    const QUrl u(url, QUrl::StrictMode);
    if (!u.isValid() || u.scheme().compare(QStringLiteral("http"), Qt::CaseInsensitive) != 0 || u.host().isEmpty())
        throw ESysError(QStringLiteral("\"%1\" is not an http address").arg(url));
    for (const auto& h : headers)
        if (h.first.isEmpty() || HasLineBreak(h.first) || HasLineBreak(h.second) || h.first.contains(':'))
            throw ESysError(QStringLiteral("Invalid HTTP request header \"%1\"").arg(QString::fromLatin1(h.first)));

    const Deadline d(timeoutMs);
    const int port = u.port(80);
    Fd fd;
    Connect(fd, u.host(), port, url, d);

    QByteArray path = u.path(QUrl::FullyEncoded).toLatin1();
    if (path.isEmpty())
        path = "/";
    if (u.hasQuery())
        path += '?' + u.query(QUrl::FullyEncoded).toLatin1();
    QByteArray host = QUrl::toAce(u.host());
    if (u.host().contains(u':'))
        host = '[' + u.host().toLatin1() + ']';
    if (port != 80)
        host += ':' + QByteArray::number(port);
    QByteArray req = "GET " + path + " HTTP/1.0\r\nHost: " + host + "\r\n";
    for (const auto& h : headers)
        req += h.first + ": " + h.second + "\r\n";
    req += "\r\n";
    SendAll(fd.V, req, url, d);
    return ParseResponse(ReceiveAll(fd.V, url, d), url);
}

HttpResponse FakeHttpClient::Get(const QString& url, const HttpHeaders& headers, int timeoutMs)
{
    Requests.append({url, headers, timeoutMs});
    if (!FailWith.isEmpty())
        throw ESysError(FailWith);
    return Response;
}

namespace {
ServiceSlot<IHttpClient, RealHttpClient>& Slot()
{
    static ServiceSlot<IHttpClient, RealHttpClient> s;
    return s;
}
} // namespace

IHttpClient& HttpClient()
{
    return Slot().Get();
}

void SetHttpClient(std::unique_ptr<IHttpClient> p)
{
    Slot().Set(std::move(p));
}

} // namespace Sys
