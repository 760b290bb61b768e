// Writes a measurement log for the history benchmarks: `days` of lines every `period` seconds
// from 1.1.2026, 15 channels drifting slowly, now and then "---" and a torn line.
//   log_generate FILE DAYS [PERIOD]
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/measurement_log.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "Usage: log_generate FILE DAYS [PERIOD]\n");
        return 2;
    }
    const long long days = std::atoll(argv[2]);
    const int period = argc > 3 ? std::atoi(argv[3]) : 5;
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out || days <= 0 || period <= 0) {
        std::fprintf(stderr, "log_generate: cannot write %s\n", argv[1]);
        return 1;
    }
    const std::string header = kvel::logHeaderLine();
    std::fwrite(header.data(), 1, header.size(), out);
    const long long lines = days * 86400 / period;
    std::string line;
    std::time_t t = 1767225600;  // 1.1.2026 00:00 UTC
    for (long long i = 0; i < lines; ++i, t += period) {
        std::tm tm{};
        gmtime_r(&t, &tm);
        char stamp[40];
        std::snprintf(stamp, sizeof stamp, "%02d.%02d.%02d\t%02d:%02d:%02d\t", tm.tm_mday,
                      tm.tm_mon + 1, tm.tm_year % 100, tm.tm_hour, tm.tm_min, tm.tm_sec);
        line = stamp;
        for (int c = 1; c <= 15; ++c) {
            if ((i * 7 + c * 13) % 997 == 0) {
                line += "---\t";
                continue;
            }
            line += kvel::formatLogTemperature(20 + c * 3 + 5 * std::sin(double(i) / 3000.0 + c)) +
                    "\t";
        }
        if (i % 100000 == 99999) line.resize(30);
        line += "\r\n";
        std::fwrite(line.data(), 1, line.size(), out);
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
