#pragma once
#include <climits>
#include <string>

namespace kvel {

// The longest `measure`/`period` a poll timer holds: 2147483 s (about 24.8 days), as the timer
// counts milliseconds in an int.
inline constexpr int kLongestPollPeriod = INT_MAX / 1000;

// The poll timer's interval for a `measure`/`period` in seconds: period × 1000 ms, worked out
// in 64 bits and held to what a timer takes (0 … 2^31 − 1 ms), so a large period written by
// hand gives the longest interval rather than an arbitrary one. Zero and negative periods
// give 0.
int pollIntervalMs(int periodSeconds);

// A period the settings dialog accepts: 1 … kLongestPollPeriod seconds. With any other the
// program does not poll.
bool pollPeriodValid(int periodSeconds);

// What the status bar says while the stored period keeps the poll off, and its tool tip.
std::string pollPeriodStatus(int periodSeconds);
std::string pollPeriodExplanation(int periodSeconds);

}  // namespace kvel
