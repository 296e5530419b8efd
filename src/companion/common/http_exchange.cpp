#include "common/http_exchange.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <memory>

namespace companion {

namespace {
constexpr int kLongestTimeoutMs = 60000;
}

HttpExchange::Result HttpExchange::get(const QUrl& url, int timeoutMs, qint64 maxBytes) {
    return run(url, nullptr, {}, timeoutMs, maxBytes);
}

HttpExchange::Result HttpExchange::post(const QUrl& url, const QByteArray& body,
                                        const QByteArray& contentType, int timeoutMs) {
    // An answer to a post is only read for its status; a small cap is enough.
    return run(url, &body, contentType, timeoutMs, 64 * 1024);
}

int HttpExchange::timeoutFromEnvironment(const char* name, int fallback) {
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 && value <= kLongestTimeoutMs ? value : fallback;
}

HttpExchange::Result HttpExchange::run(const QUrl& url, const QByteArray* postBody,
                                       const QByteArray& contentType, int timeoutMs,
                                       qint64 maxBytes) {
    Result result;
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        result.error = QStringLiteral("地址无效：%1").arg(url.toDisplayString());
        return result;
    }

    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    if (!contentType.isEmpty()) request.setHeader(QNetworkRequest::ContentTypeHeader, contentType);
    std::unique_ptr<QNetworkReply> reply(postBody ? manager.post(request, *postBody)
                                                  : manager.get(request));

    bool timedOut = false;
    bool tooLarge = false;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, reply.get(), [&] {
        timedOut = true;
        reply->abort();
    });
    QObject::connect(reply.get(), &QNetworkReply::downloadProgress, reply.get(),
                     [&](qint64 received, qint64) {
                         if (received > maxBytes && !tooLarge) {
                             tooLarge = true;
                             reply->abort();
                         }
                     });
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    deadline.start(timeoutMs);
    if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    deadline.stop();

    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (timedOut) {
        result.error = QStringLiteral("连接超时");
    } else if (tooLarge) {
        result.error = QStringLiteral("服务器的回答过长");
    } else if (reply->error() != QNetworkReply::NoError) {
        result.error = reply->errorString();
    } else if (result.status < 200 || result.status > 299) {
        result.error = QStringLiteral("服务器回答 HTTP %1").arg(result.status);
    } else {
        result.body = reply->readAll();
        result.ok = true;
    }
    return result;
}

}  // namespace companion
