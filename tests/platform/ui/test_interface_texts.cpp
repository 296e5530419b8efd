#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>

#include "platform/ui/interface_texts.h"

using platform::Language;
using platform::LanguageChoice;

namespace {

QString saveButton() {
    const QDialogButtonBox buttons(QDialogButtonBox::Save);
    return buttons.button(QDialogButtonBox::Save)->text();
}

QString fileMenu() {
    return QCoreApplication::translate("MainMenus", "文件[&F]");
}

// What the group and other users may do with a file.
int others(const QString& path) {
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    return (QFileInfo(path).permissions() & others).toInt();
}

}  // namespace

TEST(InterfaceLanguage, EnglishOnlyWhenTheUserNamesItBeforeChinese) {
    using platform::languageFor;
    // English first.
    EXPECT_EQ(languageFor({"en"}), Language::English);
    EXPECT_EQ(languageFor({"en-US", "en-Latn-US", "en"}), Language::English);
    EXPECT_EQ(languageFor({"de-DE", "en_GB", "zh-CN"}), Language::English);
    // Chinese first.
    EXPECT_EQ(languageFor({"zh-CN", "zh-Hans-CN", "zh", "en", "en-US"}), Language::Chinese);
    EXPECT_EQ(languageFor({"fr", "zh_TW", "en"}), Language::Chinese);
    // No language named.
    EXPECT_EQ(languageFor({"C"}), Language::Chinese);
    EXPECT_EQ(languageFor({"POSIX"}), Language::Chinese);
    EXPECT_EQ(languageFor({}), Language::Chinese);
    // Neither.
    EXPECT_EQ(languageFor({"de-DE", "de-Latn-DE", "de"}), Language::Chinese);
}

// The program's texts and the dialogs Qt makes for us (export, import, colours) speak one
// language; the tests' own environment is a Chinese one.
TEST(InterfaceLanguage, OwnAndQtTextsComeInTheSameLanguage) {
    {
        const platform::InterfaceTexts texts(LanguageChoice::System);
        EXPECT_EQ(texts.language(), Language::Chinese);
        ASSERT_TRUE(texts.qtTextsLoaded()) << "qt6-translations-l10n is not installed";
        EXPECT_EQ(saveButton(), QStringLiteral("保存"));
        EXPECT_EQ(fileMenu(), QStringLiteral("文件[&F]"));
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        const auto* open = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
        EXPECT_EQ(open->text(), QStringLiteral("打开(&O)"));
    }
    {
        const platform::InterfaceTexts texts(LanguageChoice::English);
        EXPECT_EQ(saveButton(), QStringLiteral("Save"));
        EXPECT_EQ(fileMenu(), QStringLiteral("&File"));
        // A text in the other language, for a word said in the language just chosen.
        EXPECT_EQ(platform::textIn(Language::Chinese, "MainMenus", "文件[&F]"),
                  QStringLiteral("文件[&F]"));
    }
    EXPECT_EQ(fileMenu(), QStringLiteral("文件[&F]"));
    EXPECT_EQ(platform::textIn(Language::English, "MainMenus", "文件[&F]"),
              QStringLiteral("&File"));
}

class RememberedLanguage : public ::testing::Test {
  protected:
    RememberedLanguage() : saved_(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
    }
    ~RememberedLanguage() override { qputenv("XDG_CONFIG_HOME", saved_); }

    QTemporaryDir config_;
    QByteArray saved_;
};

TEST_F(RememberedLanguage, WinsOverTheSystemAndAnUnreadableFileLeavesItToTheSystem) {
    EXPECT_EQ(platform::rememberedLanguageChoice(), LanguageChoice::System);
    ASSERT_TRUE(platform::rememberLanguageChoice(LanguageChoice::English));
    const QString path = platform::settingsFilePath();
    EXPECT_EQ(path, config_.path() + QStringLiteral("/Zettara-6471/settings.ini"));
    EXPECT_EQ(others(path), 0);
    EXPECT_EQ(others(QFileInfo(path).absolutePath()), 0);
    {
        const platform::InterfaceTexts texts(platform::rememberedLanguageChoice());
        EXPECT_EQ(texts.language(), Language::English);
        EXPECT_EQ(fileMenu(), QStringLiteral("&File"));
    }
    ASSERT_TRUE(platform::rememberLanguageChoice(LanguageChoice::Chinese));
    EXPECT_EQ(platform::rememberedLanguageChoice(), LanguageChoice::Chinese);

    // Someone else's words in our file, then no file but a folder in its place.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[interface]\nlanguage=\"tlh\"\n\x01\xff\xfe=[[\n");
    file.close();
    EXPECT_EQ(platform::rememberedLanguageChoice(), LanguageChoice::System);
    ASSERT_TRUE(platform::rememberLanguageChoice(LanguageChoice::English));
    EXPECT_EQ(platform::rememberedLanguageChoice(), LanguageChoice::English);
    ASSERT_TRUE(QFile::remove(path) && QDir().mkdir(path));
    EXPECT_EQ(platform::rememberedLanguageChoice(), LanguageChoice::System);
    EXPECT_EQ(platform::InterfaceTexts(platform::rememberedLanguageChoice()).language(),
              Language::Chinese);
}
