#include "app/platform/process.h"

#include "app/text/cp932_tables.h"

#include <csignal>
#include <exception>
#include <signal.h>

namespace mirunea {

void prepareProcess()
{
    std::signal(SIGXFSZ, SIG_IGN);
    // The tables are copied out of the program's own data; doing it now keeps
    // the first keystroke and the send from paying for it.
    try {
        (void)cp932::decodeTable();
        (void)cp932::encodeTable();
    } catch (const std::exception&) {
        // Only memory can fail here; tried again on first use and reported then.
    }
}

namespace {
int heldDepth = 0;
sigset_t maskBeforeHolding;
} // namespace

TerminationRequestsHeld::TerminationRequestsHeld()
{
    if (heldDepth++ > 0)
        return;
    sigset_t requests;
    sigemptyset(&requests);
    sigaddset(&requests, SIGTERM);
    sigaddset(&requests, SIGHUP);
    sigaddset(&requests, SIGINT);
    ::pthread_sigmask(SIG_BLOCK, &requests, &maskBeforeHolding);
}

TerminationRequestsHeld::~TerminationRequestsHeld()
{
    // A request that came meanwhile is delivered here, as it would have been.
    if (--heldDepth == 0)
        ::pthread_sigmask(SIG_SETMASK, &maskBeforeHolding, nullptr);
}

} // namespace mirunea
