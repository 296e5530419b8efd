#include "platform/os/registry_backend.h"

namespace platform {
namespace {

RegistryBackend* replacement = nullptr;

}  // namespace

RegistryBackend& registry() {
    return replacement ? *replacement : systemRegistry();
}

void RegistrySeam::setRegistry(RegistryBackend* backend) {
    replacement = backend;
}

std::uint32_t expandPercentReferences(
    const std::string& source, std::string& buffer, std::uint32_t bufferChars,
    const std::function<std::optional<std::string>(const std::string&)>& lookup) {
    const std::string text = source.substr(0, source.find('\0'));
    std::string result;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t open = text.find('%', pos);
        if (open == std::string::npos) {
            result.append(text, pos);
            break;
        }
        result.append(text, pos, open - pos);
        const std::size_t close = text.find('%', open + 1);
        if (close == std::string::npos) {
            // An unfinished reference is copied as it stands.
            result.append(text, open);
            break;
        }
        const std::string name = text.substr(open + 1, close - open - 1);
        const std::optional<std::string> value = name.empty() ? std::nullopt : lookup(name);
        if (value) {
            result += value->substr(0, value->find('\0'));
        } else {
            result.append(text, open, close - open + 1);
        }
        pos = close + 1;
    }
    const std::uint64_t needed = static_cast<std::uint64_t>(result.size()) + 1;
    if (needed > UINT32_MAX) return 0;
    if (needed <= bufferChars) buffer = result;
    return static_cast<std::uint32_t>(needed);
}

std::size_t utf8CharacterLength(const std::string& text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
    }
    if (pos + length > text.size()) return 1;
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[pos + i]) & 0xC0) != 0x80) return 1;
    }
    return length;
}

}  // namespace platform
