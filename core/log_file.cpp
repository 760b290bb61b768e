#include "core/log_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <numeric>

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

bool readClock(std::string_view text, double& fraction) {
    int h = 0, n = 0, s = 0;
    if (!readTriple(text, ':', h, n, s)) return false;
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

void LogParser::addLine(std::string_view line, bool complete) {
    ++lineNumber_;
    if (lineNumber_ == 1 && line.starts_with(kBom)) line.remove_prefix(kBom.size());
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) return;
    if (line.starts_with(kHeaderUtf8) || line.starts_with(kHeaderCp1251)) return;
    // Every field is followed by a TAB; a last line without its line end that also misses the
    // TAB after its last field was cut while being written.
    const bool terminated = line.back() == '\t';
    if (!complete && !terminated) return skip(LogSkip::TornLine, lineNumber_);
    if (terminated) line.remove_suffix(1);

    std::array<std::string_view, kFields> fields;
    int count = 0;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        if (count < kFields) fields[std::size_t(count)] = line.substr(start, tab - start);
        ++count;
        if (tab == std::string_view::npos) break;
        start = tab + 1;
    }
    if (count != kFields) return skip(LogSkip::FieldCount, lineNumber_);

    Row row;
    row.line = lineNumber_;
    double fraction = 0;
    if (fields[0] != lastDate_) {
        int y = 0, m = 0, d = 0;
        if (!readDate(fields[0], y, m, d)) return skip(LogSkip::BadField, lineNumber_);
        lastDate_ = fields[0];
        lastDay_ = dayNumber(y, m, d);
    }
    if (!readClock(fields[1], fraction)) return skip(LogSkip::BadField, lineNumber_);
    row.when = lastDay_ + fraction;
    // Times are kept as seconds from 1970 in 32 bits.
    if (row.when < kFirstDay || row.when >= kLastDay) return skip(LogSkip::BadField, lineNumber_);
    for (int c = 0; c < kLogChannels; ++c) {
        if (!readValue(fields[std::size_t(2 + c)], row.values[std::size_t(c)])) {
            return skip(LogSkip::BadField, lineNumber_);
        }
    }
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
    data_.append(row.when, row.values);
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
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            parser.addLine(text, false);
            break;
        }
        parser.addLine(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    parser.finish();
    return data;
}

namespace {

// A data line is about 110 bytes; anything far longer is not one and is never held whole.
constexpr std::size_t kLongestLine = 4096;

// One file into the parser; false with the reason when it cannot be read or reading was
// cancelled.
bool readInto(const std::string& path, LogParser& parser, std::string& error,
              LogLoadProgress* progress, long long& doneBefore) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    std::vector<char> chunk(1 << 20);
    std::string partial;  // the start of a line that the last piece cut
    bool overlong = false;
    bool failed = false;
    long long done = 0;
    for (;;) {
        if (progress && progress->cancel.load(std::memory_order_relaxed)) {
            std::fclose(f);
            error = "прервано";
            return false;
        }
        const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), f);
        if (n == 0) {
            failed = std::ferror(f) != 0;
            break;
        }
        done += static_cast<long long>(n);
        if (progress) progress->bytesDone.store(doneBefore + done, std::memory_order_relaxed);
        std::string_view rest(chunk.data(), n);
        // Each byte is looked at once: lines are taken from the piece itself, and only the
        // start of a line the piece cuts is kept (never more than the longest line).
        for (std::size_t end; (end = rest.find('\n')) != std::string_view::npos;) {
            if (overlong) {
                parser.addOverlongLine();
            } else if (!partial.empty()) {
                partial.append(rest.data(), end);
                if (partial.size() > kLongestLine) {
                    parser.addOverlongLine();
                } else {
                    parser.addLine(partial);
                }
            } else {
                parser.addLine(rest.substr(0, end));
            }
            partial.clear();
            overlong = false;
            rest.remove_prefix(end + 1);
        }
        if (!overlong) {
            partial.append(rest);
            if (partial.size() > kLongestLine) {
                overlong = true;
                partial.clear();
            }
        }
    }
    const int err = errno;
    std::fclose(f);
    if (failed) {
        error = path + ": " + std::strerror(err);
        return false;
    }
    if (overlong) {
        parser.addOverlongLine();
    } else if (!partial.empty()) {
        parser.addLine(partial, false);
    }
    doneBefore += done;
    return true;
}

}  // namespace

bool readLogFiles(const std::vector<std::string>& paths, LogData& data, std::string& error,
                  LogLoadProgress* progress) {
    data = LogData();
    try {
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
        for (const std::string& path : paths) {
            if (!readInto(path, parser, error, progress, done)) {
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
                "недостаточно памяти, чтобы показать журнал";
        return false;
    }
}

bool readLogFile(const std::string& path, LogData& data, std::string& error) {
    return readLogFiles({path}, data, error);
}

}  // namespace kvel
