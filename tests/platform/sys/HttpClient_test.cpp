#include "platform/sys/HttpClient.h"

#include <QElapsedTimer>

#include <arpa/inet.h>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <cerrno>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace Sys;

namespace {

// A one-connection server on 127.0.0.1 run by a thread: it reads the request
// head and then answers with the given bytes (or, with hold set, stays silent
// until the test ends).
class LoopbackServer {
public:
    LoopbackServer(QByteArray reply, bool closeAfter = true, bool hold = false)
    {
        FListen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int one = 1;
        setsockopt(FListen, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        bind(FListen, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(FListen, 1);
        socklen_t len = sizeof a;
        getsockname(FListen, reinterpret_cast<sockaddr*>(&a), &len);
        Port = ntohs(a.sin_port);
        FThread = std::thread([this, reply, closeAfter, hold] { Serve(reply, closeAfter, hold); });
    }
    ~LoopbackServer()
    {
        FStop = true;
        FThread.join();
        close(FListen);
    }
    quint16 Port = 0;
    QByteArray Request; // valid after the client has its answer

private:
    bool WaitReadable(int fd)
    {
        while (!FStop) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 20) > 0)
                return true;
        }
        return false;
    }
    void Serve(const QByteArray& reply, bool closeAfter, bool hold)
    {
        if (!WaitReadable(FListen))
            return;
        const int c = accept(FListen, nullptr, nullptr);
        char buf[4096];
        while (!Request.contains("\r\n\r\n") && WaitReadable(c)) {
            const ssize_t n = recv(c, buf, sizeof buf, 0);
            if (n <= 0)
                break;
            Request.append(buf, n);
        }
        if (!hold)
            send(c, reply.constData(), size_t(reply.size()), MSG_NOSIGNAL);
        if (hold || !closeAfter)
            while (!FStop)
                usleep(10000);
        close(c);
    }
    int FListen = -1;
    std::atomic<bool> FStop{false};
    std::thread FThread;
};

QString Url(quint16 port, const char* pathAndQuery)
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(QLatin1String(pathAndQuery));
}

} // namespace

TEST(HttpClient, GetReturnsStatusHeadersAndBodyAndSendsAnHttp10Request)
{
    LoopbackServer server("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nX-Version: 1\r\n\r\nVER. 1.101");
    RealHttpClient http;
    const HttpResponse r = http.Get(Url(server.Port, "/home/download/GetversionSW.asp?nomesw=CF31A06"),
                                    {{"Accept", "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8"},
                                     {"User-Agent", "Kalmetor"}},
                                    3000);
    EXPECT_EQ(r.Status, 200);
    EXPECT_EQ(r.Reason, QByteArray("OK"));
    EXPECT_EQ(r.Body, QByteArray("VER. 1.101"));
    EXPECT_EQ(r.Header("content-type"), QByteArray("text/html"));
    EXPECT_EQ(r.Headers.size(), 2);

    const QByteArray req = server.Request;
    EXPECT_TRUE(req.startsWith("GET /home/download/GetversionSW.asp?nomesw=CF31A06 HTTP/1.0\r\n")) << req.constData();
    EXPECT_TRUE(req.contains(QByteArray("\r\nHost: 127.0.0.1:") + QByteArray::number(server.Port) + "\r\n"));
    EXPECT_TRUE(req.contains("\r\nAccept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"));
    EXPECT_TRUE(req.contains("\r\nUser-Agent: Kalmetor\r\n"));
    EXPECT_TRUE(req.endsWith("\r\n\r\n"));
}

TEST(HttpClient, ErrorStatusesAreReturnedNotRaised)
{
    LoopbackServer server("HTTP/1.1 404 Not Found\r\n\r\n");
    const HttpResponse r = RealHttpClient().Get(Url(server.Port, "/x"), {}, 3000);
    EXPECT_EQ(r.Status, 404);
    EXPECT_TRUE(r.Body.isEmpty());
}

TEST(HttpClient, ABodyWithContentLengthEndsWithoutWaitingForTheClose)
{
    // The server keeps the connection open after its reply.
    LoopbackServer server("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nVER. 1.100", false);
    QElapsedTimer t;
    t.start();
    const HttpResponse r = RealHttpClient().Get(Url(server.Port, "/"), {}, 3000);
    EXPECT_EQ(r.Body, QByteArray("VER. 1.100"));
    EXPECT_LT(t.elapsed(), 2000);
}

TEST(HttpClient, AServerThatNeverAnswersTimesOut)
{
    LoopbackServer server(QByteArray(), true, true);
    QElapsedTimer t;
    t.start();
    EXPECT_THROW(RealHttpClient().Get(Url(server.Port, "/"), {}, 300), ESysTimeout);
    EXPECT_GE(t.elapsed(), 250);
    EXPECT_LT(t.elapsed(), 2000);
}

TEST(HttpClient, RefusedRequestsAndBrokenRepliesRaise)
{
    RealHttpClient http;
    // Not http, or a header that would smuggle a second line into the request.
    EXPECT_THROW(http.Get(QStringLiteral("https://127.0.0.1/"), {}, 500), ESysError);
    EXPECT_THROW(http.Get(QStringLiteral("ftp://127.0.0.1/"), {}, 500), ESysError);
    EXPECT_THROW(http.Get(QStringLiteral("not a url"), {}, 500), ESysError);
    EXPECT_THROW(http.Get(QStringLiteral("http://127.0.0.1/"), {{"X", "a\r\nHost: evil"}}, 500), ESysError);

    // Nobody listening: a port that was just free.
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    close(s);
    try {
        http.Get(Url(ntohs(a.sin_port), "/"), {}, 1000);
        FAIL() << "no exception";
    } catch (const ESysTimeout&) {
        FAIL() << "a refused connection is not a time-out";
    } catch (const ESysError& e) {
        EXPECT_EQ(e.ErrorCode(), ECONNREFUSED);
    }

    LoopbackServer garbage("garbage\r\n\r\n");
    EXPECT_THROW(http.Get(Url(garbage.Port, "/"), {}, 2000), ESysError);
}

TEST(HttpClient, ANameLookupThatDoesNotEndIsBoundedByTheTimeOut)
{
    // The lookup is held until the request has given up on it: the request
    // must end by itself, while the lookup is still waiting.
    std::mutex m;
    std::condition_variable cv;
    bool release = false;
    std::atomic<bool> lookupEnded{false};
    SetNameLookupHook([&](const QString&) {
        std::unique_lock<std::mutex> lock(m);
        cv.wait(lock, [&] { return release; });
        lookupEnded = true;
    });
    EXPECT_THROW(RealHttpClient().Get(QStringLiteral("http://localhost:9/"), {}, 200), ESysTimeout);
    EXPECT_FALSE(lookupEnded.load());
    SetNameLookupHook(nullptr);
    {
        const std::lock_guard<std::mutex> lock(m);
        release = true;
    }
    cv.notify_all();
    // The abandoned lookup finishes on its own thread and frees its result.
    for (int i = 0; i < 200 && !lookupEnded; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(lookupEnded.load());
}
