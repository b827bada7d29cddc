#include "platform/End.h"

#include <cstdio>
#include <unistd.h>

namespace rt {

namespace {
EndHandler& handler()
{
    static EndHandler value;
    return value;
}
} // namespace

void setEndHandler(EndHandler value) { handler() = std::move(value); }

void End()
{
    if (handler()) {
        handler()();
        throw ProgramEnded{};
    }
    std::fflush(nullptr);
    _exit(0);
}

} // namespace rt
