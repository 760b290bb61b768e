#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/field_refusal.h"

namespace kvel {

// What a field shows after its group could not be read; coefficients show their own.
inline constexpr char kPlaceholder[] = "--";
inline constexpr char kCoeffPlaceholder[] = "---";

// Items of the drop-down boxes of both module settings dialogs: the item index is the value
// the module holds.
inline constexpr int kSpeedItemCount = 5;   // 9600 … 115200
inline constexpr int kParityItemCount = 3;  // none, even, odd
inline constexpr int kLogicItems = 2;       // negative, positive
inline constexpr int kRelayFunctions = 22;

// A drop-down box: the selected item index (-1: none). A box with no selection shows the
// placeholder "--" after a failed read, and nothing otherwise.
struct Choice {
    int index = -1;
    bool placeholder = false;
    bool operator==(const Choice&) const = default;
};

// The channel table of both dialogs: row k is channel k+1.
struct ChannelTable {
    std::vector<std::string> names;
    std::vector<std::string> coeffs;
};

// Decimal integer, blanks around it allowed; false for anything else or beyond 32 bits.
bool parseInteger(std::string_view text, int& value);
// An integer within [low, high], both inclusive.
bool integerIn(std::string_view text, int low, int high);
// A decimal fraction with "." whatever the locale; false for a non-number (also NaN, infinity).
bool parseCoefficient(std::string_view text, double& value);

// The coefficient of a register value (v / 65535), in single precision as the module's.
float coefficientOfRegister(std::uint16_t value);
// Fixed-point with 5 digits after ".": 65535 gives "1.00000", 58981 gives "0.89999".
std::string coefficientText(float coefficient);
// c × 65535 truncated toward zero; c must lie in [0, 1].
std::uint16_t coefficientRegister(double coefficient);

// The box selection for an item index held by the module: none when the box has no such item.
Choice choiceOfIndex(int index, int itemCount);
// What a register holding a relay function (1 … 22) selects; 0 or 23 select nothing.
Choice choiceOfFunction(std::uint16_t value);
// The function sent for a selection: item index + 1, 0 when nothing is selected.
std::uint16_t functionOfChoice(const Choice& choice);

// Register texts: unsigned, or as a signed 16-bit value.
std::string unsignedText(std::uint16_t value);
std::string signedText(std::uint16_t value);

// Bits 0 … count-1 of a mask as check states, and back (items beyond the list stay clear).
std::vector<bool> checksOfMask(std::uint32_t mask, int count);
std::uint32_t maskOfChecks(const std::vector<bool>& checks, int count);

// Checks of a coefficient column: the message for the first row that is not a number within
// [0, 1] ("Некорректное значение коэффицента канала N"), nothing when every row passes.
std::optional<FieldRefusal> validateCoefficients(const ChannelTable& table, int channels);

}  // namespace kvel
