#include "system/start_with_login.h"

#include "platform/core/encoding.h"
#include "platform/os/os.h"
#include "platform/os/registry/registry.h"

namespace {

namespace reg = platform::reg;
const std::string valueName = "Zettara";

QString readEntry() {
    std::uint32_t type = reg::sz;
    std::string text;
    注册表_读取_值(reg::currentUser, reg::runKey, valueName, type, text);
    return platform::fromAnsi(QByteArray::fromStdString(text));
}

}  // namespace

QString 开机启动_命令行(const QString& programFile) {
    // Plain quotes for any Windows path. A quote in a path elsewhere is tripled, so that the text
    // still splits into exactly the path and "mini" (the rule of QProcess::splitCommand).
    return u'"' + QString(programFile).replace(u'"', QStringLiteral("\"\"\"")) +
           QStringLiteral("\" mini");
}

QString 开机启动_期望值() {
    return 开机启动_命令行(platform::os::startupProgramFile());
}

bool 开机启动_已设置() {
    return readEntry() == 开机启动_期望值();
}

bool 工具_开机启动_Click(bool checked) {
    if (checked) {
        注册表_删除_值(reg::currentUser, reg::runKey, valueName);
        return false;
    }
    if (readEntry().isEmpty()) {
        std::string text = platform::toAnsi(开机启动_期望值()).toStdString();
        注册表_写入_值(reg::currentUser, reg::runKey, valueName, reg::sz, text);
    }
    return true;
}

void StartWithLoginChoice::load() {
    on_ = 开机启动_已设置();
    if (stateChanged) stateChanged();
}

void StartWithLoginChoice::toggle() {
    on_ = 工具_开机启动_Click(on_);
    if (stateChanged) stateChanged();
}
