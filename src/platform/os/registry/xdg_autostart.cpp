// On a freedesktop.org desktop the registry holds only what start with login writes: the values of
// HKEY_CURRENT_USER\SOFTWARE\Microsoft\Windows\CurrentVersion\Run, each the autostart entry
// $XDG_CONFIG_HOME/autostart/<value name>.desktop whose Exec line runs the value's command line.
// Every other key does not exist.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSaveFile>
#include <QStringList>
#include <algorithm>

#include "platform/core/encoding.h"
#include "platform/os/registry/registry.h"

namespace platform {
namespace {

constexpr qint64 maxEntrySize = 1 << 20;  // anything larger is not ours
const QString valueKey = QStringLiteral("X-Zettara-Value");

QString entryPath(const std::string& name) {
    // The value name becomes a file name.
    if (name.empty() || name.front() == '.' || name.find('/') != std::string::npos) return {};
    const QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
    const QString config =
        QDir::isAbsolutePath(home) ? home : QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/") + fromAnsi(QByteArray::fromStdString(name)) +
           QStringLiteral(".desktop");
}

// The key-file escapes of string values.
QString escaped(QString value) {
    value.replace(u'\\', QStringLiteral("\\\\"))
        .replace(u'\n', QStringLiteral("\\n"))
        .replace(u'\t', QStringLiteral("\\t"))
        .replace(u'\r', QStringLiteral("\\r"));
    // Blanks at either end would be trimmed.
    if (value.startsWith(u' ')) value.replace(0, 1, QStringLiteral("\\s"));
    if (value.endsWith(u' ')) value.replace(value.size() - 1, 1, QStringLiteral("\\s"));
    return value;
}

QString unescaped(const QString& value) {
    static const QString codes = QStringLiteral("sntr\\");
    static const QString characters = QStringLiteral(" \n\t\r\\");
    QString result;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const qsizetype code =
            value[i] == u'\\' && i + 1 < value.size() ? codes.indexOf(value[i + 1]) : -1;
        result += code < 0 ? value[i] : characters[code];
        if (code >= 0) ++i;
    }
    return result;
}

// The arguments of a command line with the Windows rules: blanks separate arguments outside double
// quotes; 2n backslashes before a quote give n and the quote opens or closes a quoted part, 2n+1
// give n and a literal quote; other backslashes are literal.
QStringList arguments(const QString& commandLine) {
    QStringList result;
    QString current;
    bool inArgument = false;
    bool inQuotes = false;
    for (qsizetype i = 0; i < commandLine.size(); ++i) {
        const QChar c = commandLine[i];
        if ((c == u' ' || c == u'\t') && !inQuotes) {
            if (inArgument) result << current;
            current.clear();
            inArgument = false;
            continue;
        }
        inArgument = true;
        if (c == u'\\') {
            qsizetype run = 1;
            while (i + run < commandLine.size() && commandLine[i + run] == u'\\') ++run;
            const bool quote = i + run < commandLine.size() && commandLine[i + run] == u'"';
            current += QString(quote ? run / 2 : run, u'\\');
            i += run - 1;
            if (quote && run % 2 == 1) current += commandLine[++i];
        } else if (c == u'"') {
            inQuotes = !inQuotes;
        } else {
            current += c;
        }
    }
    if (inArgument) result << current;
    return result;
}

// The escaped Exec value that runs a command line: arguments with reserved characters in double
// quotes with '"', '`', '$' and '\' escaped, '%' doubled. Empty for no command.
QString execLine(const QString& commandLine) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    static const QString escapedInQuotes = QStringLiteral("\"`$\\");
    QStringList command = arguments(commandLine);
    // GLib looks the program up before it turns "%%" into "%" and skips an entry whose program it
    // cannot find, so a program path with a '%' is started through env.
    if (!command.isEmpty() && command.first().contains(u'%')) {
        command = QStringList{QStringLiteral("env"), QStringLiteral("--")} + command;
    }
    QStringList parts;
    for (const QString& argument : std::as_const(command)) {
        const bool quoted =
            argument.isEmpty() || std::any_of(argument.begin(), argument.end(),
                                              [](QChar c) { return reserved.contains(c); });
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

long writeEntry(const std::string& name, std::uint32_t type, const std::string& data) {
    // Only one line of text can be a command line.
    if (type != reg::sz || data.empty() || data.find('\0') != data.size() - 1) {
        return reg::invalidData;
    }
    const QString text = fromAnsi(QByteArray(data.data(), static_cast<qsizetype>(data.size() - 1)));
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

long readEntry(const std::string& name, std::string& data) {
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
        const qsizetype equals = line.indexOf(u'=');
        if (trimmed.startsWith(u'[')) {
            inGroup = trimmed == QStringLiteral("[Desktop Entry]");
        } else if (inGroup && equals > 0 && !trimmed.startsWith(u'#')) {
            keys.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
        }
    }
    const QString exec = keys.value(QStringLiteral("Exec"));
    if (exec.isEmpty()) return reg::invalidData;
    // The exact text unless the Exec line was edited since; else the command as the line has it.
    const QString stored = unescaped(keys.value(valueKey));
    const bool same = keys.contains(valueKey) && execLine(stored) == exec;
    data = toAnsi(same ? stored : unescaped(exec)).toStdString() + '\0';
    return reg::ok;
}

bool isRunKey(std::uint32_t root, const std::string& path) {
    const QStringList parts = QString::fromLatin1(path).split(u'\\', Qt::SkipEmptyParts);
    return root == reg::currentUser &&
           parts.join(u'\\').compare(
               QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"),
               Qt::CaseInsensitive) == 0;
}

class XdgAutostart final : public RegistryBackend {
  public:
    long openKey(std::uint32_t root, const std::string& path, bool /*create*/,
                 RegistryKey& key) override {
        // The Run key always exists: its folder is made on the first write.
        if (!isRunKey(root, path)) return reg::fileNotFound;
        key = 1;
        return reg::ok;
    }

    long queryValue(RegistryKey /*key*/, const std::string& name, std::uint32_t& type,
                    std::string* data, std::uint32_t& size) override {
        std::string text;
        if (const long status = readEntry(name, text); status != reg::ok) return status;
        type = reg::sz;
        const std::uint32_t capacity = size;
        size = static_cast<std::uint32_t>(text.size());
        if (data && size > capacity) return reg::moreData;
        if (data) *data = text;
        return reg::ok;
    }

    long setValue(RegistryKey /*key*/, const std::string& name, std::uint32_t type,
                  const std::string& data) override {
        return writeEntry(name, type, data);
    }

    long deleteValue(RegistryKey /*key*/, const std::string& name) override {
        const QString path = entryPath(name);
        if (!QFileInfo::exists(path)) return reg::fileNotFound;
        return QFile::remove(path) ? reg::ok : reg::accessDenied;
    }

    void closeKey(RegistryKey /*key*/) override {}
};

}  // namespace

RegistryBackend& systemRegistry() {
    static XdgAutostart backend;
    return backend;
}

}  // namespace platform
