#include "platform/ControlFactory.h"

#include "platform/ControlServer.h"
#include "platform/Registry.h"

#include <QFile>
#include <QWidget>

#include <dlfcn.h>

namespace rt {

namespace {

void fail(QString* error, const QString& why)
{
    if (error)
        *error = why;
}

// The key's default value as text, or empty when the key or value is missing.
QString defaultString(const QString& subKey)
{
    HKEY key = 0;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, subKey, 0, reg::KEY_ALL_ACCESS, &key) != reg::ERROR_SUCCESS)
        return QString();
    std::uint32_t type = 0;
    QByteArray data;
    const long rc = RegQueryValueEx(key, QString(), &type, &data, 4096);
    RegCloseKey(key);
    if (rc != reg::ERROR_SUCCESS || type != reg::REG_SZ)
        return QString();
    if (data.endsWith('\0'))
        data.chop(1);
    return QString::fromUtf8(data);
}

// Libraries stay loaded for the life of the process: a control's code must outlive
// every control made from it, and the host cannot see when the last one goes.
void* openLibrary(const QString& path, QString* error)
{
    void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        fail(error, QString::fromLocal8Bit(dlerror()));
    return handle;
}

bool callRegistration(const QString& libraryPath, const QString& hivePath, const char* entry,
                      QString* error)
{
    void* library = openLibrary(libraryPath, error);
    if (!library)
        return false;
    const auto registration = reinterpret_cast<DllRegisterServerFn>(dlsym(library, entry));
    if (!registration) {
        fail(error, QStringLiteral("%1 has no %2").arg(libraryPath, QLatin1String(entry)));
        return false;
    }
    const auto setHive =
        reinterpret_cast<DllSetRegistryHiveFn>(dlsym(library, "DllSetRegistryHive"));
    if (!hivePath.isEmpty()) {
        if (!setHive) {
            fail(error, QStringLiteral("%1 cannot write another hive").arg(libraryPath));
            return false;
        }
        const QByteArray path = hivePath.toUtf8();
        if (setHive(path.constData()) != ResultOk) {
            fail(error, QStringLiteral("%1 refused the hive %2").arg(libraryPath, hivePath));
            return false;
        }
    }
    const std::int32_t rc = registration();
    if (setHive && !hivePath.isEmpty())
        setHive(nullptr);
    if (rc != ResultOk) {
        fail(error, QStringLiteral("%1 failed with 0x%2")
                        .arg(QLatin1String(entry))
                        .arg(static_cast<std::uint32_t>(rc), 8, 16, QLatin1Char('0')));
        return false;
    }
    return true;
}

} // namespace

QWidget* CreateControl(const QString& progId, QWidget* parent, QString* error)
{
    const QString classId = defaultString(classkeys::progIdClass(progId));
    if (classId.isEmpty()) {
        fail(error, QStringLiteral("class %1 is not registered").arg(progId));
        return nullptr;
    }
    const QString libraryPath = defaultString(classkeys::inprocServer(classId));
    if (libraryPath.isEmpty()) {
        fail(error, QStringLiteral("class %1 has no library").arg(progId));
        return nullptr;
    }
    void* library = openLibrary(libraryPath, error);
    if (!library)
        return nullptr;
    const auto getClassObject =
        reinterpret_cast<DllGetClassObjectFn>(dlsym(library, "DllGetClassObject"));
    if (!getClassObject) {
        fail(error, QStringLiteral("%1 is not a control library").arg(libraryPath));
        return nullptr;
    }
    void* object = nullptr;
    const QByteArray id = classId.toUtf8();
    if (getClassObject(id.constData(), &object) != ResultOk || !object) {
        fail(error, QStringLiteral("%1 does not make class %2").arg(libraryPath, classId));
        return nullptr;
    }
    QWidget* control = static_cast<ClassFactory*>(object)->CreateInstance(parent);
    if (!control)
        fail(error, QStringLiteral("class %1 refused to make a control").arg(progId));
    return control;
}

bool RegisterServer(const QString& libraryPath, const QString& hivePath, QString* error)
{
    return callRegistration(libraryPath, hivePath, "DllRegisterServer", error);
}

bool UnregisterServer(const QString& libraryPath, const QString& hivePath, QString* error)
{
    return callRegistration(libraryPath, hivePath, "DllUnregisterServer", error);
}

} // namespace rt
