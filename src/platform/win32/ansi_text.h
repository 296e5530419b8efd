#pragma once

// Windows only: text between UTF-8 and the ANSI code page (CP_ACP), without Qt.

#include <string>

namespace platform::win32 {

std::string utf8ToAnsi(const std::string& utf8);
std::string ansiToUtf8(const std::string& ansi);
// The ANSI code page in use (936 on a Simplified Chinese system).
unsigned ansiCodePage();

}  // namespace platform::win32
