#pragma once
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "link/traffic_observer.h"

namespace kvel {

// One transaction as it went over the wire.
struct TrafficRecord {
    std::uint64_t sequence = 0;  // 1 for the first transaction the tap saw
    std::int64_t sentAtMs = 0;   // wall clock, milliseconds since 1970, when it started
    // From the end of the send to the first byte of the reply: the module's own time; -1 when
    // nothing was sent or nothing came.
    std::int64_t firstByteUs = -1;
    std::int64_t replyUs = -1;  // end of the send to end of the reception; -1: not sent
    std::uint8_t function = 0;
    std::uint16_t firstRegister = 0;
    std::uint16_t count = 0;  // registers read or written; 1 for a single-register write
    std::vector<std::uint8_t> request;
    std::vector<std::uint8_t> reply;      // as received, also when partial
    std::vector<std::uint8_t> discarded;  // stale input thrown away before the request
    std::size_t discardedTotal = 0;       // all of it, also beyond what is kept
    TrafficVerdict verdict = TrafficVerdict::Good;
    LinkFailure failure;   // why it failed; its text is made where the record is shown
    std::string madeText;  // a probe's own text of the failure, when it gave one
    std::uint16_t exceptionCode = 0;
};

// What the tap counts since it started or was last cleared.
struct TrafficCounters {
    std::uint64_t requests = 0;
    std::uint64_t good = 0;
    std::uint64_t noReply = 0;
    // Transactions that found stale input to throw away first: mostly a reply that came
    // after its transaction had given up.
    std::uint64_t lateReplies = 0;
    std::uint64_t badCrc = 0;
    std::uint64_t wrongAddress = 0;
    std::uint64_t exceptions = 0;
    std::uint64_t otherFaults = 0;
    std::uint64_t reopenings = 0;  // successful opens of the port after its first one
    // Replies received within their wait, timed below to their first byte.
    std::uint64_t timedReplies = 0;
    std::int64_t replyUsTotal = 0;
    std::int64_t replyUsMax = 0;

    double meanReplyMs() const;
    double maxReplyMs() const { return static_cast<double>(replyUsMax) / 1000.0; }
};

// Told of each transaction a tap records, with its record, on the thread that ran it and with the
// tap locked: it hands the record on and returns; it may read the tap (the counters) but must
// not start a transaction.
class TrafficListener {
  public:
    virtual void transactionRecorded(const TrafficRecord& record) = 0;

  protected:
    ~TrafficListener() = default;
};

// Records every transaction of a line: the last kCapacity of them in a ring, and counters.
// Attach it to the port with Transport::setTrafficObserver. After the ring has filled once,
// recording reuses the slots' buffers and allocates nothing.
class TrafficTap final : public TrafficObserver {
  public:
    static constexpr std::size_t kCapacity = 10000;
    // Stale bytes kept per transaction; more are only counted.
    static constexpr std::size_t kDiscardKept = 1024;

    explicit TrafficTap(std::size_t capacity = kCapacity);

    // Each listener is told of every transaction recorded from now on, until it is removed;
    // once removeListener returns, no call to it is under way. Adding one twice adds it once.
    void addListener(TrafficListener* listener);
    void removeListener(TrafficListener* listener);

    // The tap is read by the windows while the link thread records: these return copies.
    std::size_t size() const;
    // The i-th kept transaction, oldest first.
    TrafficRecord at(std::size_t i) const;
    // The last `last` kept transactions (all by default), oldest first.
    std::vector<TrafficRecord> records(std::size_t last = SIZE_MAX) const;
    TrafficCounters counters() const;
    // Forgets the kept transactions and resets the counters. Returns the sequence number of the
    // last transaction that ended before: one under way is kept when it ends.
    std::uint64_t clear();

    void beginTransaction(const std::uint8_t* request, std::size_t length) override;
    void inputDiscarded(const std::uint8_t* bytes, std::size_t length) override;
    void requestSent() override;
    void replyStarted() override;
    void endTransaction(const std::uint8_t* reply, std::size_t length, TrafficVerdict verdict,
                        const LinkFailure& failure, const char* madeText = nullptr) override;
    void portOpened() override;

  private:
    std::vector<TrafficRecord> ring_;
    std::size_t head_ = 0;  // slot of the oldest kept record
    std::size_t size_ = 0;
    TrafficRecord* current_ = nullptr;  // the transaction under way
    std::int64_t sentAtSteadyUs_ = -1;
    std::int64_t firstByteSteadyUs_ = -1;
    std::uint64_t sequence_ = 0;
    std::uint64_t lastEnded_ = 0;
    bool everOpened_ = false;
    TrafficCounters counters_;
    std::vector<TrafficListener*> listeners_;
    // Recursive: a listener on the recording thread may read the tap (the counters).
    mutable std::recursive_mutex mutex_;
};

}  // namespace kvel
