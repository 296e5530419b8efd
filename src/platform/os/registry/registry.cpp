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

// A key that is closed on every way out.
class OpenKey {
  public:
    OpenKey(std::uint32_t root, const std::string& path, bool create)
        : opened_(backend.openKey(root, path, create, key) == reg::ok) {}
    ~OpenKey() {
        if (opened_) backend.closeKey(key);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    explicit operator bool() const { return opened_; }

    RegistryBackend& backend = platform::registry();
    RegistryKey key = 0;

  private:
    bool opened_;
};

// How many characters the narrow text has, and where its last one starts.
std::pair<std::size_t, std::size_t> characters(const RegistryBackend& backend,
                                               const std::string& bytes) {
    std::size_t count = 0;
    std::size_t last = 0;
    for (std::size_t pos = 0; pos < bytes.size();
         pos += std::max<std::size_t>(1, backend.characterLength(bytes, pos))) {
        ++count;
        last = pos;
    }
    return {count, last};
}

// Reads with the size the read itself reports: the value may have changed since its size was
// queried, and the ANSI functions report string sizes that differ from what they copy.
long readData(const OpenKey& key, const std::string& name, std::uint32_t size, std::uint32_t& type,
              std::string& data) {
    long status = reg::moreData;
    for (int attempt = 0; attempt < 8 && status == reg::moreData; ++attempt) {
        std::uint32_t capacity = size;
        status = key.backend.queryValue(key.key, name, type, &data, capacity);
        size = std::max(capacity, size + 1);
    }
    return status;
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

std::string littleEndianDecimal(const std::string& data) {
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4 && i < data.size(); ++i) {
        bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
    }
    return std::to_string(static_cast<std::int32_t>(bits));
}

std::string hexDigits(const std::string& data) {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (const char c : data) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 16) hex += digits[byte >> 4];
        hex += digits[byte & 15];
    }
    return hex;
}

}  // namespace

bool 注册表_写入_值(const std::uint32_t& root, const std::string& keyPath,
                    const std::string& valueName, const std::uint32_t& type, std::string& data) {
    data += '\0';
    const OpenKey key(root, keyPath, true);
    return key && key.backend.setValue(key.key, valueName, type, data) == reg::ok;
}

bool 注册表_读取_值(const std::uint32_t& root, const std::string& keyPath,
                    const std::string& valueName, std::uint32_t& type, std::string& value) {
    const OpenKey key(root, keyPath, false);
    if (!key) return false;
    std::uint32_t size = 0;
    std::uint32_t queried = reg::none;
    if (key.backend.queryValue(key.key, valueName, queried, nullptr, size) != reg::ok) return true;
    type = queried;
    if (type == reg::none || type == reg::link || type > reg::multiSz) return true;

    std::string data;
    if (readData(key, valueName, size, type, data) != reg::ok) return true;
    switch (type) {
        case reg::sz:
            value = data.substr(0, data.find('\0'));
            break;
        case reg::expandSz:
            value = expand(key.backend, data);
            break;
        case reg::multiSz:
            value = data.substr(0, characters(key.backend, data).second);
            break;
        case reg::dword:
        case reg::dwordBigEndian:
            value = littleEndianDecimal(data);
            break;
        case reg::binary:
            value += hexDigits(data);
            break;
        default:
            break;
    }
    return true;
}

bool 注册表_删除_值(const std::uint32_t& root, const std::string& keyPath,
                    const std::string& valueName) {
    const OpenKey key(root, keyPath, false);
    return key && key.backend.deleteValue(key.key, valueName) == reg::ok;
}
