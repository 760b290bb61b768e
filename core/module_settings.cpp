#include "core/module_settings.h"

#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <iostream>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "core/shown_text.h"
#include "link/message_sink.h"

namespace kvel {
namespace {

constexpr char kError[] = QT_TRANSLATE_NOOP("KvelView", "Ошибка");
constexpr std::uint8_t kWriteMany = 0x10;  // the function of the block writes

}  // namespace

bool ModuleSettings::refuse(const std::string& text) {
    messages_.push_back({text, kError});
    return false;
}

bool ModuleSettings::refuse(const FieldRefusal& refusal) {
    return refuse(shownText(refusal));
}

Messages ModuleSettings::takeMessages() {
    return std::exchange(messages_, {});
}

void ModuleSettings::openPortIfNeeded() {
    if (!link_.portNeedsOpening()) return;
    link_.openPort(ini_.readString(keys::kPort), ini_.readInteger(keys::kSpeedIndex),
                   ini_.readInteger(keys::kParityIndex));
    for (const MarkedText& notice : link_.takePortNotices())
        messages_.push_back({shownText(notice), kPortNoticeCaption, MessageKind::Information});
}

bool ModuleSettings::sameTypeAsLoaded() {
    if (loadedType_ < 0 || loadedType_ == link_.typeCode()) return true;
    return refuse(shownText(QT_TRANSLATE_NOOP("KvelView",
                                              "Тип модуля изменился после открытия окна (был %1, "
                                              "теперь %2): настройки реле не записаны. Откройте "
                                              "окно настроек модуля заново"),
                            {std::to_string(loadedType_), std::to_string(link_.typeCode())}));
}

void ModuleSettings::loadModuleSettings(FirstGenFields& f) {
    const int n = link_.channelCount();
    loadedType_ = link_.typeCode();
    openPortIfNeeded();
    const auto read = std::make_unique<SettingsBlockRead>();
    if (!link_.readSettingsBlock(moduleAddress(), *read)) {
        fillModuleSettingsPlaceholders(f, n);
        return;
    }
    FirstGenRegisters r;
    r.block = read->block.registers;
    r.thresholds1 = read->thresholds1.registers;
    r.thresholds2 = read->thresholds2.registers;
    r.linkPair = read->linkPair.registers;
    r.thresPair = read->thresPair.registers;
    fillModuleSettings(f, r, link_.typeCode(), n);
}

void ModuleSettings::loadModuleSettingsNew(SecondGenFields& f) {
    const int n = link_.channelCount();
    loadedType_ = link_.typeCode();
    openPortIfNeeded();
    for (int r = 1; r <= kRelayCount; ++r) {
        SecondGenRelayFields& relay = f.relays[static_cast<std::size_t>(r - 1)];
        if (const ReadTransaction read = link_.readRelaySettings(r, moduleAddress()); read.ok()) {
            fillRelayNew(relay, read.registers, link_.typeCode(), n);
        } else {
            fillRelayPlaceholders(relay, n);
        }
    }
    if (const ReadTransaction read = link_.readCommParams(moduleAddress()); read.ok()) {
        fillCommNew(f, read.registers);
    } else {
        fillCommPlaceholders(f);
    }
}

void ModuleSettings::loadChannelTable(ChannelTable& table) {
    const int n = link_.channelCount();
    table.names.resize(static_cast<std::size_t>(n));
    table.coeffs.resize(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        table.names[static_cast<std::size_t>(k)] =
            ini_.readString(keys::kSensorNames, std::to_string(k + 1));
    }
    openPortIfNeeded();
    const ReadTransaction read = link_.readChannelCoeffs(moduleAddress());
    for (int k = 0; k < n; ++k) {
        std::string& cell = table.coeffs[static_cast<std::size_t>(k)];
        if (read.ok()) {
            lastCoeffs_[static_cast<std::size_t>(k)] = coefficientOfRegister(read.registers[k]);
            cell = coefficientText(lastCoeffs_[static_cast<std::size_t>(k)]);
        } else {
            cell = kCoeffPlaceholder;
        }
    }
}

bool ModuleSettings::writeCoeffs(const ChannelTable& table) {
    const int n = link_.channelCount();
    if (const auto message = validateCoefficients(table, n)) return refuse(*message);

    openPortIfNeeded();
    WriteTransaction w;
    w.moduleAddress = static_cast<std::uint8_t>(moduleAddress() & 0xFF);
    std::vector<int> changed;
    std::vector<double> values(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        if (!link_.channelValid(k)) continue;
        double& c = values[static_cast<std::size_t>(k)];
        parseCoefficient(table.coeffs[static_cast<std::size_t>(k)], c);
        if (std::abs(c - lastCoeffs_[static_cast<std::size_t>(k)]) >= 0.01) changed.push_back(k);
    }
    for (std::size_t i = 0; i < changed.size(); ++i) {
        const int k = changed[i];
        w.firstRegister = static_cast<std::uint16_t>(reg::kChannelCoeffs + k);
        w.values[0] = coefficientRegister(values[static_cast<std::size_t>(k)]);
        if (!link_.writeRegister(w)) {
            std::string channels;
            for (std::size_t j = i; j < changed.size(); ++j) {
                channels += (j == i ? "" : ", ") + std::to_string(changed[j] + 1);
            }
            return writeFailed(
                w, shownText(QT_TRANSLATE_NOOP("KvelView", "Коэффициенты каналов %1"), {channels}));
        }
        // The module holds the new value now: a later change back is a change again.
        lastCoeffs_[static_cast<std::size_t>(k)] = coefficientOfRegister(w.values[0]);
        link_.pause(link_.timing().coeffWritePauseMs);
    }

    for (int k = 0; k < n && k < static_cast<int>(table.names.size()); ++k) {
        ini_.writeString(keys::kSensorNames, std::to_string(k + 1),
                         table.names[static_cast<std::size_t>(k)]);
    }
    // The names are kept in memory either way; a file that cannot be written is no success.
    if (!ini_.updateFile()) return refuse(shownText(ini_.lastFailure()));
    return true;
}

bool ModuleSettings::writeBlock(WriteTransaction& w, std::uint16_t first,
                                const std::uint16_t* values, std::size_t count) {
    w.moduleAddress = static_cast<std::uint8_t>(moduleAddress() & 0xFF);
    w.firstRegister = first;
    w.count = static_cast<std::uint16_t>(count);
    std::copy(values, values + count, w.values);
    return link_.writeRegisters(w);
}

bool ModuleSettings::writeRelaySettings(const FirstGenFields& f) {
    const int n = link_.channelCount();
    if (!sameTypeAsLoaded()) return false;
    if (const auto message = validateRelaySettings(f, n)) return refuse(*message);

    openPortIfNeeded();
    WriteTransaction w;
    // Four blocks, or six for type 220; a write cut at the program's end names what is left.
    const int blocks = link_.typeCode() == 220 ? 4 : 3;
    int written = 0;
    auto write = [&](std::uint16_t first, const std::uint16_t* values, std::size_t count) {
        if (writeBlock(w, first, values, count)) {
            ++written;
            return true;
        }
        return writeFailed(
            w, shownText(QT_TRANSLATE_NOOP("KvelView", "Настройки реле (блоки %1–%2 из %2)"),
                         {std::to_string(written + 1), std::to_string(blocks)}));
    };
    const auto block = encodeSettingsBlock(f);
    if (!write(reg::kSettingsRelayPart, block.data(), block.size())) return false;
    if (link_.typeCode() == 220) {
        const auto linkPair = packBindingPair(f.link, n);
        const auto thresPair = packBindingPair(f.thres, n);
        std::array<std::uint16_t, 4> pairs{linkPair[0], linkPair[1], thresPair[0], thresPair[1]};
        if (!write(reg::kExtraPair1, pairs.data(), 2)) return false;
        if (!write(reg::kExtraPair2, pairs.data() + 2, 2)) return false;
    }
    const auto column1 = encodeThresholdColumn(f.thresholds1, n);
    if (!write(reg::kThresholds1, column1.data(), column1.size())) return false;
    const auto column2 = encodeThresholdColumn(f.thresholds2, n);
    if (!write(reg::kThresholds2, column2.data(), column2.size())) return false;
    return true;
}

bool ModuleSettings::writeFailed(const WriteTransaction& w, const std::string& notWritten) {
    if (!link_.closing().isSet()) return refuse(linkFailureMessageText(w.failure));
    // No box can be shown any more: the terminal and the next start say it.
    const std::string text = shownText(
        QT_TRANSLATE_NOOP("KvelView",
                          "%1 не записаны в модуль: программа завершила работу во время записи"),
        {notWritten});
    std::cerr << text << std::endl;
    ini_.writeString(keys::kUnwrittenAtExit, text);
    return false;
}

bool ModuleSettings::checkParam(const ParamCheck& check) {
    if (integerIn(check.text, check.low, check.high)) return true;
    return refuse(check.refusal);
}

bool ModuleSettings::writeRelaySettingsNew(const SecondGenFields& f) {
    if (!sameTypeAsLoaded()) return false;
    for (const ParamCheck& c : relayParamChecks(f)) {
        if (!checkParam(c)) return false;
    }
    if (const auto message = validateRelayLogic(f)) return refuse(*message);

    const int n = link_.channelCount();
    openPortIfNeeded();
    WriteTransaction w;
    for (int r = 1; r <= kRelayCount; ++r) {
        const auto block =
            encodeRelayBlockNew(f.relays[static_cast<std::size_t>(r - 1)], link_.typeCode(), n);
        if (!writeBlock(w, reg::kRelaySettings[r - 1], block.data(), block.size())) {
            std::string relays;
            for (int left = r; left <= kRelayCount; ++left) {
                relays += (left == r ? "" : ", ") + std::to_string(left);
            }
            return writeFailed(
                w, shownText(QT_TRANSLATE_NOOP("KvelView", "Настройки реле %1"), {relays}));
        }
    }
    return true;
}

bool ModuleSettings::writeLink(std::uint16_t first, const std::uint16_t* regs, std::size_t count,
                               int pauseMs) {
    openPortIfNeeded();
    // A module that takes its new address or speed at once may not confirm, so silence or a
    // garbled reply is no failure; an exception reply is the module's refusal: it keeps its
    // settings, and so do mem.ini and the port.
    WriteTransaction w;
    if (!writeBlock(w, first, regs, count)) {
        // Not sent at all: the program is ending. Sent with its reply's wait cut short, it is
        // as a silent module's: the module may have the settings now.
        if (w.failure.error == LinkError::Interrupted) {
            return writeFailed(w, shownText(QT_TRANSLATE_NOOP("KvelView", "Параметры связи")));
        }
        if (isExceptionReply(w, kWriteMany)) return refuse(linkFailureMessageText(w.failure));
    }
    ini_.writeInteger(keys::kSpeedIndex, regs[1]);
    ini_.writeInteger(keys::kParityIndex, regs[2]);
    ini_.writeInteger(keys::kModuleAddress, regs[0]);
    const bool stored = ini_.updateFile();
    // The module has the new settings already (or may have): the old connection is over.
    link_.closePort();
    if (pauseMs > 0) link_.pause(pauseMs);
    if (!stored) return refuse(shownText(ini_.lastFailure()));
    return true;
}

bool ModuleSettings::writeLinkSettings(const FirstGenFields& f) {
    if (const auto message = validateLinkSettings(f)) return refuse(*message);
    const auto regs = encodeLinkSettings(f);
    return writeLink(reg::kSettingsBlock, regs.data(), regs.size(),
                     link_.timing().linkWritePauseMs);
}

bool ModuleSettings::writeLinkSettingsNew(const SecondGenFields& f) {
    if (const auto message = validateLinkSettingsNew(f)) return refuse(*message);
    const auto regs = encodeLinkSettingsNew(f);
    return writeLink(reg::kCommParams, regs.data(), regs.size(), 0);
}

}  // namespace kvel
