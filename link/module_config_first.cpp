#include "link/module_config_first.h"

namespace kvel {
namespace {

// Per-channel and hidden thresholds are sent as 16 bits: a value that does not fit would
// reach the module as another number.
bool fits16(std::string_view text) {
    return integerIn(text, -32768, 65535);
}

std::uint16_t low16(std::string_view text) {
    int value = 0;
    parseInteger(text, value);
    return static_cast<std::uint16_t>(value);
}

const std::string& rowOf(const std::vector<std::string>& column, int k) {
    static const std::string empty;
    return k < static_cast<int>(column.size()) ? column[static_cast<std::size_t>(k)] : empty;
}

}  // namespace

void fillModuleSettings(FirstGenFields& f, const FirstGenRegisters& r, int typeCode, int channels) {
    const std::uint16_t* b = r.block;
    f.adr = unsignedText(b[0]);
    f.speed = choiceOfIndex(b[1], kSpeedItemCount);
    f.parity = choiceOfIndex(b[2], kParityItemCount);
    f.thres1 = unsignedText(b[3]);
    f.thres2 = unsignedText(b[4]);
    f.hyst = unsignedText(b[17]);
    f.delayOn = unsignedText(b[5]);
    f.delayOff = unsignedText(b[6]);
    for (int i = 0; i < kRelayCount; ++i)
        f.relayFunction[static_cast<std::size_t>(i)] = choiceOfFunction(b[8 + i]);

    const auto n = static_cast<std::size_t>(channels);
    f.thresholds1.resize(n);
    f.thresholds2.resize(n);
    for (std::size_t k = 0; k < n; ++k) {
        // Thresholds in °C may lie below zero: shown signed, so what was typed comes back.
        f.thresholds1[k] = signedText(r.thresholds1[k]);
        f.thresholds2[k] = signedText(r.thresholds2[k]);
    }
    if (typeCode == 220) {
        f.link.assign(n, false);
        f.thres.assign(n, false);
        for (std::size_t k = 0; k < n; ++k) {
            f.link[k] = (r.linkPair[k / 15] >> (k % 15) & 1) != 0;
            f.thres[k] = (r.thresPair[k / 15] >> (k % 15) & 1) != 0;
        }
    } else {
        f.link = checksOfMask(b[12], channels);
        f.thres = checksOfMask(b[13], channels);
    }
    for (int i = 0; i < kRelayCount; ++i)
        f.relSens[static_cast<std::size_t>(i)] = unsignedText(b[14 + i]);
}

void fillModuleSettingsPlaceholders(FirstGenFields& f, int channels) {
    for (std::string* text : {&f.adr, &f.thres1, &f.thres2, &f.hyst, &f.delayOn, &f.delayOff,
                              &f.relSens[0], &f.relSens[1], &f.relSens[2]}) {
        *text = kPlaceholder;
    }
    for (Choice* choice :
         {&f.speed, &f.parity, &f.relayFunction[0], &f.relayFunction[1], &f.relayFunction[2]}) {
        *choice = Choice{-1, true};
    }
    f.link.assign(static_cast<std::size_t>(channels), false);
    f.thres.assign(static_cast<std::size_t>(channels), false);
}

std::optional<FieldRefusal> validateRelaySettings(const FirstGenFields& f, int channels) {
    int hyst = 0;
    if (!parseInteger(f.hyst, hyst))
        return FieldRefusal{QT_TRANSLATE_NOOP("KvelView", "Некорректное значение гистерезиса")};
    if (hyst < 0 || hyst > 100) {
        return FieldRefusal{QT_TRANSLATE_NOOP(
            "KvelView", "Значение гистерезиса должно лежать в диапазоне от 0 до 100 гр. С")};
    }
    for (int i = 0; i < kRelayCount; ++i) {
        if (!integerIn(f.relSens[static_cast<std::size_t>(i)], 0, 500)) {
            return FieldRefusal{
                QT_TRANSLATE_NOOP("KvelView", "Некорректное значение порога Датчик-Реле %1"),
                {std::to_string(i + 1)}};
        }
    }
    if (!integerIn(f.delayOn, 1, 255))
        return FieldRefusal{
            QT_TRANSLATE_NOOP("KvelView", "Некорректное значение задержки на включение")};
    if (!integerIn(f.delayOff, 1, 255))
        return FieldRefusal{
            QT_TRANSLATE_NOOP("KvelView", "Некорректное значение задержки на отключение")};
    for (int column = 1; column <= 2; ++column) {
        const auto& cells = column == 1 ? f.thresholds1 : f.thresholds2;
        for (int k = 0; k < channels; ++k) {
            if (!fits16(rowOf(cells, k))) {
                return FieldRefusal{
                    QT_TRANSLATE_NOOP("KvelView", "Некорректное значение порога %1 канала %2"),
                    {std::to_string(column), std::to_string(k + 1)}};
            }
        }
    }
    // The hidden thresholds hold "--" after a failed read even when the visible fields were
    // typed in since: nothing may go out then.
    if (!fits16(f.thres1))
        return FieldRefusal{QT_TRANSLATE_NOOP("KvelView", "Некорректное значение порога 1")};
    if (!fits16(f.thres2))
        return FieldRefusal{QT_TRANSLATE_NOOP("KvelView", "Некорректное значение порога 2")};
    return std::nullopt;
}

std::array<std::uint16_t, 15> encodeSettingsBlock(const FirstGenFields& f) {
    const auto first15 = [](const std::vector<bool>& checks) {
        return static_cast<std::uint16_t>(maskOfChecks(checks, 15));
    };
    return {low16(f.thres1),
            low16(f.thres2),
            low16(f.delayOn),
            low16(f.delayOff),
            0,
            functionOfChoice(f.relayFunction[0]),
            functionOfChoice(f.relayFunction[1]),
            functionOfChoice(f.relayFunction[2]),
            0,
            first15(f.link),
            first15(f.thres),
            low16(f.relSens[0]),
            low16(f.relSens[1]),
            low16(f.relSens[2]),
            low16(f.hyst)};
}

std::array<std::uint16_t, 2> packBindingPair(const std::vector<bool>& checks, int channels) {
    std::array<std::uint16_t, 2> pair{};
    for (int k = 0; k < channels && k < 30 && k < static_cast<int>(checks.size()); ++k) {
        if (checks[static_cast<std::size_t>(k)]) {
            pair[static_cast<std::size_t>(k / 15)] |= static_cast<std::uint16_t>(1u << (k % 15));
        }
    }
    return pair;
}

std::vector<std::uint16_t> encodeThresholdColumn(const std::vector<std::string>& column,
                                                 int channels) {
    std::vector<std::uint16_t> values;
    for (int k = 0; k < channels; ++k) values.push_back(low16(rowOf(column, k)));
    return values;
}

std::optional<FieldRefusal> validateLinkSettings(const FirstGenFields& f) {
    if (!integerIn(f.adr, 1, 247))
        return FieldRefusal{QT_TRANSLATE_NOOP("KvelView", "Некорректное значение адреса модуля")};
    // An empty box would go out as 65535 and could cut the module off the line.
    if (f.speed.index < 0 || f.speed.index >= kSpeedItemCount)
        return FieldRefusal{QT_TRANSLATE_NOOP("KvelView", "Некорректное значение скорости")};
    if (f.parity.index < 0 || f.parity.index >= kParityItemCount) {
        return FieldRefusal{QT_TRANSLATE_NOOP("KvelView", "Некорректное значение паритета")};
    }
    return std::nullopt;
}

std::array<std::uint16_t, 3> encodeLinkSettings(const FirstGenFields& f) {
    return {low16(f.adr), static_cast<std::uint16_t>(f.speed.index),
            static_cast<std::uint16_t>(f.parity.index)};
}

}  // namespace kvel
