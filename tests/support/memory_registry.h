#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "platform/os/registry/registry.h"

namespace platform {

// A registry held in memory, with the Windows rules for key and value names (case-insensitive),
// for %NAME% expansion (an environment of its own) and UTF-8 as the narrow encoding. For tests.
class MemoryRegistry : public RegistryBackend {
  public:
    struct Value {
        std::uint32_t type = reg::none;
        std::string data;
    };

    long openKey(std::uint32_t root, const std::string& path, bool create,
                 RegistryKey& key) override;
    long queryValue(RegistryKey key, const std::string& name, std::uint32_t& type,
                    std::string* data, std::uint32_t& size) override;
    long setValue(RegistryKey key, const std::string& name, std::uint32_t type,
                  const std::string& data) override;
    long deleteValue(RegistryKey key, const std::string& name) override;
    void closeKey(RegistryKey key) override;
    std::uint32_t expandEnvironmentStrings(const std::string& source, std::string& buffer,
                                           std::uint32_t bufferChars) override;
    std::size_t characterLength(const std::string& text, std::size_t pos) const override;

    // Direct access, bypassing handles.
    void put(std::uint32_t root, const std::string& path, const std::string& name,
             std::uint32_t type, const std::string& data);
    std::optional<Value> get(std::uint32_t root, const std::string& path,
                             const std::string& name) const;
    bool hasKey(std::uint32_t root, const std::string& path) const;
    void setEnvironment(const std::string& name, const std::string& value);

    // Runs after every query without a data buffer, e.g. to change the value before it is read.
    std::function<void(const std::string& name)> afterInfoQuery;
    // Makes setValue and deleteValue fail with accessDenied (a key without write rights).
    bool denyWrites = false;
    std::size_t openHandles() const { return handles_.size(); }

  private:
    using KeyId = std::pair<std::uint32_t, std::string>;  // root, folded path
    static KeyId keyId(std::uint32_t root, const std::string& path);
    std::map<std::string, Value>* values(RegistryKey key);

    std::map<KeyId, std::map<std::string, Value>> keys_;  // values by folded name
    std::map<RegistryKey, KeyId> handles_;
    RegistryKey nextHandle_ = 1;
    std::map<std::string, std::string> environment_;  // by folded name
};

}  // namespace platform
