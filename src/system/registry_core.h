#pragma once

// The registry operations on narrow (ANSI) byte strings. Free of Qt so that the Windows build
// (mingw, tested under wine) runs exactly this code against the real registry.

#include <cstdint>
#include <string>

#include "platform/os/registry_backend.h"

namespace registry_core {

// Stores `text` followed by one NUL under the value name, creating the key path when missing.
// True when the value was written.
bool writeValue(platform::RegistryBackend& backend, std::uint32_t root, const std::string& keyPath,
                const std::string& valueName, std::uint32_t type, const std::string& text);

// Reads a value. False only when the key path cannot be opened (`value` is then untouched).
// Otherwise `type` receives the value's type and `value` is replaced according to it (binary
// data is appended as hex digits); a missing value or an unknown type leaves both untouched.
bool readValue(platform::RegistryBackend& backend, std::uint32_t root, const std::string& keyPath,
               const std::string& valueName, std::uint32_t& type, std::string& value);

// True when the key could be opened and the value deleted.
bool deleteValue(platform::RegistryBackend& backend, std::uint32_t root, const std::string& keyPath,
                 const std::string& valueName);

// Number of characters of a narrow string (a NUL counts as one).
std::size_t characterCount(const platform::RegistryBackend& backend, const std::string& bytes);
// The string without its last character.
std::string withoutLastCharacter(const platform::RegistryBackend& backend,
                                 const std::string& bytes);

}  // namespace registry_core
