// SPDX-License-Identifier: BSD-3-Clause
#include "app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTranslator>

#include "app/settingsfile.h"

namespace saed::app {

bool installQtTranslations(QCoreApplication& app, const QLocale& language) {
    // One translator object, kept as a child of the application and loaded anew on each call.
    auto* translator = app.findChild<QTranslator*>(QStringLiteral("saedQtTranslator"), Qt::FindDirectChildrenOnly);
    if (translator == nullptr) {
        translator = new QTranslator(&app);
        translator->setObjectName(QStringLiteral("saedQtTranslator"));
    }
    QCoreApplication::removeTranslator(translator);
    if (language.language() == QLocale::English) return true;
    // qtbase holds the texts of the widgets, dialogs and standard buttons.
    if (!translator->load(language, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(translator);
}

QString settingsPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/saedindex.ini");
}

std::optional<model::Language> savedLanguage(const QString& path) {
    const QSettings settings(path, QSettings::IniFormat);
    const QString code = settings.value(QStringLiteral("language")).toString();
    if (code == u"zh") return model::Language::Chinese;
    if (code == u"en") return model::Language::English;
    return std::nullopt;
}

bool saveLanguage(model::Language language, const QString& path) {
    return writeSettings(path, {{QStringLiteral("language"), model::languageCode(language)}});
}

model::Language startLanguage(std::optional<model::Language> option, const QString& path) {
    if (option) return *option;
    if (const auto saved = savedLanguage(path)) return *saved;
    return model::systemLanguage();
}

bool installLanguage(QCoreApplication& app, model::Language language) {
    const bool program = model::installProgramTranslations(app, language);
    const bool qt = installQtTranslations(app, model::localeOf(language));
    return program && qt;
}

}  // namespace saed::app
