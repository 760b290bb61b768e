#include "core/publish_topics.h"

#include <cstdio>
#include <cstdlib>

namespace kvel {
namespace {

// JSON's string escapes; names come from mem.ini and may hold anything.
std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", u);
            out += esc;
        } else {
            out += c;
        }
    }
    return out + '"';
}

}  // namespace

std::string channelPayload(const std::optional<double>& value) {
    if (!value) return {};
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", *value);
    // "%.2f" follows the C locale, which the program never changes; make sure all the same.
    for (char& c : text) {
        if (c == ',') c = '.';
    }
    return text;
}

std::string isoTime(std::time_t at, int utcOffsetSeconds) {
    const std::time_t shifted = at + utcOffsetSeconds;
    std::tm t{};
    gmtime_r(&shifted, &t);
    char text[64];
    const int off = std::abs(utcOffsetSeconds);
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", t.tm_year + 1900,
                  t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec,
                  utcOffsetSeconds < 0 ? '-' : '+', off / 3600, off / 60 % 60);
    return text;
}

std::string pollJson(const PollSnapshot& s) {
    std::string out = "{\"time\":" + jsonString(isoTime(s.readings.at, s.utcOffsetSeconds)) +
                      ",\"link\":" + (s.readings.linkUp ? "\"up\"" : "\"down\"") +
                      ",\"channels\":[";
    for (int n = 1; n <= s.channelCount; ++n) {
        const std::size_t i = static_cast<std::size_t>(n - 1);
        const std::string value =
            i < s.readings.channels.size() ? channelPayload(s.readings.channels[i]) : "";
        if (n > 1) out += ',';
        out += "{\"channel\":" + std::to_string(n) +
               ",\"name\":" + jsonString(i < s.names.size() ? s.names[i] : std::string()) +
               ",\"value\":" + (value.empty() ? "null" : value) + '}';
    }
    out += "],\"relays\":[";
    for (int k = 0; k < kRelayCount; ++k) {
        if (k > 0) out += ',';
        out += s.relays[static_cast<std::size_t>(k)] ? '1' : '0';
    }
    return out + "]}";
}

std::vector<TopicMessage> pollMessages(const std::string& base, const PollSnapshot& s) {
    std::vector<TopicMessage> messages;
    messages.emplace_back(base + "/link", s.readings.linkUp ? "up" : "down");
    for (int n = 1; n <= s.channelCount; ++n) {
        const std::size_t i = static_cast<std::size_t>(n - 1);
        messages.emplace_back(
            base + "/channel/" + std::to_string(n),
            i < s.readings.channels.size() ? channelPayload(s.readings.channels[i]) : "");
    }
    for (int k = 0; k < kRelayCount; ++k) {
        messages.emplace_back(base + "/relay/" + std::to_string(k + 1),
                              s.relays[static_cast<std::size_t>(k)] ? "1" : "0");
    }
    messages.emplace_back(base + "/poll", pollJson(s));
    return messages;
}

}  // namespace kvel
