// The registry operations against the real registry (run under wine by .ci/win32-tests.sh).
// Standard C++ and the Windows API only.

#include <windows.h>

#include <clocale>
#include <cstdio>
#include <string>

#include "platform/os/registry/registry.h"
#include "read_type_cases.h"

namespace {

int passed = 0;
int failed = 0;

std::string utf8ToAnsi(const std::string& utf8) {
    const int wideLength =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        wideLength);
    const int length =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, text.data(), length, nullptr, nullptr);
    return text;
}

std::string printable(const std::string& bytes) {
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F) {
            out += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", b);
            out += hex;
        }
    }
    return out;
}

void check(bool condition, const std::string& what, const std::string& detail = {}) {
    if (condition) {
        ++passed;
    } else {
        ++failed;
        std::printf("FAIL: %s %s\n", what.c_str(), detail.c_str());
    }
}

void checkEqual(const std::string& actual, const std::string& expected, const std::string& what) {
    check(actual == expected, what,
          "\n  expected \"" + printable(expected) + "\"\n  actual   \"" + printable(actual) + "\"");
}

const std::uint32_t hkcu = platform::reg::currentUser;
const std::string testKey = "Software\\Zettara-6471-test";

void readTypeTable(platform::RegistryBackend& registry) {
    for (const read_cases::Variable& variable : read_cases::environment()) {
        SetEnvironmentVariableA(variable.name.c_str(), utf8ToAnsi(variable.value).c_str());
    }
    platform::RegistryKey key = 0;
    check(registry.openKey(hkcu, testKey, true, key) == platform::reg::ok, "create test key");
    for (const read_cases::Case& c : read_cases::cases(utf8ToAnsi)) {
        const std::string name = "case " + c.label;
        check(registry.setValue(key, name, c.type, c.data) == platform::reg::ok,
              "store " + c.label);
        std::uint32_t type = platform::reg::sz;
        std::string value = c.passed;
        const bool opened = 注册表_读取_值(hkcu, testKey, name, type, value);
        check(opened, "open for " + c.label);
        check(type == c.type, "type of " + c.label,
              std::to_string(type) + " != " + std::to_string(c.type));
        checkEqual(value, c.expected, c.label);
    }
    registry.closeKey(key);
}

void missingValueAndKey() {
    std::uint32_t type = platform::reg::sz;
    std::string value = "keep";
    check(注册表_读取_值(hkcu, testKey, "no such value", type, value), "missing value: key opens");
    check(type == platform::reg::sz && value == "keep", "missing value leaves type and text");
    check(!注册表_读取_值(hkcu, testKey + "\\no\\such\\key", "x", type, value),
          "missing key: read is false");
    check(value == "keep", "missing key leaves the text");
}

void writeAndDelete() {
    const std::string text =
        "\"" + utf8ToAnsi("C:\\\xe4\xbe\xbf\xe7\xad\xbe\\Zettara.exe") + "\" mini";
    std::string written = text;
    check(注册表_写入_值(hkcu, testKey + "\\sub\\run", "Zettara", platform::reg::sz, written),
          "write creates missing keys");
    checkEqual(written, text + '\0', "write appends one NUL in place");
    DWORD type = 0;
    HKEY sub = nullptr;
    const bool subExists = RegOpenKeyExA(HKEY_CURRENT_USER, (testKey + "\\sub\\run").c_str(), 0,
                                         KEY_READ, &sub) == ERROR_SUCCESS;
    check(subExists, "written key exists");
    if (subExists) {
        DWORD size = 0;
        RegQueryValueExA(sub, "Zettara", nullptr, &type, nullptr, &size);
        std::string data(size, '\0');
        RegQueryValueExA(sub, "Zettara", nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &size);
        data.resize(size);
        RegCloseKey(sub);
        check(type == REG_SZ, "written as REG_SZ");
        checkEqual(data, text + '\0', "written bytes: ANSI text and one NUL");
    }
    std::uint32_t readType = platform::reg::sz;
    std::string read;
    注册表_读取_值(hkcu, testKey + "\\sub\\run", "Zettara", readType, read);
    checkEqual(read, text, "written text reads back");

    check(注册表_删除_值(hkcu, testKey + "\\sub\\run", "Zettara"), "delete is true");
    check(!注册表_删除_值(hkcu, testKey + "\\sub\\run", "Zettara"), "second delete is false");
    check(!注册表_删除_值(hkcu, testKey + "\\none", "Zettara"), "delete in a missing key is false");
    std::string after = "keep";
    注册表_读取_值(hkcu, testKey + "\\sub\\run", "Zettara", readType, after);
    checkEqual(after, "keep", "deleted value is absent");
}

// The real registry, where another writer replaces the value between the size query and the
// data read.
class ChangingRegistry : public platform::RegistryBackend, platform::RegistrySeam {
  public:
    ChangingRegistry() { setRegistry(this); }
    ~ChangingRegistry() override { setRegistry(nullptr); }

    platform::RegistryBackend& real = platform::systemRegistry();
    std::uint32_t nextType = 0;
    std::string next;

    long openKey(std::uint32_t root, const std::string& path, bool create,
                 platform::RegistryKey& key) override {
        return real.openKey(root, path, create, key);
    }
    long setValue(platform::RegistryKey key, const std::string& name, std::uint32_t type,
                  const std::string& data) override {
        return real.setValue(key, name, type, data);
    }
    long deleteValue(platform::RegistryKey key, const std::string& name) override {
        return real.deleteValue(key, name);
    }
    void closeKey(platform::RegistryKey key) override { real.closeKey(key); }
    std::size_t characterLength(const std::string& text, std::size_t pos) const override {
        return real.characterLength(text, pos);
    }
    long queryValue(platform::RegistryKey key, const std::string& name, std::uint32_t& type,
                    std::string* data, std::uint32_t& size) override {
        const long status = real.queryValue(key, name, type, data, size);
        if (data) return status;
        HKEY other = nullptr;
        RegOpenKeyA(HKEY_CURRENT_USER, testKey.c_str(), &other);
        RegSetValueExA(other, name.c_str(), 0, nextType, reinterpret_cast<const BYTE*>(next.data()),
                       static_cast<DWORD>(next.size()));
        RegCloseKey(other);
        return status;
    }
};

// The read goes by the size the data read reports, not the one queried before it.
void valueChangesBetweenQueries() {
    struct Change {
        const char* label;
        std::uint32_t type, nextType;
        std::string before, after, expected;
    };
    using namespace platform::reg;
    const Change changes[] = {
        {"shrinks", multiSz, multiSz, std::string("first\0second\0\0", 15),
         std::string("ab\0\0", 4), std::string("ab\0", 3)},
        {"grows", sz, sz, std::string("ab\0", 3), std::string("a much longer text\0", 19),
         "a much longer text"},
        {"turns binary", sz, binary, std::string("ab\0", 3), std::string("\x01\x2A", 2), "12A"},
    };
    for (const Change& change : changes) {
        ChangingRegistry registry;
        platform::RegistryKey key = 0;
        registry.openKey(hkcu, testKey, true, key);
        registry.setValue(key, "changing", change.type, change.before);
        registry.closeKey(key);
        registry.nextType = change.nextType;
        registry.next = change.after;
        std::uint32_t type = sz;
        std::string value;
        注册表_读取_值(hkcu, testKey, "changing", type, value);
        checkEqual(value, change.expected, std::string("value ") + change.label);
    }
}

}  // namespace

int main() {
    std::setlocale(LC_ALL, "");
    std::printf("ANSI code page %u\n", GetACP());
    RegDeleteTreeA(HKEY_CURRENT_USER, testKey.c_str());
    readTypeTable(platform::systemRegistry());
    missingValueAndKey();
    writeAndDelete();
    valueChangesBetweenQueries();
    const LONG removed = RegDeleteTreeA(HKEY_CURRENT_USER, testKey.c_str());
    check(removed == ERROR_SUCCESS, "test key removed");
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
