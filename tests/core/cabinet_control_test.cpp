#include "core/cabinet_control.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "link/message_sink.h"
#include "sim/simulator.h"
#include "tests/common/sim_on_pty.h"
#include "tests/common/temp_dir.h"
#include "tests/core/sim_writes.h"

namespace kvel {
namespace {

using test::RegisterWrite;
using test::SingleWrites;

MemIni IniOf(const test::TempDir& dir, const std::string& text) {
    test::WriteBytes(dir.File("mem.ini"), text);
    return MemIni(dir.File("mem.ini"));
}

TEST(HostMap, RegistersOfBothAddressings) {
    const HostTarget mnemo{HostAddressing::Mnemo, -2};
    const HostTarget cabinet2{HostAddressing::Host, 1};
    struct Row {
        HostTarget target;
        std::uint16_t command1, command6, signal0, signal4;
    };
    const Row rows[] = {
        {mnemo, 1024, 1029, 1030, 1034},
        {HostTarget{HostAddressing::Mnemo, 7}, 1024, 1029, 1030, 1034},
        {HostTarget{HostAddressing::Host, 0}, 1536, 1541, 1542, 1546},
        {cabinet2, 1552, 1557, 1558, 1562},
        {HostTarget{HostAddressing::Host, kMaxCabinetIndex}, 65520, 65525, 65526, 65530},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(commandRegister(r.target, 1), r.command1);
        EXPECT_EQ(commandRegister(r.target, 6), r.command6);
        EXPECT_EQ(signalRegister(r.target, 0), r.signal0);
        EXPECT_EQ(signalRegister(r.target, 4), r.signal4);
    }
    EXPECT_EQ(commandRegister(mnemo, 3), 1026);
    EXPECT_EQ(signalRegister(cabinet2, 2), 1560);
    EXPECT_EQ(onlineRegister(cabinet2), 1521);
}

TEST(HostMap, CabinetLookUpAndWhichTargetsAreUsable) {
    test::TempDir dir;
    const MemIni host = IniOf(dir,
                              "[connect]\nhost=5\n[panels]\nШкаф 2=2\nНулевой=0\n"
                              "Далёкий=4001\nКрайний=4000\nНизкий=-2147483648\n");
    struct Row {
        const char* name;
        int index;
        TargetState state;
    };
    const Row rows[] = {
        {"Шкаф 2", 1, TargetState::Ok},
        {"шкаф 2", 1, TargetState::Ok},  // keys match without regard to letter case
        {"Нет такого", -2, TargetState::NotChosen},
        {"", -2, TargetState::NotChosen},
        {"Нулевой", -1, TargetState::NotChosen},
        {"Крайний", kMaxCabinetIndex, TargetState::Ok},
        {"Далёкий", kMaxCabinetIndex + 1, TargetState::outOfRange},
        {"Низкий", INT_MIN, TargetState::NotChosen},
    };
    for (const Row& r : rows) {
        const HostTarget t = lookUpTarget(host, r.name);
        EXPECT_EQ(t.addressing, HostAddressing::Host) << r.name;
        EXPECT_EQ(t.index, r.index) << r.name;
        EXPECT_EQ(checkTarget(t), r.state) << r.name;
    }
    // "Мнемо" has no cabinet number: any name will do.
    const MemIni mnemo = IniOf(dir, "[panels]\nШкаф 2=2\n");
    EXPECT_EQ(lookUpTarget(mnemo, "Нет такого").addressing, HostAddressing::Mnemo);
    EXPECT_EQ(checkTarget(lookUpTarget(mnemo, "Нет такого")), TargetState::Ok);
}

// What the cabinet window would show of the updates: -1 for a lamp never set.
struct RecordingView {
    std::string name;
    std::array<int, kHostCommands + kHostSignals> lamps;
    int online = -1;
    RecordingView() { lamps.fill(-1); }
    int Signal(int s) const { return lamps.at(static_cast<std::size_t>(kHostCommands + s)); }
};

// The exchanges on the program's link against the simulated host controller.
class CabinetControlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        simulator = test::StartedSimulator(dir.File("tty"));
        link.setTiming({10, 10, 10, 250, 10});
        link.openPort(dir.File("tty"), 4, 0);
        ASSERT_FALSE(link.portNeedsOpening());
        setMessageSink([this](const std::string& text, const std::string& caption) {
            boxes.push_back(caption + ": " + text);
        });
    }
    void TearDown() override { setMessageSink(nullptr); }

    void Make(const std::string& iniText, const std::string& cabinet = "") {
        test::WriteBytes(dir.File("mem.ini"), iniText);
        ini = std::make_unique<MemIni>(dir.File("mem.ini"));
        control = std::make_unique<CabinetControl>(link, *ini);
        QObject::connect(control.get(), &CabinetControl::releaseDue, [this] { timer2 = true; });
        QObject::connect(control.get(), &CabinetControl::releaseCancelled,
                         [this] { timer2 = false; });
        control->setTiming({20, 10, 100, 1000, 100});
        view.name = cabinet;
    }

    // The update as the window shows it: the lamps, then the failures in boxes.
    const CabinetUpdate& Show(const CabinetUpdate& update) {
        for (const auto& [i, on] : update.indicators)
            view.lamps.at(static_cast<std::size_t>(i)) = on;
        if (update.online) view.online = *update.online;
        for (const CabinetFailure& f : update.failures)
            boxes.push_back(std::string(kCabinetFailureCaption) + ": " + cabinetFailureText(f));
        return update;
    }
    bool Command(int k) { return Show(control->commandClick(view.name, k)).done; }
    bool Release() { return Show(control->releasePulse()).done; }
    bool Signal(int s) { return Show(control->signalClick(view.name, s)).done; }
    RefreshResult Refresh() { return *Show(control->refresh(view.name)).refreshed; }

    test::TempDir dir;
    std::unique_ptr<sim::Simulator> simulator;
    ModuleLink link;
    std::unique_ptr<MemIni> ini;
    std::unique_ptr<CabinetControl> control;
    RecordingView view;
    bool timer2 = false;
    std::vector<std::string> boxes;
};

TEST_F(CabinetControlTest, MnemoCommandIsAPulseOnItsFixedRegister) {
    Make("[connect]\nhost=0\n[panels]\nШкаф 1=1\n", "not a cabinet of the list");
    ASSERT_TRUE(Command(3));
    EXPECT_EQ(simulator->registerValue(1026), 1);
    EXPECT_EQ(view.lamps[2], 1);
    EXPECT_TRUE(timer2);
    EXPECT_TRUE(control->pulseRunning());

    ASSERT_TRUE(Release());  // pulseTimer's tick
    EXPECT_EQ(simulator->registerValue(1026), 0);
    EXPECT_EQ(view.lamps[2], 0);
    EXPECT_FALSE(timer2);
    EXPECT_FALSE(control->pulseRunning());
    EXPECT_EQ(SingleWrites(*simulator), (std::vector<RegisterWrite>{{1026, 1}, {1026, 0}}));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(CabinetControlTest, HostAddressingFollowsTheCabinetNumber) {
    Make("[connect]\nhost=1\n[panels]\nШкаф 1=1\nШкаф 2=2\n", "Шкаф 2");
    simulator->setRegister(1520, 0);
    simulator->setRegister(1521, 1);
    RefreshResult r = Refresh();
    EXPECT_TRUE(r.onlineRead && r.signalsRead) << linkErrorText(r.error);
    EXPECT_EQ(view.online, 1);
    simulator->setRegister(1520, 1);
    simulator->setRegister(1521, 0);
    Refresh();
    EXPECT_EQ(view.online, 0);

    // S43 toggles register 1542 + 16 + 2 and the refresh after it shows the new state.
    ASSERT_TRUE(Signal(2));
    EXPECT_EQ(simulator->registerValue(1560), 1);
    EXPECT_EQ(view.Signal(2), 1);
    EXPECT_EQ(view.Signal(0), 0);
    ASSERT_TRUE(Signal(2));
    EXPECT_EQ(simulator->registerValue(1560), 0);
    EXPECT_EQ(view.Signal(2), 0);

    ASSERT_TRUE(Command(1));
    ASSERT_TRUE(Release());
    EXPECT_EQ(SingleWrites(*simulator),
              (std::vector<RegisterWrite>{{1560, 1}, {1560, 0}, {1552, 1}, {1552, 0}}));
    // A signal set by someone else is toggled from what was read, not from what was written.
    simulator->setRegister(1558, 1);
    Refresh();
    EXPECT_EQ(view.Signal(0), 1);
    ASSERT_TRUE(Signal(0));
    EXPECT_EQ(simulator->registerValue(1558), 0);
}

// A reply of another register count (a late answer to another read, say) is a failed read:
// it lights nothing, and the states last read well stay the ones a signal press toggles.
// The host controller stops answering after a good refresh with a signal on: no lamp stays lit
// from what was read before.
TEST_F(CabinetControlTest, SilentHostPutsOutEverySignalLampLitBefore) {
    Make("[connect]\nhost=1\n[panels]\nШкаф 1=1\n", "Шкаф 1");
    simulator->setRegister(1520, 1);
    simulator->setRegister(1542 + 1, 1);
    simulator->setRegister(1542 + 4, 1);
    ASSERT_TRUE(Refresh().signalsRead);
    ASSERT_EQ(view.Signal(1), 1);
    ASSERT_EQ(view.Signal(4), 1);
    ASSERT_EQ(view.online, 1);
    simulator->setFault(sim::Fault::Silence);
    const RefreshResult r = Refresh();
    EXPECT_FALSE(r.signalsRead);
    for (int s = 0; s < kHostSignals; ++s) EXPECT_EQ(view.Signal(s), 0) << s;
    EXPECT_EQ(view.online, 0);
}

TEST_F(CabinetControlTest, ReplyOfAnotherRegisterCountIsAFailedRead) {
    Make("[connect]\nhost=1\n[panels]\nШкаф 1=1\n", "Шкаф 1");
    simulator->setRegister(1520, 1);
    ASSERT_TRUE(Refresh().signalsRead);
    simulator->setRegister(1542, 1);
    simulator->setReplyRegisterCount(1);  // as the on-line flag's one-register answer
    RefreshResult r = Refresh();
    EXPECT_TRUE(r.onlineRead);
    EXPECT_FALSE(r.signalsRead);
    EXPECT_EQ(linkErrorText(r.error), "Ошибка в данных в ответе от модуля");
    EXPECT_EQ(view.Signal(0), 0);
    EXPECT_EQ(control->signalState(0), 0);
    simulator->setReplyRegisterCount(2);
    r = Refresh();
    EXPECT_FALSE(r.onlineRead);
    EXPECT_EQ(view.online, 0);

    simulator->setFault(sim::Fault::None);
    simulator->setRegister(1542, 0);
    ASSERT_TRUE(Signal(0));
    EXPECT_EQ(simulator->registerValue(1542), 1);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(CabinetControlTest, NoCabinetChosenRefusesCommandsAndSignals) {
    struct Row {
        const char* name;
        const char* expected;
    };
    const Row rows[] = {
        {"Другой", "Ошибка: Не выбран шкаф из списка шкафов"},  // typed, not in the list
        {"Нулевой", "Ошибка: Не выбран шкаф из списка шкафов"},
        {"Далёкий", "Ошибка: Номер шкафа вне допустимого диапазона 1 … 4000"},
    };
    for (const Row& r : rows) {
        Make("[connect]\nhost=1\n[panels]\nНулевой=0\nДалёкий=4001\n", r.name);
        view.lamps.fill(1);
        view.online = 1;
        boxes.clear();
        const std::size_t before = simulator->requestCount();
        EXPECT_FALSE(Command(1)) << r.name;
        EXPECT_FALSE(control->pulseRunning()) << r.name;
        EXPECT_FALSE(Signal(0)) << r.name;
        EXPECT_EQ(boxes, (std::vector<std::string>{r.expected, r.expected})) << r.name;
        Refresh();
        for (int s = 0; s < kHostSignals; ++s) EXPECT_EQ(view.Signal(s), 0) << r.name;
        EXPECT_EQ(view.online, 1) << r.name;  // keeps its picture
        EXPECT_EQ(simulator->requestCount(), before) << r.name;
    }
}

TEST_F(CabinetControlTest, FailedWritesShowTheRecordTextAndLeaveTheLampsAsTheyWere) {
    Make("[connect]\nhost=0\n");
    simulator->setFault(sim::Fault::Silence);
    EXPECT_FALSE(Command(2));
    EXPECT_FALSE(control->pulseRunning());
    EXPECT_FALSE(timer2);
    EXPECT_EQ(view.lamps[1], -1);
    EXPECT_FALSE(Signal(4));
    EXPECT_EQ(view.Signal(4), -1);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Ошибка: Ошибка подтверждения записи из модуля",
                                               "Ошибка: Ошибка подтверждения записи из модуля"}));

    // A failed refresh shows the signals off, and no message.
    boxes.clear();
    const RefreshResult r = Refresh();
    EXPECT_FALSE(r.signalsRead);
    EXPECT_EQ(linkErrorText(r.error), "Ошибка получения результата из модуля");
    for (int s = 0; s < kHostSignals; ++s) EXPECT_EQ(view.Signal(s), 0);
    EXPECT_EQ(view.online, 0);
    EXPECT_TRUE(boxes.empty());

    // An exception reply gives its own text; the command can be given again at once.
    simulator->setFault(sim::Fault::Exception, 4);
    EXPECT_FALSE(Command(2));
    EXPECT_EQ(boxes, (std::vector<std::string>{"Ошибка: Ошибка модуля: код 4"}));
    simulator->setFault(sim::Fault::None);
    EXPECT_TRUE(Command(2));
    EXPECT_EQ(simulator->registerValue(1025), 1);
}

TEST_F(CabinetControlTest, SecondCommandDuringAPulseReleasesTheFirst) {
    Make("[connect]\nhost=0\n");
    ASSERT_TRUE(Command(1));
    ASSERT_TRUE(Command(2));
    EXPECT_EQ(simulator->registerValue(1024), 0);
    EXPECT_EQ(simulator->registerValue(1025), 1);
    EXPECT_EQ(view.lamps[0], 0);
    EXPECT_EQ(view.lamps[1], 1);
    EXPECT_EQ(control->currentCommand(), 2);
    ASSERT_TRUE(Release());
    EXPECT_EQ(simulator->registerValue(1025), 0);
    EXPECT_EQ(SingleWrites(*simulator),
              (std::vector<RegisterWrite>{{1024, 1}, {1024, 0}, {1025, 1}, {1025, 0}}));
    // A tick with no pulse running writes nothing.
    const std::size_t before = simulator->requestCount();
    EXPECT_TRUE(Release());
    EXPECT_EQ(simulator->requestCount(), before);
}

TEST_F(CabinetControlTest, AFailedReleaseStopsTheNewCommandOnceAndFreesTheSlot) {
    Make("[connect]\nhost=0\n");
    ASSERT_TRUE(Command(1));
    simulator->setFault(sim::Fault::Silence);
    EXPECT_FALSE(Command(2));
    EXPECT_EQ(boxes, (std::vector<std::string>{"Ошибка: Ошибка подтверждения записи из модуля"}));
    EXPECT_EQ(view.lamps[0], 1);  // the register may still be 1: its lamp says so
    EXPECT_EQ(view.lamps[1], -1);
    simulator->setFault(sim::Fault::None);
    ASSERT_TRUE(Command(2));
    EXPECT_EQ(SingleWrites(*simulator),
              (std::vector<RegisterWrite>{{1024, 1}, {1024, 0}, {1025, 1}}));
}

TEST_F(CabinetControlTest, ReleaseGoesToTheRegisterThePulseSet) {
    // Another cabinet, or none, chosen during the pulse does not leave the first at 1.
    Make("[connect]\nhost=1\n[panels]\nА=1\nБ=2\n", "А");
    ASSERT_TRUE(Command(5));
    EXPECT_EQ(simulator->registerValue(1540), 1);
    view.name = "Б";
    ASSERT_TRUE(Release());
    view.name = "А";
    ASSERT_TRUE(Command(6));
    view.name = "не из списка";
    ASSERT_TRUE(Release());
    EXPECT_EQ(SingleWrites(*simulator),
              (std::vector<RegisterWrite>{{1540, 1}, {1540, 0}, {1541, 1}, {1541, 0}}));
    EXPECT_TRUE(boxes.empty());
}

}  // namespace
}  // namespace kvel
