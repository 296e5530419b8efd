#pragma once

#include <QString>
#include <cstdint>

// 注册表操作: write, read and delete one registry value through platform::registry(). Texts
// pass to the registry in the system's ANSI encoding. Failures show only in the result.

// Appends one NUL to `data` (in place) and stores it with the given type. True when written.
bool 注册表_写入_值(const std::uint32_t& root, const QString& keyPath, const QString& valueName,
                    const std::uint32_t& type, QString& data);

// True when the key could be opened, whether or not the value exists. `type` receives the
// value's type; `value` the text the type gives (unchanged when there is no such value).
bool 注册表_读取_值(const std::uint32_t& root, const QString& keyPath, const QString& valueName,
                    std::uint32_t& type, QString& value);

// True when the value was deleted.
bool 注册表_删除_值(const std::uint32_t& root, const QString& keyPath, const QString& valueName);
