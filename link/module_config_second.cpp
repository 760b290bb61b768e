#include "link/module_config_second.h"

#include "link/module_map.h"

namespace kvel {
namespace {

std::uint16_t Low16(std::string_view text) {
    int value = 0;
    ParseInteger(text, value);
    return static_cast<std::uint16_t>(value);
}

bool Selected(const TChoice& choice, int items) {
    return choice.index >= 0 && choice.index < items;
}

}  // namespace

void FillRelayNew(TRelayFieldsNew& relay, const std::uint16_t* b, int typeCode, int channels) {
    relay.function = ChoiceOfFunction(b[0]);
    relay.logic = ChoiceOfIndex(b[1], kLogicItems);
    relay.thres = SignedText(b[5]);
    relay.hyst = SignedText(b[6]);
    relay.delayOn = UnsignedText(b[2]);
    relay.delayOff = UnsignedText(b[3]);
    const std::uint32_t mask =
        typeCode >= 210 ? (std::uint32_t{b[7]} << 16 | b[4]) : std::uint32_t{b[4]};
    relay.binding = ChecksOfMask(mask, channels);
}

void FillRelayPlaceholders(TRelayFieldsNew& relay, int channels) {
    for (std::string* text : {&relay.thres, &relay.hyst, &relay.delayOn, &relay.delayOff}) {
        *text = kPlaceholder;
    }
    relay.function = TChoice{-1, true};
    relay.logic = TChoice{-1, true};
    relay.binding.assign(static_cast<std::size_t>(channels), false);
}

void FillCommNew(TModuleSettingsFieldsNew& f, const std::uint16_t* regs) {
    f.adr1 = UnsignedText(regs[0]);
    f.speed1 = ChoiceOfIndex(regs[1], kSpeedItemCount);
    f.parity1 = ChoiceOfIndex(regs[2], kParityItemCount);
    f.adr2 = UnsignedText(regs[5]);
    f.speed2 = ChoiceOfIndex(regs[6], kSpeedItemCount);
    f.parity2 = ChoiceOfIndex(regs[7], kParityItemCount);
}

void FillCommPlaceholders(TModuleSettingsFieldsNew& f) {
    f.adr1 = kPlaceholder;
    f.adr2 = kPlaceholder;
    for (TChoice* choice : {&f.speed1, &f.parity1, &f.speed2, &f.parity2}) {
        *choice = TChoice{-1, true};
    }
}

std::vector<TParamCheck> RelayParamChecks(const TModuleSettingsFieldsNew& f) {
    std::vector<TParamCheck> checks;
    for (int r = 1; r <= 3; ++r) {
        const TRelayFieldsNew& relay = f.relays[static_cast<std::size_t>(r - 1)];
        const std::string n = std::to_string(r);
        checks.push_back({relay.thres, -40, "Значение порога реле " + n, 500});
        checks.push_back({relay.hyst, -40, "Значение гистерезиса реле " + n, 500});
        checks.push_back({relay.delayOn, 1, "Значение задержки на включение реле " + n, 255});
        checks.push_back({relay.delayOff, 1, "Значение задержки на отключение реле " + n, 255});
    }
    return checks;
}

std::string ParamMessage(const std::string& name) {
    return "Некорректное значение параметра: " + name;
}

std::optional<std::string> ValidateRelayLogic(const TModuleSettingsFieldsNew& f) {
    for (int r = 1; r <= 3; ++r) {
        if (!Selected(f.relays[static_cast<std::size_t>(r - 1)].logic, kLogicItems)) {
            return ParamMessage("Логика реле " + std::to_string(r));
        }
    }
    return std::nullopt;
}

std::optional<std::string> ValidateRelaySettingsNew(const TModuleSettingsFieldsNew& f) {
    for (const TParamCheck& c : RelayParamChecks(f)) {
        if (!IntegerIn(c.text, c.low, c.high)) return ParamMessage(c.name);
    }
    return ValidateRelayLogic(f);
}

std::vector<std::uint16_t> EncodeRelayBlockNew(const TRelayFieldsNew& relay, int typeCode,
                                               int channels) {
    const std::uint32_t mask = MaskOfChecks(relay.binding, channels);
    std::vector<std::uint16_t> block = {FunctionOfChoice(relay.function),
                                        static_cast<std::uint16_t>(relay.logic.index),
                                        Low16(relay.delayOn),
                                        Low16(relay.delayOff),
                                        static_cast<std::uint16_t>(mask & 0xFFFF),
                                        Low16(relay.thres),
                                        Low16(relay.hyst)};
    if (RelaySettingsLength(typeCode) == 8) block.push_back(static_cast<std::uint16_t>(mask >> 16));
    return block;
}

std::optional<std::string> ValidateLinkSettingsNew(const TModuleSettingsFieldsNew& f) {
    if (!IntegerIn(f.adr1, 1, 247)) return "Некорректное значение адреса MB1";
    if (!IntegerIn(f.adr2, 1, 247)) return "Некорректное значение адреса MB2";
    // An empty box would go out as 65535 and could cut the module off the line.
    if (!Selected(f.speed1, kSpeedItemCount)) return "Некорректное значение скорости MB1";
    if (!Selected(f.parity1, kParityItemCount)) return "Некорректное значение паритета MB1";
    if (!Selected(f.speed2, kSpeedItemCount)) return "Некорректное значение скорости MB2";
    if (!Selected(f.parity2, kParityItemCount)) return "Некорректное значение паритета MB2";
    return std::nullopt;
}

std::array<std::uint16_t, 8> EncodeLinkSettingsNew(const TModuleSettingsFieldsNew& f) {
    return {Low16(f.adr1),
            static_cast<std::uint16_t>(f.speed1.index),
            static_cast<std::uint16_t>(f.parity1.index),
            0,
            0,
            Low16(f.adr2),
            static_cast<std::uint16_t>(f.speed2.index),
            static_cast<std::uint16_t>(f.parity2.index)};
}

}  // namespace kvel
