#pragma once
// A version server of the tests' own on 127.0.0.1 and a free port: each
// connection's request is recorded and answered with the scripted reply, or
// (Silent) held open without an answer.
#include <QByteArray>
#include <QStringList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <thread>

class LoopbackHttp {
public:
    explicit LoopbackHttp(QByteArray reply, bool silent = false) : FReply(std::move(reply)), FSilent(silent)
    {
        FListen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;
        int one = 1;
        setsockopt(FListen, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        if (bind(FListen, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(FListen, 4) != 0)
            return;
        socklen_t len = sizeof a;
        getsockname(FListen, reinterpret_cast<sockaddr*>(&a), &len);
        FPort = ntohs(a.sin_port);
        FThread = std::thread([this] { Serve(); });
    }
    ~LoopbackHttp()
    {
        FStop = true;
        if (FThread.joinable())
            FThread.join();
        if (FListen >= 0)
            close(FListen);
    }
    int Port() const { return FPort; }
    QList<QByteArray> Requests() const
    {
        std::lock_guard<std::mutex> g(FLock);
        return FRequests;
    }

private:
    bool Readable(int fd, int ms)
    {
        pollfd p{fd, POLLIN, 0};
        return poll(&p, 1, ms) > 0;
    }
    void Serve()
    {
        while (!FStop) {
            if (!Readable(FListen, 50))
                continue;
            const int c = accept(FListen, nullptr, nullptr);
            if (c < 0)
                continue;
            QByteArray req;
            char buf[1024];
            while (!req.contains("\r\n\r\n") && Readable(c, 2000)) {
                const ssize_t n = recv(c, buf, sizeof buf, 0);
                if (n <= 0)
                    break;
                req.append(buf, n);
            }
            {
                std::lock_guard<std::mutex> g(FLock);
                FRequests << req;
            }
            if (FSilent) {
                while (!FStop)
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
            } else {
                send(c, FReply.constData(), size_t(FReply.size()), MSG_NOSIGNAL);
            }
            close(c);
        }
    }

    QByteArray FReply;
    bool FSilent;
    int FListen = -1;
    int FPort = 0;
    std::atomic<bool> FStop{false};
    std::thread FThread;
    mutable std::mutex FLock;
    QList<QByteArray> FRequests;
};
