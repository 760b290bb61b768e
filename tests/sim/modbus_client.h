#pragma once
// A libmodbus RTU master on the simulator's device: the independent implementation the
// simulator is checked against.
#include <modbus/modbus.h>

#include <cstdint>
#include <string>
#include <vector>

#include "sim/simulator.h"

namespace kvel::sim::test {

// Options of a simulated module. (Designated initializers that leave fields out trip
// -Wmissing-field-initializers under -Wextra.)
inline SimOptions Module(int typeCode, std::uint8_t address = 100, std::string link = {},
                         bool drift = true) {
    SimOptions o;
    o.typeCode = typeCode;
    o.address = address;
    o.link = std::move(link);
    o.drift = drift;
    return o;
}

class ModbusClient {
  public:
    ModbusClient(const std::string& device, int baud = 115200, int slave = 100, int timeoutMs = 400,
                 char parity = 'N') {
        ctx_ = modbus_new_rtu(device.c_str(), baud, parity, 8, parity == 'N' ? 2 : 1);
        if (ctx_ == nullptr) return;
        modbus_set_slave(ctx_, slave);
        modbus_set_response_timeout(ctx_, 0, static_cast<std::uint32_t>(timeoutMs) * 1000);
        connected_ = modbus_connect(ctx_) == 0;
    }
    ~ModbusClient() {
        if (ctx_ == nullptr) return;
        modbus_close(ctx_);
        modbus_free(ctx_);
    }
    ModbusClient(const ModbusClient&) = delete;
    ModbusClient& operator=(const ModbusClient&) = delete;

    bool Connected() const { return connected_; }
    modbus_t* Context() { return ctx_; }
    void SetSlave(int slave) { modbus_set_slave(ctx_, slave); }

    // The registers read, or an empty vector with the libmodbus errno in *error.
    std::vector<std::uint16_t> read(int first, int count, int* error = nullptr) {
        std::vector<std::uint16_t> regs(static_cast<std::size_t>(count));
        const int n = modbus_read_registers(ctx_, first, count, regs.data());
        if (error != nullptr) *error = n < 0 ? errno : 0;
        if (n < 0) return {};
        regs.resize(static_cast<std::size_t>(n));
        return regs;
    }
    // 0 on success, else the libmodbus errno.
    int write(int reg, std::uint16_t value) {
        return modbus_write_register(ctx_, reg, value) == 1 ? 0 : errno;
    }
    int WriteMany(int first, const std::vector<std::uint16_t>& values) {
        const int n =
            modbus_write_registers(ctx_, first, static_cast<int>(values.size()), values.data());
        return n == static_cast<int>(values.size()) ? 0 : errno;
    }
    // Sends a hand-made request (libmodbus adds the CRC) and returns the raw reply
    // without its CRC, or an empty vector when none came.
    std::vector<std::uint8_t> Raw(const std::vector<std::uint8_t>& request) {
        if (modbus_send_raw_request(ctx_, request.data(), static_cast<int>(request.size())) < 0) {
            return {};
        }
        std::vector<std::uint8_t> reply(MODBUS_RTU_MAX_ADU_LENGTH);
        const int n = modbus_receive_confirmation(ctx_, reply.data());
        if (n < 0) return {};
        reply.resize(static_cast<std::size_t>(n) - 2);
        return reply;
    }

  private:
    modbus_t* ctx_ = nullptr;
    bool connected_ = false;
};

}  // namespace kvel::sim::test
