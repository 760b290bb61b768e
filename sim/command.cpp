#include "sim/command.h"

#include <charconv>
#include <optional>
#include <sstream>
#include <vector>

namespace kvel::sim {
namespace {

// A whole-word integer, decimal or 0x-hexadecimal, within [low, high].
std::optional<long> number(const std::string& word, long low, long high) {
    int base = 10;
    std::size_t skip = 0;
    if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
        base = 16;
        skip = 2;
    }
    long value = 0;
    const char* begin = word.data() + skip;
    const char* end = word.data() + word.size();
    const auto [ptr, ec] = std::from_chars(begin, end, value, base);
    if (ec != std::errc() || ptr != end || begin == end || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

std::string usageText(const std::string& what) {
    return "error: usage: " + what;
}

std::string faultCommand(Simulator& sim, const std::vector<std::string>& w) {
    const std::string usage = "fault none|silence|badcrc|wrongaddr|exception CODE|late MS|count N";
    if (w.size() == 2) {
        if (w[1] == "none")
            sim.setFault(Fault::None);
        else if (w[1] == "silence")
            sim.setFault(Fault::Silence);
        else if (w[1] == "badcrc")
            sim.setFault(Fault::BadCrc);
        else if (w[1] == "wrongaddr")
            sim.setFault(Fault::WrongAddress);
        else
            return usageText(usage);
        return "ok";
    }
    if (w.size() == 3 && w[1] == "exception") {
        const auto code = number(w[2], 1, 255);
        if (!code) return "error: exception code must be 1..255";
        sim.setFault(Fault::Exception, static_cast<int>(*code));
        return "ok";
    }
    if (w.size() == 3 && w[1] == "late") {
        const auto ms = number(w[2], 0, 60000);
        if (!ms) return "error: late time must be 0..60000 ms";
        sim.setFault(Fault::LateReply, 2, static_cast<int>(*ms));
        return "ok";
    }
    if (w.size() == 3 && w[1] == "count") {
        const auto count = number(w[2], 0, 127);
        if (!count) return "error: register count must be 0..127";
        sim.setReplyRegisterCount(static_cast<int>(*count));
        return "ok";
    }
    return usageText(usage);
}

}  // namespace

std::string execute(Simulator& sim, const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> w;
    for (std::string word; in >> word;) w.push_back(word);
    if (w.empty()) return "error: empty command";
    const std::string& verb = w[0];
    if (verb == "unplug" && w.size() == 1) {
        sim.unplug();
        return "ok";
    }
    if (verb == "plug" && w.size() == 1) {
        return sim.plug() ? "ok" : "error: plug failed: " + sim.errorText();
    }
    if (verb == "fault") return faultCommand(sim, w);
    if (verb == "set") {
        if (w.size() != 3) return usageText("set REG VALUE");
        const auto reg = number(w[1], 0, 65535);
        // Negative values go in as their 16-bit two's complement (thresholds can be -40).
        const auto value = number(w[2], -32768, 65535);
        if (!reg) return "error: register must be 0..65535";
        if (!value) return "error: value must be -32768..65535";
        sim.setRegister(static_cast<std::uint16_t>(*reg), static_cast<std::uint16_t>(*value));
        return "ok";
    }
    if (verb == "get") {
        if (w.size() != 2) return usageText("get REG");
        const auto reg = number(w[1], 0, 65535);
        if (!reg) return "error: register must be 0..65535";
        return "ok " + std::to_string(sim.registerValue(static_cast<std::uint16_t>(*reg)));
    }
    if (verb == "type") {
        if (w.size() != 2) return usageText("type CODE");
        const auto code = number(w[1], 0, 65535);
        if (!code) return "error: type code must be 0..65535";
        sim.setTypeCode(static_cast<int>(*code));
        return "ok";
    }
    if (verb == "drift") {
        if (w.size() == 2 && (w[1] == "on" || w[1] == "off")) {
            sim.setDrift(w[1] == "on");
            return "ok";
        }
        return usageText("drift on|off");
    }
    if (verb == "unplug" || verb == "plug") return usageText(verb);
    return "error: unknown command '" + verb + "'";
}

}  // namespace kvel::sim
