#include "menulib/OleColor.h"

#include <QGuiApplication>
#include <QPalette>

namespace tirnaval::OleColor {

namespace {

QPalette::ColorRole roleOf(quint32 index)
{
    switch (index) {
    case 5: // window
        return QPalette::Base;
    case 6:  // window frame
    case 21: // 3-D dark shadow
        return QPalette::Shadow;
    case 7: // menu text
    case 8: // window text
        return QPalette::WindowText;
    case 16: // button shadow
        return QPalette::Dark;
    case 13:
        return QPalette::Highlight;
    case 14:
        return QPalette::HighlightedText;
    case 15:
        return QPalette::Button;
    case 17: // grey text
        return QPalette::PlaceholderText;
    case 18:
        return QPalette::ButtonText;
    case 20: // button highlight
        return QPalette::Light;
    case 22: // 3-D light
        return QPalette::Midlight;
    case 23:
        return QPalette::ToolTipText;
    case 24:
        return QPalette::ToolTipBase;
    default:
        return QPalette::Window;
    }
}

} // namespace

QColor toColor(quint32 value)
{
    if (value & 0x80000000u) {
        const quint32 index = value & 0xFFu;
        const QPalette palette = QGuiApplication::palette();
        // The palette has no workspace colour; a shade below the button shadow gives
        // the usual mid grey, on which highlighted (white) text stays readable.
        if (index == 12)
            return palette.color(QPalette::Dark).darker(125);
        return palette.color(roleOf(index));
    }
    return QColor(int(value & 0xFFu), int((value >> 8) & 0xFFu), int((value >> 16) & 0xFFu));
}

} // namespace tirnaval::OleColor
