#include "platform/os/registry/registry.h"

#include <algorithm>
#include <climits>

namespace platform {
namespace {
RegistryBackend* replacement = nullptr;
}  // namespace

RegistryBackend& registry() {
    return replacement ? *replacement : systemRegistry();
}

void RegistrySeam::setRegistry(RegistryBackend* backend) {
    replacement = backend;
}

}  // namespace platform

namespace {

using platform::RegistryBackend;
using platform::RegistryKey;
namespace reg = platform::reg;

// Runs `use` on the opened key, then closes it. False when the key cannot be opened.
template <typename Use>
bool withKey(std::uint32_t root, const std::string& path, bool create, Use use) {
    RegistryBackend& backend = platform::registry();
    RegistryKey key = 0;
    if (backend.openKey(root, path, create, key) != reg::ok) return false;
    const bool result = use(backend, key);
    backend.closeKey(key);
    return result;
}

// How many characters the narrow text has, and where its last one starts.
std::pair<std::size_t, std::size_t> characters(const RegistryBackend& backend,
                                               const std::string& bytes) {
    std::size_t count = 0, last = 0;
    for (std::size_t pos = 0; pos < bytes.size();
         pos += std::max<std::size_t>(1, backend.characterLength(bytes, pos))) {
        ++count;
        last = pos;
    }
    return {count, last};
}

std::string expand(RegistryBackend& backend, const std::string& text) {
    const std::size_t chars = characters(backend, text).first + 256;
    if (chars > UINT32_MAX) return {};
    std::string buffer;
    const std::uint32_t needed =
        backend.expandEnvironmentStrings(text, buffer, static_cast<std::uint32_t>(chars));
    // A result that does not fit leaves the buffer empty.
    if (needed == 0 || needed > chars) return {};
    return buffer.substr(0, buffer.find('\0'));
}

}  // namespace

bool 注册表_写入_值(const std::uint32_t& root, const std::string& keyPath,
                    const std::string& valueName, const std::uint32_t& type, std::string& data) {
    data += '\0';
    return withKey(root, keyPath, true, [&](RegistryBackend& backend, RegistryKey key) {
        return backend.setValue(key, valueName, type, data) == reg::ok;
    });
}

bool 注册表_读取_值(const std::uint32_t& root, const std::string& keyPath,
                    const std::string& valueName, std::uint32_t& type, std::string& value) {
    return withKey(root, keyPath, false, [&](RegistryBackend& backend, RegistryKey key) {
        std::uint32_t size = 0;
        std::uint32_t queried = reg::none;
        std::string data;
        if (backend.queryValue(key, valueName, queried, nullptr, size) != reg::ok) return true;
        type = queried;
        if (type == reg::none || type == reg::link || type > reg::multiSz) return true;
        // Read with the size the read itself reports: the value may have changed since its size
        // was queried, and the ANSI functions report string sizes that differ from what they copy.
        long status = reg::moreData;
        for (int attempt = 0; attempt < 8 && status == reg::moreData; ++attempt) {
            std::uint32_t capacity = size;
            status = backend.queryValue(key, valueName, type, &data, capacity);
            size = std::max(capacity, size + 1);
        }
        if (status != reg::ok) return true;
        if (type == reg::sz) {
            value = data.substr(0, data.find('\0'));
        } else if (type == reg::expandSz) {
            value = expand(backend, data);
        } else if (type == reg::multiSz) {
            value = data.substr(0, characters(backend, data).second);
        } else if (type == reg::dword || type == reg::dwordBigEndian) {
            std::uint32_t bits = 0;  // little-endian whatever the type says
            for (std::size_t i = 0; i < 4 && i < data.size(); ++i) {
                bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
            }
            value = std::to_string(static_cast<std::int32_t>(bits));
        } else if (type == reg::binary) {
            for (const char c : data) {  // upper-case hex digits without leading zero
                const auto byte = static_cast<unsigned char>(c);
                if (byte >= 16) value += "0123456789ABCDEF"[byte >> 4];
                value += "0123456789ABCDEF"[byte & 15];
            }
        }
        return true;
    });
}

bool 注册表_删除_值(const std::uint32_t& root, const std::string& keyPath,
                    const std::string& valueName) {
    return withKey(root, keyPath, false, [&](RegistryBackend& backend, RegistryKey key) {
        return backend.deleteValue(key, valueName) == reg::ok;
    });
}
