#pragma once
#include <array>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "link/text_mark.h"
#include "link/traffic_tap.h"

namespace kvel {

// The columns of one transaction, in the traffic window and in its one-line form: time,
// function, first register, count, stale bytes discarded, request, reply, the module's reply
// time (to the first byte), the whole time to the end of the reply, result.
inline constexpr std::size_t kTrafficColumns = 10;
using TrafficFields = std::array<std::string, kTrafficColumns>;

// The marked texts (context "KvelView"), as written.
const TrafficFields& trafficColumnTitles();
// What each column holds, one sentence each, for the column headers' tool tips.
const TrafficFields& trafficColumnHints();
// Bytes as upper-case hexadecimal pairs separated by spaces ("64 03 00 00"); "-" for none.
std::string hexBytes(const std::uint8_t* bytes, std::size_t length);
// Wall-clock milliseconds since 1970 as local "dd.mm.yy hh:nn:ss.zzz".
std::string trafficTime(std::int64_t msSinceEpoch);
// The texts are made in `language`: as written for the trace and kvelctl, translated for the
// windows.
TrafficFields trafficFieldsOf(const TrafficRecord& record, TextLanguage language = asWritten);
// The fields joined by tabs: one line of kvelctl --trace and of a saved traffic file.
std::string trafficLine(const TrafficFields& fields);
std::string trafficLine(const TrafficRecord& record);

// Label and value of each counter, the reply times last, in the order they are shown.
std::vector<std::pair<std::string, std::string>> trafficCounterFields(
    const TrafficCounters& counters, TextLanguage language = asWritten);
// The counters on one line, for the traffic window and the end of kvelctl watch.
std::string trafficCountersText(const TrafficCounters& counters, TextLanguage language = asWritten);
// The counters one per line, for the tool tip of the status bar's link panel.
std::string trafficToolTip(const TrafficCounters& counters, TextLanguage language = asWritten);

}  // namespace kvel
