#include "system/registry_core.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace registry_core {
namespace {

using platform::RegistryBackend;
using platform::RegistryKey;
namespace reg = platform::reg;

// Closes the key on every way out.
class OpenKey {
  public:
    OpenKey(RegistryBackend& backend, RegistryKey key) : backend_(backend), key_(key) {}
    ~OpenKey() { backend_.closeKey(key_); }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

  private:
    RegistryBackend& backend_;
    RegistryKey key_;
};

// Byte offsets where each character starts.
std::vector<std::size_t> characterStarts(const RegistryBackend& backend, const std::string& bytes) {
    std::vector<std::size_t> starts;
    for (std::size_t pos = 0; pos < bytes.size();
         pos += std::max<std::size_t>(1, backend.characterLength(bytes, pos))) {
        starts.push_back(pos);
    }
    return starts;
}

// Reads the data with the size the read itself reports: the value may have changed since its
// size was queried, and the ANSI functions report string sizes that differ from what they copy.
long readData(RegistryBackend& backend, RegistryKey key, const std::string& name,
              std::uint32_t size, std::uint32_t& type, std::string& data) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::uint32_t capacity = size;
        const long status = backend.queryValueData(key, name, type, data, capacity);
        if (status == reg::ok) {
            data.resize(std::min<std::size_t>(data.size(), capacity));
            return status;
        }
        if (status != reg::moreData) return status;
        size = std::max(capacity, size + 1);
    }
    return reg::moreData;
}

std::string expand(RegistryBackend& backend, const std::string& text) {
    const std::size_t chars = characterCount(backend, text) + 256;
    if (chars > UINT32_MAX) return {};
    const auto bufferChars = static_cast<std::uint32_t>(chars);
    std::string buffer;
    const std::uint32_t needed = backend.expandEnvironmentStrings(text, buffer, bufferChars);
    // A result that does not fit leaves the buffer empty.
    if (needed == 0 || needed > bufferChars) return {};
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

std::size_t characterCount(const RegistryBackend& backend, const std::string& bytes) {
    return characterStarts(backend, bytes).size();
}

std::string withoutLastCharacter(const RegistryBackend& backend, const std::string& bytes) {
    const std::vector<std::size_t> starts = characterStarts(backend, bytes);
    return starts.empty() ? std::string() : bytes.substr(0, starts.back());
}

bool writeValue(RegistryBackend& backend, std::uint32_t root, const std::string& keyPath,
                const std::string& valueName, std::uint32_t type, const std::string& text) {
    RegistryKey key = 0;
    if (backend.createKey(root, keyPath, key) != reg::ok) return false;
    const OpenKey closer(backend, key);
    return backend.setValue(key, valueName, type, text + '\0') == reg::ok;
}

bool readValue(RegistryBackend& backend, std::uint32_t root, const std::string& keyPath,
               const std::string& valueName, std::uint32_t& type, std::string& value) {
    RegistryKey key = 0;
    if (backend.openKey(root, keyPath, key) != reg::ok) return false;
    const OpenKey closer(backend, key);

    std::uint32_t size = 0;
    std::uint32_t queriedType = 0;
    if (backend.queryValueInfo(key, valueName, queriedType, size) != reg::ok) return true;
    type = queriedType;
    switch (type) {
        case reg::sz:
        case reg::expandSz:
        case reg::multiSz:
        case reg::dword:
        case reg::dwordBigEndian:
        case reg::binary:
            break;
        default:
            return true;
    }

    std::string data;
    std::uint32_t readType = type;
    if (readData(backend, key, valueName, size, readType, data) != reg::ok) return true;
    type = readType;
    switch (type) {
        case reg::sz:
            value = data.substr(0, data.find('\0'));
            break;
        case reg::expandSz:
            value = expand(backend, data);
            break;
        case reg::multiSz:
            value = withoutLastCharacter(backend, data);
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

bool deleteValue(RegistryBackend& backend, std::uint32_t root, const std::string& keyPath,
                 const std::string& valueName) {
    RegistryKey key = 0;
    if (backend.openKey(root, keyPath, key) != reg::ok) return false;
    const OpenKey closer(backend, key);
    return backend.deleteValue(key, valueName) == reg::ok;
}

}  // namespace registry_core
