#include <gtest/gtest.h>

#include <QString>

#include "memory_registry.h"
#include "platform/core/encoding.h"
#include "platform/os/registry/registry.h"
#include "seams.h"
#include "win32/read_type_cases.h"

namespace {

namespace reg = platform::reg;
const std::string testKey = "Software\\Zettara-6471-test";

std::string ansiOfUtf8(const std::string& utf8) {
    return platform::toAnsi(QString::fromStdString(utf8)).toStdString();
}

std::string ansi(const QString& text) {
    return platform::toAnsi(text).toStdString();
}

class RegistryOps : public ::testing::Test {
  protected:
    RegistryOps() { testsupport::Seams::setRegistry(&memory); }
    ~RegistryOps() override {
        testsupport::Seams::setRegistry(nullptr);
        EXPECT_EQ(memory.openHandles(), 0u) << "a key was left open";
    }

    // Stores raw bytes, then reads them through 注册表_读取_值.
    std::string read(std::uint32_t storedType, const std::string& data, const std::string& passed,
                     std::uint32_t& type) {
        memory.put(reg::currentUser, testKey, "v", storedType, data);
        std::string value = passed;
        EXPECT_TRUE(注册表_读取_值(reg::currentUser, testKey, "v", type, value));
        return value;
    }

    platform::MemoryRegistry memory;
};

TEST_F(RegistryOps, EveryRowOfTheReadTypeTable) {
    for (const read_cases::Variable& variable : read_cases::environment()) {
        memory.setEnvironment(variable.name, ansiOfUtf8(variable.value));
    }
    const std::vector<read_cases::Case> cases = read_cases::cases(ansiOfUtf8);
    for (const read_cases::Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::uint32_t type = reg::sz;
        EXPECT_EQ(read(c.type, c.data, c.passed, type), c.expected);
        EXPECT_EQ(type, c.type);
    }
}

TEST_F(RegistryOps, ExpansionBufferIs256CharactersLongerThanTheStoredText) {
    // "%E%" and its NUL are 4 characters: the result may have 259 characters plus its NUL.
    std::uint32_t type = reg::sz;
    memory.setEnvironment("E", std::string(259, 'e'));
    EXPECT_EQ(read(reg::expandSz, std::string("%E%\0", 4), {}, type), std::string(259, 'e'));
    memory.setEnvironment("E", std::string(260, 'e'));
    EXPECT_EQ(read(reg::expandSz, std::string("%E%\0", 4), {}, type), "");
    // The stored text is counted in characters ("便签" is two), the result in bytes (six).
    memory.setEnvironment("E", std::string(255, 'e'));
    EXPECT_EQ(read(reg::expandSz, ansi(QStringLiteral("便签%E%")) + '\0', {}, type),
              ansi(QStringLiteral("便签")) + std::string(255, 'e'));
    memory.setEnvironment("E", std::string(256, 'e'));
    EXPECT_EQ(read(reg::expandSz, ansi(QStringLiteral("便签%E%")) + '\0', {}, type), "");
}

TEST_F(RegistryOps, MultiStringLosesItsLastCharacterNotItsLastByte) {
    std::uint32_t type = reg::sz;
    const std::string value = read(
        reg::multiSz, ansi(QStringLiteral("甲")) + '\0' + ansi(QStringLiteral("乙丙")), {}, type);
    EXPECT_EQ(value, ansi(QStringLiteral("甲")) + '\0' + ansi(QStringLiteral("乙")));
}

TEST_F(RegistryOps, ReadGoesByTheSizeOfTheDataReadNotOfTheFirstQuery) {
    struct Change {
        const char* label;
        std::uint32_t type;
        std::string before, after;
        std::string expected;
    };
    const Change changes[] = {
        // The buffer sized by the first query holds garbage beyond the new, shorter data.
        {"sz shrinks", reg::sz, std::string("a longer value\0", 15), "ab", "ab"},
        {"multi_sz shrinks", reg::multiSz, std::string("first\0second\0\0", 15),
         std::string("ab\0\0", 4), std::string("ab\0", 3)},
        {"sz grows", reg::sz, std::string("ab\0", 3), std::string("a much longer text\0", 19),
         "a much longer text"},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.label);
        memory.afterInfoQuery = [&](const std::string& name) {
            memory.put(reg::currentUser, testKey, name, change.type, change.after);
        };
        std::uint32_t type = reg::sz;
        EXPECT_EQ(read(change.type, change.before, {}, type), change.expected);
    }
}

TEST_F(RegistryOps, MissingValueOrKeyLeavesTypeAndTextAlone) {
    memory.put(reg::currentUser, testKey, "other", reg::sz, std::string("x\0", 2));
    std::uint32_t type = 1;
    std::string value = "passed";
    EXPECT_TRUE(注册表_读取_值(reg::currentUser, testKey, "v", type, value));
    EXPECT_EQ(type, 1u);
    EXPECT_EQ(value, "passed");

    EXPECT_FALSE(注册表_读取_值(reg::currentUser, testKey + "\\missing", "v", type, value));
    EXPECT_EQ(value, "passed");
}

TEST_F(RegistryOps, WriteAppendsNulInPlaceAndCreatesTheKeyPath) {
    std::string data = ansi(QStringLiteral("\"/opt/便签/Zettara-6471\" mini"));
    const std::string expected = data + '\0';
    const std::string key = testKey + "\\new\\deeper";
    EXPECT_TRUE(注册表_写入_值(reg::currentUser, key, "Zettara", reg::sz, data));
    EXPECT_EQ(data, expected);
    EXPECT_TRUE(memory.hasKey(reg::currentUser, testKey + "\\new"));
    const auto stored = memory.get(reg::currentUser, key, "zettara");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->type, reg::sz);
    EXPECT_EQ(stored->data, expected);

    memory.denyWrites = true;
    std::string more = "x";
    EXPECT_FALSE(注册表_写入_值(reg::currentUser, key, "Zettara", reg::sz, more));
    EXPECT_FALSE(注册表_写入_值(0x12345678u, key, "Zettara", reg::sz, more));
}

TEST_F(RegistryOps, DeleteIsTrueOnlyWhenAValueWasDeleted) {
    memory.put(reg::currentUser, testKey, "Zettara", reg::sz, std::string("x\0", 2));
    EXPECT_TRUE(注册表_删除_值(reg::currentUser, testKey, "ZETTARA"));
    EXPECT_FALSE(memory.get(reg::currentUser, testKey, "Zettara").has_value());
    EXPECT_FALSE(注册表_删除_值(reg::currentUser, testKey, "Zettara"));
    EXPECT_FALSE(注册表_删除_值(reg::currentUser, testKey + "\\missing", "Zettara"));
}

}  // namespace
