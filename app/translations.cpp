#include "app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace saed::app {

bool installQtTranslations(QCoreApplication& app, const QLocale& language) {
    // One translator object, kept as a child of the application and loaded anew on each call.
    auto* translator = app.findChild<QTranslator*>(QStringLiteral("saedQtTranslator"), Qt::FindDirectChildrenOnly);
    if (translator == nullptr) {
        translator = new QTranslator(&app);
        translator->setObjectName(QStringLiteral("saedQtTranslator"));
    }
    QCoreApplication::removeTranslator(translator);
    // qtbase holds the texts of the widgets, dialogs and standard buttons.
    if (!translator->load(language, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(translator);
}

}  // namespace saed::app
