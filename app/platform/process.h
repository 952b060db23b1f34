#pragma once

namespace mirunea {

// Settings of the process made once at start-up, before the toolkit: on POSIX
// a file-size limit makes a write fail with EFBIG instead of ending the process
// with SIGXFSZ, and the code page 932 tables are built while few descriptors
// are in use (their converter needs some of its own).
void prepareProcess();

// While an object of this class lives, requests to end the process (SIGTERM,
// SIGHUP, SIGINT on POSIX) wait; they take effect when the last one goes, so
// a file written meanwhile is never left cut off by them. One thread only.
class TerminationRequestsHeld
{
public:
    TerminationRequestsHeld();
    ~TerminationRequestsHeld();
    TerminationRequestsHeld(const TerminationRequestsHeld&) = delete;
    TerminationRequestsHeld& operator=(const TerminationRequestsHeld&) = delete;
};

} // namespace mirunea
