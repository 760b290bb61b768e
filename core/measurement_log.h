#pragma once
#include <cstdint>
#include <ctime>
#include <string>

#include "config/mem_ini.h"
#include "link/transactions.h"

namespace kvel {

// The measurement log: a tab-separated text file, a header when the file is new, then one line
// per successful poll with the date, the time and channels 1 to 15. Every field is followed by
// a TAB and every line ends in CR LF.
inline constexpr int kLoggedChannels = 15;

std::string logHeaderLine();
// The data line of registers 0..14 at the given local time.
std::string logDataLine(const std::uint16_t* registers, const std::tm& local);
// "%-5.2f" with "." as the decimal point whatever the locale.
std::string formatLogTemperature(double celsius);
// The field of one channel: its temperature, or "---" without a reading (raw 0).
std::string logTemperature(std::uint16_t raw);

// Creates the file, or empties it, and writes the header. A header that the disk takes only in
// part leaves no file behind.
bool createLogFile(const std::string& fileName);

// Appends one line for the record's measurements; starts a new file with its header when none
// exists. A failure is shown with the caption "Ошибка" and turns `file`/`save` off in `ini`. A
// line is written whole or not at all.
void writeLogLine(const ReadTransaction& record, const std::string& fileName, MemIni& ini,
                  std::time_t now);

}  // namespace kvel
