#include "platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace rt {

int twipsPerPixel()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return dpi > 0 ? static_cast<int>(std::lround(1440.0 / dpi)) : 15;
}

int toPixels(int twips) { return static_cast<int>(std::lround(double(twips) / twipsPerPixel())); }

int toTwips(int pixels) { return pixels * twipsPerPixel(); }

} // namespace rt
