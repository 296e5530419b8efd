#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "platform/core/encoding.h"
#include "platform/os/linux/xdg_registry.h"
#include "platform/os/registry_command_line.h"

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
            EXPECT_TRUE(i + 1 < value.size() && value[i + 1] == '%') << "field code in " << value;
            current += '%';
            ++i;
            started = true;
        } else if (quoted) {
            if (c == '"') {
                quoted = false;
            } else if (c == '\\') {
                EXPECT_TRUE(i + 1 < value.size() &&
                            std::string("\"`$\\").find(value[i + 1]) != std::string::npos)
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

class XdgRegistryTest : public ::testing::Test {
  protected:
    XdgRegistryTest() : saved_(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
    }
    ~XdgRegistryTest() override {
        qputenv("XDG_CONFIG_HOME", saved_);
        if (run_) {
            EXPECT_EQ(registry.closeKey(run_), reg::ok);
        }
    }

    // The Run key, opened once per test.
    platform::RegistryKey run() {
        if (!run_) {
            EXPECT_EQ(registry.openKey(reg::currentUser, runKey, run_), reg::ok);
        }
        return run_;
    }
    long set(const std::string& name, std::uint32_t type, const std::string& data) {
        return registry.setValue(run(), name, type, data);
    }
    // The value's bytes, or its status when it cannot be read.
    std::string get(platform::RegistryKey key, const std::string& name, std::uint32_t& type) {
        std::uint32_t size = 0;
        if (long status = registry.queryValueInfo(key, name, type, size); status != reg::ok)
            return "<status " + std::to_string(status) + ">";
        std::string data;
        EXPECT_EQ(registry.queryValueData(key, name, type, data, size), reg::ok);
        return data.substr(0, size);
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
    platform::XdgRegistry registry;
    platform::RegistryKey run_ = 0;
};

TEST_F(XdgRegistryTest, RunValueIsAnAutostartEntryThatRunsExactlyTheCommandLine) {
    // A folder name with blanks, quotes, '$', a backtick, a backslash and Chinese.
    const QString folder = config_.path() + QStringLiteral("/my \"odd\" $HOME `x` \\ 便签");
    const QString program = folder + QStringLiteral("/Zettara-6471");
    const QString text = platform::command_line::quoted(program) + QStringLiteral(" mini");
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
    const QString percent = config_.path() + QStringLiteral("/100% sure/Zettara-6471");
    const QString percentText = platform::command_line::quoted(percent) + QStringLiteral(" mini");
    ASSERT_EQ(set("Percent", reg::sz, ansi(percentText) + '\0'), reg::ok);
    const QString percentFile = autostart(QStringLiteral("Percent.desktop"));
    expected = {"env", "--", percent.toStdString(), "mini"};
    EXPECT_EQ(execArguments(keyOf(percentFile, QStringLiteral("Exec"))), expected);
    std::uint32_t percentType = 0;
    EXPECT_EQ(get(run(), "Percent", percentType), ansi(percentText) + '\0');

    std::uint32_t type = 0;
    EXPECT_EQ(get(run(), "zettara", type), ansi(text) + '\0');
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

    EXPECT_EQ(registry.deleteValue(run(), "ZETTARA"), reg::ok);
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_EQ(registry.deleteValue(run(), "Zettara"), reg::fileNotFound);
    EXPECT_EQ(get(run(), "Zettara", type), "<status 2>");
}

TEST_F(XdgRegistryTest, TextComesBackExactlyAndOtherDataThroughExtraKeys) {
    const std::vector<std::pair<std::uint32_t, std::string>> values = {
        {reg::sz, std::string("/usr/bin/a   b  \0", 17)},  // spacing an Exec line would lose
        {reg::sz, std::string("\0", 1)},
        {reg::expandSz, std::string("%HOME%/x %% y\0", 14)},
        {reg::sz, std::string("abc\0def\0", 8)},
        {reg::sz, "no NUL"},
        {reg::binary, std::string("\x00\x01\xFF", 3)},
        {reg::dword, std::string("\x2A\0\0\0", 4)},
    };
    for (const auto& [type, data] : values) {
        SCOPED_TRACE(data);
        ASSERT_EQ(set("Value", type, data), reg::ok);
        std::uint32_t readType = 0;
        EXPECT_EQ(get(run(), "Value", readType), data);
        EXPECT_EQ(readType, type);
    }
    // Data that is no command line is kept in the entry, which the session skips.
    EXPECT_EQ(keyOf(autostart(QStringLiteral("Value.desktop")), QStringLiteral("Hidden")), "true");
}

TEST_F(XdgRegistryTest, HandEditedAndForeignEntriesReadAsTheirCommandLine) {
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
    EXPECT_EQ(get(run(), "Zettara", type),
              std::string("/usr/bin/other --flag \"two words\"\0", 34));

    writeFile(autostart(QStringLiteral("other.desktop")),
              "# comment\n[Desktop Entry]\nName=Other\nExec = env A=1 \"/opt/x y/run\" %%d\n"
              "[Desktop Action New]\nExec=ignored\n");
    EXPECT_EQ(get(run(), "OTHER", type), std::string("env A=1 \"/opt/x y/run\" %d\0", 26));
    EXPECT_EQ(type, reg::sz);
}

TEST_F(XdgRegistryTest, UnreadableOrBrokenEntriesAreNoValueAndCanBeReplaced) {
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
        EXPECT_NE(get(run(), "Zettara", type).rfind("<status", 0), std::string::npos);
    }
    QFile::remove(file);
    QDir().mkpath(file);  // a folder where the file should be
    EXPECT_EQ(get(run(), "Zettara", type), "<status 5>");
    QDir().rmdir(file);
    QFile::link(config_.path() + QStringLiteral("/nowhere"), file);  // a dangling link
    EXPECT_EQ(get(run(), "Zettara", type), "<status 5>");

    ASSERT_EQ(set("Zettara", reg::sz, std::string("x\0", 2)), reg::ok);
    EXPECT_EQ(get(run(), "Zettara", type), std::string("x\0", 2));
}

// Only what the program writes is stored: every other key does not exist, and asking for one
// writes nothing.
TEST_F(XdgRegistryTest, OnlyTheRunKeyExists) {
    platform::RegistryKey key = 0;
    EXPECT_EQ(registry.openKey(reg::currentUser, "Software\\Zettara-6471-test", key),
              reg::fileNotFound);
    EXPECT_EQ(registry.createKey(reg::currentUser, "Software\\Zettara-6471-test", key),
              reg::fileNotFound);
    EXPECT_EQ(registry.createKey(reg::localMachine, runKey, key), reg::fileNotFound);
    EXPECT_TRUE(QDir(config_.path()).isEmpty());

    ASSERT_EQ(registry.createKey(reg::currentUser,
                                 "SOFTWARE\\microsoft\\Windows\\CurrentVersion\\RUN\\", key),
              reg::ok);
    EXPECT_EQ(registry.closeKey(key), reg::ok);
    EXPECT_EQ(registry.closeKey(key), reg::invalidHandle);
    EXPECT_EQ(registry.setValue(key, "Zettara", reg::sz, std::string("x\0", 2)),
              reg::invalidHandle);
}

TEST_F(XdgRegistryTest, ConfigHomeFallsBackToDotConfigAndExpansionUsesTheEnvironment) {
    EXPECT_EQ(platform::XdgRegistry::configHome(), config_.path());
    qputenv("XDG_CONFIG_HOME", "relative/path");
    EXPECT_EQ(platform::XdgRegistry::configHome(), QDir::homePath() + QStringLiteral("/.config"));
    qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());

    qputenv("ZETTARA_TEST_VAR", "value");
    std::string out;
    EXPECT_EQ(
        registry.expandEnvironmentStrings("a %ZETTARA_TEST_VAR% %NO_SUCH_ZETTARA% %", out, 64),
        28u);
    EXPECT_EQ(out, "a value %NO_SUCH_ZETTARA% %");
    std::string untouched = "old";
    EXPECT_EQ(registry.expandEnvironmentStrings("%ZETTARA_TEST_VAR%", untouched, 5), 6u);
    EXPECT_EQ(untouched, "old");
}

TEST(RegistryCommandLine, QuotedArgumentsSplitBackUnchanged) {
    const QStringList arguments = {QStringLiteral("/a b/\"c\"/d\\"), QStringLiteral("x\\\\\"y"),
                                   QString(), QStringLiteral("plain"), QStringLiteral("tab\there")};
    EXPECT_EQ(platform::command_line::split(platform::command_line::join(arguments)), arguments);
    EXPECT_EQ(platform::command_line::split(QStringLiteral("\"C:\\\\Zettara.exe\" mini")),
              QStringList({QStringLiteral("C:\\\\Zettara.exe"), QStringLiteral("mini")}));
}

}  // namespace
