#include "platform/App.h"

#include "platform/TextFile.h"

#include <QCoreApplication>

namespace rt {

namespace {
QString& folder()
{
    static QString value;
    return value;
}
} // namespace

QString App::path()
{
    if (folder().isEmpty() && QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return folder();
}

void App::setPath(const QString& value) { folder() = value; }

QString App::file(const QString& name) { return findFileNoCase(path(), name); }

} // namespace rt
