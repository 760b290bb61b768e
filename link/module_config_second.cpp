#include "link/module_config_second.h"

#include "link/module_map.h"

namespace kvel {
namespace {

std::uint16_t low16(std::string_view text) {
    int value = 0;
    parseInteger(text, value);
    return static_cast<std::uint16_t>(value);
}

bool selected(const Choice& choice, int items) {
    return choice.index >= 0 && choice.index < items;
}

}  // namespace

void fillRelayNew(SecondGenRelayFields& relay, const std::uint16_t* b, int typeCode, int channels) {
    relay.function = choiceOfFunction(b[0]);
    relay.logic = choiceOfIndex(b[1], kLogicItems);
    relay.thres = signedText(b[5]);
    relay.hyst = signedText(b[6]);
    relay.delayOn = unsignedText(b[2]);
    relay.delayOff = unsignedText(b[3]);
    const std::uint32_t mask =
        typeCode >= 210 ? (std::uint32_t{b[7]} << 16 | b[4]) : std::uint32_t{b[4]};
    relay.binding = checksOfMask(mask, channels);
}

void fillRelayPlaceholders(SecondGenRelayFields& relay, int channels) {
    for (std::string* text : {&relay.thres, &relay.hyst, &relay.delayOn, &relay.delayOff}) {
        *text = kPlaceholder;
    }
    relay.function = Choice{-1, true};
    relay.logic = Choice{-1, true};
    relay.binding.assign(static_cast<std::size_t>(channels), false);
}

void fillCommNew(SecondGenFields& f, const std::uint16_t* regs) {
    f.adr1 = unsignedText(regs[0]);
    f.speed1 = choiceOfIndex(regs[1], kSpeedItemCount);
    f.parity1 = choiceOfIndex(regs[2], kParityItemCount);
    f.adr2 = unsignedText(regs[5]);
    f.speed2 = choiceOfIndex(regs[6], kSpeedItemCount);
    f.parity2 = choiceOfIndex(regs[7], kParityItemCount);
}

void fillCommPlaceholders(SecondGenFields& f) {
    f.adr1 = kPlaceholder;
    f.adr2 = kPlaceholder;
    for (Choice* choice : {&f.speed1, &f.parity1, &f.speed2, &f.parity2}) {
        *choice = Choice{-1, true};
    }
}

std::vector<ParamCheck> relayParamChecks(const SecondGenFields& f) {
    std::vector<ParamCheck> checks;
    for (int r = 1; r <= kRelayCount; ++r) {
        const SecondGenRelayFields& relay = f.relays[static_cast<std::size_t>(r - 1)];
        const std::vector<std::string> n = {std::to_string(r)};
        checks.push_back(
            {relay.thres,
             -40,
             {QT_TRANSLATE_NOOP("KvelView",
                                "Некорректное значение параметра: Значение порога реле %1"),
              n},
             500});
        checks.push_back(
            {relay.hyst,
             -40,
             {QT_TRANSLATE_NOOP("KvelView",
                                "Некорректное значение параметра: Значение гистерезиса реле %1"),
              n},
             500});
        checks.push_back({relay.delayOn,
                          1,
                          {QT_TRANSLATE_NOOP("KvelView",
                                             "Некорректное значение параметра: "
                                             "Значение задержки на включение реле %1"),
                           n},
                          255});
        checks.push_back({relay.delayOff,
                          1,
                          {QT_TRANSLATE_NOOP("KvelView",
                                             "Некорректное значение параметра: "
                                             "Значение задержки на отключение реле %1"),
                           n},
                          255});
    }
    return checks;
}

std::optional<FieldRefusal> validateRelayLogic(const SecondGenFields& f) {
    for (int r = 1; r <= kRelayCount; ++r) {
        if (!selected(f.relays[static_cast<std::size_t>(r - 1)].logic, kLogicItems)) {
            return FieldRefusal{
                QT_TRANSLATE_NOOP("KvelView", "Некорректное значение параметра: Логика реле %1"),
                {std::to_string(r)}};
        }
    }
    return std::nullopt;
}

std::optional<FieldRefusal> validateRelaySettingsNew(const SecondGenFields& f) {
    for (const ParamCheck& c : relayParamChecks(f)) {
        if (!integerIn(c.text, c.low, c.high)) return c.refusal;
    }
    return validateRelayLogic(f);
}

std::vector<std::uint16_t> encodeRelayBlockNew(const SecondGenRelayFields& relay, int typeCode,
                                               int channels) {
    const std::uint32_t mask = maskOfChecks(relay.binding, channels);
    std::vector<std::uint16_t> block = {functionOfChoice(relay.function),
                                        static_cast<std::uint16_t>(relay.logic.index),
                                        low16(relay.delayOn),
                                        low16(relay.delayOff),
                                        static_cast<std::uint16_t>(mask & 0xFFFF),
                                        low16(relay.thres),
                                        low16(relay.hyst)};
    if (relaySettingsLength(typeCode) == 8) block.push_back(static_cast<std::uint16_t>(mask >> 16));
    return block;
}

std::optional<FieldRefusal> validateLinkSettingsNew(const SecondGenFields& f) {
    if (!integerIn(f.adr1, 1, 247))
        return FieldRefusal{QT_TRANSLATE_NOOP("KvelView", "Некорректное значение адреса MB1")};
    if (!integerIn(f.adr2, 1, 247))
        return FieldRefusal{QT_TRANSLATE_NOOP("KvelView", "Некорректное значение адреса MB2")};
    // An empty box would go out as 65535 and could cut the module off the line.
    if (!selected(f.speed1, kSpeedItemCount))
        return FieldRefusal{QT_TRANSLATE_NOOP("KvelView", "Некорректное значение скорости MB1")};
    if (!selected(f.parity1, kParityItemCount))
        return FieldRefusal{QT_TRANSLATE_NOOP("KvelView", "Некорректное значение паритета MB1")};
    if (!selected(f.speed2, kSpeedItemCount))
        return FieldRefusal{QT_TRANSLATE_NOOP("KvelView", "Некорректное значение скорости MB2")};
    if (!selected(f.parity2, kParityItemCount))
        return FieldRefusal{QT_TRANSLATE_NOOP("KvelView", "Некорректное значение паритета MB2")};
    return std::nullopt;
}

std::array<std::uint16_t, 8> encodeLinkSettingsNew(const SecondGenFields& f) {
    return {low16(f.adr1),
            static_cast<std::uint16_t>(f.speed1.index),
            static_cast<std::uint16_t>(f.parity1.index),
            0,
            0,
            low16(f.adr2),
            static_cast<std::uint16_t>(f.speed2.index),
            static_cast<std::uint16_t>(f.parity2.index)};
}

}  // namespace kvel
