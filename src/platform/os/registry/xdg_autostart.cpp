// On a freedesktop.org desktop the registry holds only the values of the current user's Run key,
// each the autostart entry $XDG_CONFIG_HOME/autostart/<value name>.desktop whose Exec line runs
// the value's command line. No other key exists.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>

#include "platform/core/encoding.h"
#include "platform/os/registry/registry.h"

namespace platform {
namespace {

constexpr qint64 maxEntrySize = 1 << 20;  // anything larger is not ours
const QString valueKey = QStringLiteral("X-Zettara-Value");

QString entryPath(const std::string& name) {
    if (name.empty() || name.front() == '.' || name.find('/') != std::string::npos) return {};
    const QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
    const QString config =
        QDir::isAbsolutePath(home) ? home : QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/") + fromAnsi(QByteArray::fromStdString(name)) +
           QStringLiteral(".desktop");
}

// The key-file escapes of string values; a blank only at either end, where it would be trimmed.
const QString plain = QStringLiteral(" \n\t\r\\");
const QString codes = QStringLiteral("sntr\\");

QString escaped(const QString& value) {
    QString result;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const bool inner = value[i] == u' ' && i > 0 && i + 1 < value.size();
        const qsizetype code = inner ? -1 : plain.indexOf(value[i]);
        if (code >= 0) result += u'\\';
        result += code < 0 ? value[i] : codes[code];
    }
    return result;
}

QString unescaped(const QString& value) {
    QString result;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const qsizetype code =
            value[i] == u'\\' && i + 1 < value.size() ? codes.indexOf(value[i + 1]) : -1;
        result += code < 0 ? value[i] : plain[code];
        if (code >= 0) ++i;
    }
    return result;
}

// The escaped Exec value that runs a command line: arguments with reserved characters in double
// quotes with '"', '`', '$' and '\' escaped, '%' doubled. Empty for no command.
QString execLine(const QString& commandLine) {
    static const QRegularExpression reserved(QStringLiteral("[ \t\n\"'\\\\><~|&;$*?#()`]"));
    static const QString escapedInQuotes = QStringLiteral("\"`$\\");
    QStringList command = QProcess::splitCommand(commandLine);
    // GLib looks the program up before it turns "%%" into "%" and skips an entry whose program it
    // cannot find, so a program path with a '%' is started through env.
    if (!command.isEmpty() && command.first().contains(u'%')) {
        command = QStringList{QStringLiteral("env"), QStringLiteral("--")} + command;
    }
    QStringList parts;
    for (const QString& argument : std::as_const(command)) {
        const bool quoted = argument.isEmpty() || argument.contains(reserved);
        QString part;
        for (const QChar c : argument) {
            if (quoted && escapedInQuotes.contains(c)) part += u'\\';
            part += c;
            if (c == u'%') part += u'%';
        }
        parts << (quoted ? u'"' + part + u'"' : part);
    }
    return escaped(parts.join(u' '));
}

class XdgAutostart final : public RegistryBackend {
  public:
    long openKey(std::uint32_t root, const std::string& path, bool /*create*/,
                 RegistryKey& key) override {
        // The Run key always exists: its folder is made on the first write.
        if (root != reg::currentUser || QString::fromLatin1(path).compare(
                                            QLatin1String(reg::runKey), Qt::CaseInsensitive) != 0) {
            return reg::fileNotFound;
        }
        key = 1;
        return reg::ok;
    }

    long queryValue(RegistryKey /*key*/, const std::string& name, std::uint32_t& type,
                    std::string* data, std::uint32_t& size) override {
        QFile file(entryPath(name));
        if (!file.exists()) return reg::fileNotFound;
        if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly)) return reg::accessDenied;
        const QByteArray contents = file.read(maxEntrySize + 1);
        if (contents.size() > maxEntrySize) return reg::invalidData;
        // The still escaped keys of the "Desktop Entry" group; the first of duplicate keys wins.
        QMap<QString, QString> keys;
        bool inGroup = false;
        for (const QString& line : QString::fromUtf8(contents).split(u'\n')) {
            const QString trimmed = line.trimmed();
            const QString key = line.left(line.indexOf(u'=')).trimmed();
            if (trimmed.startsWith(u'[')) inGroup = trimmed == QStringLiteral("[Desktop Entry]");
            if (inGroup && line.contains(u'=') && !trimmed.startsWith(u'#') &&
                !keys.contains(key)) {
                keys.insert(key, line.mid(line.indexOf(u'=') + 1).trimmed());
            }
        }
        const QString exec = keys.value(QStringLiteral("Exec"));
        if (exec.isEmpty()) return reg::invalidData;
        // The exact text unless the Exec line was edited since; else the line's own command.
        const QString stored = unescaped(keys.value(valueKey));
        const bool same = keys.contains(valueKey) && execLine(stored) == exec;
        const std::string text = toAnsi(same ? stored : unescaped(exec)).toStdString() + '\0';
        type = reg::sz;
        const std::uint32_t capacity = size;
        size = static_cast<std::uint32_t>(text.size());
        if (data && size > capacity) return reg::moreData;
        if (data) *data = text;
        return reg::ok;
    }

    long setValue(RegistryKey /*key*/, const std::string& name, std::uint32_t type,
                  const std::string& data) override {
        // Only one line of text can be a command line.
        if (type != reg::sz || data.empty() || data.find('\0') != data.size() - 1) {
            return reg::invalidData;
        }
        const QString text =
            fromAnsi(QByteArray(data.data(), static_cast<qsizetype>(data.size() - 1)));
        const QString exec = execLine(text);
        if (exec.isEmpty()) return reg::invalidData;
        // A program started at login may need the notification area, which the panel brings. The
        // type and the exact text are kept for the read, as earlier versions did.
        const QString entry = QStringLiteral("[Desktop Entry]\nType=Application\nName=") +
                              escaped(fromAnsi(QByteArray::fromStdString(name))) +
                              QStringLiteral("\nExec=") + exec +
                              QStringLiteral(
                                  "\nX-GNOME-Autostart-Delay=5\nX-KDE-autostart-after=panel\n"
                                  "X-LXQt-Need-Tray=true\nX-Zettara-Type=1\n") +
                              valueKey + u'=' + escaped(text) + u'\n';
        const QString path = entryPath(name);
        QSaveFile file(path);
        if (path.isEmpty() || !QDir().mkpath(QFileInfo(path).path()) ||
            !file.open(QIODevice::WriteOnly)) {
            return reg::accessDenied;
        }
        file.write(entry.toUtf8());
        return file.commit() ? reg::ok : reg::accessDenied;
    }

    long deleteValue(RegistryKey /*key*/, const std::string& name) override {
        const QString path = entryPath(name);
        if (QFile::remove(path)) return reg::ok;
        return QFileInfo::exists(path) ? reg::accessDenied : reg::fileNotFound;
    }

    void closeKey(RegistryKey /*key*/) override {}
};

}  // namespace

RegistryBackend& systemRegistry() {
    static XdgAutostart backend;
    return backend;
}

}  // namespace platform
