#pragma once
#include <array>
#include <string>

#include "config/mem_ini.h"
#include "link/message_sink.h"
#include "link/module_config_first.h"
#include "link/module_config_second.h"
#include "link/module_link.h"

namespace kvel {

// The module settings operations of the main window: they read the module's configuration
// into the dialogs' fields and write validated fields back. Failures of a write are kept as
// messages for the caller to show (the operations run on the link thread, boxes are the GUI
// thread's); a read that fails leaves placeholders. Every exchange goes to `connect`/`adr` of
// mem.ini.
class ModuleSettings {
  public:
    ModuleSettings(ModuleLink& link, MemIni& ini) : link_(link), ini_(ini) {}
    ModuleLink& link() { return link_; }

    void loadModuleSettings(FirstGenFields& f);
    void loadModuleSettingsNew(SecondGenFields& f);
    // Names from section `sensors`, coefficients from the module ("---" when unread).
    void loadChannelTable(ChannelTable& table);

    // Each returns true when everything was validated and written, else false with a message
    // that says why.
    bool writeCoeffs(const ChannelTable& table);
    bool writeRelaySettings(const FirstGenFields& f);
    bool writeRelaySettingsNew(const SecondGenFields& f);
    bool writeLinkSettings(const FirstGenFields& f);
    bool writeLinkSettingsNew(const SecondGenFields& f);
    // True when the check's text is an integer within its bounds; else its refusal is kept.
    bool checkParam(const ParamCheck& check);

    // The coefficient that channel k (0-based) holds in the module as far as the program
    // knows: set by the last successful coefficient read and by each successful write.
    float coefficientLastRead(int k) const { return lastCoeffs_[static_cast<std::size_t>(k)]; }

    // The boxes the operations since the last call have to show, oldest first.
    Messages takeMessages();

  private:
    // Keeps `text` for a box with the caption "Ошибка". Returns false.
    bool refuse(const std::string& text);
    // Keeps why a field was refused, in the language of the windows. Returns false.
    bool refuse(const FieldRefusal& refusal);
    int moduleAddress() const { return ini_.readInteger(keys::kModuleAddress); }
    // Opens the port with the `connect` settings when it is not open, as the poll does: a
    // port closed after a lost adapter or a link write comes back without waiting for a poll.
    void openPortIfNeeded();
    // False, after a message, when the module's type code is no longer the one whose register
    // layout the relay fields were loaded for (another module answered since).
    bool sameTypeAsLoaded();
    // A write that failed: its error text in a box; or, when the program's end cut it, what
    // was not written (`notWritten`, a subject in the plural) on stderr and in mem.ini for the
    // next start. Returns false.
    bool writeFailed(const WriteTransaction& w, const std::string& notWritten);
    // Writes `count` registers from `first` on, to the module at the configured address.
    bool writeBlock(WriteTransaction& w, std::uint16_t first, const std::uint16_t* values,
                    std::size_t count);
    // Writes the link registers (address, speed, parity first); unless the module refuses them,
    // stores them in `connect`, writes mem.ini, ends the connection and waits `pauseMs`.
    bool writeLink(std::uint16_t first, const std::uint16_t* regs, std::size_t count, int pauseMs);

    ModuleLink& link_;
    MemIni& ini_;
    std::array<float, 100> lastCoeffs_{};
    int loadedType_ = -1;  // type code at the last load of the relay fields; -1 before one
    Messages messages_;
};

}  // namespace kvel
