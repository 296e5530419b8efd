#include "memory_registry.h"

#include <algorithm>
#include <cctype>

namespace platform {
namespace {

std::string folded(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c < 0x80 ? std::tolower(c) : c);
    });
    return text;
}

bool isRoot(std::uint32_t root) {
    return root >= reg::classesRoot && root <= reg::users;
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

long MemoryRegistry::createKey(std::uint32_t root, const std::string& path, RegistryKey& key) {
    if (!isRoot(root)) return reg::invalidHandle;
    const KeyId id = keyId(root, path);
    // Every missing key on the way is created as well.
    std::size_t pos = 0;
    while ((pos = id.second.find('\\', pos)) != std::string::npos) {
        keys_[{root, id.second.substr(0, pos)}];
        ++pos;
    }
    keys_[id];
    key = nextHandle_++;
    handles_[key] = id;
    return reg::ok;
}

long MemoryRegistry::openKey(std::uint32_t root, const std::string& path, RegistryKey& key) {
    if (!isRoot(root)) return reg::invalidHandle;
    const KeyId id = keyId(root, path);
    if (!id.second.empty() && !keys_.contains(id)) return reg::fileNotFound;
    key = nextHandle_++;
    handles_[key] = id;
    return reg::ok;
}

MemoryRegistry::Value* MemoryRegistry::find(RegistryKey key, const std::string& name) {
    const auto handle = handles_.find(key);
    if (handle == handles_.end()) return nullptr;
    const auto values = keys_.find(handle->second);
    if (values == keys_.end()) return nullptr;
    const auto value = values->second.find(folded(name));
    return value == values->second.end() ? nullptr : &value->second;
}

long MemoryRegistry::queryValueInfo(RegistryKey key, const std::string& name, std::uint32_t& type,
                                    std::uint32_t& size) {
    if (!handles_.contains(key)) return reg::invalidHandle;
    const Value* value = find(key, name);
    if (!value) return reg::fileNotFound;
    type = value->type;
    size = static_cast<std::uint32_t>(value->data.size());
    if (afterInfoQuery) afterInfoQuery(name);
    return reg::ok;
}

long MemoryRegistry::queryValueData(RegistryKey key, const std::string& name, std::uint32_t& type,
                                    std::string& data, std::uint32_t& size) {
    if (!handles_.contains(key)) return reg::invalidHandle;
    const Value* value = find(key, name);
    if (!value) return reg::fileNotFound;
    type = value->type;
    const std::uint32_t capacity = size;
    size = static_cast<std::uint32_t>(value->data.size());
    if (size > capacity) return reg::moreData;
    // What lies beyond the bytes read is whatever the buffer held before.
    data = value->data;
    data.resize(capacity, '\xCD');
    return reg::ok;
}

long MemoryRegistry::setValue(RegistryKey key, const std::string& name, std::uint32_t type,
                              const std::string& data) {
    const auto handle = handles_.find(key);
    if (handle == handles_.end()) return reg::invalidHandle;
    if (denyWrites) return reg::accessDenied;
    const auto values = keys_.find(handle->second);
    if (values == keys_.end()) return reg::fileNotFound;  // deleted meanwhile
    values->second[folded(name)] = Value{type, data};
    return reg::ok;
}

long MemoryRegistry::deleteValue(RegistryKey key, const std::string& name) {
    const auto handle = handles_.find(key);
    if (handle == handles_.end()) return reg::invalidHandle;
    if (denyWrites) return reg::accessDenied;
    const auto values = keys_.find(handle->second);
    if (values == keys_.end() || values->second.erase(folded(name)) == 0) {
        return reg::fileNotFound;
    }
    return reg::ok;
}

long MemoryRegistry::closeKey(RegistryKey key) {
    return handles_.erase(key) == 1 ? reg::ok : reg::invalidHandle;
}

std::uint32_t MemoryRegistry::expandEnvironmentStrings(const std::string& source,
                                                       std::string& buffer,
                                                       std::uint32_t bufferChars) {
    return expandPercentReferences(source, buffer, bufferChars,
                                   [this](const std::string& name) -> std::optional<std::string> {
                                       const auto it = environment_.find(folded(name));
                                       if (it == environment_.end()) return std::nullopt;
                                       return it->second;
                                   });
}

void MemoryRegistry::put(std::uint32_t root, const std::string& path, const std::string& name,
                         std::uint32_t type, const std::string& data) {
    RegistryKey key = 0;
    if (createKey(root, path, key) != reg::ok) return;
    keys_[handles_[key]][folded(name)] = Value{type, data};
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

std::size_t MemoryRegistry::characterLength(const std::string& text, std::size_t pos) const {
    return utf8CharacterLength(text, pos);
}

}  // namespace platform
