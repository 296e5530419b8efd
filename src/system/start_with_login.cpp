#include "system/start_with_login.h"

#include "platform/os/os.h"
#include "platform/os/registry_backend.h"
#include "platform/os/registry_command_line.h"
#include "system/registry_ops.h"

namespace {

const QString runKeyPath = QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString valueName = QStringLiteral("Zettara");

QString readEntry() {
    std::uint32_t type = platform::reg::sz;
    QString text;
    注册表_读取_值(platform::reg::currentUser, runKeyPath, valueName, type, text);
    return text;
}

}  // namespace

QString 开机启动_命令行(const QString& programFile) {
    // Plain quotes for any Windows path; a quote in a path elsewhere is escaped so that the
    // text still splits into exactly the path and "mini".
    return platform::command_line::quoted(programFile) + QStringLiteral(" mini");
}

QString 开机启动_期望值() {
    return 开机启动_命令行(platform::os::startupProgramFile());
}

bool 开机启动_已设置() {
    return readEntry() == 开机启动_期望值();
}

bool 工具_开机启动_Click(bool checked) {
    if (checked) {
        注册表_删除_值(platform::reg::currentUser, runKeyPath, valueName);
        return false;
    }
    if (readEntry().isEmpty()) {
        QString text = 开机启动_期望值();
        注册表_写入_值(platform::reg::currentUser, runKeyPath, valueName, platform::reg::sz, text);
    }
    return true;
}
