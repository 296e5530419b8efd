#pragma once

// Kept free of Qt: the Windows build of the registry code (mingw, no Qt) compiles it too.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace platform {

// Registry constants with the Windows numbering.
namespace reg {
inline constexpr std::uint32_t classesRoot = 0x80000000u;
inline constexpr std::uint32_t currentUser = 0x80000001u;
inline constexpr std::uint32_t localMachine = 0x80000002u;
inline constexpr std::uint32_t users = 0x80000003u;

inline constexpr std::uint32_t none = 0;
inline constexpr std::uint32_t sz = 1;
inline constexpr std::uint32_t expandSz = 2;
inline constexpr std::uint32_t binary = 3;
inline constexpr std::uint32_t dword = 4;
inline constexpr std::uint32_t dwordBigEndian = 5;
inline constexpr std::uint32_t link = 6;
inline constexpr std::uint32_t multiSz = 7;

// Status codes (Win32 error numbers).
inline constexpr long ok = 0;
inline constexpr long fileNotFound = 2;
inline constexpr long accessDenied = 5;
inline constexpr long invalidHandle = 6;
inline constexpr long invalidData = 13;
inline constexpr long moreData = 234;
}  // namespace reg

using RegistryKey = std::uintptr_t;

// The registry calls the registry operations are made of. Every text is a byte string in the
// system's narrow (ANSI) encoding; value data is raw bytes. Calls answer a status code, never
// throw.
class RegistryBackend {
  public:
    virtual ~RegistryBackend() = default;

    // Opens the key path under a root key, creating missing keys.
    virtual long createKey(std::uint32_t root, const std::string& path, RegistryKey& key) = 0;
    // Opens an existing key path under a root key; fileNotFound when it does not exist.
    virtual long openKey(std::uint32_t root, const std::string& path, RegistryKey& key) = 0;
    // Type and data size in bytes of a value, without reading the data.
    virtual long queryValueInfo(RegistryKey key, const std::string& name, std::uint32_t& type,
                                std::uint32_t& size) = 0;
    // Reads the data into a buffer of `size` bytes. On success `data` is that buffer and `size`
    // the count of bytes read into it (the rest of the buffer is undefined); on moreData `size`
    // is the size needed now.
    virtual long queryValueData(RegistryKey key, const std::string& name, std::uint32_t& type,
                                std::string& data, std::uint32_t& size) = 0;
    virtual long setValue(RegistryKey key, const std::string& name, std::uint32_t type,
                          const std::string& data) = 0;
    virtual long deleteValue(RegistryKey key, const std::string& name) = 0;
    virtual long closeKey(RegistryKey key) = 0;
    // Replaces each %NAME% reference of `source` (up to its first NUL) by the variable's value.
    // The result goes to `buffer` only when it fits into `bufferChars` characters, NUL included.
    // Answers the number of characters the result needs, NUL included; 0 on failure.
    virtual std::uint32_t expandEnvironmentStrings(const std::string& source, std::string& buffer,
                                                   std::uint32_t bufferChars) = 0;
    // Bytes of the narrow character that starts at `pos` (at least one).
    virtual std::size_t characterLength(const std::string& text, std::size_t pos) const = 0;
};

// The Windows rule for %NAME% references, for backends that do not have the real function:
// unknown names and a lone '%' stay as written. `lookup` answers a variable's value.
std::uint32_t expandPercentReferences(
    const std::string& source, std::string& buffer, std::uint32_t bufferChars,
    const std::function<std::optional<std::string>(const std::string&)>& lookup);

// Character length in UTF-8, the narrow encoding outside Windows; a byte that does not start a
// well-formed sequence is one character.
std::size_t utf8CharacterLength(const std::string& text, std::size_t pos);

// The operating system's own backend: the registry on Windows, XDG files on Linux. Defined
// once in platform/win32 and once in platform/linux.
RegistryBackend& systemRegistry();
// The backend the program uses: systemRegistry() unless a test replaced it.
RegistryBackend& registry();

// Which backend registry() answers. The program never changes it; a test reaches the setter
// through a subclass to work on a registry in memory.
class RegistrySeam {
  protected:
    // Replaces the backend (nullptr restores systemRegistry()).
    static void setRegistry(RegistryBackend* backend);
};

}  // namespace platform
