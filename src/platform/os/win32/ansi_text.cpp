#include "platform/os/win32/ansi_text.h"

#include <windows.h>

namespace platform::win32 {
namespace {

std::wstring toWide(UINT codePage, const std::string& text) {
    if (text.empty()) return {};
    const int length =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    return wide;
}

std::string fromWide(UINT codePage, const std::wstring& wide) {
    if (wide.empty()) return {};
    const int length = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                        length, nullptr, nullptr);
    return text;
}

}  // namespace

std::string utf8ToAnsi(const std::string& utf8) {
    return fromWide(CP_ACP, toWide(CP_UTF8, utf8));
}

unsigned ansiCodePage() {
    return GetACP();
}

}  // namespace platform::win32
