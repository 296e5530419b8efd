#pragma once

#include <QStringList>
#include <memory>

#include "platform/ui/language_choice.h"

class QTranslator;

namespace platform {

enum class Language { Chinese, English };

// English when the user's interface languages (most wanted first, as QLocale::uiLanguages()
// gives them) name English before any Chinese; Chinese in every other case.
Language languageFor(const QStringList& uiLanguages);

// The language a choice comes to on this system.
Language languageOf(LanguageChoice choice);

// A text of the program in a language other than the one in use (the program's Chinese
// source text for Chinese).
QString textIn(Language language, const char* context, const char* sourceText);

// The interface's texts for the whole process, companion libraries included, while it lives:
// the program's English translation when the language is English, and Qt's own texts (standard
// buttons, the file and colour dialogs) in the same language. Qt's Chinese texts come from the
// system (on Debian, qt6-translations-l10n); without them they stay English.
class InterfaceTexts {
  public:
    explicit InterfaceTexts(LanguageChoice choice);
    ~InterfaceTexts();
    InterfaceTexts(const InterfaceTexts&) = delete;
    InterfaceTexts& operator=(const InterfaceTexts&) = delete;

    Language language() const { return language_; }
    // False when Qt's own texts could not be had in the language and stay English.
    bool qtTextsLoaded() const { return qtTexts_ != nullptr; }

  private:
    Language language_;
    std::unique_ptr<QTranslator> ownTexts_;
    std::unique_ptr<QTranslator> qtTexts_;
};

}  // namespace platform
