#pragma once
// Positions of the controls are kept in twips (1/1440 inch) and become pixels only
// when a widget is moved, as the controls were designed.
namespace tirnaval::twips {

double perPixel(); // 1440 / logical DPI: 15 at 96 DPI
int toPixels(double twips);
double fromPixels(int pixels);

} // namespace tirnaval::twips
