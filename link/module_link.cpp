#include "link/module_link.h"

#include <cstdio>

namespace kvel {

namespace {

template <class Record>
bool refuse(Record& t) {
    t.failure = LinkFailure{LinkError::Interrupted, 0};
    return false;
}

}  // namespace

ModuleLink::ModuleLink(ClosingFlag* closing) : closing_(closing ? *closing : ownClosing_) {
    port_.setTrafficObserver(&traffic_);
    // The port's waits for the line end when the program closes.
    port_.setClosingFlag(&closing_);
}

bool ModuleLink::openPort(const std::string& name, int speedIndex, int parityIndex) {
    const bool opened = port_.open(name, speedIndex, parityIndex);
    rememberFailure();
    return opened;
}

void ModuleLink::closePort() {
    port_.close();
    rememberFailure();
}

void ModuleLink::rememberFailure() {
    const std::lock_guard lock(failureMutex_);
    failure_ = port_.lastFailure();
}

std::string ModuleLink::portOpenFailureText() const {
    return kvel::portOpenFailureText(portOpenFailure());
}

PortOpenFailure ModuleLink::portOpenFailure() const {
    const std::lock_guard lock(failureMutex_);
    return failure_;
}

bool ModuleLink::readRegisters(ReadTransaction& t) {
    return closing_.isSet() ? refuse(t) : kvel::readRegisters(port_, t, timing_);
}

bool ModuleLink::writeRegister(WriteTransaction& t) {
    return closing_.isSet() ? refuse(t) : kvel::writeRegister(port_, t, timing_);
}

bool ModuleLink::writeRegisters(WriteTransaction& t) {
    return closing_.isSet() ? refuse(t) : kvel::writeRegisters(port_, t, timing_);
}

bool ModuleLink::readExactly(ReadTransaction& t) {
    return closing_.isSet() ? refuse(t) : kvel::readExactly(port_, t, timing_);
}

bool ModuleLink::readGroup(ReadTransaction& t, int address, std::uint16_t first,
                           std::uint16_t count) {
    t.moduleAddress = static_cast<std::uint8_t>(address & 0xFF);
    t.firstRegister = first;
    t.count = count;
    return readExactly(t);
}

int ModuleLink::readModuleType(int address) {
    ReadTransaction t;
    return readGroup(t, address, reg::kModuleType, 1) ? t.registers[0] : 0;
}

int ModuleLink::readSoftwareVersion(int address) {
    ReadTransaction t;
    return readGroup(t, address, reg::kSoftwareVersion, 1) ? t.registers[0] : 100;
}

ReadTransaction ModuleLink::readMeasurements(int address) {
    ReadTransaction t;
    readGroup(t, address, measurementFirstRegister(typeCode_),
              static_cast<std::uint16_t>(channelCount_));
    return t;
}

ReadTransaction ModuleLink::readRelayStates(int address) {
    ReadTransaction t;
    readGroup(t, address, reg::kRelayStates, 1);
    return t;
}

bool ModuleLink::readSettingsBlock(int address, SettingsBlockRead& read) {
    const auto channels = static_cast<std::uint16_t>(channelCount_);
    if (!readGroup(read.block, address, reg::kSettingsBlock, reg::kSettingsBlockCount)) {
        return false;
    }
    if (!readGroup(read.thresholds1, address, reg::kThresholds1, channels)) return false;
    if (!readGroup(read.thresholds2, address, reg::kThresholds2, channels)) return false;
    if (typeCode_ != 220) return true;
    if (!readGroup(read.linkPair, address, reg::kExtraPair1, 2)) return false;
    return readGroup(read.thresPair, address, reg::kExtraPair2, 2);
}

ReadTransaction ModuleLink::readChannelCoeffs(int address) {
    ReadTransaction t;
    readGroup(t, address, reg::kChannelCoeffs, static_cast<std::uint16_t>(channelCount_));
    return t;
}

ReadTransaction ModuleLink::readRelaySettings(int relayNumber, int address) {
    ReadTransaction t;
    if (relayNumber < 1 || relayNumber > kRelayCount) {
        // No such relay: nothing is asked of the module.
        t.failure = LinkFailure{LinkError::ReadCountRefused, 0};
        return t;
    }
    readGroup(t, address, reg::kRelaySettings[relayNumber - 1], relaySettingsLength(typeCode_));
    return t;
}

ReadTransaction ModuleLink::readCommParams(int address) {
    ReadTransaction t;
    readGroup(t, address, reg::kCommParams, reg::kCommParamsCount);
    return t;
}

void ModuleLink::setModuleType(int typeCode) {
    typeCode_ = typeCode;
    channelCount_ = channelCountForType(typeCode);
}

std::vector<std::string> ModuleLink::takeMeasurements(const ReadTransaction& measurements) {
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(channelCount_));
    for (int k = 0; k < channelCount_; ++k) {
        const std::uint16_t raw = measurements.registers[k];
        valid_[static_cast<std::size_t>(k)] = raw != 0;
        texts.push_back(temperatureText(raw));
    }
    return texts;
}

bool ModuleLink::channelValid(int channelIndex) const {
    return channelIndex >= 0 && channelIndex < static_cast<int>(valid_.size()) &&
           valid_[static_cast<std::size_t>(channelIndex)];
}

}  // namespace kvel
