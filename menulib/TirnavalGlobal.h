#pragma once
// The library is built with hidden symbols; what is marked here is its interface.
#define TIRNAVAL_EXPORT __attribute__((visibility("default")))
