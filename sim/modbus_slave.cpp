#include "sim/modbus_slave.h"

namespace kvel::sim {
namespace {

constexpr std::uint8_t kReadHolding = 3;
constexpr std::uint8_t kWriteSingle = 6;
constexpr std::uint8_t kWriteMultiple = 16;
constexpr std::uint16_t kMaxRead = 125;
constexpr std::uint16_t kMaxWrite = 123;

std::uint16_t word(const std::vector<std::uint8_t>& f, std::size_t at) {
    return static_cast<std::uint16_t>(f[at] << 8 | f[at + 1]);
}

void putWord(std::vector<std::uint8_t>& f, std::uint16_t v) {
    f.push_back(static_cast<std::uint8_t>(v >> 8));
    f.push_back(static_cast<std::uint8_t>(v & 0xFF));
}

std::vector<std::uint8_t> readHolding(RegisterMap& map, const std::vector<std::uint8_t>& req) {
    const std::uint16_t first = word(req, 2);
    const std::uint16_t count = word(req, 4);
    if (count < 1 || count > kMaxRead) return exceptionReply(req[0], req[1], 3);
    if (!map.exists(first, count)) return exceptionReply(req[0], req[1], 2);
    return readReply(map, req[0], first, count);
}

std::vector<std::uint8_t> write(RegisterMap& map, const std::vector<std::uint8_t>& req,
                                std::uint16_t first, const std::vector<std::uint16_t>& values) {
    const auto count = static_cast<std::uint16_t>(values.size());
    if (!map.writable(first, count)) return exceptionReply(req[0], req[1], 2);
    if (const int code = map.checkWrite(first, values); code != 0) {
        return exceptionReply(req[0], req[1], static_cast<std::uint8_t>(code));
    }
    map.store(first, values);
    // Both writes are confirmed with the first six bytes of the request.
    std::vector<std::uint8_t> reply(req.begin(), req.begin() + 6);
    appendCrc(reply);
    return reply;
}

}  // namespace

int requestLength(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    switch (data[1]) {
        case kReadHolding:
        case kWriteSingle:
            return 8;
        case kWriteMultiple:
            return size < 7 ? 0 : 9 + data[6];
        default:
            return -1;
    }
}

bool crcValid(const std::vector<std::uint8_t>& frame) {
    return frame.size() >= 4 && crcMatches(frame.data(), frame.size(), frame.size() - 2);
}

std::vector<std::uint8_t> exceptionReply(std::uint8_t address, std::uint8_t function,
                                         std::uint8_t code) {
    std::vector<std::uint8_t> reply{address, static_cast<std::uint8_t>(function | 0x80), code};
    appendCrc(reply);
    return reply;
}

std::vector<std::uint8_t> readReply(const RegisterMap& map, std::uint8_t address,
                                    std::uint16_t first, int count) {
    std::vector<std::uint8_t> reply{address, kReadHolding, static_cast<std::uint8_t>(2 * count)};
    for (int i = 0; i < count; ++i) putWord(reply, map.get(static_cast<std::uint16_t>(first + i)));
    appendCrc(reply);
    return reply;
}

std::vector<std::uint8_t> answer(RegisterMap& map, const std::vector<std::uint8_t>& request) {
    const std::uint8_t function = request[1];
    switch (function) {
        case kReadHolding:
            return readHolding(map, request);
        case kWriteSingle:
            return write(map, request, word(request, 2), {word(request, 4)});
        case kWriteMultiple: {
            const std::uint16_t count = word(request, 4);
            if (count < 1 || count > kMaxWrite || request[6] != 2 * count) {
                return exceptionReply(request[0], function, 3);
            }
            std::vector<std::uint16_t> values;
            for (std::uint16_t i = 0; i < count; ++i) values.push_back(word(request, 7 + 2 * i));
            return write(map, request, word(request, 2), values);
        }
        default:
            return exceptionReply(request[0], function, 1);
    }
}

}  // namespace kvel::sim
