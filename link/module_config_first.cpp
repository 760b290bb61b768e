#include "link/module_config_first.h"

namespace kvel {
namespace {

// Per-channel and hidden thresholds are sent as 16 bits: a value that does not fit would
// reach the module as another number.
bool Fits16(std::string_view text) {
    return IntegerIn(text, -32768, 65535);
}

std::uint16_t Low16(std::string_view text) {
    int value = 0;
    ParseInteger(text, value);
    return static_cast<std::uint16_t>(value);
}

const std::string& Row(const std::vector<std::string>& column, int k) {
    static const std::string empty;
    return k < static_cast<int>(column.size()) ? column[static_cast<std::size_t>(k)] : empty;
}

}  // namespace

void FillModuleSettings(TModuleSettingsFields& f, const TSettingsRegisters& r, int typeCode,
                        int channels) {
    const std::uint16_t* b = r.block;
    f.adr = UnsignedText(b[0]);
    f.speed = ChoiceOfIndex(b[1], kSpeedItemCount);
    f.parity = ChoiceOfIndex(b[2], kParityItemCount);
    f.thres1 = UnsignedText(b[3]);
    f.thres2 = UnsignedText(b[4]);
    f.hyst = UnsignedText(b[17]);
    f.delayOn = UnsignedText(b[5]);
    f.delayOff = UnsignedText(b[6]);
    for (int i = 0; i < 3; ++i)
        f.relayFunction[static_cast<std::size_t>(i)] = ChoiceOfFunction(b[8 + i]);

    const auto n = static_cast<std::size_t>(channels);
    f.thresholds1.resize(n);
    f.thresholds2.resize(n);
    for (std::size_t k = 0; k < n; ++k) {
        // Thresholds in °C may lie below zero: shown signed, so what was typed comes back.
        f.thresholds1[k] = SignedText(r.thresholds1[k]);
        f.thresholds2[k] = SignedText(r.thresholds2[k]);
    }
    if (typeCode == 220) {
        f.link.assign(n, false);
        f.thres.assign(n, false);
        for (std::size_t k = 0; k < n; ++k) {
            f.link[k] = (r.linkPair[k / 15] >> (k % 15) & 1) != 0;
            f.thres[k] = (r.thresPair[k / 15] >> (k % 15) & 1) != 0;
        }
    } else {
        f.link = ChecksOfMask(b[12], channels);
        f.thres = ChecksOfMask(b[13], channels);
    }
    for (int i = 0; i < 3; ++i) f.relSens[static_cast<std::size_t>(i)] = UnsignedText(b[14 + i]);
}

void FillModuleSettingsPlaceholders(TModuleSettingsFields& f, int channels) {
    for (std::string* text : {&f.adr, &f.thres1, &f.thres2, &f.hyst, &f.delayOn, &f.delayOff,
                              &f.relSens[0], &f.relSens[1], &f.relSens[2]}) {
        *text = kPlaceholder;
    }
    for (TChoice* choice :
         {&f.speed, &f.parity, &f.relayFunction[0], &f.relayFunction[1], &f.relayFunction[2]}) {
        *choice = TChoice{-1, true};
    }
    f.link.assign(static_cast<std::size_t>(channels), false);
    f.thres.assign(static_cast<std::size_t>(channels), false);
}

std::optional<std::string> ValidateRelaySettings(const TModuleSettingsFields& f, int channels) {
    int hyst = 0;
    if (!ParseInteger(f.hyst, hyst)) return "Некорректное значение гистерезиса";
    if (hyst < 0 || hyst > 100) {
        return "Значение гистерезиса должно лежать в диапазоне от 0 до 100 гр. С";
    }
    for (int i = 0; i < 3; ++i) {
        if (!IntegerIn(f.relSens[static_cast<std::size_t>(i)], 0, 500)) {
            return "Некорректное значение порога Датчик-Реле " + std::to_string(i + 1);
        }
    }
    if (!IntegerIn(f.delayOn, 1, 255)) return "Некорректное значение задержки на включение";
    if (!IntegerIn(f.delayOff, 1, 255)) return "Некорректное значение задержки на отключение";
    for (int column = 1; column <= 2; ++column) {
        const auto& cells = column == 1 ? f.thresholds1 : f.thresholds2;
        for (int k = 0; k < channels; ++k) {
            if (!Fits16(Row(cells, k))) {
                return "Некорректное значение порога " + std::to_string(column) + " канала " +
                       std::to_string(k + 1);
            }
        }
    }
    // The hidden thresholds hold "--" after a failed read even when the visible fields were
    // typed in since: nothing may go out then.
    if (!Fits16(f.thres1)) return "Некорректное значение порога 1";
    if (!Fits16(f.thres2)) return "Некорректное значение порога 2";
    return std::nullopt;
}

std::array<std::uint16_t, 15> EncodeSettingsBlock(const TModuleSettingsFields& f) {
    const auto first15 = [](const std::vector<bool>& checks) {
        return static_cast<std::uint16_t>(MaskOfChecks(checks, 15));
    };
    return {Low16(f.thres1),
            Low16(f.thres2),
            Low16(f.delayOn),
            Low16(f.delayOff),
            0,
            FunctionOfChoice(f.relayFunction[0]),
            FunctionOfChoice(f.relayFunction[1]),
            FunctionOfChoice(f.relayFunction[2]),
            0,
            first15(f.link),
            first15(f.thres),
            Low16(f.relSens[0]),
            Low16(f.relSens[1]),
            Low16(f.relSens[2]),
            Low16(f.hyst)};
}

std::array<std::uint16_t, 2> PackBindingPair(const std::vector<bool>& checks, int channels) {
    std::array<std::uint16_t, 2> pair{};
    for (int k = 0; k < channels && k < 30 && k < static_cast<int>(checks.size()); ++k) {
        if (checks[static_cast<std::size_t>(k)]) {
            pair[static_cast<std::size_t>(k / 15)] |= static_cast<std::uint16_t>(1u << (k % 15));
        }
    }
    return pair;
}

std::vector<std::uint16_t> EncodeThresholdColumn(const std::vector<std::string>& column,
                                                 int channels) {
    std::vector<std::uint16_t> values;
    for (int k = 0; k < channels; ++k) values.push_back(Low16(Row(column, k)));
    return values;
}

std::optional<std::string> ValidateLinkSettings(const TModuleSettingsFields& f) {
    if (!IntegerIn(f.adr, 1, 247)) return "Некорректное значение адреса модуля";
    // An empty box would go out as 65535 and could cut the module off the line.
    if (f.speed.index < 0 || f.speed.index >= kSpeedItemCount)
        return "Некорректное значение скорости";
    if (f.parity.index < 0 || f.parity.index >= kParityItemCount) {
        return "Некорректное значение паритета";
    }
    return std::nullopt;
}

std::array<std::uint16_t, 3> EncodeLinkSettings(const TModuleSettingsFields& f) {
    return {Low16(f.adr), static_cast<std::uint16_t>(f.speed.index),
            static_cast<std::uint16_t>(f.parity.index)};
}

}  // namespace kvel
