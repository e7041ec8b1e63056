// SPDX-License-Identifier: BSD-3-Clause
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "model/language.h"

namespace saed::model {
namespace {

TEST(Language, CodesAndTheSystemsChoice) {
    for (const auto& [code, language] : {std::pair<const char16_t*, std::optional<Language>>{u"zh_CN.UTF-8", Language::Chinese},
                                         {u"en_GB.UTF-8", Language::English}, {u"en", Language::English},
                                         {u"de_DE.UTF-8", std::nullopt}, {u"C.UTF-8", std::nullopt}, {u"eng", std::nullopt}})
        EXPECT_EQ(parseLanguage(code), language) << QString::fromUtf16(code).toStdString();

    // LANGUAGE's first Chinese or English entry wins over LANG; otherwise LC_ALL before LANG;
    // a locale that is neither falls back to Chinese.
    qputenv("LANGUAGE", "de:en_US:zh_CN");
    qputenv("LC_ALL", "");
    qputenv("LC_MESSAGES", "");
    qputenv("LANG", "zh_CN.UTF-8");
    EXPECT_EQ(systemLanguage(), Language::English);
    qputenv("LANGUAGE", "");
    EXPECT_EQ(systemLanguage(), Language::Chinese);
    qputenv("LC_ALL", "en_US.UTF-8");
    EXPECT_EQ(systemLanguage(), Language::English);
    qputenv("LC_ALL", "C.UTF-8");
    EXPECT_EQ(systemLanguage(), Language::Chinese);
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) qunsetenv(name);
    EXPECT_EQ(systemLanguage(), Language::Chinese);
}

// The option is taken wherever it stands; a bad value is refused in the installed language.
TEST(Language, TheLangOptionIsTakenWhereverItStandsAndABadValueIsToldInTheProgramsLanguage) {
    QString error;
    QStringList args{QStringLiteral("index"), QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("--range")};
    EXPECT_EQ(takeLanguageOption(args, &error), Language::English);
    EXPECT_EQ(args, (QStringList{QStringLiteral("index"), QStringLiteral("--range")}));
    args = {QStringLiteral("--lang=zh"), QStringLiteral("calc")};
    EXPECT_EQ(takeLanguageOption(args, &error), Language::Chinese);
    EXPECT_EQ(args, QStringList{QStringLiteral("calc")});
    EXPECT_TRUE(error.isEmpty());

    args = {QStringLiteral("calc"), QStringLiteral("--lang")};
    EXPECT_EQ(takeLanguageOption(args, &error), std::nullopt);
    EXPECT_EQ(args, QStringList{QStringLiteral("calc")});
    EXPECT_FALSE(error.isEmpty());

    auto& app = *QCoreApplication::instance();
    ASSERT_TRUE(installProgramTranslations(app, Language::English));
    EXPECT_EQ(currentLanguage(), Language::English);
    args = {QStringLiteral("--lang"), QStringLiteral("fr")};
    EXPECT_EQ(takeLanguageOption(args, &error), std::nullopt);
    EXPECT_EQ(error, QStringLiteral("--lang accepts only zh or en, not “fr”"));

    ASSERT_TRUE(installProgramTranslations(app, Language::Chinese));
    EXPECT_EQ(currentLanguage(), Language::Chinese);
    args = {QStringLiteral("--lang"), QStringLiteral("fr")};
    takeLanguageOption(args, &error);
    EXPECT_EQ(error, QStringLiteral("--lang 只接受 zh 或 en，而不是“fr”"));
}

}  // namespace
}  // namespace saed::model
