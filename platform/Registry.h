#pragma once
// The registry as the program uses it: open a key, query a string or double-word
// value, close. It reads the text hive of the program folder (RegistryHive.h).
#include <QByteArray>
#include <QString>

#include <cstdint>

namespace rt {

using HKEY = std::uint32_t;

inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKEY HKEY_USERS = 0x80000003u;

namespace reg {
inline constexpr long ERROR_SUCCESS = 0;
inline constexpr long ERROR_FILE_NOT_FOUND = 2;
inline constexpr long ERROR_ACCESS_DENIED = 5;
inline constexpr long ERROR_INVALID_HANDLE = 6;
inline constexpr long ERROR_MORE_DATA = 234;
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_DWORD = 4;
inline constexpr std::uint32_t KEY_ALL_ACCESS = 0xF003F;
} // namespace reg

// The hive file the calls below read: RegistryHive::defaultFileName() in the program
// folder (App::path), its name found without regard to letter case.
QString RegistryHivePath();

// Opens HKEY root\subKey. The key's values are read when it opens; later changes of
// the file are not seen through this handle. options and samDesired are accepted for
// the callers' sake; the hive is read-only here.
long RegOpenKeyEx(HKEY root, const QString& subKey, std::uint32_t options, std::uint32_t samDesired,
                  HKEY* result);

// Fills type and data as the registry does: a string is its UTF-8 bytes (the form
// file names take on this system) followed by one zero byte; a double-word is four
// bytes, least significant first. When data would exceed bufferSize bytes, nothing is
// copied and ERROR_MORE_DATA returns. An empty valueName is the key's default value.
long RegQueryValueEx(HKEY key, const QString& valueName, std::uint32_t* type, QByteArray* data,
                     std::uint32_t bufferSize);

long RegCloseKey(HKEY key);

} // namespace rt
