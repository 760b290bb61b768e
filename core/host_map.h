#pragma once
#include <QtGlobal>
#include <cstdint>
#include <string>

#include "config/mem_ini.h"
#include "link/module_map.h"

namespace kvel {

// How the host controller numbers its registers: `connect`/`host` 0 is "Мнемо" (one fixed
// block, no cabinet number), anything else "Хост" (a block per cabinet and an on-line flag).
enum class HostAddressing { Mnemo, Host };

// The highest cabinet index whose registers all fit the 16-bit register numbers; a higher one
// would wrap around onto registers of other cabinets.
inline constexpr int kMaxCabinetIndex =
    (0xFFFF - (reg::kHostCabinets + kHostCommands) - (kHostSignals - 1)) / reg::kHostCabinetStride;

inline constexpr char kNoCabinetText[] =
    QT_TRANSLATE_NOOP("KvelView", "Не выбран шкаф из списка шкафов");
std::string cabinetOutOfRangeText();

// What one exchange is for. The index is `panels`/(cabinet name) − 1, so −1 for a name whose
// number is 0 and −2 for a name that is not in the list.
struct HostTarget {
    HostAddressing addressing = HostAddressing::Mnemo;
    int index = -2;
};

enum class TargetState { Ok, NotChosen, outOfRange };

// The addressing `connect`/`host` names now.
HostAddressing addressingOf(const MemIni& ini);
// Looked up afresh for every exchange: the settings and the list may have changed.
HostTarget lookUpTarget(const MemIni& ini, const std::string& cabinetName);
// The cabinet matters only in "Хост" addressing.
TargetState checkTarget(const HostTarget& target);

// Register numbers of a target whose state is Ok; command 1..6, signal 0..4.
std::uint16_t onlineRegister(const HostTarget& target);
std::uint16_t commandRegister(const HostTarget& target, int command);
std::uint16_t signalRegister(const HostTarget& target, int signal);

// The module address of every exchange, `connect`/`adr`, cut to 8 bits as the poll does.
std::uint8_t hostAddress(const MemIni& ini);

}  // namespace kvel
