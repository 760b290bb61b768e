#include "core/csv_export.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "config/safe_file.h"

namespace kvel {

std::string isoDateTime(double when) {
    // Whole seconds: the log has no finer times.
    long long seconds = std::llround(when * 86400.0);
    long long days = seconds / 86400;
    long long rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    // Civil date from days since 1.1.1970.
    const long long z = days - 25569 + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    const long long y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    if (y < 0 || y > 9999) {
        char text[128];
        std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld", y, m, d,
                      rest / 3600, rest / 60 % 60, rest % 60);
        return text;
    }
    // Digit by digit: an export writes millions of these.
    std::string text = "0000-00-00 00:00:00";
    const auto put = [&text](std::size_t at, long long value, int digits) {
        for (int k = digits - 1; k >= 0; --k, value /= 10)
            text[at + std::size_t(k)] += char(value % 10);
    };
    put(0, y, 4);
    put(5, m, 2);
    put(8, d, 2);
    put(11, rest / 3600, 2);
    put(14, rest / 60 % 60, 2);
    put(17, rest % 60, 2);
    return text;
}

bool writeLogCsv(const std::string& path, const LogData& data, double from, double to,
                 const std::vector<int>& channels, std::string& error,
                 const std::atomic<bool>* cancel) {
    FileReplacement file(path);
    // Rows are gathered into pieces of about this size: one write per row would be millions
    // of calls.
    constexpr std::size_t kPiece = 1 << 20;
    std::string out = "Дата и время";
    for (int c : channels) out += ",Канал " + std::to_string(c);
    out += "\r\n";
    const int end = data.rowAfter(to);
    std::array<float, kLogChannels> values{};
    for (int row = data.rowAtOrAfter(from); row < end && file.error() == 0; ++row) {
        if (cancel && row % kRowsBetweenCancelChecks == 0 && cancel->load()) return false;
        out += isoDateTime(data.time(row));
        data.readings(row, values);
        for (int c : channels) {
            out += ',';
            const float v = values[std::size_t(c - 1)];
            if (std::isnan(v)) continue;
            char text[32];
            const auto r =
                std::to_chars(text, text + sizeof text, double(v), std::chars_format::fixed, 2);
            out.append(text, r.ptr);
        }
        out += "\r\n";
        if (out.size() >= kPiece) {
            file.write(out);
            out.clear();
        }
    }
    if (cancel && cancel->load()) return false;
    file.write(out);
    // Readings read back from a file changed since are not the log's: nothing is written.
    if (data.sourceChanged()) {
        error = path + ": " + kLogChangedText;
        return false;
    }
    const int err = file.commit();
    if (err != 0) error = path + ": " + std::strerror(err);
    return err == 0;
}

}  // namespace kvel
