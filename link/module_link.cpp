#include "link/module_link.h"

namespace kvel {

void TModuleLink::OpenPort(const std::string& name, int speedIndex, int parityIndex) {
    if (!port_.Open(name, speedIndex, parityIndex) && statusSink_) {
        statusSink_("Ошибка открытия порта");
    }
}

bool TModuleLink::ReadGroup(TReadTransaction& t, int address, std::uint16_t first,
                            std::uint16_t count) {
    t.moduleAddress = static_cast<std::uint8_t>(address & 0xFF);
    t.firstRegister = first;
    t.count = count;
    return ReadExactly(t);
}

int TModuleLink::ReadModuleType(int address) {
    TReadTransaction& t = reads_[0];
    return ReadGroup(t, address, reg::kModuleType, 1) ? t.registers[0] : 0;
}

int TModuleLink::ReadSoftwareVersion(int address) {
    TReadTransaction& t = reads_[0];
    return ReadGroup(t, address, reg::kSoftwareVersion, 1) ? t.registers[0] : 100;
}

bool TModuleLink::ReadMeasurements(int address) {
    return ReadGroup(reads_[0], address, MeasurementFirstRegister(typeCode_),
                     static_cast<std::uint16_t>(channelCount_));
}

bool TModuleLink::ReadRelayStates(int address) {
    return ReadGroup(reads_[0], address, reg::kRelayStates, 1);
}

bool TModuleLink::ReadSettingsBlock(int address) {
    const auto channels = static_cast<std::uint16_t>(channelCount_);
    if (!ReadGroup(reads_[0], address, reg::kSettingsBlock, reg::kSettingsBlockCount)) return false;
    if (!ReadGroup(reads_[1], address, reg::kThresholds1, channels)) return false;
    if (!ReadGroup(reads_[2], address, reg::kThresholds2, channels)) return false;
    if (typeCode_ != 220) return true;
    if (!ReadGroup(reads_[5], address, reg::kExtraPair1, 2)) return false;
    return ReadGroup(reads_[6], address, reg::kExtraPair2, 2);
}

bool TModuleLink::ReadChannelCoeffs(int address) {
    return ReadGroup(reads_[0], address, reg::kChannelCoeffs,
                     static_cast<std::uint16_t>(channelCount_));
}

bool TModuleLink::ReadRelaySettings(int relayNumber, int address) {
    if (relayNumber < 1 || relayNumber > kRelayCount) return false;
    return ReadGroup(reads_[0], address, reg::kRelaySettings[relayNumber - 1],
                     RelaySettingsLength(typeCode_));
}

bool TModuleLink::ReadCommParams(int address) {
    return ReadGroup(reads_[0], address, reg::kCommParams, reg::kCommParamsCount);
}

void TModuleLink::SetModuleType(int typeCode) {
    typeCode_ = typeCode;
    channelCount_ = ChannelCountForType(typeCode);
}

std::vector<std::string> TModuleLink::TakeMeasurements() {
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(channelCount_));
    for (int k = 0; k < channelCount_; ++k) {
        const std::uint16_t raw = reads_[0].registers[k];
        valid_[static_cast<std::size_t>(k)] = raw != 0;
        texts.push_back(TemperatureText(raw));
    }
    return texts;
}

bool TModuleLink::ChannelValid(int channelIndex) const {
    return channelIndex >= 0 && channelIndex < static_cast<int>(valid_.size()) &&
           valid_[static_cast<std::size_t>(channelIndex)];
}

bool TModuleLink::RelayOn(int relayIndex) const {
    return kvel::RelayOn(reads_[0].registers[0], relayIndex);
}

}  // namespace kvel
