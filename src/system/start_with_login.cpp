#include "system/start_with_login.h"

#include "platform/core/encoding.h"
#include "platform/os/os.h"
#include "platform/os/registry/registry.h"

namespace {

const std::string runKeyPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string valueName = "Zettara";

QString readEntry() {
    std::uint32_t type = platform::reg::sz;
    std::string text;
    注册表_读取_值(platform::reg::currentUser, runKeyPath, valueName, type, text);
    return platform::fromAnsi(QByteArray::fromStdString(text));
}

}  // namespace

QString 开机启动_命令行(const QString& programFile) {
    // Plain quotes for any Windows path. A quote in a path elsewhere is escaped with the Windows
    // rules (backslashes before a quote doubled, the quote given one of its own), so that the text
    // still splits into exactly the path and "mini".
    QString quoted = QStringLiteral("\"");
    qsizetype backslashes = 0;
    for (const QChar c : programFile) {
        // Backslashes go out as they come; before a quote the run is doubled.
        if (c == u'"') quoted += QString(backslashes + 1, u'\\');
        quoted += c;
        backslashes = c == u'\\' ? backslashes + 1 : 0;
    }
    return quoted + QString(backslashes, u'\\') + QStringLiteral("\" mini");
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
        std::string text = platform::toAnsi(开机启动_期望值()).toStdString();
        注册表_写入_值(platform::reg::currentUser, runKeyPath, valueName, platform::reg::sz, text);
    }
    return true;
}
