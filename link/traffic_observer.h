#pragma once
#include <cstddef>
#include <cstdint>

#include "link/link_error.h"

namespace kvel {

// How one transaction ended, as the traffic monitor sorts it.
enum class TrafficVerdict : std::uint8_t {
    Good,          // a checked, valid reply
    NoReply,       // the reply did not complete within its wait (nothing, or only part of it)
    BadCrc,        // a reply whose CRC does not match, or too short to carry one
    WrongAddress,  // a reply from another slave address
    Exception,     // an exception reply of the module
    Other,         // the port refused the send, the send did not complete, the echo differs
};

// Watches the bytes of a line. The transactions and the port call it, on their own thread,
// while a transaction runs; it must not start a transaction itself.
class TrafficObserver {
  public:
    virtual ~TrafficObserver() = default;
    // A transaction starts with this request frame; nothing is on the wire yet.
    virtual void beginTransaction(const std::uint8_t* request, std::size_t length) = 0;
    // Stale input thrown away before the request goes out (a reply that came too late).
    virtual void inputDiscarded(const std::uint8_t* bytes, std::size_t length) = 0;
    // The request has gone out; the reply time counts from here.
    virtual void requestSent() = 0;
    // The first byte of the reply is in; the port may call it more than once per transaction.
    virtual void replyStarted() {}
    // The transaction's own result: the reply bytes as received, the verdict and why it failed
    // (its code; the text is made where the record is shown). A probe that says more than the
    // code gives its own text, made in the language it is shown in; null otherwise.
    virtual void endTransaction(const std::uint8_t* reply, std::size_t length,
                                TrafficVerdict verdict, const LinkFailure& failure,
                                const char* madeText = nullptr) = 0;
    // The port has been opened successfully.
    virtual void portOpened() = 0;
};

}  // namespace kvel
