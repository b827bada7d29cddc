// The library as an in-process control server: the four self-registration entry
// points and the factories of its two public classes.
#include "menulib/Server.h"

#include "menulib/CoolButton.h"
#include "menulib/Tirnaval.h"
#include "menulib/Tirnavex.h"
#include "platform/ControlServer.h"
#include "platform/RegistryHive.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QString>

#include <atomic>
#include <dlfcn.h>

namespace {

struct ControlClass {
    const char* progId;
    const char* classId;
    const char* name;
};

constexpr char kLibraryName[] = "Tirnaval";
constexpr char kTypeLibId[] = "{258B7B04-9F12-4779-AAB1-1591500F3CA3}";
constexpr char kTypeLibVersion[] = "1.0";

constexpr ControlClass kTirnavex{tirnaval::TirnavexProgId, "{00322D96-67F7-4D08-82FE-7F46DD847D99}",
                                 "Tirnavex"};
constexpr ControlClass kCoolButton{tirnaval::CoolButtonProgId,
                                   "{CCCA7FD2-5E5D-4864-8DB5-1FE8C511475A}", "CoolButton"};
constexpr ControlClass kClasses[] = {kTirnavex, kCoolButton};

std::atomic<int> liveObjectCount{0};

QString& hiveOverride()
{
    static QString path;
    return path;
}

QString libraryPath()
{
    Dl_info info{};
    if (!dladdr(reinterpret_cast<const void*>(&DllRegisterServer), &info) || !info.dli_fname)
        return QString();
    return QFileInfo(QFile::decodeName(info.dli_fname)).absoluteFilePath();
}

QString hivePath()
{
    if (!hiveOverride().isEmpty())
        return hiveOverride();
    const QString library = libraryPath();
    if (library.isEmpty())
        return QString();
    return QFileInfo(library).absoluteDir().filePath(rt::RegistryHive::defaultFileName());
}

QString key(const QString& relative)
{
    return rt::classkeys::root() + QLatin1Char('\\') + relative;
}

bool canMakeWidgets() { return qobject_cast<QApplication*>(QCoreApplication::instance()); }

template <typename Control> class Factory final : public rt::ClassFactory {
public:
    QWidget* CreateInstance(QWidget* parent) override
    {
        return canMakeWidgets() ? new Control(parent) : nullptr;
    }
};

Factory<Tirnavex> tirnavexFactory;
Factory<CoolButton> coolButtonFactory;

void removeClasses(rt::RegistryHive& hive)
{
    for (const ControlClass& c : kClasses) {
        hive.removeTree(key(QLatin1String(c.progId)));
        hive.removeTree(key(rt::classkeys::classKey(QLatin1String(c.classId))));
    }
    hive.removeTree(key(rt::classkeys::typeLib(QLatin1String(kTypeLibId))));
}

} // namespace

namespace tirnaval::server {

void objectCreated() { ++liveObjectCount; }
void objectDestroyed() { --liveObjectCount; }
int liveObjects() { return liveObjectCount; }

} // namespace tirnaval::server

extern "C" {

std::int32_t DllRegisterServer(void)
{
    const QString library = libraryPath();
    const QString path = hivePath();
    if (library.isEmpty() || path.isEmpty())
        return rt::ResultRegisterClass;
    rt::RegistryHive hive;
    if (!hive.load(path))
        return rt::ResultRegisterClass;
    // Registering again replaces what an older copy wrote, wherever it lay.
    removeClasses(hive);
    const QString libId = QLatin1String(kTypeLibId);
    for (const ControlClass& c : kClasses) {
        const QString progId = QLatin1String(c.progId);
        const QString classId = QLatin1String(c.classId);
        hive.setString(key(progId), QString(), QLatin1String(c.name));
        hive.setString(key(rt::classkeys::progIdClass(progId)), QString(), classId);
        hive.setString(key(rt::classkeys::classKey(classId)), QString(), progId);
        hive.setString(key(rt::classkeys::inprocServer(classId)), QString(), library);
        hive.setString(key(rt::classkeys::classKey(classId) + QStringLiteral("\\ProgID")),
                       QString(), progId);
        hive.setString(key(rt::classkeys::classKey(classId) + QStringLiteral("\\TypeLib")),
                       QString(), libId);
    }
    const QString typeLib =
        key(rt::classkeys::typeLib(libId) + QLatin1Char('\\') + QLatin1String(kTypeLibVersion));
    hive.setString(typeLib, QString(), QLatin1String(kLibraryName));
    hive.setString(typeLib, QStringLiteral("Path"), library);
    return hive.save(path) ? rt::ResultOk : rt::ResultRegisterClass;
}

std::int32_t DllUnregisterServer(void)
{
    const QString path = hivePath();
    if (path.isEmpty())
        return rt::ResultRegisterClass;
    rt::RegistryHive hive;
    if (!hive.load(path))
        return rt::ResultRegisterClass;
    removeClasses(hive);
    return hive.save(path) ? rt::ResultOk : rt::ResultRegisterClass;
}

std::int32_t DllGetClassObject(const char* classId, void** factory)
{
    if (!factory)
        return rt::ResultPointer;
    *factory = nullptr;
    if (!classId)
        return rt::ResultClassNotAvailable;
    const QString wanted = QString::fromUtf8(classId);
    if (wanted.compare(QLatin1String(kTirnavex.classId), Qt::CaseInsensitive) == 0)
        *factory = static_cast<rt::ClassFactory*>(&tirnavexFactory);
    else if (wanted.compare(QLatin1String(kCoolButton.classId), Qt::CaseInsensitive) == 0)
        *factory = static_cast<rt::ClassFactory*>(&coolButtonFactory);
    return *factory ? rt::ResultOk : rt::ResultClassNotAvailable;
}

std::int32_t DllCanUnloadNow(void)
{
    return tirnaval::server::liveObjects() == 0 ? rt::ResultOk : rt::ResultFalse;
}

std::int32_t DllSetRegistryHive(const char* path)
{
    hiveOverride() = path ? QString::fromUtf8(path) : QString();
    return rt::ResultOk;
}

} // extern "C"
