#include "monitor/module_settings.h"

#include <algorithm>
#include <cmath>

#include "link/line_pause.h"
#include "link/message_sink.h"

namespace kvel {
namespace {

constexpr char kError[] = "Ошибка";
constexpr std::uint8_t kWriteMany = 0x10;  // the function of the block writes

bool Refuse(const std::string& message) {
    ShowMessage(message, kError);
    return false;
}

}  // namespace

void TModuleSettings::OpenPortIfNeeded() {
    if (!link_.PortNeedsOpening()) return;
    link_.OpenPort(ini_.ReadString("connect", "port", ""), ini_.ReadInteger("connect", "speed", 0),
                   ini_.ReadInteger("connect", "parity", 0));
}

bool TModuleSettings::SameTypeAsLoaded() {
    if (loadedType_ < 0 || loadedType_ == link_.TypeCode()) return true;
    return Refuse("Тип модуля изменился после открытия окна (был " + std::to_string(loadedType_) +
                  ", теперь " + std::to_string(link_.TypeCode()) +
                  "): настройки реле не записаны. Откройте окно настроек модуля заново");
}

void TModuleSettings::LoadModuleSettings(TModuleSettingsFields& f) {
    const int n = link_.ChannelCount();
    loadedType_ = link_.TypeCode();
    OpenPortIfNeeded();
    if (!link_.ReadSettingsBlock(Address())) {
        FillModuleSettingsPlaceholders(f, n);
        return;
    }
    auto& reads = link_.ReadRecords();
    TSettingsRegisters r;
    r.block = reads[0].registers;
    r.thresholds1 = reads[1].registers;
    r.thresholds2 = reads[2].registers;
    r.linkPair = reads[5].registers;
    r.thresPair = reads[6].registers;
    FillModuleSettings(f, r, link_.TypeCode(), n);
}

void TModuleSettings::LoadModuleSettingsNew(TModuleSettingsFieldsNew& f) {
    const int n = link_.ChannelCount();
    loadedType_ = link_.TypeCode();
    OpenPortIfNeeded();
    for (int r = 1; r <= 3; ++r) {
        TRelayFieldsNew& relay = f.relays[static_cast<std::size_t>(r - 1)];
        if (link_.ReadRelaySettings(r, Address())) {
            FillRelayNew(relay, link_.First().registers, link_.TypeCode(), n);
        } else {
            FillRelayPlaceholders(relay, n);
        }
    }
    if (link_.ReadCommParams(Address())) {
        FillCommNew(f, link_.First().registers);
    } else {
        FillCommPlaceholders(f);
    }
}

void TModuleSettings::LoadChannelTable(TChannelTable& table) {
    const int n = link_.ChannelCount();
    table.names.resize(static_cast<std::size_t>(n));
    table.coeffs.resize(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        table.names[static_cast<std::size_t>(k)] =
            ini_.ReadString("sensors", std::to_string(k + 1), "");
    }
    OpenPortIfNeeded();
    const bool read = link_.ReadChannelCoeffs(Address());
    for (int k = 0; k < n; ++k) {
        std::string& cell = table.coeffs[static_cast<std::size_t>(k)];
        if (read) {
            lastCoeffs_[static_cast<std::size_t>(k)] =
                CoefficientOfRegister(link_.First().registers[k]);
            cell = CoefficientText(lastCoeffs_[static_cast<std::size_t>(k)]);
        } else {
            cell = kCoeffPlaceholder;
        }
    }
}

bool TModuleSettings::WriteCoeffs(const TChannelTable& table) {
    const int n = link_.ChannelCount();
    if (const auto message = ValidateCoefficients(table, n)) return Refuse(*message);

    OpenPortIfNeeded();
    TWriteTransaction& w = link_.WriteRecords()[0];
    w.moduleAddress = static_cast<std::uint8_t>(Address() & 0xFF);
    for (int k = 0; k < n; ++k) {
        if (!link_.ChannelValid(k)) continue;
        double c = 0;
        ParseCoefficient(table.coeffs[static_cast<std::size_t>(k)], c);
        if (std::abs(c - lastCoeffs_[static_cast<std::size_t>(k)]) < 0.01) continue;
        w.firstRegister = static_cast<std::uint16_t>(reg::kChannelCoeffs + k);
        w.values[0] = CoefficientRegister(c);
        if (!link_.WriteRegister(w)) return Refuse(w.errorText);
        // The module holds the new value now: a later change back is a change again.
        lastCoeffs_[static_cast<std::size_t>(k)] = CoefficientOfRegister(w.values[0]);
        LinePause(link_.Timing().coeffWritePauseMs);
    }

    for (int k = 0; k < n && k < static_cast<int>(table.names.size()); ++k) {
        ini_.WriteString("sensors", std::to_string(k + 1),
                         table.names[static_cast<std::size_t>(k)]);
    }
    // The names are kept in memory either way; a file that cannot be written is no success.
    if (!ini_.UpdateFile()) return Refuse(ini_.LastError());
    return true;
}

bool TModuleSettings::WriteBlock(TWriteTransaction& w, std::uint16_t first,
                                 const std::uint16_t* values, std::size_t count) {
    w.moduleAddress = static_cast<std::uint8_t>(Address() & 0xFF);
    w.firstRegister = first;
    w.count = static_cast<std::uint16_t>(count);
    std::copy(values, values + count, w.values);
    return link_.WriteRegisters(w);
}

bool TModuleSettings::WriteRelaySettings(const TModuleSettingsFields& f) {
    const int n = link_.ChannelCount();
    if (!SameTypeAsLoaded()) return false;
    if (const auto message = ValidateRelaySettings(f, n)) return Refuse(*message);

    OpenPortIfNeeded();
    auto& writes = link_.WriteRecords();
    const auto block = EncodeSettingsBlock(f);
    if (!WriteBlock(writes[0], 3, block.data(), block.size())) {
        return Refuse(writes[0].errorText);
    }
    if (link_.TypeCode() == 220) {
        const auto linkPair = PackBindingPair(f.link, n);
        if (!WriteBlock(writes[4], reg::kExtraPair1, linkPair.data(), 2)) {
            return Refuse(writes[4].errorText);
        }
        const auto thresPair = PackBindingPair(f.thres, n);
        if (!WriteBlock(writes[4], reg::kExtraPair2, thresPair.data(), 2)) {
            return Refuse(writes[4].errorText);
        }
    }
    const auto column1 = EncodeThresholdColumn(f.thresholds1, n);
    if (!WriteBlock(writes[1], reg::kThresholds1, column1.data(), column1.size())) {
        return Refuse(writes[1].errorText);
    }
    const auto column2 = EncodeThresholdColumn(f.thresholds2, n);
    if (!WriteBlock(writes[2], reg::kThresholds2, column2.data(), column2.size())) {
        return Refuse(writes[2].errorText);
    }
    return true;
}

bool TModuleSettings::CheckParam(const std::string& text, int low, const std::string& name,
                                 int high) {
    if (IntegerIn(text, low, high)) return true;
    return Refuse(ParamMessage(name));
}

bool TModuleSettings::WriteRelaySettingsNew(const TModuleSettingsFieldsNew& f) {
    if (!SameTypeAsLoaded()) return false;
    for (const TParamCheck& c : RelayParamChecks(f)) {
        if (!CheckParam(c.text, c.low, c.name, c.high)) return false;
    }
    if (const auto message = ValidateRelayLogic(f)) return Refuse(*message);

    const int n = link_.ChannelCount();
    OpenPortIfNeeded();
    TWriteTransaction& w = link_.WriteRecords()[0];
    for (int r = 1; r <= 3; ++r) {
        const auto block =
            EncodeRelayBlockNew(f.relays[static_cast<std::size_t>(r - 1)], link_.TypeCode(), n);
        if (!WriteBlock(w, reg::kRelaySettings[r - 1], block.data(), block.size())) {
            return Refuse(w.errorText);
        }
    }
    return true;
}

bool TModuleSettings::StoreLinkAndClose(int address, int speed, int parity) {
    ini_.WriteInteger("connect", "speed", speed);
    ini_.WriteInteger("connect", "parity", parity);
    ini_.WriteInteger("connect", "adr", address);
    const bool stored = ini_.UpdateFile();
    // The module has the new settings already (or may have): the old connection is over.
    link_.ClosePort();
    return stored;
}

bool TModuleSettings::WriteLinkSettings(const TModuleSettingsFields& f) {
    if (const auto message = ValidateLinkSettings(f)) return Refuse(*message);
    const auto regs = EncodeLinkSettings(f);
    OpenPortIfNeeded();
    // A module that takes its new address or speed at once may not confirm, so silence or a
    // garbled reply is no failure; an exception reply is the module's refusal: it keeps its
    // settings, and so do mem.ini and the port.
    TWriteTransaction& w = link_.WriteRecords()[0];
    if (!WriteBlock(w, reg::kSettingsBlock, regs.data(), regs.size()) &&
        IsExceptionReply(w, kWriteMany)) {
        return Refuse(w.errorText);
    }
    const bool stored = StoreLinkAndClose(regs[0], regs[1], regs[2]);
    LinePause(link_.Timing().linkWritePauseMs);
    if (!stored) return Refuse(ini_.LastError());
    return true;
}

bool TModuleSettings::WriteLinkSettingsNew(const TModuleSettingsFieldsNew& f) {
    if (const auto message = ValidateLinkSettingsNew(f)) return Refuse(*message);
    const auto regs = EncodeLinkSettingsNew(f);
    OpenPortIfNeeded();
    TWriteTransaction& w = link_.WriteRecords()[0];
    if (!WriteBlock(w, reg::kCommParams, regs.data(), regs.size()) &&
        IsExceptionReply(w, kWriteMany)) {
        return Refuse(w.errorText);
    }
    if (!StoreLinkAndClose(regs[0], regs[1], regs[2])) return Refuse(ini_.LastError());
    return true;
}

}  // namespace kvel
