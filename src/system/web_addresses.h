#pragma once

#include <QString>

// The program's fixed web addresses.
namespace web_addresses {
inline QString advertisement() {
    return QStringLiteral("https://www.zettara-6471.example/ad/main.html");
}
}  // namespace web_addresses
