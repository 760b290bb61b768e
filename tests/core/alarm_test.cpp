#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/alarm_log.h"
#include "core/alarm_monitor.h"
#include "tests/common/temp_dir.h"

namespace kvel {
namespace {

// Polls 5 s apart; channel 1 carries the values given, the other 14 a steady 20 °C.
class AlarmRamp {
  public:
    explicit AlarmRamp(AlarmRules rules) { monitor.setRules(rules); }
    std::vector<AlarmEvent> Poll(std::optional<double> channel1, bool linkUp = true) {
        PollReadings r{at += 5, linkUp, std::vector<std::optional<double>>(15, 20.0)};
        if (!linkUp) r.channels.clear();
        if (linkUp) r.channels[0] = channel1;
        auto events = monitor.evaluate(r);
        all.insert(all.end(), events.begin(), events.end());
        return events;
    }
    int Count(AlarmEventType type, AlarmKind kind) const {
        return static_cast<int>(std::count_if(all.begin(), all.end(), [&](const AlarmEvent& e) {
            return e.type == type && e.alarm.kind == kind;
        }));
    }
    AlarmMonitor monitor;
    std::vector<AlarmEvent> all;
    std::time_t at = 1'700'000'000;
};

AlarmRules HighAt50() {
    AlarmRules rules;
    rules.high[1] = 50.0;
    rules.hysteresis = 1.0;
    return rules;
}

TEST(AlarmMonitor, RampWithNoiseRaisesOnceAndClearsOnce) {
    AlarmRamp ramp(HighAt50());
    // Up from 40 to 60 and back, with ±0.6 of noise: it crosses 50 many times on the way, but
    // never by more than the hysteresis once raised.
    for (int k = 0; k <= 80; ++k) {
        const double base = k <= 40 ? 40 + k * 0.5 : 60 - (k - 40) * 0.5;
        ramp.Poll(base + (k % 2 == 0 ? 0.6 : -0.6));
    }
    EXPECT_EQ(ramp.Count(AlarmEventType::Raised, AlarmKind::High), 1);
    EXPECT_EQ(ramp.Count(AlarmEventType::Cleared, AlarmKind::High), 1);
    ASSERT_EQ(ramp.all.size(), 2u);
    EXPECT_GT(*ramp.all[0].value, 50.0);
    EXPECT_LE(*ramp.all[1].value, 49.0);  // cleared only back inside by the hysteresis
    EXPECT_EQ(*ramp.all[0].alarm.limit, 50.0);
}

TEST(AlarmMonitor, LowLimitAndDelay) {
    AlarmRules rules;
    rules.low[1] = 0.0;
    rules.delaySeconds = 10;
    AlarmRamp ramp(rules);
    ramp.Poll(-5);  // a spike of one poll: held back
    ramp.Poll(5);
    EXPECT_TRUE(ramp.all.empty());
    ramp.Poll(-5);
    ramp.Poll(-5);
    EXPECT_TRUE(ramp.all.empty());  // 5 s of the 10
    ASSERT_EQ(ramp.Poll(-5).size(), 1u);
    EXPECT_EQ(ramp.all[0].alarm.kind, AlarmKind::Low);
    EXPECT_EQ(ramp.all[0].at - ramp.at, 0);
    ramp.Poll(0.5);  // inside the limit, not by the hysteresis
    EXPECT_EQ(ramp.all.size(), 1u);
    ramp.Poll(1.0);
    EXPECT_EQ(ramp.Count(AlarmEventType::Cleared, AlarmKind::Low), 1);
}

TEST(AlarmMonitor, SensorAndLinkFaults) {
    AlarmRamp ramp(HighAt50());
    ramp.Poll(std::nullopt);
    EXPECT_EQ(ramp.Count(AlarmEventType::Raised, AlarmKind::Sensor), 1);
    // Without the link nothing is known of the channels: the sensor alarm stays as it is.
    ramp.Poll(std::nullopt, false);
    ramp.Poll(std::nullopt, false);
    EXPECT_EQ(ramp.Count(AlarmEventType::Raised, AlarmKind::Link), 1);
    EXPECT_EQ(ramp.Count(AlarmEventType::Cleared, AlarmKind::Sensor), 0);
    ramp.Poll(60);
    EXPECT_EQ(ramp.Count(AlarmEventType::Cleared, AlarmKind::Link), 1);
    EXPECT_EQ(ramp.Count(AlarmEventType::Cleared, AlarmKind::Sensor), 1);
    EXPECT_EQ(ramp.Count(AlarmEventType::Raised, AlarmKind::High), 1);

    AlarmRules off = HighAt50();
    off.sensor = false;
    off.link = false;
    AlarmRamp quiet(off);
    quiet.Poll(std::nullopt);
    quiet.Poll(std::nullopt, false);
    EXPECT_TRUE(quiet.all.empty());
}

TEST(AlarmMonitor, AcknowledgementBeforeAndAfterClearing) {
    AlarmRamp ramp(HighAt50());
    ramp.Poll(55);
    ASSERT_EQ(ramp.monitor.alarms().size(), 1u);
    EXPECT_EQ(ramp.monitor.channelState(1), ChannelAlarmState::Raised);
    EXPECT_EQ(ramp.monitor.unacknowledgedCount(), 1);
    // Acknowledged while it lasts: listed until it clears.
    const int first = ramp.monitor.alarms()[0].id;
    EXPECT_EQ(ramp.monitor.acknowledge(first, ramp.at).size(), 1u);
    EXPECT_TRUE(ramp.monitor.acknowledge(first, ramp.at).empty());  // once
    EXPECT_EQ(ramp.monitor.channelState(1), ChannelAlarmState::Acknowledged);
    EXPECT_EQ(ramp.monitor.unacknowledgedCount(), 0);
    ramp.Poll(40);
    EXPECT_TRUE(ramp.monitor.alarms().empty());
    EXPECT_EQ(ramp.monitor.channelState(1), ChannelAlarmState::None);

    // Cleared before anybody looked: listed until acknowledged.
    ramp.Poll(55);
    ramp.Poll(40);
    ASSERT_EQ(ramp.monitor.alarms().size(), 1u);
    EXPECT_EQ(ramp.monitor.channelState(1), ChannelAlarmState::ClearedUnacknowledged);
    EXPECT_EQ(ramp.monitor.unacknowledgedCount(), 1);
    const auto acknowledged = ramp.monitor.acknowledgeAll(ramp.at);
    ASSERT_EQ(acknowledged.size(), 1u);
    EXPECT_EQ(acknowledged[0].type, AlarmEventType::Acknowledged);
    EXPECT_TRUE(ramp.monitor.alarms().empty());
}

TEST(AlarmRules, FormsRefusedWithTheFieldAtFault) {
    const auto error = [](auto change) {
        AlarmRulesForm form;
        change(form);
        std::string text;
        EXPECT_FALSE(rulesFromForm(form, text));
        return text;
    };
    EXPECT_EQ(error([](AlarmRulesForm& f) { f.high[3] = "8o.5"; }),
              "Неверный верхний предел канала 3: \"8o.5\" (число с точкой, пусто - без предела)");
    EXPECT_EQ(error([](AlarmRulesForm& f) { f.low[2] = "1,5"; }).rfind("Неверный нижний", 0), 0u);
    EXPECT_EQ(error([](AlarmRulesForm& f) {
                  f.low[4] = "50";
                  f.high[4] = "50";
              }),
              "Нижний предел канала 4 должен быть меньше верхнего");
    for (const char* bad : {"-1", "", "nan", "101"}) {
        EXPECT_EQ(error([bad](AlarmRulesForm& f) { f.hysteresis = bad; }),
                  "Гистерезис должен быть числом от 0 до 100 гр.С");
    }
    EXPECT_EQ(error([](AlarmRulesForm& f) { f.delay = "1e9"; }),
              "Задержка должна быть числом секунд от 0 до 86400");
    EXPECT_EQ(error([](AlarmRulesForm& f) { f.logFile = " "; }),
              "Не задан файл журнала сигнализации");
}

TEST(AlarmRules, StoredAndReadBack) {
    test::TempDir dir;
    MemIni ini(dir.File("mem.ini"));
    ini.writeString("alarms", "high7", "8o.5");  // hand-edited
    ini.writeString("alarms", "low30", "-20.25");
    ini.writeString("alarms", "delay", "-3");
    ini.writeString("alarms", "notify", "yes");
    ini.writeString("alarms", "link", "0");
    std::vector<std::string> problems;
    AlarmRules rules = loadAlarmRules(ini, &problems);
    EXPECT_EQ(problems, (std::vector<std::string>{"high7=8o.5", "delay=-3", "notify=yes"}));
    EXPECT_TRUE(rules.notify);
    EXPECT_FALSE(rules.link);
    EXPECT_FALSE(rules.high[7]);
    EXPECT_EQ(rules.low[30], -20.25);
    EXPECT_EQ(rules.delaySeconds, 0.0);

    rules.high[7] = 80.5;
    rules.low[30].reset();
    rules.hysteresis = 0.5;
    rules.notify = false;
    storeAlarmRules(rules, ini);
    EXPECT_EQ(ini.readString("alarms", "low30", "x"), "");
    EXPECT_EQ(ini.readString("alarms", "high1", "absent"), "absent");  // never set, not written
    std::string error;
    const auto again = rulesFromForm(formFromRules(loadAlarmRules(ini)), error);
    ASSERT_TRUE(again) << error;
    EXPECT_EQ(*again, rules);
}

TEST(AlarmLog, LinesAppendedAfterOneHeader) {
    test::TempDir dir;
    AlarmRamp ramp(HighAt50());
    ramp.Poll(55.25);
    ramp.Poll(std::nullopt, false);
    std::vector<std::string> lines;
    for (const AlarmEvent& e : ramp.all) lines.push_back(alarmLogLine(e, "Печь"));
    std::string error;
    ASSERT_TRUE(appendAlarmLog(dir.File("alarms.txt"), {lines[0]}, error)) << error;
    ASSERT_TRUE(appendAlarmLog(dir.File("alarms.txt"), {lines[1]}, error)) << error;
    std::tm local{};
    const std::time_t first = ramp.at - 5;
    ::localtime_r(&first, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%d.%m.%y\t%H:%M:%S\t", &local);
    const std::string log = test::ReadBytes(dir.File("alarms.txt"));
    EXPECT_EQ(log.substr(0, log.find("\r\n", log.find("\r\n") + 2) + 2),
              "Дата\tВремя\tКанал\tИмя\tВид\tЗначение\tПредел\tСобытие\t\r\n" + std::string(stamp) +
                  "1\tПечь\thigh\t55.25\t50.00\traised\t\r\n");
    EXPECT_NE(log.find("\t-\tПечь\tlink\t\t\traised\t\r\n"), std::string::npos) << log;
    EXPECT_FALSE(appendAlarmLog(dir.File("no/such/folder/alarms.txt"), lines, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace kvel
