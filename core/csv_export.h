// The rows of a log in a time range as CSV for spreadsheets: comma-separated, the time as an
// ISO date and time, "." as the decimal point, an empty cell where a channel had no reading.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "core/log_file.h"

namespace kvel {

// "2026-12-06 13:05:09" for a point in time (days since 30.12.1899).
std::string isoDateTime(double when);

// Writes the header "Дата и время,Канал 1,…" and the rows whose time lies in [from, to], the
// given channels (1..15) in their order, lines ending in CR LF. The rows go to a temporary file
// beside `path` as they are made (a year of them is never held in memory), which replaces `path`
// at the end: the CSV is written whole or not at all. False with the reason in `error` (empty
// when `cancel` was set before it was done: nothing is written then).
bool writeLogCsv(const std::string& path, const LogData& data, double from, double to,
                 const std::vector<int>& channels, std::string& error,
                 const std::atomic<bool>* cancel = nullptr);

}  // namespace kvel
