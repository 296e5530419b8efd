#include "platform/ui/interface_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QTranslator>

namespace platform {

namespace {

Q_LOGGING_CATEGORY(lcTexts, "zettara.texts")

// The program's English texts, built into the library.
const QString kOwnEnglish = QStringLiteral(":/zettara/translations/zettara_en.qm");

std::unique_ptr<QTranslator> loaded(const QString& file) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(file)) return nullptr;
    return translator;
}

}  // namespace

Language languageFor(const QStringList& uiLanguages) {
    for (const QString& name : uiLanguages) {
        // "en", "en-US", "en_GB"; "zh", "zh-Hans-CN", "zh_TW".
        const QString language =
            name.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0);
        if (language.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0)
            return Language::English;
        if (language.compare(QLatin1String("zh"), Qt::CaseInsensitive) == 0)
            return Language::Chinese;
    }
    return Language::Chinese;
}

Language languageOf(LanguageChoice choice) {
    switch (choice) {
        case LanguageChoice::Chinese:
            return Language::Chinese;
        case LanguageChoice::English:
            return Language::English;
        case LanguageChoice::System:
            break;
    }
    return languageFor(QLocale::system().uiLanguages());
}

QString textIn(Language language, const char* context, const char* sourceText) {
    if (language == Language::English) {
        if (const auto english = loaded(kOwnEnglish)) {
            const QString text = english->translate(context, sourceText);
            if (!text.isEmpty()) return text;
        }
    }
    return QString::fromUtf8(sourceText);
}

InterfaceTexts::InterfaceTexts(LanguageChoice choice) : language_(languageOf(choice)) {
    if (language_ == Language::English) {
        // Qt's own texts are English already.
        ownTexts_ = loaded(kOwnEnglish);
        if (ownTexts_)
            QCoreApplication::installTranslator(ownTexts_.get());
        else
            qCWarning(lcTexts) << "the English texts are missing from the program:" << kOwnEnglish;
        return;
    }
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    qtTexts_ = std::make_unique<QTranslator>();
    if (qtTexts_->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                       QStringLiteral("_"), folder)) {
        QCoreApplication::installTranslator(qtTexts_.get());
    } else {
        qCInfo(lcTexts) << "Qt's own texts stay English: no qtbase_zh_CN.qm in" << folder;
        qtTexts_.reset();
    }
}

// Each translator takes itself out of the application when it is deleted.
InterfaceTexts::~InterfaceTexts() = default;

}  // namespace platform
