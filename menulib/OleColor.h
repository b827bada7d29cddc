#pragma once
// Colours as the controls' properties hold them: 0x00BBGGRR, or 0x800000nn for the
// system colour number nn, which follows the application's palette.
#include <QColor>

namespace tirnaval::OleColor {

inline constexpr quint32 White = 0x00FFFFFFu;
inline constexpr quint32 WindowText = 0x80000008u;
inline constexpr quint32 AppWorkspace = 0x8000000Cu;
inline constexpr quint32 HighlightText = 0x8000000Eu;
inline constexpr quint32 ButtonFace = 0x8000000Fu;
inline constexpr quint32 ButtonText = 0x80000012u;

QColor toColor(quint32 value);

} // namespace tirnaval::OleColor
