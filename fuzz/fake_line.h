#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "link/transport.h"

namespace kvel::fuzz {

// A line whose far end answers every request with the bytes it is given, at once.
class FakeLine : public Transport {
  public:
    bool isOpen() const override { return open; }
    void discardInput() override {}
    SendResult send(const std::uint8_t* data, std::size_t length, int) override {
        sent.assign(data, data + length);
        return sendResult;
    }
    bool receive(std::uint8_t* buffer, std::size_t maxLength, std::size_t& received, int,
                 int) override {
        received = std::min(maxLength, reply.size());
        if (received > 0) std::memcpy(buffer, reply.data(), received);
        return receiveCompletes;
    }
    void close() override { open = false; }

    bool open = true;
    SendResult sendResult = SendResult::Done;
    bool receiveCompletes = true;
    std::vector<std::uint8_t> reply;
    std::vector<std::uint8_t> sent;
};

}  // namespace kvel::fuzz
