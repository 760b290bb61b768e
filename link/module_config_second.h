#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/module_config.h"
#include "link/module_map.h"

namespace kvel {

// One relay group of the second-generation dialog.
struct SecondGenRelayFields {
    Choice function;
    Choice logic;
    std::string delayOn;
    std::string delayOff;
    std::string hyst;
    std::string thres;
    std::vector<bool> binding;  // item k = channel k+1
};

// The second-generation dialog's module fields: three relays and the links MB1 and MB2.
struct SecondGenFields {
    std::array<SecondGenRelayFields, kRelayCount> relays;
    std::string adr1;
    Choice speed1;
    Choice parity1;
    std::string adr2;
    Choice speed2;
    Choice parity2;
};

// Relay block r (1 … 3) as read: 7 registers, 8 for type codes 210 and above.
void fillRelayNew(SecondGenRelayFields& relay, const std::uint16_t* block, int typeCode,
                  int channels);
void fillRelayPlaceholders(SecondGenRelayFields& relay, int channels);
// Registers 256 … 263 as read.
void fillCommNew(SecondGenFields& f, const std::uint16_t* regs);
void fillCommPlaceholders(SecondGenFields& f);

// One range check of the relay write: the field's text, its bounds and why it is refused
// ("Некорректное значение параметра: " followed by the parameter's name).
struct ParamCheck {
    std::string text;
    int low;
    FieldRefusal refusal;
    int high;
};
// The checks of the relay write in their order: relay 1, 2, 3, each threshold, hysteresis,
// switch-on and switch-off delay.
std::vector<ParamCheck> relayParamChecks(const SecondGenFields& f);
// A logic box without a selection would go out as 65535: its message, else nothing.
std::optional<FieldRefusal> validateRelayLogic(const SecondGenFields& f);
// The whole relay validation: the first message, or nothing.
std::optional<FieldRefusal> validateRelaySettingsNew(const SecondGenFields& f);
// Relay block of validated fields: 7 registers, 8 (with the high half of the mask) for type
// codes 210 and above.
std::vector<std::uint16_t> encodeRelayBlockNew(const SecondGenRelayFields& relay, int typeCode,
                                               int channels);

// The link write's checks: MB1 and MB2 addresses, then the baud rate and parity selections.
std::optional<FieldRefusal> validateLinkSettingsNew(const SecondGenFields& f);
// Registers 256 … 263 of validated fields.
std::array<std::uint16_t, 8> encodeLinkSettingsNew(const SecondGenFields& f);

}  // namespace kvel
