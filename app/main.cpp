// The window program: saedindex [--lang zh|en] [image]
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "app/form1.h"
#include "app/guardedapplication.h"
#include "model/mainmodel.h"
#include "app/qtprompts.h"
#include "app/translations.h"
#include "measure/imagemeasurement.h"
#include "model/language.h"

int main(int argc, char* argv[]) {
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
