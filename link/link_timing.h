#pragma once

namespace kvel {

// The pauses and bounds of one transaction. The real values are the defaults; tests that
// need many transactions against the simulator may pass shorter ones.
struct LinkTiming {
    int readPauseMs = 100;        // after a read request, before the reply is received
    int writePauseMs = 200;       // after a single-register write (function 6)
    int writeManyPauseMs = 1000;  // after a multiple-register write (function 16)
    int completionWaitMs = 500;   // bound of every send and every receive
    int quietMs = 10;             // a reception ends this long after its last byte
    int coeffWritePauseMs = 100;  // after each coefficient written to the module
    int linkWritePauseMs = 1000;  // after the first generation's link settings write
};

inline constexpr LinkTiming kLinkTiming{};

}  // namespace kvel
