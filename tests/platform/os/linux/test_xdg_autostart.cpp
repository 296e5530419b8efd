#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "platform/core/encoding.h"
#include "platform/os/registry/registry.h"

namespace {

namespace reg = platform::reg;
const std::string runKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// The Exec key of the freedesktop desktop-entry format, read independently of the program's own
// parser: string escapes first, then the quoting rules, then "%%". Anything the rules forbid
// (an unquoted reserved character, a field code) fails the test.
std::vector<std::string> execArguments(const std::string& raw) {
    std::string value;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size()) {
            const char next = raw[++i];
            switch (next) {
                case 's':
                    value += ' ';
                    break;
                case 'n':
                    value += '\n';
                    break;
                case 't':
                    value += '\t';
                    break;
                case 'r':
                    value += '\r';
                    break;
                case '\\':
                    value += '\\';
                    break;
                default:
                    ADD_FAILURE() << "unknown string escape \\" << next;
            }
        } else {
            value += raw[i];
        }
    }
    const std::string reserved = " \t\n\"'\\><~|&;$*?#()`";
    std::vector<std::string> arguments;
    std::string current;
    bool started = false;
    bool quoted = false;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '%') {
            // value[value.size()] is the string's NUL, so a trailing % fails here as well.
            EXPECT_EQ(value[i + 1], '%') << "field code in " << value;
            current += '%';
            ++i;
            started = true;
        } else if (quoted) {
            if (c == '"') {
                quoted = false;
            } else if (c == '\\') {
                EXPECT_NE(std::string("\"`$\\").find(value[i + 1]), std::string::npos)
                    << "bad escape in quotes: " << value;
                current += value[++i];
            } else {
                EXPECT_TRUE(std::string("\"`$\\").find(c) == std::string::npos);
                current += c;
            }
        } else if (c == ' ') {
            if (started) arguments.push_back(current);
            current.clear();
            started = false;
        } else if (c == '"') {
            quoted = true;
            started = true;
        } else {
            EXPECT_EQ(reserved.find(c), std::string::npos) << "unquoted '" << c << "' in " << value;
            current += c;
            started = true;
        }
    }
    EXPECT_FALSE(quoted) << "unterminated quote in " << value;
    if (started) arguments.push_back(current);
    return arguments;
}

std::string keyOf(const QString& path, const QString& key) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith(key.toUtf8() + '=')) return line.mid(key.size() + 1).toStdString();
    }
    return "<missing>";
}

std::string ansi(const QString& text) {
    return platform::toAnsi(text).toStdString();
}

// A path in double quotes with its quotes tripled, then " mini".
QString commandLine(const QString& program) {
    return u'"' + QString(program).replace(u'"', QStringLiteral("\"\"\"")) +
           QStringLiteral("\" mini");
}

class XdgAutostartRegistry : public ::testing::Test {
  protected:
    XdgAutostartRegistry() : saved_(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
    }
    ~XdgAutostartRegistry() override {
        qputenv("XDG_CONFIG_HOME", saved_);
        if (run_) registry.closeKey(run_);
    }

    // The Run key, opened once per test.
    platform::RegistryKey run() {
        if (!run_) {
            EXPECT_EQ(registry.openKey(reg::currentUser, runKey, true, run_), reg::ok);
        }
        return run_;
    }
    long set(const std::string& name, std::uint32_t type, const std::string& data) {
        return registry.setValue(run(), name, type, data);
    }
    // The value's bytes, or its status when it cannot be read.
    std::string get(const std::string& name, std::uint32_t& type) {
        std::uint32_t size = 0;
        if (long status = registry.queryValue(run(), name, type, nullptr, size); status != reg::ok)
            return "<status " + std::to_string(status) + ">";
        std::string data;
        EXPECT_EQ(registry.queryValue(run(), name, type, &data, size), reg::ok);
        return data;
    }
    QString autostart(const QString& file) const {
        return config_.path() + QStringLiteral("/autostart/") + file;
    }
    void writeFile(const QString& path, const QByteArray& contents) const {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }

    QTemporaryDir config_;
    QByteArray saved_;
    platform::RegistryBackend& registry = platform::systemRegistry();
    platform::RegistryKey run_ = 0;
};

TEST_F(XdgAutostartRegistry, RunValueIsAnAutostartEntryThatRunsExactlyTheCommandLine) {
    // A folder name with blanks, quotes, '$', a backtick, a backslash and Chinese.
    const QString folder = config_.path() + QStringLiteral("/my \"odd\" $HOME `x` \\ 便签");
    const QString program = folder + QStringLiteral("/Zettara-6471");
    const QString text = commandLine(program);
    ASSERT_EQ(set("Zettara", reg::sz, ansi(text) + '\0'), reg::ok);

    const QString file = autostart(QStringLiteral("Zettara.desktop"));
    ASSERT_TRUE(QFileInfo::exists(file));
    EXPECT_EQ(keyOf(file, QStringLiteral("Type")), "Application");
    EXPECT_EQ(keyOf(file, QStringLiteral("Name")), "Zettara");
    std::vector<std::string> expected = {program.toStdString(), "mini"};
    EXPECT_EQ(execArguments(keyOf(file, QStringLiteral("Exec"))), expected);
    // At login the desktop starts the program once its panel (and notification area) is up.
    EXPECT_EQ(keyOf(file, QStringLiteral("X-GNOME-Autostart-Delay")), "5");
    EXPECT_EQ(keyOf(file, QStringLiteral("X-KDE-autostart-after")), "panel");
    EXPECT_EQ(keyOf(file, QStringLiteral("X-LXQt-Need-Tray")), "true");

    // With a '%' in the path the program is started through env (GLib would not find it).
    const QString percent = QStringLiteral("/opt/100% \"sure\"/a\\b");
    const QString percentText = commandLine(percent);
    ASSERT_EQ(set("Percent", reg::sz, ansi(percentText) + '\0'), reg::ok);
    const QString percentFile = autostart(QStringLiteral("Percent.desktop"));
    expected = {"env", "--", percent.toStdString(), "mini"};
    EXPECT_EQ(execArguments(keyOf(percentFile, QStringLiteral("Exec"))), expected);
    std::uint32_t type = 0;
    EXPECT_EQ(get("Percent", type), ansi(percentText) + '\0');

    EXPECT_EQ(get("Zettara", type), ansi(text) + '\0');
    EXPECT_EQ(type, reg::sz);

    const QString validator =
        QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    ASSERT_FALSE(validator.isEmpty()) << "desktop-file-validate is missing (scripts/install-deps)";
    QProcess check;
    check.start(validator, {file, percentFile});
    ASSERT_TRUE(check.waitForFinished());
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString();
    // Warnings count too: the entry is the program's own.
    EXPECT_EQ(check.readAllStandardOutput(), QByteArray());

    EXPECT_EQ(registry.deleteValue(run(), "Zettara"), reg::ok);
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_EQ(registry.deleteValue(run(), "Zettara"), reg::fileNotFound);
    EXPECT_EQ(get("Zettara", type), "<status 2>");
}

TEST_F(XdgAutostartRegistry, OnlyACommandLineIsStoredAndItComesBackExactly) {
    ASSERT_EQ(set("Value", reg::sz, std::string("/usr/bin/a   b  \0", 17)), reg::ok);
    std::uint32_t type = 0;
    EXPECT_EQ(get("Value", type), std::string("/usr/bin/a   b  \0", 17));  // spacing kept

    const std::vector<std::pair<std::uint32_t, std::string>> refused = {
        {reg::sz, std::string("\0", 1)},
        {reg::sz, std::string("abc\0def\0", 8)},
        {reg::sz, "no NUL"},
        {reg::expandSz, std::string("%HOME%/x\0", 10)},
        {reg::binary, std::string("\x00\x01\xFF", 3)},
        {reg::dword, std::string("\x2A\0\0\0", 4)},
    };
    for (const auto& [refusedType, data] : refused) {
        EXPECT_EQ(set("Other", refusedType, data), reg::invalidData) << data;
    }
    EXPECT_FALSE(QFileInfo::exists(autostart(QStringLiteral("Other.desktop"))));
    // A value name is a file name of the folder and nothing else.
    EXPECT_NE(set("../Zettara", reg::sz, std::string("x\0", 2)), reg::ok);
    EXPECT_FALSE(QFileInfo::exists(config_.path() + QStringLiteral("/Zettara.desktop")));
}

TEST_F(XdgAutostartRegistry, HandEditedAndForeignEntriesReadAsTheirCommand) {
    ASSERT_EQ(set("Zettara", reg::sz, "\"/opt/z/Zettara-6471\" mini" + std::string(1, '\0')),
              reg::ok);
    const QString file = autostart(QStringLiteral("Zettara.desktop"));
    QFile edit(file);
    ASSERT_TRUE(edit.open(QIODevice::ReadOnly));
    QByteArray contents = edit.readAll();
    edit.close();
    contents.replace("Exec=", "Exec=/usr/bin/other --flag \"two words\" %U\n#Exec=");
    writeFile(file, contents);
    std::uint32_t type = 0;
    EXPECT_EQ(get("Zettara", type), std::string("/usr/bin/other --flag \"two words\" %U\0", 37));

    writeFile(autostart(QStringLiteral("other.desktop")),
              "# comment\n[Desktop Entry]\nName=Other\nExec = env A=1 \"/opt/x y/run\"\n"
              "[Desktop Action New]\nExec=ignored\n");
    EXPECT_EQ(get("other", type), std::string("env A=1 \"/opt/x y/run\"\0", 23));
    EXPECT_EQ(type, reg::sz);
}

TEST_F(XdgAutostartRegistry, UnreadableOrBrokenEntriesAreNoValueAndCanBeReplaced) {
    const QString file = autostart(QStringLiteral("Zettara.desktop"));
    const QByteArray broken[] = {
        QByteArray(),
        QByteArray("\x00\xFF\xFE garbage \x01\x02", 14),
        QByteArray("no group\nExec=x\n"),
        QByteArray(2 << 20, 'x'),
    };
    std::uint32_t type = 0;
    for (const QByteArray& contents : broken) {
        writeFile(file, contents);
        EXPECT_EQ(get("Zettara", type).rfind("<status", 0), 0u);
    }
    QFile::remove(file);
    QDir().mkpath(file);  // a folder where the file should be
    EXPECT_EQ(get("Zettara", type), "<status 5>");
    QDir().rmdir(file);
    QFile::link(config_.path() + QStringLiteral("/nowhere"), file);  // a dangling link
    EXPECT_EQ(get("Zettara", type).rfind("<status", 0), 0u);

    ASSERT_EQ(set("Zettara", reg::sz, std::string("x\0", 2)), reg::ok);
    EXPECT_EQ(get("Zettara", type), std::string("x\0", 2));
}

// Only what the program writes is stored: every other key does not exist, and asking for one
// writes nothing.
TEST_F(XdgAutostartRegistry, OnlyTheRunKeyExists) {
    platform::RegistryKey key = 0;
    EXPECT_EQ(registry.openKey(reg::currentUser, "Software\\Zettara-6471-test", false, key),
              reg::fileNotFound);
    EXPECT_EQ(registry.openKey(reg::currentUser, "Software\\Zettara-6471-test", true, key),
              reg::fileNotFound);
    EXPECT_EQ(registry.openKey(0x80000002u, runKey, true, key), reg::fileNotFound);
    EXPECT_TRUE(QDir(config_.path()).isEmpty());

    ASSERT_EQ(registry.openKey(reg::currentUser,
                               "SOFTWARE\\microsoft\\Windows\\CurrentVersion\\RUN", false, key),
              reg::ok);
    registry.closeKey(key);
}

TEST_F(XdgAutostartRegistry, ConfigHomeFallsBackToDotConfig) {
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", config_.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", "relative/path");
    EXPECT_EQ(set("Zettara", reg::sz, std::string("x\0", 2)), reg::ok);
    qputenv("HOME", home);
    EXPECT_TRUE(
        QFileInfo::exists(config_.path() + QStringLiteral("/.config/autostart/Zettara.desktop")));
}

}  // namespace
