#pragma once
// Book-keeping of the library as an in-process server: whether any of its controls
// is alive (so that the host may unload it).
namespace tirnaval::server {

void objectCreated();
void objectDestroyed();
int liveObjects();

} // namespace tirnaval::server
