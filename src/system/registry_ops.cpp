#include "system/registry_ops.h"

#include "platform/core/encoding.h"
#include "platform/os/registry_backend.h"
#include "system/registry_core.h"

namespace {

std::string ansi(const QString& text) {
    return platform::toAnsi(text).toStdString();
}

QString unicode(const std::string& bytes) {
    return platform::fromAnsi(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

}  // namespace

bool 注册表_写入_值(const std::uint32_t& root, const QString& keyPath, const QString& valueName,
                    const std::uint32_t& type, QString& data) {
    const std::string bytes = ansi(data);
    data.append(QChar(u'\0'));
    return registry_core::writeValue(platform::registry(), root, ansi(keyPath), ansi(valueName),
                                     type, bytes);
}

bool 注册表_读取_值(const std::uint32_t& root, const QString& keyPath, const QString& valueName,
                    std::uint32_t& type, QString& value) {
    const std::string before = ansi(value);
    std::string after = before;
    const bool opened = registry_core::readValue(platform::registry(), root, ansi(keyPath),
                                                 ansi(valueName), type, after);
    if (after == before) return opened;
    if (type == platform::reg::binary) {
        // Only hex digits were appended; the caller's text stays as it was, unconverted.
        const std::string hex = after.substr(before.size());
        value += QString::fromLatin1(hex.data(), static_cast<qsizetype>(hex.size()));
    } else {
        value = unicode(after);
    }
    return opened;
}

bool 注册表_删除_值(const std::uint32_t& root, const QString& keyPath, const QString& valueName) {
    return registry_core::deleteValue(platform::registry(), root, ansi(keyPath), ansi(valueName));
}
