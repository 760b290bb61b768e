// The module settings operations against the simulator: its register store is the module's
// memory, so what a write sends is what the next read shows.
#include "core/module_settings.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/poll_cycle.h"
#include "link/message_sink.h"
#include "sim/simulator.h"
#include "tests/common/sim_on_pty.h"
#include "tests/common/temp_dir.h"

namespace kvel {
namespace {

class ModuleSettingsTest : public ::testing::Test {
  protected:
    void TearDown() override { setMessageSink(nullptr); }

    void start(int type) {
        const std::string tty = dir.File("tty");
        simulator = test::StartedSimulator(tty, type);
        ASSERT_TRUE(simulator->plugged());  // started
        ini.writeString("connect", "port", tty);
        ini.writeInteger("connect", "speed", 4);
        ini.writeInteger("connect", "parity", 0);
        ini.writeInteger("connect", "adr", 100);
        link.setTiming({5, 5, 5, 300, 10, 5, 5});
        link.openPort(tty, 4, 0);
        ASSERT_FALSE(link.portNeedsOpening());
        link.setModuleType(type);
        setMessageSink([this](const std::string& text, const std::string& caption) {
            boxes.push_back(caption + ": " + text);
        });
    }
    // Every channel gets a valid measurement, as after a poll.
    void Measure() {
        const ReadTransaction measurements = link.readMeasurements(100);
        ASSERT_TRUE(measurements.ok()) << errorText(measurements);
        link.takeMeasurements(measurements);
    }
    // The file as a fresh program would read it.
    std::string Stored(const std::string& section, const std::string& key) const {
        return MemIni(dir.File("mem.ini")).readString(section, key, "<none>");
    }

    test::TempDir dir;
    MemIni ini{dir.File("mem.ini")};
    ModuleLink link;
    ModuleSettings settings{link, ini};
    std::unique_ptr<sim::Simulator> simulator;
    // What would be shown: the sink's boxes, then those the operations returned.
    std::vector<std::string>& Boxes() {
        for (const Message& m : settings.takeMessages()) boxes.push_back(m.caption + ": " + m.text);
        return boxes;
    }
    std::vector<std::string> boxes;
};

TEST_F(ModuleSettingsTest, CoefficientsAreWrittenTruncatedAndOnlyWhenChanged) {
    start(205);
    simulator->setRegister(85, 65535);
    simulator->setRegister(86, 58981);
    simulator->setRegister(87, 0);
    ini.writeString("sensors", "2", "Шина А");
    Measure();
    ChannelTable table;
    settings.loadChannelTable(table);
    ASSERT_EQ(table.coeffs.size(), 15u);
    EXPECT_EQ(table.coeffs[0], "1.00000");
    EXPECT_EQ(table.coeffs[1], "0.89999");
    EXPECT_EQ(table.coeffs[2], "0.00000");
    EXPECT_EQ(table.names[1], "Шина А");
    EXPECT_EQ(table.names[0], "");

    table.coeffs[0] = "0.9";    // changed: written as 58981
    table.coeffs[1] = "0.895";  // less than 0.01 from 0.89999: not written
    table.coeffs[2] = "1";      // 65535
    table.names[0] = "Ввод 1";
    const std::size_t before = simulator->requestCount();
    ASSERT_TRUE(settings.writeCoeffs(table)) << ::testing::PrintToString(Boxes());
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(simulator->requestCount() - before, 2u);
    EXPECT_EQ(simulator->registerValue(85), 58981);
    EXPECT_EQ(simulator->registerValue(86), 58981);
    EXPECT_EQ(simulator->registerValue(87), 65535);
    EXPECT_EQ(Stored("sensors", "1"), "Ввод 1");
    EXPECT_EQ(Stored("sensors", "2"), "Шина А");
    EXPECT_EQ(Stored("sensors", "15"), "");

    settings.loadChannelTable(table);
    EXPECT_EQ(table.coeffs[0], "0.89999");
    EXPECT_EQ(table.coeffs[2], "1.00000");
}

// Compared with what the module holds after the last write, not with the value read at opening.
TEST_F(ModuleSettingsTest, CoefficientSetBackIsWrittenAgain) {
    start(205);
    simulator->setRegister(85, 65535);
    Measure();
    ChannelTable table;
    settings.loadChannelTable(table);
    table.coeffs[0] = "0.5";
    ASSERT_TRUE(settings.writeCoeffs(table)) << ::testing::PrintToString(Boxes());
    EXPECT_EQ(simulator->registerValue(85), 32767);
    table.coeffs[0] = "1";
    ASSERT_TRUE(settings.writeCoeffs(table)) << ::testing::PrintToString(Boxes());
    EXPECT_EQ(simulator->registerValue(85), 65535);
}

// A dead descriptor of an unplugged adapter is closed by the failed write, and the next write
// opens the port again.
TEST_F(ModuleSettingsTest, WriteRecoversAfterTheAdapterIsPluggedBack) {
    start(205);
    Measure();
    ChannelTable table;
    settings.loadChannelTable(table);
    table.coeffs[0] = "0.5";
    simulator->unplug();
    EXPECT_FALSE(settings.writeCoeffs(table));
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Ошибка: Ошибка передачи команды записи в модуль"});
    ASSERT_TRUE(simulator->plug()) << simulator->errorText();
    Boxes().clear();
    EXPECT_TRUE(settings.writeCoeffs(table)) << ::testing::PrintToString(Boxes());
    EXPECT_EQ(simulator->registerValue(85), 32767);
}

TEST_F(ModuleSettingsTest, BadCoefficientIsRefusedBeforeAnythingIsWritten) {
    start(205);
    Measure();
    ChannelTable table;
    settings.loadChannelTable(table);
    table.coeffs[0] = "0.5";  // a valid change in an earlier row must not go out either
    table.names[0] = "не сохранять";
    for (const char* bad : {"1.5", "-0.1", "abc", "", "nan", "0,5"}) {
        Boxes().clear();
        table.coeffs[2] = bad;
        const std::size_t before = simulator->requestCount();
        EXPECT_FALSE(settings.writeCoeffs(table)) << bad;
        EXPECT_EQ(Boxes(),
                  std::vector<std::string>{"Ошибка: Некорректное значение коэффицента канала 3"})
            << bad;
        EXPECT_EQ(simulator->requestCount(), before) << bad;
    }
    EXPECT_EQ(Stored("sensors", "1"), "<none>");
}

TEST_F(ModuleSettingsTest, ChannelWithoutMeasurementKeepsItsCoefficient) {
    start(205);
    simulator->setRegister(21 + 4, 0);  // channel 5 has no reading
    Measure();
    ChannelTable table;
    settings.loadChannelTable(table);
    const std::uint16_t kept = simulator->registerValue(85 + 4);
    table.coeffs[4] = "0.5";
    ASSERT_TRUE(settings.writeCoeffs(table));
    EXPECT_EQ(simulator->registerValue(85 + 4), kept);
}

TEST_F(ModuleSettingsTest, FailedCoefficientReadAndFailedWrite) {
    start(205);
    Measure();
    ChannelTable table;
    settings.loadChannelTable(table);
    const float lastRead = settings.coefficientLastRead(4);

    simulator->setFault(sim::Fault::Silence);
    settings.loadChannelTable(table);
    EXPECT_EQ(table.coeffs, std::vector<std::string>(15, "---"));
    EXPECT_EQ(settings.coefficientLastRead(4), lastRead);
    simulator->setFault(sim::Fault::None);
    EXPECT_FALSE(settings.writeCoeffs(table));
    EXPECT_EQ(Boxes(),
              std::vector<std::string>{"Ошибка: Некорректное значение коэффицента канала 1"});

    // A refused write shows the transaction's text; the names are not stored.
    Boxes().clear();
    settings.loadChannelTable(table);
    table.coeffs[0] = "0.5";
    table.names[0] = "x";
    simulator->setFault(sim::Fault::Exception, 4);
    EXPECT_FALSE(settings.writeCoeffs(table));
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Ошибка: Ошибка модуля: код 4"});
    EXPECT_EQ(Stored("sensors", "1"), "<none>");
}

// The relay write's checks, in their order: each case breaks one field of fields that pass,
// after the ones before it; nothing reaches the module.
TEST_F(ModuleSettingsTest, FirstGenerationValidationInOrder) {
    start(150);
    FirstGenFields f;
    settings.loadModuleSettings(f);
    ASSERT_EQ(f.hyst, "5");
    struct Case {
        std::string FirstGenFields::*field;
        const char* text;
        const char* message;
    };
    using F = FirstGenFields;
    const Case cases[] = {
        {&F::hyst, "x", "Некорректное значение гистерезиса"},
        {&F::hyst, "101", "Значение гистерезиса должно лежать в диапазоне от 0 до 100 гр. С"},
        {&F::hyst, "-1", "Значение гистерезиса должно лежать в диапазоне от 0 до 100 гр. С"},
        {&F::delayOn, "0", "Некорректное значение задержки на включение"},
        {&F::delayOn, "256", "Некорректное значение задержки на включение"},
        {&F::delayOff, "--", "Некорректное значение задержки на отключение"},
        {&F::thres1, "--", "Некорректное значение порога 1"},
        {&F::thres2, "1.5", "Некорректное значение порога 2"},
    };
    const std::size_t before = simulator->requestCount();
    for (const Case& c : cases) {
        FirstGenFields broken = f;
        broken.*c.field = c.text;
        Boxes().clear();
        EXPECT_FALSE(settings.writeRelaySettings(broken)) << c.message;
        EXPECT_EQ(Boxes(), std::vector<std::string>{std::string("Ошибка: ") + c.message});
    }
    struct Later {
        void (*breakIt)(FirstGenFields&);
        const char* message;
    };
    const Later later[] = {
        {[](F& g) { g.relSens[1] = "501"; }, "Некорректное значение порога Датчик-Реле 2"},
        {[](F& g) {
             g.relSens[2] = "-1";
             g.delayOn = "0";
         },
         "Некорректное значение порога Датчик-Реле 3"},
        {[](F& g) { g.thresholds1[4] = ""; }, "Некорректное значение порога 1 канала 5"},
        {[](F& g) { g.thresholds2[14] = "70000"; }, "Некорректное значение порога 2 канала 15"},
        {[](F& g) {
             g.thresholds2[0] = "x";
             g.thres1 = "--";
         },
         "Некорректное значение порога 2 канала 1"},
        {[](F& g) {
             g.hyst = "--";
             g.relSens[0] = "--";
         },
         "Некорректное значение гистерезиса"},
    };
    for (const Later& c : later) {
        FirstGenFields broken = f;
        c.breakIt(broken);
        Boxes().clear();
        EXPECT_FALSE(settings.writeRelaySettings(broken)) << c.message;
        EXPECT_EQ(Boxes(), std::vector<std::string>{std::string("Ошибка: ") + c.message});
    }
    EXPECT_EQ(simulator->requestCount(), before);
}

TEST_F(ModuleSettingsTest, FirstGenerationType220BindingsAndThresholdTables) {
    start(220);
    FirstGenFields f;
    settings.loadModuleSettings(f);
    ASSERT_EQ(f.link.size(), 30u);
    ASSERT_EQ(f.thresholds1.size(), 30u);
    f.link.assign(30, false);
    f.link[15] = true;  // channel 16
    f.link[14] = true;  // channel 15
    f.thres.assign(30, false);
    f.thres[29] = true;  // channel 30
    f.thresholds1[0] = "-5";
    f.thresholds1[29] = "300";
    f.thresholds2[29] = "400";
    f.relayFunction[1] = Choice{21, false};  // "Функция22"
    f.relayFunction[2] = Choice{-1, false};  // none: 0
    f.hyst = "100";
    ASSERT_TRUE(settings.writeRelaySettings(f)) << ::testing::PrintToString(Boxes());

    EXPECT_EQ(simulator->registerValue(640), 1 << 14);
    EXPECT_EQ(simulator->registerValue(641), 1);
    EXPECT_EQ(simulator->registerValue(656), 0);
    EXPECT_EQ(simulator->registerValue(657), 1 << 14);
    EXPECT_EQ(simulator->registerValue(12), 1 << 14) << "channels 1 to 15 only";
    EXPECT_EQ(simulator->registerValue(13), 0);
    EXPECT_EQ(simulator->registerValue(768), 0xFFFB);
    EXPECT_EQ(simulator->registerValue(768 + 29), 300);
    EXPECT_EQ(simulator->registerValue(800 + 29), 400);
    EXPECT_EQ(simulator->registerValue(9), 22);
    EXPECT_EQ(simulator->registerValue(10), 0);
    EXPECT_EQ(simulator->registerValue(17), 100);

    FirstGenFields again;
    settings.loadModuleSettings(again);
    EXPECT_EQ(again.link, f.link);
    EXPECT_EQ(again.thres, f.thres);
    EXPECT_EQ(again.thresholds1, f.thresholds1);
    EXPECT_EQ(again.thresholds2, f.thresholds2);
    EXPECT_EQ(again.relayFunction[1].index, 21);
    EXPECT_EQ(again.relayFunction[2].index, -1);
    EXPECT_EQ(again.hyst, "100");
}

TEST_F(ModuleSettingsTest, FirstGenerationSettingsBlockRoundTrip) {
    start(150);
    FirstGenFields f;
    settings.loadModuleSettings(f);
    EXPECT_EQ(f.adr, "100");
    EXPECT_EQ(f.speed.index, 0);
    EXPECT_EQ(f.relayFunction[0].index, 0);
    ASSERT_EQ(f.link.size(), 15u);
    f.thres1 = "-10";
    f.thres2 = "120";
    f.delayOn = "1";
    f.delayOff = "255";
    f.relSens = {"0", "250", "500"};
    f.link = std::vector<bool>(15, true);
    f.thres = std::vector<bool>(15, false);
    f.thres[0] = true;
    ASSERT_TRUE(settings.writeRelaySettings(f)) << ::testing::PrintToString(Boxes());
    const std::vector<std::uint16_t> expected = {0xFFF6, 120,    1, 255, 0,   1,   2, 3,
                                                 0,      0x7FFF, 1, 0,   250, 500, 5};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(simulator->registerValue(static_cast<std::uint16_t>(3 + i)), expected[i])
            << 3 + i;
    }
    FirstGenFields again;
    settings.loadModuleSettings(again);
    EXPECT_EQ(again.thres2, "120");
    EXPECT_EQ(again.delayOff, "255");
    EXPECT_EQ(again.relSens, f.relSens);
    EXPECT_EQ(again.link, f.link);
    EXPECT_EQ(again.thres, f.thres);

    // A failed read: placeholders everywhere, lists cleared, the threshold table untouched.
    simulator->setFault(sim::Fault::Silence);
    again.thresholds1[3] = "77";
    settings.loadModuleSettings(again);
    EXPECT_EQ(again.adr, "--");
    EXPECT_EQ(again.hyst, "--");
    EXPECT_EQ(again.relSens[2], "--");
    EXPECT_EQ(again.speed, (Choice{-1, true}));
    EXPECT_EQ(again.relayFunction[2], (Choice{-1, true}));
    EXPECT_EQ(again.link, std::vector<bool>(15, false));
    EXPECT_EQ(again.thresholds1[3], "77");
}

TEST_F(ModuleSettingsTest, SecondGenerationSignedThresholdsAndRanges) {
    start(205);
    SecondGenFields f;
    settings.loadModuleSettingsNew(f);
    ASSERT_EQ(f.relays[0].thres, "80");
    f.relays[0].thres = "-40";
    f.relays[2].hyst = "-40";
    ASSERT_TRUE(settings.writeRelaySettingsNew(f)) << ::testing::PrintToString(Boxes());
    EXPECT_EQ(simulator->registerValue(266 + 5), 0xFFD8);
    EXPECT_EQ(simulator->registerValue(298 + 6), 0xFFD8);
    EXPECT_EQ(simulator->lastRequest()[5], 7) << "7-register blocks below type 210";
    SecondGenFields again;
    settings.loadModuleSettingsNew(again);
    EXPECT_EQ(again.relays[0].thres, "-40");
    EXPECT_EQ(again.relays[2].hyst, "-40");

    const std::size_t before = simulator->requestCount();
    struct Case {
        int relay;
        std::string SecondGenRelayFields::*field;
        const char* text;
        const char* name;
    };
    using R = SecondGenRelayFields;
    const Case cases[] = {
        {0, &R::thres, "-41", "Значение порога реле 1"},
        {0, &R::thres, "501", "Значение порога реле 1"},
        {0, &R::hyst, "x", "Значение гистерезиса реле 1"},
        {1, &R::delayOn, "0", "Значение задержки на включение реле 2"},
        {1, &R::delayOff, "256", "Значение задержки на отключение реле 2"},
        {2, &R::delayOff, "--", "Значение задержки на отключение реле 3"},
    };
    for (const Case& c : cases) {
        SecondGenFields broken = f;
        broken.relays[static_cast<std::size_t>(c.relay)].*c.field = c.text;
        broken.relays[2].thres = c.relay == 2 ? "80" : "-41";  // later relays are not reached
        Boxes().clear();
        EXPECT_FALSE(settings.writeRelaySettingsNew(broken));
        EXPECT_EQ(Boxes(), std::vector<std::string>{
                               std::string("Ошибка: Некорректное значение параметра: ") + c.name});
    }
    SecondGenFields noLogic = f;
    noLogic.relays[1].logic = Choice{-1, true};
    Boxes().clear();
    EXPECT_FALSE(settings.writeRelaySettingsNew(noLogic));
    EXPECT_EQ(Boxes(),
              std::vector<std::string>{"Ошибка: Некорректное значение параметра: Логика реле 2"});
    EXPECT_EQ(simulator->requestCount(), before);
}

TEST_F(ModuleSettingsTest, SecondGenerationThirtyChannelBindings) {
    start(215);
    SecondGenFields f;
    settings.loadModuleSettingsNew(f);
    ASSERT_EQ(f.relays[1].binding.size(), 30u);
    f.relays[1].binding.assign(30, false);
    f.relays[1].binding[0] = true;
    f.relays[1].binding[16] = true;
    f.relays[0].function = Choice{-1, false};
    ASSERT_TRUE(settings.writeRelaySettingsNew(f)) << ::testing::PrintToString(Boxes());
    EXPECT_EQ(simulator->registerValue(282 + 4), 1);
    EXPECT_EQ(simulator->registerValue(282 + 7), 1);
    EXPECT_EQ(simulator->registerValue(266), 0) << "no function selected";
    EXPECT_EQ(simulator->lastRequest()[5], 8);
    SecondGenFields again;
    settings.loadModuleSettingsNew(again);
    EXPECT_EQ(again.relays[1].binding, f.relays[1].binding);
    EXPECT_EQ(again.relays[0].binding, f.relays[0].binding);
}

TEST_F(ModuleSettingsTest, RegisterValuesWithoutAnItemLeaveTheBoxEmpty) {
    start(215);
    simulator->setRegister(257, 7);
    simulator->setRegister(263, 3);
    simulator->setRegister(266, 0);
    simulator->setRegister(282, 23);
    simulator->setRegister(283, 2);
    SecondGenFields f;
    settings.loadModuleSettingsNew(f);
    EXPECT_EQ(f.speed1, (Choice{-1, false}));
    EXPECT_EQ(f.parity2, (Choice{-1, false}));
    EXPECT_EQ(f.relays[0].function, (Choice{-1, false}));
    EXPECT_EQ(f.relays[1].function, (Choice{-1, false}));
    EXPECT_EQ(f.relays[1].logic, (Choice{-1, false}));
    EXPECT_EQ(f.relays[2].function, (Choice{11, false}));
    EXPECT_EQ(f.speed2, (Choice{4, false}));
}

TEST_F(ModuleSettingsTest, LinkSettingsRefusedWithNothingWritten) {
    start(150);
    FirstGenFields f;
    settings.loadModuleSettings(f);
    const auto refused = [&](FirstGenFields g, const char* message) {
        Boxes().clear();
        const std::size_t before = simulator->requestCount();
        EXPECT_FALSE(settings.writeLinkSettings(g)) << message;
        EXPECT_EQ(Boxes(), std::vector<std::string>{std::string("Ошибка: ") + message});
        EXPECT_EQ(simulator->requestCount(), before);
    };
    for (const char* adr : {"0", "248", "--", ""}) {
        f.adr = adr;
        refused(f, "Некорректное значение адреса модуля");
    }
    f.adr = "5";
    f.speed = Choice{-1, false};
    refused(f, "Некорректное значение скорости");
    f.speed = Choice{1, false};
    f.parity = Choice{-1, true};
    refused(f, "Некорректное значение паритета");
    EXPECT_EQ(Stored("connect", "adr"), "<none>");
    EXPECT_EQ(ini.readInteger("connect", "adr", 0), 100);
    EXPECT_FALSE(link.portNeedsOpening());

    simulator->setTypeCode(205);
    link.setModuleType(205);
    SecondGenFields g;
    settings.loadModuleSettingsNew(g);
    const auto refusedNew = [&](SecondGenFields h, const char* message) {
        Boxes().clear();
        const std::size_t before = simulator->requestCount();
        EXPECT_FALSE(settings.writeLinkSettingsNew(h)) << message;
        EXPECT_EQ(Boxes(), std::vector<std::string>{std::string("Ошибка: ") + message});
        EXPECT_EQ(simulator->requestCount(), before);
    };
    g.adr1 = "0";
    refusedNew(g, "Некорректное значение адреса MB1");
    g.adr1 = "1";
    g.adr2 = "248";
    refusedNew(g, "Некорректное значение адреса MB2");
    g.adr2 = "247";
    g.speed1 = Choice{-1, false};
    refusedNew(g, "Некорректное значение скорости MB1");
    g.speed1 = Choice{0, false};
    g.parity2 = Choice{-1, true};
    refusedNew(g, "Некорректное значение паритета MB2");
    EXPECT_EQ(ini.readInteger("connect", "adr", 0), 100);
    EXPECT_EQ(Stored("connect", "adr"), "<none>");
}

TEST_F(ModuleSettingsTest, LinkWriteMovesTheModuleAndThePollFollows) {
    start(150);
    FirstGenFields f;
    settings.loadModuleSettings(f);
    f.adr = "17";
    f.speed = Choice{2, false};   // 38400
    f.parity = Choice{1, false};  // even
    ASSERT_TRUE(settings.writeLinkSettings(f)) << ::testing::PrintToString(Boxes());
    EXPECT_EQ(simulator->moduleAddress(), 17);
    EXPECT_EQ(Stored("connect", "adr"), "17");
    EXPECT_EQ(Stored("connect", "speed"), "2");
    EXPECT_EQ(Stored("connect", "parity"), "1");
    EXPECT_EQ(link.port().getState(), SerialPort::State::Closed);

    PollCycle poll(link, ini, dir.Path().string());
    const PollResult polled = poll.poll();
    EXPECT_TRUE(polled.linkUp) << linkErrorText(polled.linkFailure);
    EXPECT_EQ(simulator->lineSpeed(), 38400);
}

TEST_F(ModuleSettingsTest, LinkWriteToASilentModuleStillMovesTheProgram) {
    start(215);
    SecondGenFields f;
    settings.loadModuleSettingsNew(f);
    f.adr1 = "33";
    f.speed1 = Choice{1, false};
    f.parity1 = Choice{2, false};
    f.adr2 = "34";
    simulator->setFault(sim::Fault::Silence);
    ASSERT_TRUE(settings.writeLinkSettingsNew(f)) << ::testing::PrintToString(Boxes());
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Stored("connect", "adr"), "33");
    EXPECT_EQ(Stored("connect", "speed"), "1");
    EXPECT_EQ(Stored("connect", "parity"), "2");
    EXPECT_EQ(link.port().getState(), SerialPort::State::Closed);
    EXPECT_EQ(simulator->registerValue(256), 100) << "the module did not hear it";

    PollCycle poll(link, ini, dir.Path().string());
    poll.poll();
    EXPECT_EQ(link.port().getState(), SerialPort::State::open);
    EXPECT_EQ(simulator->lastRequest().at(0), 33);
    EXPECT_EQ(simulator->lineSpeed(), 19200);

    // Heard: MB1 moves the module and the program, MB2 only the module.
    simulator->setFault(sim::Fault::None);
    ini.writeInteger("connect", "adr", 100);
    ASSERT_TRUE(settings.writeLinkSettingsNew(f));
    EXPECT_EQ(simulator->moduleAddress(), 33);
    EXPECT_EQ(simulator->registerValue(261), 34);
    const PollResult polled = poll.poll();
    EXPECT_TRUE(polled.linkUp) << linkErrorText(polled.linkFailure);
}

// An exception reply is the module's refusal: it keeps its settings, so mem.ini and the port
// stay as they were and the user reads why.
TEST_F(ModuleSettingsTest, LinkWriteRefusedByTheModuleChangesNothing) {
    start(150);
    FirstGenFields f;
    settings.loadModuleSettings(f);
    f.adr = "17";
    SecondGenFields g;
    g.adr1 = "33";
    g.adr2 = "34";
    g.speed1 = g.speed2 = g.parity1 = g.parity2 = Choice{0, false};
    simulator->setFault(sim::Fault::Exception, 2);
    EXPECT_FALSE(settings.writeLinkSettings(f));
    EXPECT_FALSE(settings.writeLinkSettingsNew(g));
    EXPECT_EQ(Boxes(), std::vector<std::string>(2, "Ошибка: Ошибка модуля: код 2"));
    EXPECT_EQ(Stored("connect", "adr"), "<none>");
    EXPECT_EQ(ini.readInteger("connect", "adr", 0), 100);
    EXPECT_EQ(link.port().getState(), SerialPort::State::open);
}

// mem.ini that cannot be written: the module has the values, but the operation does not claim
// success, and the link write still ends the connection.
TEST_F(ModuleSettingsTest, UnwritableConfigurationFileIsReported) {
    start(150);
    Measure();
    MemIni lost(dir.File("gone/mem.ini"));
    lost.writeInteger("connect", "adr", 100);
    ModuleSettings other(link, lost);
    ChannelTable table;
    other.loadChannelTable(table);
    table.names[0] = "Ввод";
    EXPECT_FALSE(other.writeCoeffs(table));
    Messages shown = other.takeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], (Message{lost.lastError(), "Ошибка"}));
    EXPECT_EQ(lost.readString("sensors", "1", ""), "Ввод") << "kept in memory";

    FirstGenFields f;
    other.loadModuleSettings(f);
    f.adr = "100";
    f.speed = Choice{4, false};
    EXPECT_FALSE(other.writeLinkSettings(f));
    EXPECT_EQ(other.takeMessages().size(), 1u);
    EXPECT_EQ(link.port().getState(), SerialPort::State::Closed);
}

}  // namespace
}  // namespace kvel
