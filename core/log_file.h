// Reading a measurement log into a compact table of its readings. The log is the program's own
// (UTF-8) or the older Windows program's (code page 1251); lines end in CR LF or LF. Lines that
// cannot be taken whole are skipped and counted by kind; nothing in the file is changed.
//
// A row costs 34 bytes (the time in seconds, each reading as the module's raw step of 0.02 °C),
// and a min/max summary per block of rows lets an overview of any length be drawn exactly from a
// few thousand look-ups.
#pragma once

#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kvel {

inline constexpr int kLogChannels = 15;

// Why a line was left out.
enum class LogSkip {
    TornLine,    // the last line of the file, cut off before its end
    FieldCount,  // not the 17 fields of a data line (or far too long to be one)
    BadField,    // a date, time or value that cannot be read
    WrongTime,   // a time out of order with both of its neighbours, which agree with each other
};
inline constexpr int kLogSkipKinds = 4;

// Lowest and highest reading of a channel over some rows; `any` is false when none had one.
struct ReadingExtent {
    float min = 0, max = 0;
    bool any = false;
};

class LogData {
  public:
    LogData();
    ~LogData();
    LogData(LogData&&) noexcept;
    LogData& operator=(LogData&&) noexcept;

    int rows() const { return rows_; }
    // Days since 30.12.1899, local time; never decreasing with the row.
    double time(int row) const;
    // °C, not a number where the channel had no reading.
    float value(int row, int channel) const;
    bool hasReading(int row, int channel) const { return raw(row, channel) != 0; }
    // The first row at or after t, the first row after t (rows() when none).
    int rowAtOrAfter(double t) const;
    int rowAfter(double t) const;
    // The log's usual time between lines (the median step), in days; 0 below two rows.
    double usualStep() const { return usualStep_; }
    // True when the time from row − 1 to row is well above the usual step: the link was lost,
    // or logging was off, and the curves are broken there.
    bool gapBefore(int row) const;
    // Readings of rows first … end − 1, from the summary where it covers whole blocks.
    ReadingExtent extent(int channel, int first, int end) const;
    // The channel's value at time t, linearly between the rows around it; none before the first
    // row, after the last, across a gap, or where either row has no reading.
    bool valueAt(int channel, double t, double& value) const;

    std::array<int, kLogSkipKinds> skipped{};
    // Number (from 1, counted over all files read) of the first line skipped; 0 when none was.
    long long firstSkippedLine = 0;
    // How many times the clock went back (a daylight-saving fall-back, a corrected clock): the
    // readings after it are kept, merged into time order with those of the repeated times.
    int clockSetBacks = 0;
    int skippedCount(LogSkip kind) const { return skipped[std::size_t(kind)]; }
    int skippedTotal() const;

    // Building (the parser's part): rows in file order, then finish() once.
    bool append(double when, const std::array<float, kLogChannels>& values);
    void finish();

  private:
    struct Chunk;
    std::uint16_t raw(int row, int channel) const;
    double secondsOf(int row) const;
    void sortByTime();
    void buildSummary();
    std::vector<std::unique_ptr<Chunk>> chunks_;
    // Readings that are not on the module's 0.02 °C steps, by row × 15 + channel − 1.
    std::vector<std::pair<std::uint64_t, float>> odd_;
    // Per summary level: min and max per block and channel.
    std::array<std::vector<float>, 2> summary_;
    int rows_ = 0;
    bool sorted_ = true;
    double usualStep_ = 0;
};

// Shared with a reading thread: how far it got, and a request to stop.
struct LogLoadProgress {
    std::atomic<long long> bytesDone{0};
    std::atomic<long long> bytesTotal{0};
    std::atomic<bool> cancel{false};
};

// Takes a log line by line: header lines (in either encoding) and empty lines are passed over.
// A line is decided when the next one is known; finish() decides the last.
class LogParser {
  public:
    explicit LogParser(LogData& data) : data_(data) {}
    // One line without its line end; `complete` is false for the file's last line when no line
    // end follows it (it may have been cut while being written).
    void addLine(std::string_view line, bool complete = true);
    // A line too long to be a data line, passed over without being held.
    void addOverlongLine();
    void finish();

  private:
    struct Row {
        double when = 0;
        std::array<float, kLogChannels> values{};
        long long line = 0;
    };
    void skip(LogSkip kind, long long line);
    void decide(const Row& row, const Row* next);
    LogData& data_;
    long long lineNumber_ = 0;
    Row pending_;
    bool hasPending_ = false;
    bool hasLast_ = false;
    double last_ = 0;
    // The date field of the line before and its day number: most lines share their date.
    std::string lastDate_;
    double lastDay_ = 0;
};

// The whole text of a log.
LogData parseLog(std::string_view text);

// The files read in pieces, one after the other onto one time axis (a month per file, say), so
// that a large log is never held whole in memory. False when one cannot be read, when memory
// runs out, or when `progress` asked to stop, with the reason in `error`.
bool readLogFiles(const std::vector<std::string>& paths, LogData& data, std::string& error,
                  LogLoadProgress* progress = nullptr);
bool readLogFile(const std::string& path, LogData& data, std::string& error);

// "dd.mm.yy" (20yy) or "dd.mm.yyyy", and "hh:nn:ss", as a point in time; false when either is
// not a valid date or time.
bool parseLogDateTime(std::string_view date, std::string_view time, double& when);

// Days since 30.12.1899 of a calendar day.
double dayNumber(int year, int month, int day);

// A time given on a command line: "YYYY-MM-DD[(T| )hh:mm[:ss]]" or "dd.mm.yy[yy][ hh:mm[:ss]]".
bool parseTimeArgument(std::string_view text, double& when);

}  // namespace kvel
