#include "platform/os/win32/win32_registry.h"

#include <windows.h>

#include <cstring>

namespace platform {
namespace {

// Root keys are 32-bit numbers that the headers sign-extend into handles (HKEY_CURRENT_USER is
// 0xFFFFFFFF80000001 in a 64-bit process); do the same.
HKEY rootHandle(std::uint32_t root) {
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(root)));
}

HKEY handle(RegistryKey key) {
    return reinterpret_cast<HKEY>(key);
}

}  // namespace

long Win32Registry::createKey(std::uint32_t root, const std::string& path, RegistryKey& key) {
    HKEY result = nullptr;
    const LONG status = RegCreateKeyA(rootHandle(root), path.c_str(), &result);
    if (status == ERROR_SUCCESS) key = reinterpret_cast<RegistryKey>(result);
    return status;
}

long Win32Registry::openKey(std::uint32_t root, const std::string& path, RegistryKey& key) {
    HKEY result = nullptr;
    const LONG status = RegOpenKeyA(rootHandle(root), path.c_str(), &result);
    if (status == ERROR_SUCCESS) key = reinterpret_cast<RegistryKey>(result);
    return status;
}

long Win32Registry::queryValueInfo(RegistryKey key, const std::string& name, std::uint32_t& type,
                                   std::uint32_t& size) {
    DWORD valueType = 0;
    DWORD valueSize = 0;
    const LONG status =
        RegQueryValueExA(handle(key), name.c_str(), nullptr, &valueType, nullptr, &valueSize);
    if (status == ERROR_SUCCESS) {
        type = valueType;
        size = valueSize;
    }
    return status;
}

long Win32Registry::queryValueData(RegistryKey key, const std::string& name, std::uint32_t& type,
                                   std::string& data, std::uint32_t& size) {
    std::string buffer(size, '\0');
    DWORD valueType = 0;
    DWORD valueSize = size;
    const LONG status = RegQueryValueExA(handle(key), name.c_str(), nullptr, &valueType,
                                         reinterpret_cast<BYTE*>(buffer.data()), &valueSize);
    if (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) size = valueSize;
    if (status == ERROR_SUCCESS) {
        type = valueType;
        data = std::move(buffer);
    }
    return status;
}

long Win32Registry::setValue(RegistryKey key, const std::string& name, std::uint32_t type,
                             const std::string& data) {
    return RegSetValueExA(handle(key), name.c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size()));
}

long Win32Registry::deleteValue(RegistryKey key, const std::string& name) {
    return RegDeleteValueA(handle(key), name.c_str());
}

long Win32Registry::closeKey(RegistryKey key) {
    return RegCloseKey(handle(key));
}

std::uint32_t Win32Registry::expandEnvironmentStrings(const std::string& source,
                                                      std::string& buffer,
                                                      std::uint32_t bufferChars) {
    std::string result(bufferChars, '\0');
    const DWORD needed = ExpandEnvironmentStringsA(
        source.c_str(), bufferChars ? result.data() : nullptr, bufferChars);
    if (needed != 0 && needed <= bufferChars) buffer = result.c_str();
    return needed;
}

std::size_t Win32Registry::characterLength(const std::string& text, std::size_t pos) const {
    // The ANSI code pages have at most two bytes a character.
    if (pos + 1 < text.size() && IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(text[pos]))) return 2;
    return 1;
}

RegistryBackend& systemRegistry() {
    static Win32Registry backend;
    return backend;
}

}  // namespace platform
