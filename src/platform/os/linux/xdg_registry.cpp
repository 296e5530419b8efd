#include "platform/os/linux/xdg_registry.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>
#include <cstdlib>
#include <optional>

#include "platform/core/encoding.h"
#include "platform/os/linux/registry_desktop_entry.h"
#include "platform/os/registry_command_line.h"

namespace platform {
namespace {

constexpr qint64 maxFileSize = 1 << 20;  // anything larger is not ours
const QString typeKey = QStringLiteral("X-Zettara-Type");
const QString valueKey = QStringLiteral("X-Zettara-Value");
const QString dataKey = QStringLiteral("X-Zettara-Data");

QByteArray bytes(const std::string& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

std::string folded(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// A name as one file name: no separators, no leading dot, nothing outside ASCII.
QString encodedName(const std::string& name) {
    if (name.empty()) return QStringLiteral("%");
    QByteArray encoded = bytes(name).toPercentEncoding(" ");
    if (encoded.startsWith('.')) encoded.replace(0, 1, "%2E");
    return QString::fromLatin1(encoded);
}

std::string decodedName(const QString& fileName) {
    if (fileName == QStringLiteral("%")) return {};
    return QByteArray::fromPercentEncoding(fileName.toLatin1()).toStdString();
}

bool readSmallFile(const QString& path, QByteArray& contents) {
    if (!QFileInfo(path).isFile()) return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    contents = file.read(maxFileSize + 1);
    return file.error() == QFileDevice::NoError && contents.size() <= maxFileSize;
}

long writeFile(const QString& path, const QByteArray& contents) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return reg::accessDenied;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return reg::accessDenied;
    file.write(contents);
    return file.commit() ? reg::ok : reg::accessDenied;
}

// ---- Run values as autostart entries ----

QString autostartFolder() {
    return XdgRegistry::configHome() + QStringLiteral("/autostart");
}

// The entry file of a value, matched without regard to letter case; empty when there is none.
QString findAutostartFile(const std::string& name) {
    const QString exact = autostartFolder() + u'/' + encodedName(name) + QStringLiteral(".desktop");
    if (QFileInfo::exists(exact)) return exact;
    const std::string wanted = folded(name);
    QDirIterator it(autostartFolder(), {QStringLiteral("*.desktop")},
                    QDir::Files | QDir::System | QDir::Hidden);
    while (it.hasNext()) {
        it.next();
        if (folded(decodedName(it.fileInfo().completeBaseName())) == wanted) return it.filePath();
    }
    return {};
}

// The value's text when it is one plain line of text, which an Exec line can carry.
std::optional<QString> plainText(std::uint32_t type, const std::string& data) {
    if (type != reg::sz && type != reg::expandSz) return std::nullopt;
    if (data.empty() || data.back() != '\0') return std::nullopt;
    const std::string body = data.substr(0, data.size() - 1);
    if (body.find('\0') != std::string::npos) return std::nullopt;
    const QString text = fromAnsi(bytes(body));
    if (toAnsi(text) != bytes(body)) return std::nullopt;
    for (const QChar c : text) {
        if (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') return std::nullopt;
    }
    return text;
}

// The arguments of the Exec line for a value's command line. GLib looks the program up before it
// turns "%%" into "%" and skips an entry whose program it cannot find, so a program path with a
// '%' is started through env.
QStringList launchArguments(const QString& commandLine) {
    QStringList arguments = command_line::split(commandLine);
    if (!arguments.isEmpty() && arguments.first().contains(u'%')) {
        arguments.prepend(QStringLiteral("--"));
        arguments.prepend(QStringLiteral("env"));
    }
    return arguments;
}

QByteArray autostartEntry(const std::string& name, std::uint32_t type, const std::string& data) {
    using namespace desktop_entry;
    QString entry = QStringLiteral("[Desktop Entry]\nType=Application\n");
    const QString title = fromAnsi(bytes(name));
    entry += QStringLiteral("Name=") + escapeValue(title.isEmpty() ? QStringLiteral("-") : title) +
             u'\n';
    const std::optional<QString> text = plainText(type, data);
    const QStringList arguments = text ? launchArguments(*text) : QStringList();
    if (!arguments.isEmpty()) {
        entry += QStringLiteral("Exec=") + escapeValue(execField(arguments)) + u'\n';
        // A program started at login may need the notification area, which the panel brings.
        entry += QStringLiteral(
            "X-GNOME-Autostart-Delay=5\nX-KDE-autostart-after=panel\nX-LXQt-Need-Tray=true\n");
    } else {
        // Nothing to run: the session skips hidden entries.
        entry += QStringLiteral("Hidden=true\n");
    }
    entry += typeKey + u'=' + QString::number(type) + u'\n';
    if (text) {
        // The exact text, for a read that gives back what was written.
        entry += valueKey + u'=' + escapeValue(*text) + u'\n';
    } else {
        entry += dataKey + u'=' + QString::fromLatin1(bytes(data).toHex()) + u'\n';
    }
    return entry.toUtf8();
}

long readAutostartEntry(const QString& path, std::uint32_t& type, std::string& data) {
    using namespace desktop_entry;
    QByteArray contents;
    if (!readSmallFile(path, contents)) return reg::accessDenied;
    const QMap<QString, QString> keys = parseGroup(contents);
    if (keys.isEmpty()) return reg::invalidData;

    bool typeOk = false;
    type = keys.value(typeKey).toUInt(&typeOk);
    if (!typeOk) type = reg::sz;

    const QString hex = keys.value(dataKey);
    static const QRegularExpression hexPattern(QStringLiteral("^([0-9A-Fa-f]{2})*$"));
    if (keys.contains(dataKey) && hexPattern.match(hex).hasMatch()) {
        data = QByteArray::fromHex(hex.toLatin1()).toStdString();
        return reg::ok;
    }
    const QStringList arguments = parseExecField(unescapeValue(keys.value(QStringLiteral("Exec"))));
    QString text = command_line::join(arguments);
    if (keys.contains(valueKey)) {
        // The exact text unless the Exec line was edited since.
        const QString stored = unescapeValue(keys.value(valueKey));
        if (launchArguments(stored) == arguments) text = stored;
    }
    data = toAnsi(text).toStdString() + '\0';
    return reg::ok;
}

}  // namespace

QString XdgRegistry::configHome() {
    const QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!home.isEmpty() && QDir::isAbsolutePath(home)) return home;
    return QDir::homePath() + QStringLiteral("/.config");
}

QString XdgRegistry::autostartFile(const std::string& valueName) {
    const QString existing = findAutostartFile(valueName);
    if (!existing.isEmpty()) return existing;
    return autostartFolder() + u'/' + encodedName(valueName) + QStringLiteral(".desktop");
}

bool XdgRegistry::isRunKey(std::uint32_t root, const std::string& path) {
    if (root != reg::currentUser) return false;
    QStringList parts;
    for (const QByteArray& part : bytes(folded(path)).split('\\')) {
        if (!part.isEmpty()) parts << QString::fromLatin1(part);
    }
    static const QStringList runPath = {QStringLiteral("software"), QStringLiteral("microsoft"),
                                        QStringLiteral("windows"), QStringLiteral("currentversion"),
                                        QStringLiteral("run")};
    return parts == runPath;
}

bool XdgRegistry::isOpen(RegistryKey key) const {
    return handles_.contains(key);
}

long XdgRegistry::createKey(std::uint32_t root, const std::string& path, RegistryKey& key) {
    // The program writes one key only; it always exists (its folder is made on the first write).
    return openKey(root, path, key);
}

long XdgRegistry::openKey(std::uint32_t root, const std::string& path, RegistryKey& key) {
    if (!isRunKey(root, path)) return reg::fileNotFound;
    key = nextHandle_++;
    handles_.insert(key);
    return reg::ok;
}

long XdgRegistry::load(RegistryKey key, const std::string& name, Value& value) const {
    if (!isOpen(key)) return reg::invalidHandle;
    const QString path = findAutostartFile(name);
    if (path.isEmpty()) return reg::fileNotFound;
    return readAutostartEntry(path, value.type, value.data);
}

long XdgRegistry::queryValueInfo(RegistryKey key, const std::string& name, std::uint32_t& type,
                                 std::uint32_t& size) {
    Value value;
    const long status = load(key, name, value);
    if (status != reg::ok) return status;
    type = value.type;
    size = static_cast<std::uint32_t>(value.data.size());
    return reg::ok;
}

long XdgRegistry::queryValueData(RegistryKey key, const std::string& name, std::uint32_t& type,
                                 std::string& data, std::uint32_t& size) {
    Value value;
    const long status = load(key, name, value);
    if (status != reg::ok) return status;
    type = value.type;
    const std::uint32_t capacity = size;
    size = static_cast<std::uint32_t>(value.data.size());
    if (size > capacity) return reg::moreData;
    data = value.data;
    data.resize(capacity, '\0');
    return reg::ok;
}

long XdgRegistry::setValue(RegistryKey key, const std::string& name, std::uint32_t type,
                           const std::string& data) {
    if (!isOpen(key)) return reg::invalidHandle;
    return writeFile(autostartFile(name), autostartEntry(name, type, data));
}

long XdgRegistry::deleteValue(RegistryKey key, const std::string& name) {
    if (!isOpen(key)) return reg::invalidHandle;
    const QString path = findAutostartFile(name);
    if (path.isEmpty()) return reg::fileNotFound;
    return QFile::remove(path) ? reg::ok : reg::accessDenied;
}

long XdgRegistry::closeKey(RegistryKey key) {
    return handles_.erase(key) == 1 ? reg::ok : reg::invalidHandle;
}

std::uint32_t XdgRegistry::expandEnvironmentStrings(const std::string& source, std::string& buffer,
                                                    std::uint32_t bufferChars) {
    return expandPercentReferences(source, buffer, bufferChars,
                                   [](const std::string& name) -> std::optional<std::string> {
                                       const char* value = std::getenv(name.c_str());
                                       if (!value) return std::nullopt;
                                       return std::string(value);
                                   });
}

std::size_t XdgRegistry::characterLength(const std::string& text, std::size_t pos) const {
    return utf8CharacterLength(text, pos);
}

RegistryBackend& systemRegistry() {
    static XdgRegistry backend;
    return backend;
}

}  // namespace platform
