#include "platform/End.h"

#include <cstdio>
#include <unistd.h>

// A build with the address or leak sanitizer checks for leaks when the process exits
// normally; an end through _exit skips that, so the check runs here instead.
#if defined(__SANITIZE_ADDRESS__)
#define VANTREL_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(leak_sanitizer)
#define VANTREL_LEAK_CHECK 1
#endif
#endif
#ifdef VANTREL_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

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
#ifdef VANTREL_LEAK_CHECK
    // Does nothing unless leak detection is on; a leak found ends the process the way
    // the sanitizer's options say (its exit code, or an abort).
    __lsan_do_leak_check();
#endif
    _exit(0);
}

} // namespace rt
