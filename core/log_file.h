// Reading a measurement log into a table of its readings. The log is the program's own (UTF-8) or
// the older Windows program's (code page 1251); lines end in CR LF or LF. Lines that cannot be
// taken whole are skipped and counted by kind; nothing in the file is changed.
//
// Memory stays bounded at any length: a row costs its time (4 bytes) and a place in a min/max
// summary per block of 64 rows, which lets an overview of any length be drawn exactly from a few
// thousand look-ups. The readings themselves are held only for a short log; for a long one they
// are read back from the file (kept open, so a file renamed or deleted meanwhile still answers)
// a block of rows at a time, when a narrow view, a read-out, statistics or an export asks for
// them. A file changed in place after reading is noticed (its lines no longer match the times
// read) and said, never shown as if it were the log.
#pragma once

#include <QtGlobal>
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

// Grows by pieces, so that a table of tens of millions of rows never needs twice its size while
// it grows.
template <typename T>
class PiecedVector {
  public:
    static constexpr std::size_t kPiece = 1 << 16;
    std::size_t size() const { return size_; }
    T& operator[](std::size_t i) { return pieces_[i / kPiece][i % kPiece]; }
    const T& operator[](std::size_t i) const { return pieces_[i / kPiece][i % kPiece]; }
    void push_back(const T& value) {
        if (size_ % kPiece == 0) pieces_.push_back(std::make_unique<T[]>(kPiece));
        pieces_.back()[size_ % kPiece] = value;
        ++size_;
    }

  private:
    std::vector<std::unique_ptr<T[]>> pieces_;
    std::size_t size_ = 0;
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
    bool hasReading(int row, int channel) const { return !std::isnan(value(row, channel)); }
    // The readings of every channel of the row at once (a pass over many rows, an export).
    void readings(int row, std::array<float, kLogChannels>& out) const;
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
    // The readings of the first and of the last row of block `block` (rows kPageRows·block …),
    // without reading the file: what an overview joins its columns with.
    float blockFirst(int block, int channel) const;
    float blockLast(int block, int channel) const;
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

    // True once reading the values back found a file no longer holding the lines that were
    // read: the readings asked for are then shown as none, and the log must be read again.
    bool sourceChanged() const;

    // Building (the reader's part): rows in file order, each with where its line starts
    // (fileIndex << 40 | byte offset), then finish() once.
    bool append(double when, const std::array<float, kLogChannels>& values,
                std::uint64_t where = 0);
    void finish();
    // The readings of at most this many rows are held; beyond, they are read back from the
    // files given by keepSource (in the order of their index).
    void holdReadingsUpTo(long long rows);
    // Takes an open descriptor of file `index` and how many of its bytes were read.
    void keepSource(int fd, long long size);
    static constexpr int kPageRows = 64;

  private:
    struct Store;
    using Page = std::array<float, std::size_t(kPageRows) * kLogChannels>;
    std::uint32_t fileIndex(int row) const {
        return order_.empty() ? std::uint32_t(row) : order_[std::size_t(row)];
    }
    double secondsOf(int row) const { return double(seconds_[fileIndex(row)]); }
    // The summary of the block being built: per channel min and max, then the readings of its
    // first and of its last row.
    void openBlock(const std::array<float, kLogChannels>& first);
    void takeIntoBlock(const std::array<float, kLogChannels>& values);
    void closeBlock();
    void buildSummary();
    // The readings of rows kPageRows·page … in file order, read back from the files; false
    // when they no longer hold them.
    bool readBack(int page, Page& out) const;
    // Page `page` of the readings read back, from the cache or the files; the store's mutex
    // is held.
    const Page& cachedPage(int page) const;
    // Times in seconds from 1970, in file order; order_[row] is the file-order index of the
    // row-th in time (empty when the file order is the time order).
    PiecedVector<std::uint32_t> seconds_;
    std::vector<std::uint32_t> order_;
    // Where the line of each page's first row starts.
    PiecedVector<std::uint64_t> pageAt_;
    // Per summary level: min and max per block and channel, blocks in time order.
    std::array<PiecedVector<float>, 2> summary_;
    std::array<float, std::size_t(kLogChannels) * 4> block_{};
    bool blockOpen_ = false;
    std::unique_ptr<Store> store_;
    int rows_ = 0;
    bool sorted_ = true;
    double usualStep_ = 0;
};

// Shared with a reading thread: how far it got, and where it looks for a request to stop.
struct LogLoadProgress {
    std::atomic<long long> bytesDone{0};
    std::atomic<long long> bytesTotal{0};
    const std::atomic<bool>* cancel = nullptr;
};

// Takes a log line by line: header lines (in either encoding) and empty lines are passed over.
// A line is decided when the next one is known; finish() decides the last.
class LogParser {
  public:
    explicit LogParser(LogData& data) : data_(data) {}
    // Lines that follow are those of the file with this index (from 0).
    void beginFile(int index) { fileIndex_ = std::uint64_t(index); }
    // One line without its line end, starting at byte `offset` of its file; `complete` is
    // false for the file's last line when no line end follows it (it may have been cut while
    // being written).
    void addLine(std::string_view line, bool complete = true, long long offset = 0);
    // A line too long to be a data line, passed over without being held.
    void addOverlongLine();
    void finish();

    // A line read on its own: what it is, and its time and readings when it is a data line.
    struct Line {
        enum Kind : std::uint8_t { NotData, Torn, FieldCount, BadField, Data } kind = NotData;
        double when = 0;
        std::array<float, kLogChannels> values{};
        long long offset = 0;
    };
    // The lines of `text` (each ending in a line feed), which starts at byte `offset` of its
    // file, into `out`. It needs no parser: pieces of a file are read on several threads.
    static void readLines(std::string_view text, long long offset, std::vector<Line>& out);
    // The lines readLines gave, in file order.
    void add(const std::vector<Line>& lines);

  private:
    struct Row {
        double when = 0;
        std::array<float, kLogChannels> values{};
        long long line = 0;
        std::uint64_t where = 0;
    };
    void skip(LogSkip kind, long long line);
    void add(const Line& line);
    void decide(const Row& row, const Row* next);
    LogData& data_;
    std::uint64_t fileIndex_ = 0;
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
// The readings of up to `heldRows` rows are held in memory, those of a longer log read back.
inline constexpr long long kHeldRows = 600000;
bool readLogFiles(const std::vector<std::string>& paths, LogData& data, std::string& error,
                  LogLoadProgress* progress = nullptr, long long heldRows = kHeldRows);
bool readLogFile(const std::string& path, LogData& data, std::string& error,
                 long long heldRows = kHeldRows);

// How often a long pass over a log's rows (statistics, export) looks whether it was cancelled.
inline constexpr int kRowsBetweenCancelChecks = 4096;

// Why readings of a log cannot be given after its file changed in place.
inline constexpr const char* kLogChangedText =
    QT_TRANSLATE_NOOP("KvelView", "файл журнала изменился после чтения, откройте его заново (F5)");

// One line of a log (without its line end) as a data line: its time and readings (not a number
// where a channel had none); false for a header, an empty line or one that is not whole. A BOM
// is passed over on the file's `first` line only.
bool readLogLine(std::string_view line, bool first, double& when,
                 std::array<float, kLogChannels>& values);

// "dd.mm.yy" (20yy) or "dd.mm.yyyy", and "hh:nn:ss", as a point in time; false when either is
// not a valid date or time.
bool parseLogDateTime(std::string_view date, std::string_view time, double& when);

// Days since 30.12.1899 of a calendar day.
double dayNumber(int year, int month, int day);

// A time given on a command line: "YYYY-MM-DD[(T| )hh:mm[:ss]]" or "dd.mm.yy[yy][ hh:mm[:ss]]".
bool parseTimeArgument(std::string_view text, double& when);

}  // namespace kvel
