#include "i18n/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace vexil {

bool installQtTranslations(QCoreApplication& app, const QString& language) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_") + language,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

}  // namespace vexil
