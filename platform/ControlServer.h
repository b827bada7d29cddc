#pragma once
// The contract between a control library (an in-process control server) and the host
// that creates its controls. Header-only: both sides include it, neither links the
// other.
//
// A control library exports, with C linkage:
//   int32_t DllRegisterServer(void);        writes its classes into the registry hive
//   int32_t DllUnregisterServer(void);      removes them
//   int32_t DllGetClassObject(const char* classId, void** factory);
//                                           *factory becomes an rt::ClassFactory*
//   int32_t DllCanUnloadNow(void);          ResultOk when none of its objects is alive
// and may export
//   int32_t DllSetRegistryHive(const char* path);
//                                           UTF-8 path of the hive that the two
//                                           registration calls write; null or "" goes
//                                           back to the library's default
//
// Registration keys, all under HKEY_CLASSES_ROOT:
//   <ProgID>\CLSID                  @ = the class id, "{XXXXXXXX-XXXX-...}"
//   CLSID\<class id>                @ = the ProgID
//   CLSID\<class id>\InprocServer32 @ = absolute path of the library file
//   CLSID\<class id>\ProgID         @ = the ProgID
//   CLSID\<class id>\TypeLib        @ = the library's type-library id
//   TypeLib\<id>\<version>          @ = the library's name, "Path" = the library file
#include <QString>

#include <cstdint>

class QWidget;

namespace rt {

// Result codes keep the registry's and the control runtime's numbers.
inline constexpr std::int32_t ResultOk = 0;
inline constexpr std::int32_t ResultFalse = 1;
inline constexpr std::int32_t ResultFail = static_cast<std::int32_t>(0x80004005u);
inline constexpr std::int32_t ResultPointer = static_cast<std::int32_t>(0x80004003u);
inline constexpr std::int32_t ResultClassNotAvailable = static_cast<std::int32_t>(0x80040111u);
inline constexpr std::int32_t ResultRegisterClass = static_cast<std::int32_t>(0x80040201u);

class ClassFactory {
public:
    // Null when the control cannot be made (no widget application is running).
    virtual QWidget* CreateInstance(QWidget* parent) = 0;

protected:
    ~ClassFactory() = default;
};

extern "C" {
using DllRegisterServerFn = std::int32_t (*)();
using DllUnregisterServerFn = std::int32_t (*)();
using DllGetClassObjectFn = std::int32_t (*)(const char* classId, void** factory);
using DllCanUnloadNowFn = std::int32_t (*)();
using DllSetRegistryHiveFn = std::int32_t (*)(const char* path);
}

namespace classkeys {
// The root the keys below live under; the functions give paths relative to it.
inline QString root() { return QStringLiteral("HKEY_CLASSES_ROOT"); }
inline QString progIdClass(const QString& progId) { return progId + QStringLiteral("\\CLSID"); }
inline QString classKey(const QString& classId) { return QStringLiteral("CLSID\\") + classId; }
inline QString inprocServer(const QString& classId)
{
    return classKey(classId) + QStringLiteral("\\InprocServer32");
}
inline QString typeLib(const QString& libId) { return QStringLiteral("TypeLib\\") + libId; }
} // namespace classkeys

} // namespace rt
