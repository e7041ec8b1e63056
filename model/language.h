// SPDX-License-Identifier: BSD-3-Clause
// The language the program speaks. Its texts are written in Simplified Chinese, the default;
// an English catalogue translates them. The store, the reports and every data format (tsv,
// JSON, CSV) are the same in either language.
#pragma once

#include <optional>

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>

class QCoreApplication;

namespace saed::model {

enum class Language { Chinese, English };

// "zh", "zh_CN", "zh_CN.UTF-8", "chinese" give Chinese; "en", "en_GB.UTF-8", "english" give
// English; anything else (de_DE, C, an empty text) gives nothing.
std::optional<Language> parseLanguage(QStringView code);

// The code written in settings and accepted by --lang: "zh" or "en".
QString languageCode(Language language);

// The locale whose conventions the language's texts follow (number texts never change).
QLocale localeOf(Language language);

// The system's choice: the first entry of LANGUAGE (a colon list) that is Chinese or English,
// else the first of LC_ALL, LC_MESSAGES and LANG that is set; Chinese when that says neither
// (C, POSIX, de_DE, …) or nothing is set.
Language systemLanguage();

// Takes "--lang X" or "--lang=X" out of `args` (anywhere in the list). Nothing when the option is
// absent; `error` gets a message (and the result is nothing) when X is not zh or en or is missing.
std::optional<Language> takeLanguageOption(QStringList& args, QString* error);

// Installs the program's catalogues for `language` in `app`, replacing those of an earlier call:
// none for Chinese (the source texts), the English catalogues otherwise. Qt's own texts (buttons,
// file dialogs) are the window program's business. False when a catalogue is missing.
bool installProgramTranslations(QCoreApplication& app, Language language);

// The language installed by the last call of installProgramTranslations (Chinese before any).
Language currentLanguage();

}  // namespace saed::model
