// The language of Qt's own texts: the standard buttons, the file dialog and the input dialog.
#pragma once

#include <QLocale>

class QCoreApplication;

namespace saed::app {

// The language the program speaks: its own texts are Simplified Chinese.
inline QLocale programLanguage() { return QLocale(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China); }

// Installs Qt's translations for `language` in `app` (a replaced earlier set is removed), so that
// message boxes read 确定/取消 and the file dialog and the name prompt speak that language.
// False when Qt's translation files for it are not installed (Debian: qt6-translations-l10n);
// Qt's texts then stay in English.
bool installQtTranslations(QCoreApplication& app, const QLocale& language = programLanguage());

}  // namespace saed::app
