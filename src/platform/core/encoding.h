#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The system's narrow encoding (the ANSI code page on Windows, the locale's codeset here).
QByteArray toAnsi(const QString& text);
QString fromAnsi(const QByteArray& bytes);

}  // namespace platform
