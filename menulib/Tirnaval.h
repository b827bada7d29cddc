#pragma once
// Tirnaval, the control library. A host makes its controls by registered class
// (ProgID, below) through the platform's rt::CreateControl and talks to them through
// their meta-object only, so it links nothing of this library:
//
// "Tirnaval.Tirnavex", the panel menu (up to three panels of up to eight buttons):
//   Q_INVOKABLE bool AddPanel(QString PanelCaption, QString PanelKey)
//   Q_INVOKABLE bool AddButton(QString mnKey, QString bCaption, QString bKey,
//                              QPixmap bImage, QString ToolTip)
//       Both return false, changing nothing, when the panel or button slots are full.
//       AddButton for a key that no panel has adds nothing and returns true.
//   signal ButtonClick(QString MenuKey, QString ButtonKey)
//   signal MenuClick(QString MenuKey)       after the panel has slid open
//
// "Tirnaval.CoolButton", the flat hover button:
//   properties BackColor, ForeColor (uint: 0x00BBGGRR, or 0x800000nn for system
//   colour nn), Caption, ButtonToolTip (QString), Font (QFont), Picture (QPixmap),
//   CoolBorder (bool)
//   signals MouseDown, MouseMove, MouseUp (int Button, int Shift, float X, float Y),
//   Click(), PropertyChanged(QString PropertyName)
//
// Registration (see platform/ControlServer.h for the keys and result codes): the
// two registration calls write the hive set by DllSetRegistryHive, by default the
// file "Vantrel.REG" in the folder of this library file.
#include "menulib/TirnavalGlobal.h"

#include <cstdint>

namespace tirnaval {
inline constexpr char TirnavexProgId[] = "Tirnaval.Tirnavex";
inline constexpr char CoolButtonProgId[] = "Tirnaval.CoolButton";
} // namespace tirnaval

extern "C" {
TIRNAVAL_EXPORT std::int32_t DllRegisterServer(void);
TIRNAVAL_EXPORT std::int32_t DllUnregisterServer(void);
TIRNAVAL_EXPORT std::int32_t DllGetClassObject(const char* classId, void** factory);
TIRNAVAL_EXPORT std::int32_t DllCanUnloadNow(void);
// path: UTF-8; null or "" returns to the hive beside the library. Always succeeds.
TIRNAVAL_EXPORT std::int32_t DllSetRegistryHive(const char* path);
}
