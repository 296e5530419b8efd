#include "common/interaction.h"

#include <QDesktopServices>
#include <QFile>

#include "common/test_hooks.h"
#include "platform/ui/msgbox.h"

namespace companion {

namespace {
QString tracePath() {
    return TestHooks::value(TestHooks::CompanionTrace);
}
}  // namespace

bool Interaction::traced() {
    return !tracePath().isEmpty();
}

void Interaction::record(const QString& kind, const QString& text) {
    if (!traced()) return;
    QFile file(tracePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return;
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String("\\n"))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"));
    file.write((kind + QLatin1String(": ") + line + QLatin1Char('\n')).toUtf8());
}

void Interaction::tell(const QString& text, int style) {
    if (traced()) {
        record(QStringLiteral("tell"), text);
        return;
    }
    platform::MsgBox(text, style);
}

void Interaction::open(const QUrl& url) {
    if (traced()) {
        record(QStringLiteral("open"), url.toString());
        return;
    }
    QDesktopServices::openUrl(url);
}

}  // namespace companion
