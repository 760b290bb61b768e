// The rows of a log in a time range as CSV for spreadsheets: comma-separated, the time as an
// ISO date and time, "." as the decimal point, an empty cell where a channel had no reading.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "core/log_file.h"

namespace kvel {

// Header "Дата и время,Канал 1,…" and the rows whose time lies in [from, to], the given
// channels (1..15) in their order; lines end in CR LF.
// Empty when `cancel` was set before it was done.
std::string logCsv(const LogData& data, double from, double to, const std::vector<int>& channels,
                   const std::atomic<bool>* cancel = nullptr);

// "2026-12-06 13:05:09" for a point in time (days since 30.12.1899).
std::string isoDateTime(double when);

// Writes the CSV whole or not at all; false with the reason in `error` (empty when `cancel`
// was set before it was done: nothing is written then).
bool writeLogCsv(const std::string& path, const LogData& data, double from, double to,
                 const std::vector<int>& channels, std::string& error,
                 const std::atomic<bool>* cancel = nullptr);

}  // namespace kvel
