#include "system/update_call.h"

#include "platform/core/encoding.h"
#include "platform/core/error.h"
#include "platform/os/library_loader.h"

namespace modUpdate {

namespace {

std::function<int(const QByteArray&)>& callOverride() {
    static std::function<int(const QByteArray&)> call;
    return call;
}

}  // namespace

int DoUpdate(const QString& listAddress) {
    const QByteArray argument = platform::toAnsi(listAddress);
    if (callOverride()) return callOverride()(argument);
    try {
        return platform::LibraryLoader::callText(QStringLiteral("Update"), "DoUpdate", argument);
    } catch (const platform::Error&) {
        return 0;  // no update library installed: nothing to check with
    }
}

void UpdateCallSeam::setUpdateCall(std::function<int(const QByteArray&)> call) {
    callOverride() = std::move(call);
}

}  // namespace modUpdate
