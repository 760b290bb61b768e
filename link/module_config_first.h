#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/module_config.h"
#include "link/module_map.h"

namespace kvel {

// The first-generation dialog's module fields (type codes below 200 and 220), as texts,
// selections and check states.
struct FirstGenFields {
    std::string adr;
    Choice speed;
    Choice parity;
    std::string thres1;  // hidden: carries registers 3 and 4 from the read to the write
    std::string thres2;
    std::string hyst;
    std::string delayOn;
    std::string delayOff;
    std::array<Choice, kRelayCount> relayFunction;
    std::vector<bool> link;   // binding to the link relay, item k = channel k+1
    std::vector<bool> thres;  // binding to the threshold relay
    std::array<std::string, kRelayCount> relSens;
    std::vector<std::string> thresholds1;  // per-channel thresholds, row k = channel k+1
    std::vector<std::string> thresholds2;
};

// The registers of one settings read: the block from register 0 (18 values), the tables at
// 768 and 800 (one per channel) and, for type code 220 only, the pairs at 640 and 656.
struct FirstGenRegisters {
    const std::uint16_t* block = nullptr;
    const std::uint16_t* thresholds1 = nullptr;
    const std::uint16_t* thresholds2 = nullptr;
    const std::uint16_t* linkPair = nullptr;
    const std::uint16_t* thresPair = nullptr;
};

void fillModuleSettings(FirstGenFields& f, const FirstGenRegisters& r, int typeCode, int channels);
// After a failed read: "--" in every field, the binding lists cleared; the per-channel
// thresholds keep what they held.
void fillModuleSettingsPlaceholders(FirstGenFields& f, int channels);

// The relay write's checks in their order; the message of the first that fails.
std::optional<FieldRefusal> validateRelaySettings(const FirstGenFields& f, int channels);
// Registers 3 … 17 of validated fields.
std::array<std::uint16_t, 15> encodeSettingsBlock(const FirstGenFields& f);
// Type code 220: all channels, 15 per register (channel index k in bit k mod 15 of register
// k div 15), bit 15 clear.
std::array<std::uint16_t, 2> packBindingPair(const std::vector<bool>& checks, int channels);
// A validated threshold column: each integer as its low 16 bits.
std::vector<std::uint16_t> encodeThresholdColumn(const std::vector<std::string>& column,
                                                 int channels);

// The link write's checks: address, then baud rate and parity selections.
std::optional<FieldRefusal> validateLinkSettings(const FirstGenFields& f);
// Registers 0 … 2 of validated fields: address, baud rate index, parity index.
std::array<std::uint16_t, 3> encodeLinkSettings(const FirstGenFields& f);

}  // namespace kvel
