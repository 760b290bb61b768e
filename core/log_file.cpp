#include "core/log_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <exception>
#include <limits>
#include <mutex>
#include <new>
#include <numeric>
#include <system_error>
#include <thread>
#include <utility>

#include "core/shown_text.h"

namespace kvel {
namespace {

constexpr std::string_view kHeaderUtf8 = "Дата";
constexpr std::string_view kHeaderCp1251 = "\xC4\xE0\xF2\xE0";
constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr int kFields = 2 + kLogChannels;
// Days of 1.1.1970 and of the last second 32 bits of seconds from it can hold.
constexpr double kFirstDay = 25569;
constexpr double kLastDay = kFirstDay + 4294967295.0 / 86400;

bool readNumber(std::string_view text, int& value) {
    if (text.empty()) return false;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

// "a<sep>b<sep>c" with one or two digits (four for a year) per part.
bool readTriple(std::string_view text, char sep, int& a, int& b, int& c) {
    const std::size_t p = text.find(sep);
    const std::size_t q = p == std::string_view::npos ? p : text.find(sep, p + 1);
    if (q == std::string_view::npos) return false;
    return readNumber(text.substr(0, p), a) && readNumber(text.substr(p + 1, q - p - 1), b) &&
           readNumber(text.substr(q + 1), c);
}

bool validDate(int y, int m, int d) {
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12 || d < 1 || d > kDays[m - 1]) return false;
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return !(m == 2 && d == 29 && !leap);
}

bool readDate(std::string_view text, int& y, int& m, int& d) {
    if (!readTriple(text, '.', d, m, y)) return false;
    const std::size_t yearDigits = text.size() - text.rfind('.') - 1;
    if (yearDigits == 2) {
        y += 2000;
    } else if (yearDigits != 4) {
        return false;
    }
    return validDate(y, m, d);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool readClock(std::string_view text, double& fraction) {
    int h = 0, n = 0, s = 0;
    const char* t = text.data();
    // The log's own "hh:nn:ss" digit by digit; other spellings ("7:5:3") the general way.
    if (text.size() == 8 && t[2] == ':' && t[5] == ':' && isDigit(t[0]) && isDigit(t[1]) &&
        isDigit(t[3]) && isDigit(t[4]) && isDigit(t[6]) && isDigit(t[7])) {
        h = (t[0] - '0') * 10 + (t[1] - '0');
        n = (t[3] - '0') * 10 + (t[4] - '0');
        s = (t[6] - '0') * 10 + (t[7] - '0');
    } else if (!readTriple(text, ':', h, n, s)) {
        return false;
    }
    if (h < 0 || h > 23 || n < 0 || n > 59 || s < 0 || s > 59) return false;
    fraction = (h * 3600 + n * 60 + s) / 86400.0;
    return true;
}

// A channel field: "%-5.2f" (spaces after the number) or "---". The usual shape is read
// digit by digit, which is several times faster than a general number reader.
bool readValue(std::string_view field, float& value) {
    while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
    if (field == "---") {
        value = std::numeric_limits<float>::quiet_NaN();
        return true;
    }
    const std::size_t n = field.size();
    if (n >= 4 && n <= 9 && field[n - 3] == '.') {
        std::size_t i = field[0] == '-' ? 1 : 0;
        long hundredths = 0;
        bool digits = i < n - 3;
        for (; i < n && digits; ++i) {
            if (i == n - 3) continue;
            const char ch = field[i];
            if (ch < '0' || ch > '9') digits = false;
            hundredths = hundredths * 10 + (ch - '0');
        }
        if (digits) {
            value = float(double(field[0] == '-' ? -hundredths : hundredths) / 100.0);
            return true;
        }
    }
    double v = 0;
    const auto r = std::from_chars(field.data(), field.data() + field.size(), v);
    if (field.empty() || r.ec != std::errc() || r.ptr != field.data() + field.size() ||
        !std::isfinite(v)) {
        return false;
    }
    value = float(v);
    return true;
}

}  // namespace

double dayNumber(int year, int month, int day) {
    // Days from the civil calendar (proleptic Gregorian), counted from 1 March of year 0.
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long days = long(era) * 146097 + doe - 719468;  // from 1.1.1970
    return double(days + 25569);                          // 30.12.1899 is day 0
}

bool parseLogDateTime(std::string_view date, std::string_view time, double& when) {
    int y = 0, m = 0, d = 0;
    double fraction = 0;
    if (!readDate(date, y, m, d) || !readClock(time, fraction)) return false;
    when = dayNumber(y, m, d) + fraction;
    return true;
}

bool parseTimeArgument(std::string_view text, double& when) {
    std::string_view date = text, clock;
    const std::size_t gap = text.find_first_of(" T");
    if (gap != std::string_view::npos) {
        date = text.substr(0, gap);
        clock = text.substr(gap + 1);
    }
    int y = 0, m = 0, d = 0;
    if (date.find('-') != std::string_view::npos) {
        if (date.size() != 10 || !readTriple(date, '-', y, m, d) || !validDate(y, m, d)) {
            return false;
        }
    } else if (gap != std::string_view::npos && text[gap] == 'T') {
        return false;
    } else if (!readDate(date, y, m, d)) {
        return false;
    }
    double fraction = 0;
    if (!clock.empty()) {
        const std::string full = std::count(clock.begin(), clock.end(), ':') == 1
                                     ? std::string(clock) + ":00"
                                     : std::string(clock);
        if (!readClock(full, fraction)) return false;
    } else if (gap != std::string_view::npos) {
        return false;
    }
    when = dayNumber(y, m, d) + fraction;
    return true;
}

void LogParser::skip(LogSkip kind, long long line) {
    ++data_.skipped[std::size_t(kind)];
    if (data_.firstSkippedLine == 0) data_.firstSkippedLine = line;
}

void LogParser::addOverlongLine() {
    ++lineNumber_;
    skip(LogSkip::FieldCount, lineNumber_);
}

namespace {

enum class LineKind { NotData, FieldCount, BadField, Data };

// The date field of the line before and its day number: most lines share their date.
struct DateCache {
    std::string date;
    double day = 0;
};

// Where the field that starts at `p` ends: at the next TAB or at the line's end. Fields are a
// few bytes long, too short for a library search to pay for its call.
const char* fieldEnd(const char* p, const char* end) {
    while (p != end && *p != '\t') ++p;
    return p;
}

// The field at `p` in the shape the log writes it ("%-5.2f": digits, a point, two digits,
// spaces; or "---"), read while it is found: where it ends (at a TAB or at `end`), or null when
// it has another shape, which the general reader then decides. Most of a log's bytes are these
// fields: they are looked at once, and each value is the nearest float to the hundredths
// written, as the general reader gives it.
const char* readUsualValue(const char* p, const char* end, float& value) {
    const bool negative = p != end && *p == '-';
    if (negative && end - p >= 3 && p[1] == '-' && p[2] == '-') {
        p += 3;
        value = std::numeric_limits<float>::quiet_NaN();
    } else {
        p += negative;
        const char* const digits = p;
        long hundredths = 0;
        while (p != end && isDigit(*p)) hundredths = hundredths * 10 + (*p++ - '0');
        const auto count = p - digits;
        if (count < 1 || count > 6 || end - p < 3 || p[0] != '.' || !isDigit(p[1]) ||
            !isDigit(p[2])) {
            return nullptr;
        }
        hundredths = hundredths * 100 + (p[1] - '0') * 10 + (p[2] - '0');
        p += 3;
        // Multiplying by 0.01 rounds to the same float as dividing by 100 for every value of
        // up to eight digits (checked for all of them), and costs a fraction of a division.
        value = float(double(negative ? -hundredths : hundredths) * 0.01);
    }
    while (p != end && *p == ' ') ++p;
    return p == end || *p == '\t' ? p : nullptr;
}

// A line already without its line end, BOM, CR and closing TAB, read in one pass.
LineKind readFields(std::string_view line, DateCache& cache, double& when,
                    std::array<float, kLogChannels>& values) {
    // A line with the wrong number of fields is said as such, whatever its fields hold.
    const auto unreadable = [line] {
        return std::count(line.begin(), line.end(), '\t') == kFields - 1 ? LineKind::BadField
                                                                         : LineKind::FieldCount;
    };
    const char* const end = line.data() + line.size();
    const char* p = line.data();
    const char* q = fieldEnd(p, end);
    if (q == end) return LineKind::FieldCount;
    const std::string_view date(p, std::size_t(q - p));
    if (date != cache.date) {
        int y = 0, m = 0, d = 0;
        if (!readDate(date, y, m, d)) return unreadable();
        cache.date = date;
        cache.day = dayNumber(y, m, d);
    }
    p = q + 1;
    q = fieldEnd(p, end);
    if (q == end) return LineKind::FieldCount;
    double fraction = 0;
    if (!readClock(std::string_view(p, std::size_t(q - p)), fraction)) return unreadable();
    when = cache.day + fraction;
    // Times are kept as seconds from 1970 in 32 bits.
    if (when < kFirstDay || when >= kLastDay) return unreadable();
    for (std::size_t c = 0; c < std::size_t(kLogChannels); ++c) {
        p = q + 1;
        q = readUsualValue(p, end, values[c]);
        const bool read = q != nullptr;
        if (!read) q = fieldEnd(p, end);
        // Every field but the last is followed by a TAB, the last by the line's end.
        if ((q == end) != (c + 1 == std::size_t(kLogChannels))) return LineKind::FieldCount;
        if (!read && !readValue(std::string_view(p, std::size_t(q - p)), values[c])) {
            return unreadable();
        }
    }
    return LineKind::Data;
}

// Strips what surrounds a line's fields; false for a line that holds none.
bool trimLine(std::string_view& line, bool first) {
    if (first && line.starts_with(kBom)) line.remove_prefix(kBom.size());
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) return false;
    return !line.starts_with(kHeaderUtf8) && !line.starts_with(kHeaderCp1251);
}

}  // namespace

bool readLogLine(std::string_view line, bool first, double& when,
                 std::array<float, kLogChannels>& values) {
    if (!trimLine(line, first)) return false;
    if (line.back() == '\t') line.remove_suffix(1);
    DateCache cache;
    return readFields(line, cache, when, values) == LineKind::Data;
}

namespace {

void readOneLine(std::string_view line, bool complete, long long offset, DateCache& cache,
                 LogParser::Line& out) {
    out.offset = offset;
    out.kind = LogParser::Line::NotData;
    if (!trimLine(line, offset == 0)) return;
    // Every field is followed by a TAB; a last line without its line end that also misses the
    // TAB after its last field was cut while being written.
    const bool terminated = line.back() == '\t';
    if (!complete && !terminated) {
        out.kind = LogParser::Line::Torn;
        return;
    }
    if (terminated) line.remove_suffix(1);
    switch (readFields(line, cache, out.when, out.values)) {
        case LineKind::FieldCount:
            out.kind = LogParser::Line::FieldCount;
            break;
        case LineKind::BadField:
            out.kind = LogParser::Line::BadField;
            break;
        case LineKind::Data:
            out.kind = LogParser::Line::Data;
            break;
        case LineKind::NotData:
            break;
    }
}

}  // namespace

void LogParser::readLines(std::string_view text, long long offset, std::vector<Line>& out) {
    out.clear();
    DateCache cache;
    for (std::size_t end; (end = text.find('\n')) != std::string_view::npos;) {
        out.emplace_back();
        readOneLine(text.substr(0, end), true, offset, cache, out.back());
        text.remove_prefix(end + 1);
        offset += (long long)end + 1;
    }
}

void LogParser::addLine(std::string_view line, bool complete, long long offset) {
    Line read;
    DateCache cache{std::move(lastDate_), lastDay_};
    readOneLine(line, complete, offset, cache, read);
    lastDate_ = std::move(cache.date);
    lastDay_ = cache.day;
    add(read);
}

void LogParser::add(const std::vector<Line>& lines) {
    for (const Line& line : lines) add(line);
}

void LogParser::add(const Line& line) {
    ++lineNumber_;
    switch (line.kind) {
        case Line::NotData:
            return;
        case Line::Torn:
            return skip(LogSkip::TornLine, lineNumber_);
        case Line::FieldCount:
            return skip(LogSkip::FieldCount, lineNumber_);
        case Line::BadField:
            return skip(LogSkip::BadField, lineNumber_);
        case Line::Data:
            break;
    }
    Row row;
    row.when = line.when;
    row.values = line.values;
    row.line = lineNumber_;
    row.where = fileIndex_ << 40 | std::uint64_t(line.offset);
    if (hasPending_) decide(pending_, &row);
    pending_ = row;
    hasPending_ = true;
}

// A line whose time is out of order with the line before it and with the one after it, while
// those two are in order, is the wrong one: it alone is left out. A step back that the following
// lines keep is the clock set back: those readings stay.
void LogParser::decide(const Row& row, const Row* next) {
    if (hasLast_ && row.when < last_) {
        if (next && next->when >= last_) return skip(LogSkip::WrongTime, row.line);
        ++data_.clockSetBacks;
    } else if (hasLast_ && next && row.when > next->when && last_ <= next->when) {
        return skip(LogSkip::WrongTime, row.line);
    }
    data_.append(row.when, row.values, row.where);
    hasLast_ = true;
    last_ = row.when;
}

void LogParser::finish() {
    if (hasPending_) decide(pending_, nullptr);
    hasPending_ = false;
    data_.finish();
}

LogData parseLog(std::string_view text) {
    LogData data;
    LogParser parser(data);
    long long offset = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            parser.addLine(text, false, offset);
            break;
        }
        parser.addLine(text.substr(0, end), true, offset);
        text.remove_prefix(end + 1);
        offset += (long long)end + 1;
    }
    parser.finish();
    return data;
}

namespace {

// A data line is about 110 bytes; anything far longer is not one and is never held whole.
constexpr std::size_t kLongestLine = 4096;
// Bytes read at a time: small enough that a piece is still in the core's cache while its lines
// are read, and a file of empty lines makes at most this many lines at once.
constexpr std::size_t kChunk = 64 << 10;
// A piece's lines are read in this many parts, taken in turn by whichever thread is free.
constexpr int kParts = 8;

// The lines of one piece, read in parts.
struct PieceParts {
    std::array<std::string_view, kParts> text;
    std::array<long long, kParts> at{};
    std::array<std::vector<LogParser::Line>, kParts> lines;
    std::atomic<int> next{0};

    // Parts end at line ends.
    void split(std::string_view body, long long bodyAt) {
        std::size_t start = 0;
        for (int k = 0; k < kParts; ++k) {
            std::size_t end = body.size();
            if (k + 1 < kParts) {
                end = body.find('\n', std::max(start, body.size() * std::size_t(k + 1) / kParts));
                end = end == std::string_view::npos ? body.size() : end + 1;
            }
            text[std::size_t(k)] = body.substr(start, end - start);
            at[std::size_t(k)] = bodyAt + (long long)start;
            start = end;
        }
        next.store(0);
    }
    // Reads parts until none is left.
    void take() {
        for (int k; (k = next.fetch_add(1)) < kParts;) {
            LogParser::readLines(text[std::size_t(k)], at[std::size_t(k)], lines[std::size_t(k)]);
        }
    }
};

// One file into the parser, read a piece at a time; false with the reason when it cannot be
// read or reading was cancelled. The file stays open in `data` for reading readings back.
//
// Two threads share the work: while this one takes in the lines of piece k − 1 (in file order),
// a second thread reads piece k + 1 from the file and then the lines of piece k; this one then
// reads what is left of them beside it. Whoever is free takes the next task, so that both stay
// busy however the work falls.
class FileReader {
  public:
    FileReader(int fd, LogParser& parser) : fd_(fd), parser_(parser) {
        for (std::vector<char>& b : buffers_) b.resize(kChunk);
        try {
            helper_ = std::thread([this] { help(); });
        } catch (const std::system_error&) {
            // No thread to be had (memory is short): this one reads every part.
        }
    }
    ~FileReader() {
        if (!helper_.joinable()) return;
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_one();
        helper_.join();
    }

    bool run(std::string& error, LogLoadProgress* progress, long long doneBefore) {
        int current = 0;
        if (!readPiece(buffers_[0], error)) return false;
        for (int k = 0;; ++k) {
            if (progress) progress->bytesDone.store(doneBefore + done_, std::memory_order_relaxed);
            if (progress && progress->cancel && progress->cancel->load()) {
                error = "прервано";
                return false;
            }
            const Piece piece = piece_;
            const Lead lead = std::exchange(lead_, {});
            const bool more = piece.size > 0;
            PieceParts& parts = parts_[std::size_t(k % 2)];
            parts.split(piece.body, piece.bodyAt);
            current = 1 - current;
            nextPiece_ = more ? &buffers_[std::size_t(current)] : nullptr;
            readTaken_.store(false);
            readOk_ = true;
            {
                const Shared shared(*this, parts);
                if (k > 0) addParts(parts_[std::size_t(1 - k % 2)]);
                addLead(lead);
                readNextPiece();
                parts.take();
            }
            if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
            if (!readOk_) {
                error = readError_;
                return false;
            }
            if (!more) {
                addParts(parts);
                break;
            }
        }
        addLead(lead_);
        if (overlong_) {
            parser_.addOverlongLine();
        } else if (!partial_.empty()) {
            parser_.addLine(partial_, false, partialAt_);
        }
        return true;
    }

    long long done() const { return done_; }

  private:
    // The whole lines of a piece read, and where they start in the file.
    struct Piece {
        std::string_view body;
        long long bodyAt = 0;
        std::size_t size = 0;
    };
    // The line that a piece's start completed (its start was in the piece before).
    struct Lead {
        bool any = false, overlong = false;
        std::string text;
        long long at = 0;
    };

    // Hands a piece's parts to the second thread for as long as it lives; on leaving, takes
    // them back when it has not begun on them (it may be waiting for a core), or waits for it
    // to finish the part it is reading.
    class Shared {
      public:
        Shared(FileReader& r, PieceParts& parts) : r_(r) {
            if (!r_.helper_.joinable()) return;
            {
                std::lock_guard lock(r_.mutex_);
                r_.work_ = &parts;
            }
            r_.wake_.notify_one();
        }
        ~Shared() {
            std::unique_lock lock(r_.mutex_);
            r_.work_ = nullptr;
            r_.idle_.wait(lock, [this] { return !r_.busy_; });
        }

      private:
        FileReader& r_;
    };

    // The second thread: the parts of each piece it is given.
    void help() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stop_ || work_; });
            if (stop_) return;
            PieceParts* parts = std::exchange(work_, nullptr);
            busy_ = true;
            lock.unlock();
            std::exception_ptr failure;
            try {
                readNextPiece();
                parts->take();
            } catch (...) {
                failure = std::current_exception();
            }
            lock.lock();
            if (failure) failure_ = failure;
            busy_ = false;
            idle_.notify_one();
        }
    }

    // The next piece is read by whichever thread comes to it first: the second thread starts
    // with it while this one takes lines in.
    void readNextPiece() {
        if (nextPiece_ && !readTaken_.exchange(true)) readOk_ = readPiece(*nextPiece_, readError_);
    }

    void addParts(const PieceParts& parts) {
        for (const std::vector<LogParser::Line>& lines : parts.lines) parser_.add(lines);
    }

    void addLead(const Lead& lead) {
        if (!lead.any) return;
        if (lead.overlong) {
            parser_.addOverlongLine();
        } else {
            parser_.addLine(lead.text, true, lead.at);
        }
    }

    // Reads the next piece into `buffer`: piece_ and lead_ tell what it holds (an empty piece
    // at the file's end).
    bool readPiece(std::vector<char>& buffer, std::string& error) {
        ssize_t n = 0;
        do {
            n = ::read(fd_, buffer.data(), buffer.size());
        } while (n < 0 && errno == EINTR);
        if (n < 0) {
            error = std::strerror(errno);
            return false;
        }
        const long long base = done_;
        done_ += n;
        piece_ = {{}, done_, std::size_t(n)};
        std::string_view rest(buffer.data(), std::size_t(n));
        // Each byte is looked at once: lines are taken from the piece itself, and only the
        // start of a line the piece cuts is kept (never more than the longest line).
        if (const std::size_t end = rest.find('\n'); end != std::string_view::npos) {
            lead_.any = true;
            lead_.at = partial_.empty() ? base : partialAt_;
            lead_.overlong = overlong_;
            if (!overlong_) {
                partial_.append(rest.data(), end);
                lead_.overlong = partial_.size() > kLongestLine;
                if (!lead_.overlong) lead_.text = partial_;
            }
            partial_.clear();
            overlong_ = false;
            rest.remove_prefix(end + 1);
            piece_.body = rest.substr(0, rest.rfind('\n') + 1);
            piece_.bodyAt = base + (piece_.body.data() - buffer.data());
            rest.remove_prefix(piece_.body.size());
        }
        if (!overlong_) {
            if (partial_.empty()) partialAt_ = base + (rest.data() - buffer.data());
            partial_.append(rest);
            if (partial_.size() > kLongestLine) {
                overlong_ = true;
                partial_.clear();
            }
        }
        return true;
    }

    int fd_;
    LogParser& parser_;
    std::array<std::vector<char>, 2> buffers_;
    Piece piece_;
    Lead lead_;
    std::string partial_;  // the start of a line that the last piece cut
    long long partialAt_ = 0;
    bool overlong_ = false;
    long long done_ = 0;
    std::array<PieceParts, 2> parts_;
    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::vector<char>* nextPiece_ = nullptr;  // the buffer to read the next piece into
    std::atomic<bool> readTaken_{false};
    bool readOk_ = true;
    std::string readError_;
    PieceParts* work_ = nullptr;  // given to the second thread, not yet begun
    bool busy_ = false;           // the second thread is reading parts
    bool stop_ = false;
    std::exception_ptr failure_;
    std::thread helper_;
};

bool readInto(const std::string& path, int index, LogParser& parser, LogData& data,
              std::string& error, LogLoadProgress* progress, long long& doneBefore) {
    struct Descriptor {
        int fd;
        ~Descriptor() {
            if (fd >= 0) ::close(fd);
        }
    } file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    parser.beginFile(index);
    FileReader reader(file.fd, parser);
    if (!reader.run(error, progress, doneBefore)) {
        if (error != "прервано") error = path + ": " + error;
        return false;
    }
    data.keepSource(std::exchange(file.fd, -1), reader.done());
    doneBefore += reader.done();
    return true;
}

}  // namespace

bool readLogFiles(const std::vector<std::string>& paths, LogData& data, std::string& error,
                  LogLoadProgress* progress, long long heldRows) {
    data = LogData();
    try {
        data.holdReadingsUpTo(heldRows);
        if (progress) {
            long long total = 0;
            for (const std::string& path : paths) {
                struct stat st {};
                if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) total += st.st_size;
            }
            progress->bytesTotal.store(total);
        }
        LogParser parser(data);
        long long done = 0;
        for (std::size_t i = 0; i < paths.size(); ++i) {
            if (!readInto(paths[i], int(i), parser, data, error, progress, done)) {
                data = LogData();
                return false;
            }
        }
        parser.finish();
        return true;
    } catch (const std::bad_alloc&) {
        data = LogData();
        // Said as the other failures are: the file, then why.
        error = (paths.empty() ? std::string() : paths.front() + ": ") +
                translatedText(
                    QT_TRANSLATE_NOOP("KvelView", "недостаточно памяти, чтобы показать журнал"));
        return false;
    }
}

bool readLogFile(const std::string& path, LogData& data, std::string& error, long long heldRows) {
    return readLogFiles({path}, data, error, nullptr, heldRows);
}

}  // namespace kvel
