#pragma once

// The read cases every registry backend must pass, shared by the in-memory tests and the
// Windows tests under wine. Standard C++ only.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/os/registry/registry.h"

namespace read_cases {

struct Variable {
    std::string name;
    std::string value;  // UTF-8
};

struct Case {
    std::string label;
    std::uint32_t type;
    std::string data;      // bytes stored
    std::string passed;    // value text handed to the read
    std::string expected;  // value text afterwards
};

inline std::string bytes(std::initializer_list<unsigned char> list) {
    return std::string(list.begin(), list.end());
}

// Values for the %NAME% cases. The long one does not fit 256 characters beyond its reference.
inline std::vector<Variable> environment() {
    return {{"ZETTARA_TEST_DIR", "C:\\Data"},
            {"ZETTARA_TEST_CN", "\xe4\xbe\xbf\xe7\xad\xbe"},  // 便签
            {"ZETTARA_TEST_FITS", std::string(200, 'f')},
            {"ZETTARA_TEST_LONG", std::string(300, 'x')}};
}

// `ansi` converts UTF-8 text to the narrow encoding of the backend under test.
inline std::vector<Case> cases(const std::function<std::string(const std::string&)>& ansi) {
    using namespace platform::reg;
    const std::string cn = ansi("\xe4\xbe\xbf\xe7\xad\xbe \xe4\xb8\xad\xe6\x96\x87");  // 便签 中文
    const std::string jia = ansi("\xe7\x94\xb2");                                      // 甲
    const std::string yi = ansi("\xe4\xb9\x99");                                       // 乙
    const std::string bing = ansi("\xe4\xb8\x99");                                     // 丙
    using std::string;
    return {
        {"sz", sz, string("\"C:\\Tools\\Zettara.exe\" mini\0", 27), "",
         "\"C:\\Tools\\Zettara.exe\" mini"},
        {"sz cut at the first NUL", sz, string("abc\0def\0", 8), "", "abc"},
        {"sz without NUL", sz, "abc", "", "abc"},
        {"sz replaces the text passed", sz, string("\0", 1), "old", ""},
        {"sz chinese", sz, cn + '\0', "", cn},
        {"expand_sz", expandSz, string("%ZETTARA_TEST_DIR%\\Zettara.exe\0", 31), "",
         "C:\\Data\\Zettara.exe"},
        {"expand_sz chinese", expandSz, "%ZETTARA_TEST_CN%\\" + cn + '\0', "",
         ansi("\xe4\xbe\xbf\xe7\xad\xbe") + "\\" + cn},
        {"expand_sz unknown name", expandSz, string("a%ZETTARA_NO_SUCH%b\0", 20), "",
         "a%ZETTARA_NO_SUCH%b"},
        {"expand_sz fits", expandSz, string("%ZETTARA_TEST_FITS%\0", 20), "", string(200, 'f')},
        {"expand_sz too long", expandSz, string("%ZETTARA_TEST_LONG%\0", 20), "old", ""},
        {"multi_sz", multiSz, string("a\0bc\0\0", 6), "", string("a\0bc\0", 5)},
        {"multi_sz chinese", multiSz, jia + '\0' + yi + bing + '\0' + '\0', "",
         jia + '\0' + yi + bing + '\0'},
        {"dword", dword, bytes({0x2A, 0, 0, 0}), "", "42"},
        {"dword negative", dword, bytes({0xFF, 0xFF, 0xFF, 0xFF}), "", "-1"},
        {"dword lowest", dword, bytes({0, 0, 0, 0x80}), "", "-2147483648"},
        {"dword big endian read as little endian", dwordBigEndian, bytes({0, 0, 0, 1}), "",
         "16777216"},
        {"binary appended as hex", binary, bytes({0x05, 0xAB, 0x00, 0x10, 0xFF}),
         "x:", "x:5AB010FF"},
        {"binary empty", binary, "", "keep", "keep"},
        {"link unchanged", platform::reg::link, "abc", "keep", "keep"},
        {"none unchanged", none, "abc", "keep", "keep"},
        {"qword unchanged", 11, bytes({1, 0, 0, 0, 0, 0, 0, 0}), "keep", "keep"},
    };
}

}  // namespace read_cases
