// Our transactions against an independent Modbus implementation: a libmodbus RTU slave on one
// end of a socat pseudo-terminal pair, our port on the other.
#include <gtest/gtest.h>
#include <modbus/modbus.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "link/module_link.h"

extern char** environ;

namespace kvel {
namespace {

namespace fs = std::filesystem;

class LibmodbusSlave : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string base = "/tmp/kvel-socat-" + std::to_string(::getpid());
        slavePath = base + "-a";
        ourPath = base + "-b";
        const std::string a = "pty,raw,echo=0,link=" + slavePath;
        const std::string b = "pty,raw,echo=0,link=" + ourPath;
        char* argv[] = {const_cast<char*>("socat"), const_cast<char*>(a.c_str()),
                        const_cast<char*>(b.c_str()), nullptr};
        ASSERT_EQ(::posix_spawnp(&socat, "socat", nullptr, nullptr, argv, environ), 0)
            << "socat is needed for this test";
        for (int i = 0; i < 100 && !(fs::exists(slavePath) && fs::exists(ourPath)); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ASSERT_TRUE(fs::exists(slavePath) && fs::exists(ourPath));

        mapping = modbus_mapping_new(0, 0, 1024, 0);
        for (int i = 0; i < 1024; ++i)
            mapping->tab_registers[i] = static_cast<std::uint16_t>(i * 3);
        ctx = modbus_new_rtu(slavePath.c_str(), 115200, 'N', 8, 2);
        ASSERT_NE(ctx, nullptr);
        modbus_set_slave(ctx, 100);
        ASSERT_EQ(modbus_connect(ctx), 0) << modbus_strerror(errno);
        modbus_set_indication_timeout(ctx, 0, 100000);
        server = std::thread([this] {
            std::uint8_t query[MODBUS_RTU_MAX_ADU_LENGTH];
            while (!stop) {
                const int n = modbus_receive(ctx, query);
                if (n > 0) modbus_reply(ctx, query, n, mapping);
            }
        });
        link.setTiming({30, 30, 30, 500, 10});
        link.openPort(ourPath, 4, 0);
        ASSERT_FALSE(link.portNeedsOpening());
    }
    void TearDown() override {
        stop = true;
        if (server.joinable()) server.join();
        if (ctx) {
            modbus_close(ctx);
            modbus_free(ctx);
        }
        if (mapping) modbus_mapping_free(mapping);
        if (socat > 0) {
            ::kill(socat, SIGTERM);
            ::waitpid(socat, nullptr, 0);
        }
    }

    pid_t socat = -1;
    std::string slavePath, ourPath;
    modbus_t* ctx = nullptr;
    modbus_mapping_t* mapping = nullptr;
    std::atomic<bool> stop{false};
    std::thread server;
    ModuleLink link;
};

TEST_F(LibmodbusSlave, OurReadsAndWritesAreServed) {
    ReadTransaction r;
    r.moduleAddress = 100;
    r.firstRegister = 512;
    r.count = 30;
    ASSERT_TRUE(link.readRegisters(r)) << errorText(r);
    ASSERT_EQ(r.registerCount, 30);
    for (int i = 0; i < 30; ++i) EXPECT_EQ(r.registers[i], (512 + i) * 3);

    WriteTransaction w;
    w.moduleAddress = 100;
    w.firstRegister = 266;
    w.values[0] = 0xBEEF;
    ASSERT_TRUE(link.writeRegister(w)) << errorText(w);
    EXPECT_EQ(mapping->tab_registers[266], 0xBEEF);

    w.firstRegister = 85;
    w.count = 30;
    for (int i = 0; i < 30; ++i) w.values[i] = static_cast<std::uint16_t>(1000 - i);
    ASSERT_TRUE(link.writeRegisters(w)) << errorText(w);
    for (int i = 0; i < 30; ++i) EXPECT_EQ(mapping->tab_registers[85 + i], 1000 - i);

    // A read beyond the slave's map gets its exception: illegal data address.
    r.firstRegister = 1020;
    r.count = 10;
    EXPECT_FALSE(link.readRegisters(r));
    EXPECT_EQ(errorText(r), "Ошибка модуля: код 2");
    EXPECT_EQ(r.exceptionCode, 2);
}

}  // namespace
}  // namespace kvel
