#pragma once

// Windows only: UTF-8 text in the ANSI code page (CP_ACP), without Qt.

#include <string>

namespace platform::win32 {

std::string utf8ToAnsi(const std::string& utf8);
// The ANSI code page in use (936 on a Simplified Chinese system).
unsigned ansiCodePage();

}  // namespace platform::win32
