#pragma once
#include <cstdint>
#include <string>

namespace kvel {

// Why an exchange failed. The code travels with the transaction's result; the text is made
// from one table where the failure is shown (the status bar, a box, the trace, kvelctl).
enum class LinkError : std::uint8_t {
    None,
    NoPort,  // the adapter is gone
    ReadSendFailed,
    ReadNoReply,
    ReadWrongAddress,
    WriteSendFailed,
    WriteNoReply,
    WriteWrongAddress,
    BadCrc,
    WrongData,          // an echo that differs, or a reply of another register count
    ModuleException,    // `code` is the module's exception code
    ReadCountRefused,   // `code` is the register count asked for
    WriteCountRefused,  // `code` is the register count asked for
    Interrupted,        // the program is ending
};

struct LinkFailure {
    LinkError error = LinkError::None;
    unsigned code = 0;
    bool failed() const { return error != LinkError::None; }
    bool operator==(const LinkFailure&) const = default;
};

// The table's entry: the Russian text as the program shows it, with %1 where the code goes
// (the source of its translation, context "KvelView"); empty for LinkError::None.
const char* linkErrorSource(LinkError error);
// What goes for %1: the exception code in upper-case hexadecimal, as the module's manual gives
// it; a register count in decimal.
std::string linkErrorArgument(const LinkFailure& failure);
// The table's text with its code, in Russian: the trace, kvelctl and the tests.
std::string linkErrorText(const LinkFailure& failure);
// The same, with the standard name of a module exception in brackets (kvelctl).
std::string linkErrorTextWithName(const LinkFailure& failure);

}  // namespace kvel
