// The window program: saedindex [image]
#include <cstdio>
#include <cstdlib>

#include "app/form1.h"
#include "app/guardedapplication.h"
#include "model/mainmodel.h"
#include "app/qtprompts.h"
#include "app/translations.h"
#include "measure/imagemeasurement.h"

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
    if (!saed::app::installQtTranslations(app))
        std::fprintf(stderr, "saedindex: Qt's Chinese translations are not installed (qt6-translations-l10n); "
                             "dialog buttons read in English\n");

    saed::model::MainModel model;
    saed::app::QtPrompts prompts;
    saed::app::Form1 window(model, prompts);
    prompts.setParent(&window);
    app.setPrompts(&prompts);
    window.show();
    // saedindex IMAGE opens that image as if it had been chosen with "打开".
    if (const QStringList args = QApplication::arguments(); args.size() > 1) {
        window.imageMeasurement()->openPath(args.at(1));
    }
    return app.exec();
}
