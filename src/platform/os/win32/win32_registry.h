#pragma once

// Windows only; Windows API and standard library, no Qt.

#include "platform/os/registry_backend.h"

namespace platform {

// The registry through its ANSI functions (RegCreateKeyA, RegQueryValueExA, ...).
class Win32Registry : public RegistryBackend {
  public:
    long createKey(std::uint32_t root, const std::string& path, RegistryKey& key) override;
    long openKey(std::uint32_t root, const std::string& path, RegistryKey& key) override;
    long queryValueInfo(RegistryKey key, const std::string& name, std::uint32_t& type,
                        std::uint32_t& size) override;
    long queryValueData(RegistryKey key, const std::string& name, std::uint32_t& type,
                        std::string& data, std::uint32_t& size) override;
    long setValue(RegistryKey key, const std::string& name, std::uint32_t type,
                  const std::string& data) override;
    long deleteValue(RegistryKey key, const std::string& name) override;
    long closeKey(RegistryKey key) override;
    std::uint32_t expandEnvironmentStrings(const std::string& source, std::string& buffer,
                                           std::uint32_t bufferChars) override;
    std::size_t characterLength(const std::string& text, std::size_t pos) const override;
};

}  // namespace platform
