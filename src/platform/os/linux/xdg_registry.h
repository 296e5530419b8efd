#pragma once

#include <QString>
#include <set>
#include <string>

#include "platform/os/registry_backend.h"

namespace platform {

// The registry on a freedesktop.org system holds only what the program writes: the values of
// HKEY_CURRENT_USER\SOFTWARE\Microsoft\Windows\CurrentVersion\Run, as the autostart entries
// $XDG_CONFIG_HOME/autostart/<value name>.desktop whose Exec line runs the value's command line.
// Every other key does not exist. Key and value names compare without regard to ASCII letter
// case, as on Windows.
class XdgRegistry : public RegistryBackend {
  public:
    // $XDG_CONFIG_HOME, or ~/.config when it is unset or not absolute; read on every call.
    static QString configHome();

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

  private:
    struct Value {
        std::uint32_t type = reg::none;
        std::string data;
    };

    // The autostart entry file that holds a Run value (existing or to be created).
    static QString autostartFile(const std::string& valueName);
    static bool isRunKey(std::uint32_t root, const std::string& path);
    bool isOpen(RegistryKey key) const;
    // A value of an open key; invalidHandle for a key that is not open.
    long load(RegistryKey key, const std::string& name, Value& value) const;

    std::set<RegistryKey> handles_;
    RegistryKey nextHandle_ = 1;
};

}  // namespace platform
