// Every key of mem.ini the program reads or writes, with its default: the one table of them.
// A key that different readers default differently, as the behaviour requires, has one entry
// per reader (the right axis as the chart starts and as the standard view sets it, the
// fields as the settings dialog shows them).
#pragma once

namespace kvel {

struct IntKey {
    const char* section;
    const char* key;
    int fallback;
};
struct RealKey {
    const char* section;
    const char* key;
    double fallback;
};
struct TextKey {
    const char* section;
    const char* key;
    const char* fallback;
};
// A section whose keys are numbers or names, with the default of each of its keys.
struct IntSection {
    const char* section;
    int fallback;
};
struct TextSection {
    const char* section;
    const char* fallback;
};

namespace keys {

// [connect]
// the module's Modbus address
inline constexpr IntKey kModuleAddress{"connect", "adr", 100};
// the same, as the settings dialog shows it
inline constexpr TextKey kModuleAddressText{"connect", "adr", "100"};
// serial port: a path, or COMn for /dev/ttyS(n-1)
inline constexpr TextKey kPort{"connect", "port", ""};
// what the settings dialog offers when none is set
inline constexpr TextKey kPortInDialog{"connect", "port", "COM1"};
// 0..4: 9600 ... 115200 bit/s
inline constexpr IntKey kSpeedIndex{"connect", "speed", 0};
// 0..2: none, even, odd
inline constexpr IntKey kParityIndex{"connect", "parity", 0};
// cabinet control: 0 "Мнемо", otherwise "Хост"
inline constexpr IntKey kHostAddressing{"connect", "host", 0};
// [measure]
// seconds between polls
inline constexpr IntKey kPollPeriod{"measure", "period", 5};
// the same, as the settings dialog shows it
inline constexpr TextKey kPollPeriodText{"measure", "period", "5"};
// [file]
// 1: every poll is logged
inline constexpr IntKey kLogToFile{"file", "save", 0};
// the log file; the poll cycle takes 1.txt in the starting folder when empty
inline constexpr TextKey kLogFileName{"file", "name", ""};
// [diag]
// 1: the chart shows the whole history
inline constexpr IntKey kShowAll{"diag", "showall", 0};
// the chart's time window in days
inline constexpr RealKey kWindowDays{"diag", "window", 0.01};
// room left at the right edge, in % of the window
inline constexpr IntKey kShiftPercent{"diag", "shift", 20};
// 1: the value axes fit the data
inline constexpr IntKey kScaleAuto{"diag", "scale_auto", 0};
// left value axis
inline constexpr RealKey kLeftMin{"diag", "left_min", -50.0};
inline constexpr RealKey kLeftMax{"diag", "left_max", 50.0};
// right value axis as the chart is set up
inline constexpr RealKey kRightMinOnStart{"diag", "right_min", -50.0};
inline constexpr RealKey kRightMaxOnStart{"diag", "right_max", 50.0};
// right value axis of the standard view (mouse)
inline constexpr RealKey kRightMin{"diag", "right_min", -500.0};
inline constexpr RealKey kRightMax{"diag", "right_max", 500.0};
// the axes as the settings dialog shows them
inline constexpr TextKey kLeftMinText{"diag", "left_min", "-50.0"};
inline constexpr TextKey kLeftMaxText{"diag", "left_max", "50.0"};
inline constexpr TextKey kRightMinText{"diag", "right_min", "-500.0"};
inline constexpr TextKey kRightMaxText{"diag", "right_max", "500.0"};
// the main window's chart check box
inline constexpr IntKey kChartUpdating{"diag", "update", 0};
// 1: start with the markers shown
inline constexpr IntKey kMarkers{"diag", "markers", 0};
// What the program's end cut from a module write; shown at the next start, then removed.
inline constexpr TextKey kUnwrittenAtExit{"diag", "unwritten", ""};
// [history]
// the log viewer's last folder
inline constexpr TextKey kLogViewerFolder{"history", "folder", ""};
// [time]
// test cycle: seconds between cycles
inline constexpr IntKey kTestCyclePeriod{"time", "all", 250};

// [program]
// the language of the windows: ru (the program's own) or en
inline constexpr TextKey kLanguage{"program", "language", "ru"};

// [alarms]
// °C a value must come back inside its limit before the alarm clears
inline constexpr TextKey kAlarmHysteresis{"alarms", "hysteresis", "1.0"};
// seconds a condition must hold before its alarm is raised
inline constexpr TextKey kAlarmDelay{"alarms", "delay", "0"};
// 1: a channel without a reading while the link is up is an alarm
inline constexpr IntKey kAlarmSensor{"alarms", "sensor", 1};
// 1: the link lost for longer than the delay is an alarm
inline constexpr IntKey kAlarmLink{"alarms", "link", 1};
// 1: every raised alarm is a desktop notification
inline constexpr IntKey kAlarmNotify{"alarms", "notify", 1};
// the alarm log, relative to the working folder unless a path
inline constexpr TextKey kAlarmLog{"alarms", "log", "alarms.txt"};

// [publish] (empty: nothing is published)
// MQTT broker, host:port (port 1883 when left out)
inline constexpr TextKey kPublishMqtt{"publish", "mqtt", ""};
// this monitor's name in the topics; the host name when empty
inline constexpr TextKey kPublishName{"publish", "name", ""};
// the topics' first level
inline constexpr TextKey kPublishPrefix{"publish", "prefix", "kvelview"};
// broker login; the password is the first line of password_file
inline constexpr TextKey kPublishUser{"publish", "user", ""};
inline constexpr TextKey kPublishPasswordFile{"publish", "password_file", ""};
// CA certificate file: the broker is reached over TLS when set
inline constexpr TextKey kPublishTlsCa{"publish", "tls_ca", ""};
// Prometheus endpoint, host:port; a port alone listens on loopback
inline constexpr TextKey kPublishMetrics{"publish", "metrics", ""};

// Sections of numbered or named keys.
// [sensors] key: channel number 1..30; value: its name
inline constexpr TextSection kSensorNames{"sensors", ""};
// [axis] key: chart slot 1..15; value: L (left axis) or R
inline constexpr TextSection kSlotAxes{"axis", "L"};
// [checkbox] key: ch0..ch14; value: 1 when the slot's curve is shown
inline constexpr IntSection kSlotChecks{"checkbox", 1};
// [panels] key: cabinet name; value: its number from 1
inline constexpr IntSection kCabinets{"panels", -1};
// [display] key: d1..d30; value: 1 when the channel may go on the chart
inline constexpr IntSection kChartChannels{"display", 0};
// [alarms] key: highN, lowN for channel N; value: the limit in °C, empty for none
inline constexpr TextSection kAlarmLimits{"alarms", ""};
// [time] key: ve, vv, zr; each step's default is in the test cycle's table
inline constexpr IntSection kTestCycleWaits{"time", 0};

}  // namespace keys
}  // namespace kvel
