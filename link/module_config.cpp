#include "link/module_config.h"

#include <charconv>
#include <climits>
#include <cmath>

namespace kvel {
namespace {

std::string_view trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

bool parseInteger(std::string_view text, int& value) {
    text = trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    long long parsed = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (ec != std::errc() || end != text.data() + text.size()) return false;
    if (parsed < INT_MIN || parsed > INT_MAX) return false;
    value = static_cast<int>(parsed);
    return true;
}

bool integerIn(std::string_view text, int low, int high) {
    int value = 0;
    return parseInteger(text, value) && value >= low && value <= high;
}

bool parseCoefficient(std::string_view text, double& value) {
    text = trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    double parsed = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(parsed)) {
        return false;
    }
    value = parsed;
    return true;
}

float coefficientOfRegister(std::uint16_t value) {
    return static_cast<float>(value * (1.0 / 65535));
}

std::string coefficientText(float coefficient) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(coefficient),
                      std::chars_format::fixed, 5);
    return std::string(buffer, result.ptr);
}

std::uint16_t coefficientRegister(double coefficient) {
    const double raw = std::trunc(coefficient * 65535);
    return static_cast<std::uint16_t>(raw < 0 ? 0 : (raw > 65535 ? 65535 : raw));
}

Choice choiceOfIndex(int index, int itemCount) {
    return Choice{index >= 0 && index < itemCount ? index : -1, false};
}

Choice choiceOfFunction(std::uint16_t value) {
    return choiceOfIndex(static_cast<int>(value) - 1, kRelayFunctions);
}

std::uint16_t functionOfChoice(const Choice& choice) {
    return static_cast<std::uint16_t>(choice.index >= 0 ? choice.index + 1 : 0);
}

std::string unsignedText(std::uint16_t value) {
    return std::to_string(value);
}

std::string signedText(std::uint16_t value) {
    return std::to_string(static_cast<std::int16_t>(value));
}

std::vector<bool> checksOfMask(std::uint32_t mask, int count) {
    std::vector<bool> checks(static_cast<std::size_t>(count));
    for (int k = 0; k < count && k < 32; ++k)
        checks[static_cast<std::size_t>(k)] = (mask >> k & 1) != 0;
    return checks;
}

std::uint32_t maskOfChecks(const std::vector<bool>& checks, int count) {
    std::uint32_t mask = 0;
    for (int k = 0; k < count && k < 32 && k < static_cast<int>(checks.size()); ++k) {
        if (checks[static_cast<std::size_t>(k)]) mask |= std::uint32_t{1} << k;
    }
    return mask;
}

std::optional<FieldRefusal> validateCoefficients(const ChannelTable& table, int channels) {
    for (int k = 0; k < channels; ++k) {
        double c = 0;
        const bool ok = k < static_cast<int>(table.coeffs.size()) &&
                        parseCoefficient(table.coeffs[static_cast<std::size_t>(k)], c) && c >= 0 &&
                        c <= 1;
        if (!ok) {
            return FieldRefusal{
                QT_TRANSLATE_NOOP("KvelView", "Некорректное значение коэффицента канала %1"),
                {std::to_string(k + 1)}};
        }
    }
    return std::nullopt;
}

}  // namespace kvel
