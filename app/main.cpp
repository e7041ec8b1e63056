// SPDX-License-Identifier: BSD-3-Clause
// The window program: saedindex [--lang zh|en] [image]
#include <cstdio>
#include <cstdlib>
#include <optional>

#include <QCoreApplication>
#include <QTextStream>

#include "app/form1.h"
#include "app/guardedapplication.h"
#include "app/indexnotation.h"
#include "model/mainmodel.h"
#include "app/qtprompts.h"
#include "app/translations.h"
#include "measure/imagemeasurement.h"
#include "model/language.h"

namespace {

struct Main {
    Q_DECLARE_TR_FUNCTIONS(saed::app::Main)
};

const char kUsage[] = QT_TRANSLATE_NOOP("saed::app::Main",
    "用法：saedindex [--lang zh|en] [图像文件]\n"
    "\n"
    "打开标定窗口；给出图像文件（.dm3/.dm4、TIFF、MRC、PNG 等）时打开该图像。\n"
    "\n"
    "  --lang zh|en  本次启动的界面语言\n"
    "  --version     版本\n"
    "  --help        本说明\n"
    "\n"
    "不开窗口的同样操作见 saedindex-cli --help。\n");

// --version, --help and an option the program does not know are answered on the terminal,
// without a window or a display; -1 when the window is to open.
int answerWithoutWindow(int argc, char* argv[]) {
    bool version = false, help = false;
    QString unknown;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == QStringLiteral("--lang")) {
            ++i;
        } else if (a == QStringLiteral("--version")) {
            version = true;
        } else if (a == QStringLiteral("--help") || a == QStringLiteral("-h")) {
            help = true;
        } else if (a.startsWith(u'-') && !a.startsWith(QStringLiteral("--lang=")) && unknown.isEmpty()) {
            unknown = a;
        }
    }
    if (!version && !help && unknown.isEmpty()) return -1;
    QCoreApplication core(argc, argv);
    QStringList args = QCoreApplication::arguments();
    QString error;
    saed::model::installProgramTranslations(core, saed::model::systemLanguage());
    if (const auto language = saed::model::takeLanguageOption(args, &error))
        saed::model::installProgramTranslations(core, *language);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!unknown.isEmpty() && !version && !help) {
        err << "saedindex: " << Main::tr("未知选项 %1").arg(unknown) << "\n\n" << Main::tr(kUsage);
        return 2;
    }
    if (version)
        out << "saedindex " << QStringLiteral(SAED_VERSION) << '\n';
    else
        out << Main::tr(kUsage);
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (const int answered = answerWithoutWindow(argc, argv); answered >= 0) return answered;
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
        std::getenv("QT_QPA_PLATFORM") == nullptr) {
        std::fprintf(stderr,
                     "saedindex needs a display. Start it on a desktop, or under a virtual one:\n"
                     "  xvfb-run -a saedindex\n");
        return 2;
    }
    saed::app::GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("saedindex"));
    QApplication::setOrganizationName(QStringLiteral("saedindex"));

    // --lang zh|en, else the choice made in the window, else the system's language. A bad value
    // is told in the system's language.
    QStringList args = QApplication::arguments();
    QString error;
    saed::model::installProgramTranslations(app, saed::model::systemLanguage());
    const std::optional<saed::model::Language> option = saed::model::takeLanguageOption(args, &error);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "saedindex: %s\n", error.toLocal8Bit().constData());
        return 2;
    }
    const saed::model::Language language = saed::app::startLanguage(option);
    if (!saed::model::installProgramTranslations(app, language))
        std::fprintf(stderr, "saedindex: the English texts are missing from this build; the window reads in Chinese\n");
    if (!saed::app::installQtTranslations(app, saed::model::localeOf(language)))
        std::fprintf(stderr, "saedindex: Qt's Chinese translations are not installed (qt6-translations-l10n); "
                             "dialog buttons read in English\n");

    saed::model::MainModel model;
    // Three or four indices on display, as last chosen.
    model.setFourIndex(saed::app::savedFourIndex(saed::app::settingsPath()));
    QObject::connect(&model, &saed::model::MainModel::fourIndexChanged, &model, [&model](bool on) {
        if (!saed::app::saveFourIndex(on, saed::app::settingsPath()))
            model.showStatus(QCoreApplication::translate("saed::app::Main", "无法保存四指数设置：%1")
                                 .arg(saed::app::settingsPath()));
    });
    saed::app::QtPrompts prompts;
    saed::app::Form1 window(model, prompts);
    prompts.setParent(&window);
    app.setPrompts(&prompts);
    window.show();
    // saedindex IMAGE opens that image as if it had been chosen with "打开".
    if (args.size() > 1) {
        window.imageMeasurement()->openPath(args.at(1));
    }
    return app.exec();
}
