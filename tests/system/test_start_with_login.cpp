#include <gtest/gtest.h>

#include <QString>

#include "memory_registry.h"
#include "platform/core/app.h"
#include "platform/core/encoding.h"
#include "seams.h"
#include "system/start_with_login.h"

namespace {

namespace reg = platform::reg;
const std::string runKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

class StartWithLogin : public ::testing::Test {
  protected:
    StartWithLogin() { testsupport::Seams::setRegistry(&memory); }
    ~StartWithLogin() override { testsupport::Seams::setRegistry(nullptr); }

    void putEntry(const QString& text) {
        memory.put(reg::currentUser, runKey, "Zettara", reg::sz,
                   platform::toAnsi(text).toStdString() + '\0');
    }
    std::optional<QString> entry() const {
        const auto value = memory.get(reg::currentUser, runKey, "Zettara");
        if (!value) return std::nullopt;
        EXPECT_EQ(value->type, reg::sz);
        EXPECT_TRUE(value->data.ends_with('\0'));
        const std::string text = value->data.substr(0, value->data.find('\0'));
        return platform::fromAnsi(QByteArray::fromStdString(text));
    }

    platform::MemoryRegistry memory;
};

TEST_F(StartWithLogin, ExpectedTextIsTheQuotedProgramPathAndMini) {
    EXPECT_EQ(开机启动_期望值(), u'"' + platform::app::exePath() + QStringLiteral("\" mini"));
    EXPECT_EQ(开机启动_命令行(QStringLiteral("C:\\\\Zettara.exe")),
              QStringLiteral("\"C:\\\\Zettara.exe\" mini"));
    // A quote in a folder name is tripled so that the text still names this file.
    EXPECT_EQ(开机启动_命令行(QStringLiteral("/tmp/a \"b\"/Z")),
              QStringLiteral("\"/tmp/a \"\"\"b\"\"\"/Z\" mini"));
}

TEST_F(StartWithLogin, CheckMarkAtStartUp) {
    EXPECT_FALSE(开机启动_已设置()) << "no entry";

    putEntry(开机启动_期望值());
    EXPECT_TRUE(开机启动_已设置()) << "equal entry";

    const QString path = platform::app::exePath();
    const QString differing[] = {
        u'"' + path + QStringLiteral("\" MINI"),
        u'"' + path.toUpper() + QStringLiteral("\" mini"),
        path + QStringLiteral(" mini"),
        u'"' + path + u'"',
        u'"' + path + QStringLiteral("\" mini "),
        QStringLiteral("\"/elsewhere/Zettara-6471\" mini"),
    };
    for (const QString& text : differing) {
        putEntry(text);
        EXPECT_FALSE(开机启动_已设置()) << text.toStdString();
    }
}

TEST_F(StartWithLogin, ClickOnWritesTheEntryAndTheNextClickDeletesIt) {
    EXPECT_TRUE(工具_开机启动_Click(false));
    EXPECT_EQ(entry(), 开机启动_期望值());
    EXPECT_TRUE(开机启动_已设置()) << "the next start shows the mark";

    EXPECT_FALSE(工具_开机启动_Click(true));
    EXPECT_FALSE(entry().has_value());
    EXPECT_FALSE(开机启动_已设置());
}

TEST_F(StartWithLogin, AnotherEntryIsNeitherReplacedNorCorrected) {
    const QString other = QStringLiteral("\"/opt/other copy/Zettara-6471\" mini");
    putEntry(other);
    EXPECT_FALSE(开机启动_已设置());
    EXPECT_TRUE(工具_开机启动_Click(false));
    EXPECT_EQ(entry(), other);

    // Same text in other letter case: not replaced either; the second click deletes it.
    const QString upper = 开机启动_期望值().toUpper();
    putEntry(upper);
    EXPECT_TRUE(工具_开机启动_Click(false));
    EXPECT_EQ(entry(), upper);
    EXPECT_FALSE(工具_开机启动_Click(true));
    EXPECT_FALSE(entry().has_value());
}

TEST_F(StartWithLogin, FailuresChangeOnlyTheRegistryNotTheCheckMarkRule) {
    memory.denyWrites = true;
    EXPECT_TRUE(工具_开机启动_Click(false)) << "checked even when the write fails";
    EXPECT_FALSE(entry().has_value());
    EXPECT_FALSE(开机启动_已设置()) << "and unchecked at the next start";
    EXPECT_FALSE(工具_开机启动_Click(true)) << "unchecked even when there was nothing to delete";

    // An empty entry counts as absent: switching on writes the expected text over it.
    memory.denyWrites = false;
    putEntry(QString());
    EXPECT_TRUE(工具_开机启动_Click(false));
    EXPECT_EQ(entry(), 开机启动_期望值());
}

}  // namespace
