#pragma once

#include <QString>

namespace platform {

// The interface language the user chose in the program (工具 > 界面语言).
enum class LanguageChoice { System, Chinese, English };

// The choice kept in the program's settings file; System when there is none, or the file
// cannot be read or holds anything else.
LanguageChoice rememberedLanguageChoice();

// Keeps the choice for the next starts, in a file only the user can read (0600 in a 0700
// folder). False when it could not be written.
bool rememberLanguageChoice(LanguageChoice choice);

// The program's settings file: Zettara-6471/settings.ini in the user's configuration folder
// ($XDG_CONFIG_HOME, else ~/.config).
QString settingsFilePath();

}  // namespace platform
