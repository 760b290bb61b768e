#pragma once
#include <QtGlobal>
#include <array>
#include <string>
#include <vector>

#include "config/mem_ini.h"

namespace kvel {

inline constexpr int kAxisRows = 15;  // rows 1 … 15 of the binding grid: the chart slots
inline constexpr const char* kAxisLeft = QT_TRANSLATE_NOOP("KvelView", "ЛЕВАЯ");
inline constexpr const char* kAxisRight = QT_TRANSLATE_NOOP("KvelView", "ПРАВАЯ");

// One item of the dialog's channel list.
struct ChannelItem {
    std::string text;
    bool checked = false;
};

// The program settings dialog's fields as plain values: the dialog moves its controls into
// this and back; loading, checking and saving work on it alone.
struct SettingsForm {
    bool showAll = false;
    std::string hours;
    std::string minutes;
    std::string shift;
    bool scaleAuto = false;
    std::string leftMin, leftMax, rightMin, rightMax;
    std::array<std::string, kAxisRows> axis;  // cell (1, n) of the binding grid, slot n first
    bool saveToFile = false;
    std::string fileName;
    std::string rate;
    std::string address;
    std::string port;
    // Indices into the speed and parity lists; -1 when the stored value is none of them.
    int speedIndex = 0;
    int parityIndex = 0;
    std::vector<ChannelItem> channels;  // channel 1 first
    // [publish]: the broker and the Prometheus endpoint as host:port, the topics' name; empty
    // fields publish nothing (the name: the host name).
    std::string publishMqtt;
    std::string publishName;
    std::string publishMetrics;
    // [program] language: "ru" or "en"; the windows take it at the next start.
    std::string language = "ru";
};

// The items of the speed and parity boxes.
inline constexpr std::array<const char*, 5> kSpeedItems = {"9600", "19200", "38400", "57600",
                                                           "115200"};
inline constexpr std::array<const char*, 3> kParityItems = {
    QT_TRANSLATE_NOOP("KvelView", "нет"), QT_TRANSLATE_NOOP("KvelView", "чет(even)"),
    QT_TRANSLATE_NOOP("KvelView", " нечет(odd)")};

// The fields as mem.ini holds them now; `channelCount` items in the channel list.
SettingsForm loadSettingsForm(const MemIni& ini, int channelCount);

// The first failing check's message, or empty when every field is acceptable.
std::string validateSettingsForm(const SettingsForm& form);

// Writes checked fields into the configuration and flushes it. Returns whether the serial
// settings (port, speed, parity) changed, so the caller closes the port; a failed flush is
// reported in `flushError` (the file name and the reason) with the settings kept in memory.
struct SaveOutcome {
    bool serialChanged = false;
    std::string flushError;
};
SaveOutcome saveSettingsForm(const SettingsForm& form, MemIni& ini);

// The two halves of saveSettingsForm, without the flush. The line settings (port, speed,
// parity, module address) are what a poll under way reads: the window stores them in a job of
// the link thread, behind that poll, so that no poll mixes old and new ones.
void storeDisplaySettings(const SettingsForm& form, MemIni& ini);
// Returns whether port, speed or parity changed.
bool storeLineSettings(const SettingsForm& form, MemIni& ini);
// True when storeLineSettings would change anything (the address included).
bool lineSettingsDiffer(const SettingsForm& form, const MemIni& ini);

// A window in days split into whole hours and minutes of its time of day (seconds dropped),
// and hours and minutes turned into a time of day in days.
struct HoursMinutes {
    int hours = 0;
    int minutes = 0;
};
HoursMinutes splitWindow(double days);
double windowDays(int hours, int minutes);

// The whole text as a decimal integer or real ("." as separator), read as mem.ini reads it;
// false when it is not one.
bool parseWhole(const std::string& text, int& value);
bool parseReal(const std::string& text, double& value);

// The folder part of a file name: everything before its last separator ("/" or "\").
std::string folderOf(const std::string& fileName);

// The folder the log file dialog opens in for a name: a bare or relative name lies in the
// working folder.
std::string dialogFolder(const std::string& fileName, const std::string& workingFolder);

// The name the file dialog's choice is stored as: ".txt" is appended unless the name ends in
// it already, in any case.
std::string logNameFromChoice(const std::string& chosen);

// The binding grid's toggle: "ПРАВАЯ" becomes "ЛЕВАЯ", anything else "ПРАВАЯ".
std::string toggledAxis(const std::string& cell);

}  // namespace kvel
