#include "menulib/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtMath>

namespace tirnaval::twips {

double perPixel()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

int toPixels(double twips) { return qRound(twips / perPixel()); }

double fromPixels(int pixels) { return pixels * perPixel(); }

} // namespace tirnaval::twips
