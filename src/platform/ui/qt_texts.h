#pragma once

class QCoreApplication;
class QTranslator;

namespace platform {

// Qt's own texts (standard buttons, the file and colour dialogs, their messages) in the
// interface's language, Chinese: from Qt's translations where the system has them (on Debian,
// qt6-translations-l10n); without them they stay English and the program works as before.
// Returns the translator installed (owned by app; deleting it takes the texts back), or null.
QTranslator* useQtTextsInChinese(QCoreApplication& app);

}  // namespace platform
