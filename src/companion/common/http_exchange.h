#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace companion {

// One HTTP request run to completion inside a local event loop, the way a blocking library
// call behaves for the program that made it. User input stays queued meanwhile; the wait is
// bounded by a deadline for the whole exchange, not per packet.
class HttpExchange {
  public:
    struct Result {
        bool ok = false;  // transfer complete and a 2xx answer
        int status = 0;   // HTTP status, 0 when none arrived
        QByteArray body;
        QString error;  // why it failed, for the user
    };

    static Result get(const QUrl& url, int timeoutMs, qint64 maxBytes);
    static Result post(const QUrl& url, const QByteArray& body, const QByteArray& contentType,
                       int timeoutMs);

    // Milliseconds from the environment variable `name` when it holds a sane value, otherwise
    // `fallback`.
    static int timeoutFromEnvironment(const char* name, int fallback);

  private:
    static Result run(const QUrl& url, const QByteArray* postBody, const QByteArray& contentType,
                      int timeoutMs, qint64 maxBytes);
};

}  // namespace companion
