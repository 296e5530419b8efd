#pragma once

// 注册表操作: the three registry operations and the calls they are made of. Free of Qt so that the
// Windows build of this folder (mingw, tested under wine) runs exactly this code against the real
// registry. Every text is a byte string in the system's narrow (ANSI) encoding.

#include <cstdint>
#include <string>

namespace platform {

// Registry constants with the Windows numbering; status codes are Win32 error numbers.
namespace reg {
inline constexpr std::uint32_t currentUser = 0x80000001u;
inline constexpr char runKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr std::uint32_t none = 0, sz = 1, expandSz = 2, binary = 3, dword = 4,
                               dwordBigEndian = 5, link = 6, multiSz = 7;
inline constexpr long ok = 0, fileNotFound = 2, accessDenied = 5, invalidData = 13, moreData = 234;
}  // namespace reg

using RegistryKey = std::uintptr_t;

// The registry calls, shaped like the Win32 ones; they answer a status code and never throw.
class RegistryBackend {
  public:
    virtual ~RegistryBackend() = default;
    // Opens a key path under a root key; `create` makes missing keys, else fileNotFound.
    virtual long openKey(std::uint32_t root, const std::string& path, bool create,
                         RegistryKey& key) = 0;
    // A value's type and size in bytes. With `data`, also reads it into a buffer of `size` bytes:
    // `data` gets the bytes read and `size` their count, or on moreData the size needed now.
    virtual long queryValue(RegistryKey key, const std::string& name, std::uint32_t& type,
                            std::string* data, std::uint32_t& size) = 0;
    virtual long setValue(RegistryKey key, const std::string& name, std::uint32_t type,
                          const std::string& data) = 0;
    virtual long deleteValue(RegistryKey key, const std::string& name) = 0;
    virtual void closeKey(RegistryKey key) = 0;
    // Expands %NAME% references into `buffer` when the result fits `bufferChars` characters with
    // its NUL; answers the characters needed, 0 on failure. Nothing to expand by default.
    virtual std::uint32_t expandEnvironmentStrings(const std::string&, std::string&,
                                                   std::uint32_t) {
        return 0;
    }
    // Bytes of the narrow character that starts at `pos`: one, unless the encoding has more.
    virtual std::size_t characterLength(const std::string&, std::size_t) const { return 1; }
};

// The backend of this system (Windows registry or autostart entries); registry() answers it
// unless a test replaced it through RegistrySeam, which the program never does.
RegistryBackend& systemRegistry();
RegistryBackend& registry();
class RegistrySeam {
  protected:
    static void setRegistry(RegistryBackend* backend);  // nullptr restores systemRegistry()
};

}  // namespace platform

// Appends one NUL to `data` (in place) and stores it, creating missing keys. True when written.
bool 注册表_写入_值(const std::uint32_t& root, const std::string& keyPath,
                    const std::string& valueName, const std::uint32_t& type, std::string& data);
// True when the key could be opened, whether or not the value exists. `type` receives the value's
// type and `value` the text the type gives (binary data appended as hex digits); a missing value
// or another type leaves both as passed.
bool 注册表_读取_值(const std::uint32_t& root, const std::string& keyPath,
                    const std::string& valueName, std::uint32_t& type, std::string& value);
// True when the key could be opened and the value deleted.
bool 注册表_删除_值(const std::uint32_t& root, const std::string& keyPath,
                    const std::string& valueName);
