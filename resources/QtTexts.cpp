#include "resources/QtTexts.h"

#include <QCoreApplication>
#include <QString>
#include <QTranslator>

namespace resources {

bool InstallQtTexts(QCoreApplication& application)
{
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral(":/translations/qtbase_el.qm"))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace resources
