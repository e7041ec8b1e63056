// SPDX-License-Identifier: BSD-3-Clause
#include "model/language.h"

#include <QCoreApplication>
#include <QTranslator>

namespace saed::model {

namespace {

Language installed = Language::Chinese;

// The catalogues built from translations/*.ts and kept as resources under :/i18n.
const char* const kCatalogues[] = {"saedindex", "saedindex-cli"};

}  // namespace

std::optional<Language> parseLanguage(QStringView code) {
    const QString lower = code.trimmed().toString().toLower();
    if (lower == u"zh" || lower.startsWith(u"zh_") || lower.startsWith(u"zh-") || lower.startsWith(u"zh.") ||
        lower == u"chinese")
        return Language::Chinese;
    if (lower == u"en" || lower.startsWith(u"en_") || lower.startsWith(u"en-") || lower.startsWith(u"en.") ||
        lower == u"english")
        return Language::English;
    return std::nullopt;
}

QString languageCode(Language language) {
    return language == Language::English ? QStringLiteral("en") : QStringLiteral("zh");
}

QLocale localeOf(Language language) {
    if (language == Language::English) return QLocale(QLocale::English, QLocale::UnitedStates);
    return QLocale(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);
}

Language systemLanguage() {
    const QString list = qEnvironmentVariable("LANGUAGE");
    for (const QString& entry : list.split(u':', Qt::SkipEmptyParts))
        if (const auto language = parseLanguage(entry)) return *language;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(name);
        if (value.isEmpty()) continue;
        return parseLanguage(value).value_or(Language::Chinese);
    }
    return Language::Chinese;
}

std::optional<Language> takeLanguageOption(QStringList& args, QString* error) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString value;
        qsizetype taken = 0;
        if (args.at(i) == u"--lang") {
            taken = 2;
            if (i + 1 < args.size()) value = args.at(i + 1);
        } else if (args.at(i).startsWith(u"--lang=")) {
            taken = 1;
            value = args.at(i).mid(7);
        } else {
            continue;
        }
        args.remove(i, std::min(taken, args.size() - i));
        if (value == u"zh") return Language::Chinese;
        if (value == u"en") return Language::English;
        if (error != nullptr)
            *error = QCoreApplication::translate("saed::model::Language", "--lang 只接受 zh 或 en，而不是“%1”")
                         .arg(value);
        return std::nullopt;
    }
    return std::nullopt;
}

bool installProgramTranslations(QCoreApplication& app, Language language) {
    bool complete = true;
    for (const char* catalogue : kCatalogues) {
        const QString name = QStringLiteral("saedCatalogue_") + QLatin1String(catalogue);
        auto* translator = app.findChild<QTranslator*>(name, Qt::FindDirectChildrenOnly);
        if (translator == nullptr) {
            translator = new QTranslator(&app);
            translator->setObjectName(name);
        }
        QCoreApplication::removeTranslator(translator);
        if (language == Language::Chinese) continue;
        if (translator->load(QLatin1String(catalogue) + QStringLiteral("_en"), QStringLiteral(":/i18n")))
            QCoreApplication::installTranslator(translator);
        else
            complete = false;
    }
    installed = language;
    return complete;
}

Language currentLanguage() { return installed; }

}  // namespace saed::model
