#include "system/feedback_call.h"

#include "platform/core/app.h"
#include "platform/core/encoding.h"
#include "platform/os/library_loader.h"

namespace 用户反馈 {

namespace {

std::function<int(const QByteArray&)>& callOverride() {
    static std::function<int(const QByteArray&)> call;
    return call;
}

}  // namespace

QString productText() {
    return QStringLiteral("Zettara ") + platform::app::versionText();
}

int ShowComment(const QString& product) {
    const QByteArray argument = platform::toAnsi(product);
    if (callOverride()) return callOverride()(argument);
    return platform::LibraryLoader::callText(QStringLiteral("SendComment"), "ShowComment",
                                             argument);
}

int 意见反馈() {
    return ShowComment(productText());
}

void FeedbackCallSeam::setFeedbackCall(std::function<int(const QByteArray&)> call) {
    callOverride() = std::move(call);
}

}  // namespace 用户反馈
