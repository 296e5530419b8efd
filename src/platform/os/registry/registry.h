#pragma once

// 注册表操作: the three registry operations and the calls they are made of. Free of Qt so that the
// Windows build of this folder (mingw, tested under wine) runs exactly this code against the real
// registry. Every text is a byte string in the system's narrow (ANSI) encoding.

#include <cstdint>
#include <string>

namespace platform {

// Registry constants with the Windows numbering.
namespace reg {
inline constexpr std::uint32_t currentUser = 0x80000001u;

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
inline constexpr long invalidData = 13;
inline constexpr long moreData = 234;
}  // namespace reg

using RegistryKey = std::uintptr_t;

// The registry calls, shaped like the Win32 ones; they answer a status code and never throw.
class RegistryBackend {
  public:
    virtual ~RegistryBackend() = default;

    // Opens a key path under a root key; `create` makes missing keys, else fileNotFound.
    virtual long openKey(std::uint32_t root, const std::string& path, bool create,
                         RegistryKey& key) = 0;
    // A value's type and data size in bytes. With `data`, also reads the data into a buffer of
    // `size` bytes: on success `data` holds the bytes read and `size` their count; on moreData
    // `size` is the size needed now.
    virtual long queryValue(RegistryKey key, const std::string& name, std::uint32_t& type,
                            std::string* data, std::uint32_t& size) = 0;
    virtual long setValue(RegistryKey key, const std::string& name, std::uint32_t type,
                          const std::string& data) = 0;
    virtual long deleteValue(RegistryKey key, const std::string& name) = 0;
    virtual void closeKey(RegistryKey key) = 0;
    // Replaces each %NAME% reference of `source` by the variable's value; the result goes to
    // `buffer` only when it fits into `bufferChars` characters, NUL included. Answers the
    // characters the result needs, NUL included; 0 on failure, as here: a backend that stores
    // no REG_EXPAND_SZ has nothing to expand.
    virtual std::uint32_t expandEnvironmentStrings(const std::string& /*source*/,
                                                   std::string& /*buffer*/,
                                                   std::uint32_t /*bufferChars*/) {
        return 0;
    }
    // Bytes of the narrow character that starts at `pos`: one, unless the encoding has more.
    virtual std::size_t characterLength(const std::string& /*text*/, std::size_t /*pos*/) const {
        return 1;
    }
};

// The operating system's backend, defined once per system in this folder: the registry on
// Windows, the autostart entries elsewhere.
RegistryBackend& systemRegistry();
// The backend the operations use: systemRegistry() unless a test replaced it.
RegistryBackend& registry();

// A test reaches the setter through a subclass; the program never changes the backend.
class RegistrySeam {
  protected:
    // Replaces the backend (nullptr restores systemRegistry()).
    static void setRegistry(RegistryBackend* backend);
};

}  // namespace platform

// Appends one NUL to `data` (in place) and stores it under the value name, creating missing keys.
// True when the value was written.
bool 注册表_写入_值(const std::uint32_t& root, const std::string& keyPath,
                    const std::string& valueName, const std::uint32_t& type, std::string& data);

// True when the key could be opened, whether or not the value exists. `type` receives the value's
// type and `value` the text the type gives (binary data is appended as hex digits); a missing
// value or another type leaves both as passed.
bool 注册表_读取_值(const std::uint32_t& root, const std::string& keyPath,
                    const std::string& valueName, std::uint32_t& type, std::string& value);

// True when the key could be opened and the value deleted.
bool 注册表_删除_值(const std::uint32_t& root, const std::string& keyPath,
                    const std::string& valueName);
