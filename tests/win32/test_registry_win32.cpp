// The registry operations against the real registry (run under wine by .ci/win32-tests.sh).
// Standard C++ and the Windows API only.

#include <windows.h>

#include <clocale>
#include <cstdio>
#include <string>

#include "platform/os/win32/ansi_text.h"
#include "platform/os/win32/win32_registry.h"
#include "read_type_cases.h"
#include "system/registry_core.h"

namespace {

int passed = 0;
int failed = 0;

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

void readTypeTable(platform::Win32Registry& registry) {
    for (const read_cases::Variable& variable : read_cases::environment()) {
        SetEnvironmentVariableA(variable.name.c_str(),
                                platform::win32::utf8ToAnsi(variable.value).c_str());
    }
    platform::RegistryKey key = 0;
    check(registry.createKey(hkcu, testKey, key) == platform::reg::ok, "create test key");
    for (const read_cases::Case& c : read_cases::cases(platform::win32::utf8ToAnsi)) {
        const std::string name = "case " + c.label;
        check(registry.setValue(key, name, c.type, c.data) == platform::reg::ok,
              "store " + c.label);
        std::uint32_t type = platform::reg::sz;
        std::string value = c.passed;
        const bool opened = registry_core::readValue(registry, hkcu, testKey, name, type, value);
        check(opened, "open for " + c.label);
        check(type == c.type, "type of " + c.label,
              std::to_string(type) + " != " + std::to_string(c.type));
        checkEqual(value, c.expected, c.label);
    }
    registry.closeKey(key);
}

void missingValueAndKey(platform::Win32Registry& registry) {
    std::uint32_t type = platform::reg::sz;
    std::string value = "keep";
    check(registry_core::readValue(registry, hkcu, testKey, "no such value", type, value),
          "missing value: key opens");
    check(type == platform::reg::sz && value == "keep", "missing value leaves type and text");
    check(!registry_core::readValue(registry, hkcu, testKey + "\\no\\such\\key", "x", type, value),
          "missing key: read is false");
    check(value == "keep", "missing key leaves the text");
}

void writeAndDelete(platform::Win32Registry& registry) {
    const std::string text =
        "\"" + platform::win32::utf8ToAnsi("C:\\\xe4\xbe\xbf\xe7\xad\xbe\\Zettara.exe") + "\" mini";
    check(registry_core::writeValue(registry, hkcu, testKey + "\\sub\\run", "Zettara",
                                    platform::reg::sz, text),
          "write creates missing keys");
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
    registry_core::readValue(registry, hkcu, testKey + "\\sub\\run", "Zettara", readType, read);
    checkEqual(read, text, "written text reads back");

    check(registry_core::deleteValue(registry, hkcu, testKey + "\\sub\\run", "Zettara"),
          "delete is true");
    check(!registry_core::deleteValue(registry, hkcu, testKey + "\\sub\\run", "Zettara"),
          "second delete is false");
    check(!registry_core::deleteValue(registry, hkcu, testKey + "\\none", "Zettara"),
          "delete in a missing key is false");
    std::string after = "keep";
    registry_core::readValue(registry, hkcu, testKey + "\\sub\\run", "Zettara", readType, after);
    checkEqual(after, "keep", "deleted value is absent");
}

// Another writer replaces the value between the size query and the data read.
class ChangingRegistry : public platform::Win32Registry {
  public:
    std::uint32_t nextType = 0;
    std::string next;

    long queryValueInfo(platform::RegistryKey key, const std::string& name, std::uint32_t& type,
                        std::uint32_t& size) override {
        const long status = Win32Registry::queryValueInfo(key, name, type, size);
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
        registry.createKey(hkcu, testKey, key);
        registry.setValue(key, "changing", change.type, change.before);
        registry.closeKey(key);
        registry.nextType = change.nextType;
        registry.next = change.after;
        std::uint32_t type = sz;
        std::string value;
        registry_core::readValue(registry, hkcu, testKey, "changing", type, value);
        checkEqual(value, change.expected, std::string("value ") + change.label);
    }
}

}  // namespace

int main() {
    std::setlocale(LC_ALL, "");
    std::printf("ANSI code page %u\n", platform::win32::ansiCodePage());
    platform::Win32Registry registry;
    RegDeleteTreeA(HKEY_CURRENT_USER, testKey.c_str());
    readTypeTable(registry);
    missingValueAndKey(registry);
    writeAndDelete(registry);
    valueChangesBetweenQueries();
    const LONG removed = RegDeleteTreeA(HKEY_CURRENT_USER, testKey.c_str());
    check(removed == ERROR_SUCCESS, "test key removed");
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
