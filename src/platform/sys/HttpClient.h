#pragma once
// A small HTTP/1.0 client for the update check: one GET over a plain TCP
// connection, the whole exchange bounded by one time-out, the name lookup
// included (it runs on a thread of its own; the caller stops waiting for it
// at the deadline).
#include "platform/sys/SysErrors.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <functional>
#include <memory>

namespace Sys {

using HttpHeaders = QList<QPair<QByteArray, QByteArray>>;

struct HttpResponse {
    int Status = 0;
    QByteArray Reason;
    HttpHeaders Headers; // as received, in order
    QByteArray Body;
    // The first header of that name (case ignored), or a null array.
    QByteArray Header(const QByteArray& name) const;
};

class IHttpClient {
public:
    virtual ~IHttpClient() = default;
    // GET of an "http://" URL with the extra request headers, finished within
    // timeoutMs. Any status is returned as it came; a URL that is not http, a
    // header that would split the request, a name that does not resolve, a
    // refused connection or a malformed reply raise ESysError, and a server
    // that does not answer in time raises ESysTimeout.
    virtual HttpResponse Get(const QString& url, const HttpHeaders& headers = {}, int timeoutMs = 10000) = 0;
};

class RealHttpClient : public IHttpClient {
public:
    HttpResponse Get(const QString& url, const HttpHeaders& headers = {}, int timeoutMs = 10000) override;
    // Replies longer than this are refused rather than held in memory.
    static constexpr qsizetype MaxResponseBytes = 16 * 1024 * 1024;
};

// Records requests and returns a scripted response (or raises FailWith).
class FakeHttpClient : public IHttpClient {
public:
    struct Request {
        QString Url;
        HttpHeaders Headers;
        int TimeoutMs;
    };
    QList<Request> Requests;
    HttpResponse Response{200, "OK", {}, {}};
    QString FailWith;

    HttpResponse Get(const QString& url, const HttpHeaders& headers = {}, int timeoutMs = 10000) override;
};

// Test hook: run on the lookup's own thread before the host name is looked
// up (a test holds it there to stand for a name server that does not answer).
void SetNameLookupHook(std::function<void(const QString& host)> hook);

IHttpClient& HttpClient();
void SetHttpClient(std::unique_ptr<IHttpClient> p);

} // namespace Sys
