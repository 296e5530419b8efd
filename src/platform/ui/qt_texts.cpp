#include "platform/ui/qt_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QTranslator>

namespace platform {

namespace {
Q_LOGGING_CATEGORY(lcTexts, "zettara.texts")
}  // namespace

QTranslator* useQtTextsInChinese(QCoreApplication& app) {
    // Owned by the application: it must live as long as any text is looked up.
    auto* qtTexts = new QTranslator(&app);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!qtTexts->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                       QStringLiteral("_"), folder)) {
        qCInfo(lcTexts) << "Qt's own texts stay English: no qtbase_zh_CN.qm in" << folder;
        delete qtTexts;
        return nullptr;
    }
    QCoreApplication::installTranslator(qtTexts);
    return qtTexts;
}

}  // namespace platform
