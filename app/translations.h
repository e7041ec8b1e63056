// SPDX-License-Identifier: BSD-3-Clause
// The language of the window: the program's texts, Qt's own texts (the standard buttons, the file
// dialog and the input dialog) and the choice kept for the next start.
#pragma once

#include <optional>

#include <QLocale>
#include <QString>

#include "model/language.h"

class QCoreApplication;

namespace saed::app {

// The language the program speaks: its own texts are Simplified Chinese.
inline QLocale programLanguage() { return QLocale(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China); }

// Installs Qt's translations for `language` in `app` (a replaced earlier set is removed), so that
// message boxes read 确定/取消 and the file dialog and the name prompt speak that language.
// English needs none: Qt's texts are English. False when Qt's translation files for the language
// are not installed (Debian: qt6-translations-l10n); Qt's texts then stay in English.
bool installQtTranslations(QCoreApplication& app, const QLocale& language = programLanguage());

// The window program's settings file, beside Store.ini in the configuration folder.
QString settingsPath();

// The language chosen in the window and kept in `path`; nothing when none is kept or the kept
// code is neither zh nor en.
std::optional<model::Language> savedLanguage(const QString& path = settingsPath());

// Keeps `language` in `path` for the next start; false when the file cannot be written.
bool saveLanguage(model::Language language, const QString& path = settingsPath());

// The language a start uses: the --lang option, else the choice kept in `path`, else the
// system's.
model::Language startLanguage(std::optional<model::Language> option, const QString& path = settingsPath());

// Installs the program's catalogues and Qt's own texts for `language`. False when a catalogue
// or Qt's translation files are missing (the texts concerned then stay in their source language).
bool installLanguage(QCoreApplication& app, model::Language language);

}  // namespace saed::app
