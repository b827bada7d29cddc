#include "platform/Registry.h"

#include "platform/App.h"
#include "platform/RegistryHive.h"

#include <QHash>

namespace rt {

namespace {

struct OpenKey {
    QString path;
    RegistryHive hive; // the snapshot taken when the key was opened
};

QHash<HKEY, OpenKey>& openKeys()
{
    static QHash<HKEY, OpenKey> keys;
    return keys;
}

HKEY nextHandle()
{
    // Handles of opened keys stay clear of the predefined roots (0x80000000 and up).
    static HKEY next = 0;
    do {
        next = next >= 0x7FFFFFFFu ? 1 : next + 1;
    } while (openKeys().contains(next));
    return next;
}

QString rootName(HKEY root)
{
    switch (root) {
    case HKEY_CLASSES_ROOT:
        return QStringLiteral("HKEY_CLASSES_ROOT");
    case HKEY_CURRENT_USER:
        return QStringLiteral("HKEY_CURRENT_USER");
    case HKEY_LOCAL_MACHINE:
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    case HKEY_USERS:
        return QStringLiteral("HKEY_USERS");
    default:
        return QString();
    }
}

} // namespace

QString RegistryHivePath() { return App::file(RegistryHive::defaultFileName()); }

long RegOpenKeyEx(HKEY root, const QString& subKey, std::uint32_t, std::uint32_t, HKEY* result)
{
    if (!result)
        return reg::ERROR_INVALID_HANDLE;
    *result = 0;
    QString base;
    RegistryHive hive;
    if (openKeys().contains(root)) {
        base = openKeys().value(root).path;
        hive = openKeys().value(root).hive;
    } else {
        base = rootName(root);
        if (base.isEmpty())
            return reg::ERROR_INVALID_HANDLE;
        if (!hive.load(RegistryHivePath()))
            return reg::ERROR_ACCESS_DENIED;
    }
    const QString path = RegistryHive::normalizedPath(base + QLatin1Char('\\') + subKey);
    if (!hive.hasKey(path))
        return reg::ERROR_FILE_NOT_FOUND;
    const HKEY handle = nextHandle();
    openKeys().insert(handle, OpenKey{path, hive});
    *result = handle;
    return reg::ERROR_SUCCESS;
}

long RegQueryValueEx(HKEY key, const QString& valueName, std::uint32_t* type, QByteArray* data,
                     std::uint32_t bufferSize)
{
    const auto open = openKeys().constFind(key);
    if (open == openKeys().constEnd())
        return reg::ERROR_INVALID_HANDLE;
    const auto value = open->hive.value(open->path, valueName);
    if (!value)
        return reg::ERROR_FILE_NOT_FOUND;
    QByteArray bytes;
    if (value->type == RegistryHive::DWord) {
        for (int i = 0; i < 4; ++i)
            bytes.append(static_cast<char>((value->number >> (8 * i)) & 0xFFu));
    } else {
        bytes = value->text.toUtf8();
        bytes.append('\0');
    }
    if (static_cast<std::uint64_t>(bytes.size()) > bufferSize)
        return reg::ERROR_MORE_DATA;
    if (type)
        *type = value->type;
    if (data)
        *data = bytes;
    return reg::ERROR_SUCCESS;
}

long RegCloseKey(HKEY key)
{
    return openKeys().remove(key) ? reg::ERROR_SUCCESS : reg::ERROR_INVALID_HANDLE;
}

} // namespace rt
