#include "platform/core/encoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

// QStringConverter::System is the locale's codeset here and the ANSI code page on Windows.
QByteArray toAnsi(const QString& text) {
    QStringEncoder encoder(QStringConverter::System);
    return encoder.encode(text);
}

QString fromAnsi(const QByteArray& bytes) {
    QStringDecoder decoder(QStringConverter::System);
    return decoder.decode(bytes);
}

}  // namespace platform
