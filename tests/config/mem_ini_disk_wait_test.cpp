// mem.ini's readers while a flush waits for the disk.
#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "config/mem_ini.h"
#include "tests/common/temp_dir.h"

namespace {
std::atomic<int> slowSyncMs{0};
std::atomic<bool> syncing{false};
}  // namespace

// A slow disk: this program's own fsync, found before the C library's, waits when asked.
extern "C" int fsync(int fd) {
    syncing = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(slowSyncMs.load()));
    syncing = false;
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

namespace kvel {
namespace {

// The link thread stores settings (a coefficient write, a link write) while the chart and the
// log read theirs on the GUI thread: no read waits for the disk.
TEST(MemIniDiskWait, ReadsAndWritesInMemoryGoOnWhileAFlushWaitsForTheDisk) {
    test::TempDir dir;
    test::WriteBytes(dir.File("mem.ini"), "[measure]\nperiod=5\n");
    MemIni ini(dir.File("mem.ini"));
    slowSyncMs = 400;
    std::thread flush([&] { EXPECT_TRUE(ini.updateFile()) << ini.lastError(); });
    while (!syncing) std::this_thread::yield();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ini.readInteger("measure", "period", 0), 5);
    ini.writeInteger("measure", "period", 7);
    const auto waited = std::chrono::steady_clock::now() - start;
    flush.join();
    slowSyncMs = 0;
    EXPECT_LT(waited, std::chrono::milliseconds(200));

    // The flush wrote the image as it was when it began; the next one writes the change.
    EXPECT_EQ(MemIni(dir.File("mem.ini")).readInteger("measure", "period", 0), 5);
    ASSERT_TRUE(ini.updateFile());
    EXPECT_EQ(MemIni(dir.File("mem.ini")).readInteger("measure", "period", 0), 7);
}

}  // namespace
}  // namespace kvel
