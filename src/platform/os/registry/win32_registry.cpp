// The registry through its ANSI functions. Windows only; Windows API and standard library, no Qt.

#include <windows.h>

#include "platform/os/registry/registry.h"

namespace platform {
namespace {

class Win32Registry final : public RegistryBackend {
  public:
    long openKey(std::uint32_t root, const std::string& path, bool create,
                 RegistryKey& key) override {
        // Root keys are 32-bit numbers that the headers sign-extend into handles
        // (HKEY_CURRENT_USER is 0xFFFFFFFF80000001 in a 64-bit process); do the same.
        const auto rootKey = reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(root)));
        HKEY result = nullptr;
        const LONG status = create ? RegCreateKeyA(rootKey, path.c_str(), &result)
                                   : RegOpenKeyA(rootKey, path.c_str(), &result);
        if (status == ERROR_SUCCESS) key = reinterpret_cast<RegistryKey>(result);
        return status;
    }

    long queryValue(RegistryKey key, const std::string& name, std::uint32_t& type,
                    std::string* data, std::uint32_t& size) override {
        std::string buffer(data ? size : 0, '\0');
        DWORD valueType = 0;
        DWORD valueSize = data ? size : 0;
        const LONG status =
            RegQueryValueExA(reinterpret_cast<HKEY>(key), name.c_str(), nullptr, &valueType,
                             data ? reinterpret_cast<BYTE*>(buffer.data()) : nullptr, &valueSize);
        if (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) size = valueSize;
        if (status == ERROR_SUCCESS) {
            type = valueType;
            if (data) *data = buffer.substr(0, valueSize);
        }
        return status;
    }

    long setValue(RegistryKey key, const std::string& name, std::uint32_t type,
                  const std::string& data) override {
        return RegSetValueExA(reinterpret_cast<HKEY>(key), name.c_str(), 0, type,
                              reinterpret_cast<const BYTE*>(data.data()),
                              static_cast<DWORD>(data.size()));
    }

    long deleteValue(RegistryKey key, const std::string& name) override {
        return RegDeleteValueA(reinterpret_cast<HKEY>(key), name.c_str());
    }

    void closeKey(RegistryKey key) override { RegCloseKey(reinterpret_cast<HKEY>(key)); }

    std::uint32_t expandEnvironmentStrings(const std::string& source, std::string& buffer,
                                           std::uint32_t bufferChars) override {
        std::string result(bufferChars, '\0');
        const DWORD needed = ExpandEnvironmentStringsA(
            source.c_str(), bufferChars ? result.data() : nullptr, bufferChars);
        if (needed != 0 && needed <= bufferChars) buffer = result.c_str();
        return needed;
    }

    std::size_t characterLength(const std::string& text, std::size_t pos) const override {
        // The ANSI code pages have at most two bytes a character.
        const bool lead = IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(text[pos]));
        return lead && pos + 1 < text.size() ? 2 : 1;
    }
};

}  // namespace

RegistryBackend& systemRegistry() {
    static Win32Registry backend;
    return backend;
}

}  // namespace platform
