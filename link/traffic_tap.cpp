#include "link/traffic_tap.h"

#include <algorithm>
#include <chrono>
#include <mutex>

namespace kvel {
namespace {

std::int64_t steadyUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::int64_t wallMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::uint16_t get16(const std::uint8_t* at) {
    return static_cast<std::uint16_t>(at[0] << 8 | at[1]);
}

}  // namespace

double TrafficCounters::meanReplyMs() const {
    if (timedReplies == 0) return 0.0;
    return static_cast<double>(replyUsTotal) / static_cast<double>(timedReplies) / 1000.0;
}

TrafficTap::TrafficTap(std::size_t capacity) : ring_(std::max<std::size_t>(capacity, 1)) {}

std::uint64_t TrafficTap::clear() {
    const std::lock_guard lock(mutex_);
    // A transaction under way ends after the clearing: its slot becomes the first one kept.
    head_ = current_ ? static_cast<std::size_t>(current_ - ring_.data()) : 0;
    size_ = 0;
    counters_ = {};
    return lastEnded_;
}

void TrafficTap::beginTransaction(const std::uint8_t* request, std::size_t length) {
    const std::lock_guard lock(mutex_);
    // The slot after the newest; once the ring is full that is the oldest one, reused.
    TrafficRecord& r = ring_[(head_ + size_) % ring_.size()];
    current_ = &r;
    r.sequence = ++sequence_;
    r.sentAtMs = wallMs();
    r.firstByteUs = -1;
    r.replyUs = -1;
    r.request.assign(request, request + length);
    r.reply.clear();
    r.discarded.clear();
    r.discardedTotal = 0;
    r.verdict = TrafficVerdict::Good;
    r.failure = {};
    r.madeText.clear();
    r.exceptionCode = 0;
    r.function = length > 1 ? request[1] : 0;
    r.firstRegister = length > 3 ? get16(request + 2) : 0;
    // Function 6 carries a value where the others carry the count.
    r.count = r.function == 0x06 ? 1 : (length > 5 ? get16(request + 4) : 0);
    sentAtSteadyUs_ = -1;
    firstByteSteadyUs_ = -1;
}

void TrafficTap::inputDiscarded(const std::uint8_t* bytes, std::size_t length) {
    const std::lock_guard lock(mutex_);
    if (!current_) return;
    TrafficRecord& r = *current_;
    r.discardedTotal += length;
    const std::size_t room = kDiscardKept - std::min(kDiscardKept, r.discarded.size());
    r.discarded.insert(r.discarded.end(), bytes, bytes + std::min(room, length));
}

void TrafficTap::requestSent() {
    const std::lock_guard lock(mutex_);
    sentAtSteadyUs_ = steadyUs();
}

void TrafficTap::replyStarted() {
    const std::lock_guard lock(mutex_);
    if (current_ && sentAtSteadyUs_ >= 0 && firstByteSteadyUs_ < 0) firstByteSteadyUs_ = steadyUs();
}

void TrafficTap::endTransaction(const std::uint8_t* reply, std::size_t length,
                                TrafficVerdict verdict, const LinkFailure& failure,
                                const char* madeText) {
    const std::lock_guard lock(mutex_);
    if (!current_) return;
    TrafficRecord& r = *current_;
    current_ = nullptr;
    lastEnded_ = r.sequence;
    if (sentAtSteadyUs_ >= 0) r.replyUs = steadyUs() - sentAtSteadyUs_;
    if (firstByteSteadyUs_ >= 0 && length > 0) r.firstByteUs = firstByteSteadyUs_ - sentAtSteadyUs_;
    r.reply.assign(reply, reply + length);
    r.verdict = verdict;
    r.failure = failure;
    r.madeText = madeText ? madeText : "";
    r.exceptionCode =
        verdict == TrafficVerdict::Exception && failure.error == LinkError::ModuleException
            ? static_cast<std::uint16_t>(failure.code)
            : 0;

    ++counters_.requests;
    if (r.discardedTotal > 0) ++counters_.lateReplies;
    switch (verdict) {
        case TrafficVerdict::Good:
            ++counters_.good;
            break;
        case TrafficVerdict::NoReply:
            ++counters_.noReply;
            break;
        case TrafficVerdict::BadCrc:
            ++counters_.badCrc;
            break;
        case TrafficVerdict::WrongAddress:
            ++counters_.wrongAddress;
            break;
        case TrafficVerdict::Exception:
            ++counters_.exceptions;
            break;
        case TrafficVerdict::Other:
            ++counters_.otherFaults;
            break;
    }
    // Only a reception that ended within its wait tells how fast the module answers.
    if (verdict != TrafficVerdict::NoReply && r.firstByteUs >= 0) {
        ++counters_.timedReplies;
        counters_.replyUsTotal += r.firstByteUs;
        counters_.replyUsMax = std::max(counters_.replyUsMax, r.firstByteUs);
    }

    if (size_ < ring_.size()) {
        ++size_;
    } else {
        head_ = (head_ + 1) % ring_.size();
    }
    for (TrafficListener* listener : listeners_) listener->transactionRecorded(r);
}

void TrafficTap::portOpened() {
    const std::lock_guard lock(mutex_);
    if (everOpened_) ++counters_.reopenings;
    everOpened_ = true;
}

void TrafficTap::addListener(TrafficListener* listener) {
    const std::lock_guard lock(mutex_);
    if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void TrafficTap::removeListener(TrafficListener* listener) {
    const std::lock_guard lock(mutex_);
    std::erase(listeners_, listener);
}

std::size_t TrafficTap::size() const {
    const std::lock_guard lock(mutex_);
    return size_;
}

TrafficRecord TrafficTap::at(std::size_t i) const {
    const std::lock_guard lock(mutex_);
    return ring_[(head_ + i) % ring_.size()];
}

std::vector<TrafficRecord> TrafficTap::records(std::size_t last) const {
    const std::lock_guard lock(mutex_);
    const std::size_t n = std::min(last, size_);
    std::vector<TrafficRecord> out;
    out.reserve(n);
    for (std::size_t i = size_ - n; i < size_; ++i)
        out.push_back(ring_[(head_ + i) % ring_.size()]);
    return out;
}

TrafficCounters TrafficTap::counters() const {
    const std::lock_guard lock(mutex_);
    return counters_;
}

}  // namespace kvel
