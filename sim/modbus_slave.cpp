#include "sim/modbus_slave.h"

#include "link/crc16.h"

namespace kvel::sim {
namespace {

constexpr std::uint8_t kReadHolding = 3;
constexpr std::uint8_t kWriteSingle = 6;
constexpr std::uint8_t kWriteMultiple = 16;
constexpr std::uint16_t kMaxRead = 125;
constexpr std::uint16_t kMaxWrite = 123;

std::uint16_t Word(const std::vector<std::uint8_t>& f, std::size_t at) {
    return static_cast<std::uint16_t>(f[at] << 8 | f[at + 1]);
}

void PutWord(std::vector<std::uint8_t>& f, std::uint16_t v) {
    f.push_back(static_cast<std::uint8_t>(v >> 8));
    f.push_back(static_cast<std::uint8_t>(v & 0xFF));
}

std::vector<std::uint8_t> ReadHolding(RegisterMap& map, const std::vector<std::uint8_t>& req) {
    const std::uint16_t first = Word(req, 2);
    const std::uint16_t count = Word(req, 4);
    if (count < 1 || count > kMaxRead) return ExceptionReply(req[0], req[1], 3);
    if (!map.Exists(first, count)) return ExceptionReply(req[0], req[1], 2);
    return ReadReply(map, req[0], first, count);
}

std::vector<std::uint8_t> Write(RegisterMap& map, const std::vector<std::uint8_t>& req,
                                std::uint16_t first, const std::vector<std::uint16_t>& values) {
    const auto count = static_cast<std::uint16_t>(values.size());
    if (!map.Writable(first, count)) return ExceptionReply(req[0], req[1], 2);
    if (const int code = map.CheckWrite(first, values); code != 0) {
        return ExceptionReply(req[0], req[1], static_cast<std::uint8_t>(code));
    }
    map.Store(first, values);
    // Both writes are confirmed with the first six bytes of the request.
    std::vector<std::uint8_t> reply(req.begin(), req.begin() + 6);
    AppendCrc(reply);
    return reply;
}

}  // namespace

int RequestLength(const std::uint8_t* data, std::size_t size) {
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

bool CrcValid(const std::vector<std::uint8_t>& frame) {
    if (frame.size() < 4) return false;
    const auto n = static_cast<std::uint16_t>(frame.size() - 2);
    const std::uint16_t crc = Crc16(frame.data(), n);
    return frame[n] == (crc & 0xFF) && frame[n + 1] == (crc >> 8);
}

void AppendCrc(std::vector<std::uint8_t>& frame) {
    const std::uint16_t crc = Crc16(frame.data(), static_cast<std::uint16_t>(frame.size()));
    frame.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<std::uint8_t>(crc >> 8));
}

std::vector<std::uint8_t> ExceptionReply(std::uint8_t address, std::uint8_t function,
                                         std::uint8_t code) {
    std::vector<std::uint8_t> reply{address, static_cast<std::uint8_t>(function | 0x80), code};
    AppendCrc(reply);
    return reply;
}

std::vector<std::uint8_t> ReadReply(const RegisterMap& map, std::uint8_t address,
                                    std::uint16_t first, int count) {
    std::vector<std::uint8_t> reply{address, kReadHolding, static_cast<std::uint8_t>(2 * count)};
    for (int i = 0; i < count; ++i) PutWord(reply, map.Get(static_cast<std::uint16_t>(first + i)));
    AppendCrc(reply);
    return reply;
}

std::vector<std::uint8_t> Answer(RegisterMap& map, const std::vector<std::uint8_t>& request) {
    const std::uint8_t function = request[1];
    switch (function) {
        case kReadHolding:
            return ReadHolding(map, request);
        case kWriteSingle:
            return Write(map, request, Word(request, 2), {Word(request, 4)});
        case kWriteMultiple: {
            const std::uint16_t count = Word(request, 4);
            if (count < 1 || count > kMaxWrite || request[6] != 2 * count) {
                return ExceptionReply(request[0], function, 3);
            }
            std::vector<std::uint16_t> values;
            for (std::uint16_t i = 0; i < count; ++i) values.push_back(Word(request, 7 + 2 * i));
            return Write(map, request, Word(request, 2), values);
        }
        default:
            return ExceptionReply(request[0], function, 1);
    }
}

}  // namespace kvel::sim
