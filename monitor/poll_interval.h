#pragma once

namespace kvel {

// The poll timer's interval for a `measure`/`period` in seconds: period × 1000 ms, worked out
// in 64 bits and held to what a timer takes (0 … 2^31 − 1 ms, about 24.8 days), so a large
// period written by hand gives the longest interval rather than an arbitrary one. Zero and
// negative periods give 0: the poll never runs.
int PollIntervalMs(int periodSeconds);

}  // namespace kvel
