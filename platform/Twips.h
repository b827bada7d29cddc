#pragma once

namespace rt {

// The runtime measured windows in twips: 1440 per logical inch, 15 a pixel at 96 DPI.
int twipsPerPixel();
int toPixels(int twips);
int toTwips(int pixels);

} // namespace rt
