#include "resources/QtTexts.h"

#include <QCoreApplication>
#include <QLocale>
#include <QString>
#include <QTranslator>

namespace resources {

bool InstallQtTexts(QCoreApplication& application)
{
    // The names the toolkit takes from the locale (the file types of the file dialogs)
    // in Greek too. The program's own dates, times and numbers never follow the locale:
    // they are pinned (platform/Formats).
    QLocale::setDefault(QLocale(QLocale::Greek, QLocale::Greece));
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral(":/translations/qtbase_el.qm"))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace resources
