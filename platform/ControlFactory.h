#pragma once
// Controls of a control library, made by their registered class (ProgID): the hive
// names the library file, the library hands out a factory. The host then talks to
// the control through its meta-object only (invokable methods, signals, properties).
#include <QString>

class QWidget;

namespace rt {

// The control, a child of parent, or null when the class is not registered, its
// library cannot be loaded or it refuses; error (when given) then says why. The
// hive is the one RegistryHivePath() names.
QWidget* CreateControl(const QString& progId, QWidget* parent, QString* error = nullptr);

// Self-registration of a control library, as the installation does it: loads the
// library and calls its DllRegisterServer / DllUnregisterServer, pointed at hivePath
// (empty: the library's own default, the hive beside it).
bool RegisterServer(const QString& libraryPath, const QString& hivePath, QString* error = nullptr);
bool UnregisterServer(const QString& libraryPath, const QString& hivePath,
                      QString* error = nullptr);

} // namespace rt
