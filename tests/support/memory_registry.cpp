#include "memory_registry.h"

#include <algorithm>
#include <cctype>

namespace platform {
namespace {

constexpr long invalidHandle = 6;

std::string folded(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c < 0x80 ? std::tolower(c) : c);
    });
    return text;
}

bool isRoot(std::uint32_t root) {
    return root >= 0x80000000u && root <= 0x80000003u;
}

// "A\\B\\" and "a\\b" name the same key.
std::string normalizedPath(const std::string& path) {
    std::string result;
    std::size_t pos = 0;
    while (pos <= path.size()) {
        std::size_t end = path.find('\\', pos);
        if (end == std::string::npos) end = path.size();
        if (end > pos) {
            if (!result.empty()) result += '\\';
            result.append(path, pos, end - pos);
        }
        pos = end + 1;
    }
    return folded(result);
}

}  // namespace

MemoryRegistry::KeyId MemoryRegistry::keyId(std::uint32_t root, const std::string& path) {
    return {root, normalizedPath(path)};
}

long MemoryRegistry::openKey(std::uint32_t root, const std::string& path, bool create,
                             RegistryKey& key) {
    if (!isRoot(root)) return invalidHandle;
    const KeyId id = keyId(root, path);
    if (create) {
        // Every missing key on the way is created as well.
        std::size_t pos = 0;
        while ((pos = id.second.find('\\', pos)) != std::string::npos) {
            keys_[{root, id.second.substr(0, pos)}];
            ++pos;
        }
        keys_[id];
    } else if (!id.second.empty() && !keys_.contains(id)) {
        return reg::fileNotFound;
    }
    key = nextHandle_++;
    handles_[key] = id;
    return reg::ok;
}

std::map<std::string, MemoryRegistry::Value>* MemoryRegistry::values(RegistryKey key) {
    const auto handle = handles_.find(key);
    if (handle == handles_.end()) return nullptr;
    const auto found = keys_.find(handle->second);
    return found == keys_.end() ? nullptr : &found->second;
}

long MemoryRegistry::queryValue(RegistryKey key, const std::string& name, std::uint32_t& type,
                                std::string* data, std::uint32_t& size) {
    if (!handles_.contains(key)) return invalidHandle;
    const auto* all = values(key);
    if (!all || !all->contains(folded(name))) return reg::fileNotFound;
    const Value found = all->at(folded(name));
    const std::uint32_t capacity = size;
    size = static_cast<std::uint32_t>(found.data.size());
    if (!data) {
        type = found.type;
        if (afterInfoQuery) afterInfoQuery(name);
        return reg::ok;
    }
    if (size > capacity) return reg::moreData;
    type = found.type;
    *data = found.data;
    return reg::ok;
}

long MemoryRegistry::setValue(RegistryKey key, const std::string& name, std::uint32_t type,
                              const std::string& data) {
    if (!handles_.contains(key)) return invalidHandle;
    if (denyWrites) return reg::accessDenied;
    auto* all = values(key);
    if (!all) return reg::fileNotFound;  // deleted meanwhile
    (*all)[folded(name)] = Value{type, data};
    return reg::ok;
}

long MemoryRegistry::deleteValue(RegistryKey key, const std::string& name) {
    if (!handles_.contains(key)) return invalidHandle;
    if (denyWrites) return reg::accessDenied;
    auto* all = values(key);
    return all && all->erase(folded(name)) == 1 ? reg::ok : reg::fileNotFound;
}

void MemoryRegistry::closeKey(RegistryKey key) {
    handles_.erase(key);
}

// The Windows rule: unknown names and a lone '%' stay as written.
std::uint32_t MemoryRegistry::expandEnvironmentStrings(const std::string& source,
                                                       std::string& buffer,
                                                       std::uint32_t bufferChars) {
    const std::string text = source.substr(0, source.find('\0'));
    std::string result;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t open = text.find('%', pos);
        const std::size_t close = open == std::string::npos ? open : text.find('%', open + 1);
        if (close == std::string::npos) {
            result.append(text, pos);
            break;
        }
        result.append(text, pos, open - pos);
        const auto value = environment_.find(folded(text.substr(open + 1, close - open - 1)));
        if (close > open + 1 && value != environment_.end()) {
            result += value->second;
        } else {
            result.append(text, open, close - open + 1);
        }
        pos = close + 1;
    }
    const auto needed = static_cast<std::uint32_t>(result.size() + 1);
    if (needed <= bufferChars) buffer = result;
    return needed;
}

// UTF-8; a byte that does not start a well-formed sequence is one character.
std::size_t MemoryRegistry::characterLength(const std::string& text, std::size_t pos) const {
    const auto lead = static_cast<unsigned char>(text[pos]);
    const std::size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xC2 && lead <= 0xDF ? 2
                                                              : 1;
    if (pos + length > text.size()) return 1;
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[pos + i]) & 0xC0) != 0x80) return 1;
    }
    return length;
}

void MemoryRegistry::put(std::uint32_t root, const std::string& path, const std::string& name,
                         std::uint32_t type, const std::string& data) {
    RegistryKey key = 0;
    if (openKey(root, path, true, key) != reg::ok) return;
    (*values(key))[folded(name)] = Value{type, data};
    closeKey(key);
}

std::optional<MemoryRegistry::Value> MemoryRegistry::get(std::uint32_t root,
                                                         const std::string& path,
                                                         const std::string& name) const {
    const auto values = keys_.find(keyId(root, path));
    if (values == keys_.end()) return std::nullopt;
    const auto value = values->second.find(folded(name));
    if (value == values->second.end()) return std::nullopt;
    return value->second;
}

bool MemoryRegistry::hasKey(std::uint32_t root, const std::string& path) const {
    return keys_.contains(keyId(root, path));
}

void MemoryRegistry::setEnvironment(const std::string& name, const std::string& value) {
    environment_[folded(name)] = value;
}

}  // namespace platform
