// Reading a measurement log into per-channel time series. The log is the program's own (UTF-8)
// or the older Windows program's (code page 1251); lines end in CR LF or LF. Lines that cannot
// be taken whole are skipped and counted by kind; nothing in the file is changed.
#pragma once

#include <array>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

namespace kvel {

inline constexpr int kLogChannels = 15;

// Why a line was left out.
enum class LogSkip {
    TornLine,       // the last line of the file, cut off before its end
    FieldCount,     // not the 17 fields of a data line
    BadField,       // a date, time or value that cannot be read
    TimeBackwards,  // earlier than the line before it (the clock was set back)
};
inline constexpr int kLogSkipKinds = 4;

struct LogData {
    // Points in time: days since 30.12.1899, local time; never decreasing.
    std::vector<double> times;
    // kLogChannels values per row, in °C; not a number where the channel had no reading.
    std::vector<float> values;
    std::array<int, kLogSkipKinds> skipped{};
    // Number (from 1) of the first line skipped; 0 when none was.
    int firstSkippedLine = 0;

    int rows() const { return int(times.size()); }
    float value(int row, int channel) const {
        return values[std::size_t(row) * kLogChannels + std::size_t(channel - 1)];
    }
    bool hasReading(int row, int channel) const { return !std::isnan(value(row, channel)); }
    int skippedCount(LogSkip kind) const { return skipped[std::size_t(kind)]; }
    int skippedTotal() const;
};

// Takes a log line by line: header lines (in either encoding) and empty lines are passed over.
class LogParser {
  public:
    explicit LogParser(LogData& data) : data_(data) {}
    // One line without its line end; `complete` is false for the file's last line when no line
    // end follows it (it may have been cut while being written).
    void addLine(std::string_view line, bool complete = true);

  private:
    void skip(LogSkip kind);
    LogData& data_;
    int lineNumber_ = 0;
};

// The whole text of a log.
LogData parseLog(std::string_view text);

// The file read in pieces, so that a large log is never held whole in memory. False when it
// cannot be read, with the system's reason in `error`.
bool readLogFile(const std::string& path, LogData& data, std::string& error);

// "dd.mm.yy" (20yy) or "dd.mm.yyyy", and "hh:nn:ss", as a point in time; false when either is
// not a valid date or time.
bool parseLogDateTime(std::string_view date, std::string_view time, double& when);

// Days since 30.12.1899 of a calendar day.
double dayNumber(int year, int month, int day);

// A time given on a command line: "YYYY-MM-DD[(T| )hh:mm[:ss]]" or "dd.mm.yy[yy][ hh:mm[:ss]]".
bool parseTimeArgument(std::string_view text, double& when);

}  // namespace kvel
