#include "core/metrics_text.h"

#include <cstdio>

namespace kvel {
namespace {

std::string number(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

void family(std::string& out, const char* name, const char* type, const char* help) {
    out += std::string("# HELP ") + name + ' ' + help + "\n# TYPE " + name + ' ' + type + '\n';
}

}  // namespace

std::string metricsLabel(const std::string& value) {
    std::string out;
    for (const char c : value) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '"') {
            out += "\\\"";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

void PollMetrics::add(const PollSnapshot& snapshot) {
    last_ = snapshot;
    ++polls_;
    durationSum_ += snapshot.durationSeconds;
}

std::string PollMetrics::text() const {
    if (polls_ == 0) return {};
    const PollSnapshot& s = last_;
    std::string out;
    family(out, "kvel_temperature_celsius", "gauge",
           "Temperature of a channel at the last poll; absent without a reading.");
    for (std::size_t i = 0; i < s.readings.channels.size(); ++i) {
        if (!s.readings.channels[i]) continue;
        const std::string name = i < s.names.size() ? s.names[i] : std::string();
        out += "kvel_temperature_celsius{channel=\"" + std::to_string(i + 1) + "\",name=\"" +
               metricsLabel(name) + "\"} " + number(*s.readings.channels[i]) + '\n';
    }
    family(out, "kvel_relay_on", "gauge", "1 when the relay is on.");
    for (int k = 0; k < kRelayCount; ++k) {
        out += "kvel_relay_on{relay=\"" + std::to_string(k + 1) + "\"} " +
               (s.relays[static_cast<std::size_t>(k)] ? "1" : "0") + '\n';
    }
    family(out, "kvel_link_up", "gauge", "1 when the module answered the last poll.");
    out += std::string("kvel_link_up ") + (s.readings.linkUp ? "1" : "0") + '\n';
    family(out, "kvel_last_poll_timestamp_seconds", "gauge", "When the last poll ended.");
    out += "kvel_last_poll_timestamp_seconds " + std::to_string(s.readings.at) + '\n';
    family(out, "kvel_poll_duration_seconds", "summary", "Time of the polls on the line.");
    out += "kvel_poll_duration_seconds_sum " + number(durationSum_) + '\n';
    out += "kvel_poll_duration_seconds_count " + std::to_string(polls_) + '\n';
    family(out, "kvel_transactions_total", "counter", "Transactions on the line by result.");
    const TrafficCounters& c = s.counters;
    const std::pair<const char*, std::uint64_t> results[] = {{"good", c.good},
                                                             {"no_reply", c.noReply},
                                                             {"bad_crc", c.badCrc},
                                                             {"wrong_address", c.wrongAddress},
                                                             {"exception", c.exceptions},
                                                             {"other", c.otherFaults}};
    for (const auto& [result, count] : results) {
        out += std::string("kvel_transactions_total{result=\"") + result + "\"} " +
               std::to_string(count) + '\n';
    }
    return out;
}

}  // namespace kvel
