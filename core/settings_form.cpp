#include "core/settings_form.h"

#include <QtGlobal>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>

#include "core/poll_interval.h"
#include "core/publish_settings.h"
#include "core/shown_text.h"

namespace kvel {
namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;

// The module takes addresses 1 … 247 (0 is broadcast, 248 … 255 are reserved).
constexpr int kMinAddress = 1;
constexpr int kMaxAddress = 247;

// Blanks around a number and a '+' before it are accepted as mem.ini's reads accept them, so
// every text the dialog lets through reads back as the same number.
std::string_view numberText(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    if (s.size() > 1 && s.front() == '+' && s[1] != '-' && s[1] != '+') s.remove_prefix(1);
    return s;
}

template <class T>
bool parse(const std::string& text, T& value) {
    const std::string_view s = numberText(text);
    T parsed{};
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), parsed);
    if (s.empty() || ec != std::errc{} || end != s.data() + s.size()) return false;
    value = parsed;
    return true;
}

// Index of a stored list choice, or -1 when it is none of the list's items.
int listIndex(const MemIni& ini, const IntKey& key, int itemCount) {
    const int stored = ini.readInteger(key);
    return stored >= 0 && stored < itemCount ? stored : -1;
}

}  // namespace

bool parseWhole(const std::string& text, int& value) {
    return parse(text, value);
}

bool parseReal(const std::string& text, double& value) {
    double parsed = 0;
    if (!parse(text, parsed) || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

HoursMinutes splitWindow(double days) {
    // The time of day of the value, to the millisecond, as a clock shows it; whole days and
    // the sign are dropped.
    const double fraction = std::fabs(days - std::trunc(days));
    const std::int64_t ms =
        std::isfinite(fraction) ? std::llround(fraction * kMsPerDay) % kMsPerDay : 0;
    return {static_cast<int>(ms / 3'600'000), static_cast<int>(ms / 60'000 % 60)};
}

double windowDays(int hours, int minutes) {
    return static_cast<double>(std::int64_t{hours} * 3'600'000 + std::int64_t{minutes} * 60'000) /
           static_cast<double>(kMsPerDay);
}

std::string folderOf(const std::string& fileName) {
    const std::size_t last = fileName.find_last_of("/\\");
    if (last == std::string::npos) return {};
    return last == 0 ? fileName.substr(0, 1) : fileName.substr(0, last);
}

std::string dialogFolder(const std::string& fileName, const std::string& workingFolder) {
    const std::filesystem::path folder = folderOf(fileName);
    if (folder.is_absolute()) return folder.string();
    // The log is opened by this name from the working folder.
    return folder.empty() ? workingFolder : (workingFolder / folder).string();
}

std::string logNameFromChoice(const std::string& chosen) {
    constexpr std::string_view kTxt = ".txt";
    const bool hasTxt =
        chosen.size() >= kTxt.size() &&
        std::equal(kTxt.begin(), kTxt.end(), chosen.end() - kTxt.size(),
                   [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
    return hasTxt ? chosen : chosen + std::string(kTxt);
}

std::string toggledAxis(const std::string& cell) {
    return cell == kAxisRight ? kAxisLeft : kAxisRight;
}

SettingsForm loadSettingsForm(const MemIni& ini, int channelCount) {
    SettingsForm form;
    form.showAll = ini.readInteger(keys::kShowAll) != 0;
    const HoursMinutes window = splitWindow(ini.readFloat(keys::kWindowDays));
    form.hours = std::to_string(window.hours);
    form.minutes = std::to_string(window.minutes);
    form.shift = std::to_string(ini.readInteger(keys::kShiftPercent));
    form.scaleAuto = ini.readInteger(keys::kScaleAuto) != 0;
    form.leftMin = ini.readString(keys::kLeftMinText);
    form.leftMax = ini.readString(keys::kLeftMaxText);
    form.rightMin = ini.readString(keys::kRightMinText);
    form.rightMax = ini.readString(keys::kRightMaxText);
    for (int n = 1; n <= kAxisRows; ++n) {
        form.axis[static_cast<std::size_t>(n - 1)] =
            ini.readString(keys::kSlotAxes, std::to_string(n)) == "L" ? kAxisLeft : kAxisRight;
    }
    form.saveToFile = ini.readInteger(keys::kLogToFile) != 0;
    form.fileName = ini.readString(keys::kLogFileName);
    form.rate = ini.readString(keys::kPollPeriodText);
    form.address = ini.readString(keys::kModuleAddressText);
    form.port = ini.readString(keys::kPort);
    form.speedIndex = listIndex(ini, keys::kSpeedIndex, static_cast<int>(kSpeedItems.size()));
    form.parityIndex = listIndex(ini, keys::kParityIndex, static_cast<int>(kParityItems.size()));
    form.publishMqtt = ini.readString(keys::kPublishMqtt);
    form.publishName = ini.readString(keys::kPublishName);
    form.publishMetrics = ini.readString(keys::kPublishMetrics);
    form.language = ini.readString(keys::kLanguage) == "en" ? "en" : "ru";
    for (int n = 1; n <= channelCount; ++n) {
        const std::string name = ini.readString(keys::kSensorNames, std::to_string(n));
        form.channels.push_back(
            {name.empty()
                 ? shownText(QT_TRANSLATE_NOOP("KvelView", "Канал %1"), {std::to_string(n)})
                 : name,
             ini.readInteger(keys::kChartChannels, "d" + std::to_string(n)) != 0});
    }
    return form;
}

std::string validateSettingsForm(const SettingsForm& form) {
    int hours = 0, minutes = 0, shift = 0, rate = 0, address = 0;
    if (!parseWhole(form.hours, hours) || hours < 0) {
        return QT_TRANSLATE_NOOP("KvelView", "Некорректное значение часов в размере окна");
    }
    // The window is stored as a time of day: 23 h 59 min at most.
    if (hours > 23)
        return QT_TRANSLATE_NOOP("KvelView",
                                 "Некорректное значение часов в размере окна (от 0 до 23)");
    if (!parseWhole(form.minutes, minutes))
        return QT_TRANSLATE_NOOP("KvelView", "Некорректное значение минут в размере окна");
    if (minutes < 0)
        return QT_TRANSLATE_NOOP("KvelView", "Некорректное значение минут часов в размере окна");
    if (minutes > 59)
        return QT_TRANSLATE_NOOP("KvelView",
                                 "Некорректное значение минут в размере окна (от 0 до 59)");
    // A window of no width gives the time axis no range at all; while the chart shows all, the
    // window is not used, and a window under a minute (the demo's) must not lock the dialog.
    if (!form.showAll && hours == 0 && minutes == 0)
        return QT_TRANSLATE_NOOP("KvelView",
                                 "Некорректное значение размера окна (не менее 1 минуты)");
    if (!parseWhole(form.shift, shift) || shift < 0 || shift > 90) {
        return QT_TRANSLATE_NOOP("KvelView", "Некорректное значение сдвига");
    }
    if (!parseWhole(form.rate, rate))
        return QT_TRANSLATE_NOOP("KvelView", "Некорректное значение периода измерения");
    if (rate < 1) return QT_TRANSLATE_NOOP("KvelView", "Некорректное периода измерения");
    if (rate > kLongestPollPeriod) {
        return shownText(
            QT_TRANSLATE_NOOP("KvelView", "Некорректное значение периода измерения (от 1 до %1)"),
            {std::to_string(kLongestPollPeriod)});
    }

    double leftMin = 0, leftMax = 0, rightMin = 0, rightMax = 0;
    if (!parseReal(form.leftMin, leftMin))
        return QT_TRANSLATE_NOOP("KvelView", "Некорректное значение минимума левой оси");
    if (!parseReal(form.leftMax, leftMax))
        return QT_TRANSLATE_NOOP("KvelView", "Некорректное значение максимума левой оси");
    if (!(leftMax > leftMin)) {
        return QT_TRANSLATE_NOOP(
            "KvelView",
            "Значение максимума должно быть больше значения минимума в масштабе левой оси");
    }
    if (!parseReal(form.rightMin, rightMin))
        return QT_TRANSLATE_NOOP("KvelView", "Некорректное значение минимума правой оси");
    if (!parseReal(form.rightMax, rightMax))
        return QT_TRANSLATE_NOOP("KvelView", "Некорректное значение максимума правой оси");
    if (!(rightMax > rightMin)) {
        return QT_TRANSLATE_NOOP(
            "KvelView",
            "Значение максимума должно быть больше значения минимума в масштабе правой оси");
    }
    for (int n = 1; n <= kAxisRows; ++n) {
        const std::string& cell = form.axis[static_cast<std::size_t>(n - 1)];
        if (cell != kAxisRight && cell != kAxisLeft) {
            return shownText(QT_TRANSLATE_NOOP("KvelView", "Ошибка в привязке к оси канал %1"),
                             {std::to_string(n)});
        }
    }
    // Every request carries the address as one byte; 0 would be a broadcast nobody answers.
    if (!parseWhole(form.address, address) || address < kMinAddress || address > kMaxAddress) {
        return QT_TRANSLATE_NOOP("KvelView", "Некорректное значение адреса модуля (от 1 до 247)");
    }
    std::string why;
    if (!form.publishMqtt.empty() && !parseHostPort(form.publishMqtt, "localhost", 1883, why)) {
        return shownText(
            QT_TRANSLATE_NOOP("KvelView", "Некорректный адрес брокера MQTT (узел:порт): %1"),
            {why});
    }
    if (form.publishName.find_first_of("/+#") != std::string::npos) {
        return QT_TRANSLATE_NOOP("KvelView", "Имя для публикации не может содержать символы / + #");
    }
    if (!form.publishMetrics.empty() && !parseHostPort(form.publishMetrics, "127.0.0.1", 0, why)) {
        return shownText(
            QT_TRANSLATE_NOOP("KvelView",
                              "Некорректный адрес для Prometheus (узел:порт или порт): %1"),
            {why});
    }
    return {};
}

void storeDisplaySettings(const SettingsForm& form, MemIni& ini) {
    int hours = 0, minutes = 0, shift = 0;
    parseWhole(form.hours, hours);
    parseWhole(form.minutes, minutes);
    parseWhole(form.shift, shift);

    ini.writeInteger(keys::kShowAll, form.showAll ? 1 : 0);
    // 0 h 0 min is a window under a minute (hand-edited) while all is shown: kept as it is.
    if (hours != 0 || minutes != 0) ini.writeFloat(keys::kWindowDays, windowDays(hours, minutes));
    ini.writeInteger(keys::kShiftPercent, shift);
    ini.writeInteger(keys::kScaleAuto, form.scaleAuto ? 1 : 0);
    ini.writeString(keys::kLeftMinText, form.leftMin);
    ini.writeString(keys::kRightMinText, form.rightMin);
    ini.writeString(keys::kLeftMaxText, form.leftMax);
    ini.writeString(keys::kRightMaxText, form.rightMax);
    for (int n = 1; n <= kAxisRows; ++n) {
        ini.writeString(keys::kSlotAxes, std::to_string(n),
                        form.axis[static_cast<std::size_t>(n - 1)] == kAxisLeft ? "L" : "R");
    }
    // Only the channels in the list: keys of higher channels keep what they hold.
    for (std::size_t i = 0; i < form.channels.size(); ++i) {
        ini.writeInteger(keys::kChartChannels, "d" + std::to_string(i + 1),
                         form.channels[i].checked ? 1 : 0);
    }
    ini.writeInteger(keys::kLogToFile, form.saveToFile ? 1 : 0);
    ini.writeString(keys::kLogFileName, form.fileName);
    ini.writeString(keys::kPollPeriodText, form.rate);
    // A mem.ini that never published gets no empty [publish] section.
    for (const auto& [key, value] : {std::pair{keys::kPublishMqtt, &form.publishMqtt},
                                     std::pair{keys::kPublishName, &form.publishName},
                                     std::pair{keys::kPublishMetrics, &form.publishMetrics}}) {
        if (ini.readString(key) != *value) ini.writeString(key, *value);
    }
    // Likewise [program]: written only when the language is changed.
    const std::string stored = ini.readString(keys::kLanguage) == "en" ? "en" : "ru";
    if (form.language != stored) ini.writeString(keys::kLanguage, form.language);
}

namespace {

// A list box left empty (its stored value was none of the items) keeps the stored value and
// does not count as a change.
bool serialDiffers(const SettingsForm& form, const MemIni& ini) {
    return ini.readString(keys::kPortInDialog) != form.port ||
           (form.speedIndex >= 0 && ini.readInteger(keys::kSpeedIndex) != form.speedIndex) ||
           (form.parityIndex >= 0 && ini.readInteger(keys::kParityIndex) != form.parityIndex);
}

int formAddress(const SettingsForm& form) {
    int address = 0;
    parseWhole(form.address, address);
    return address;
}

}  // namespace

bool lineSettingsDiffer(const SettingsForm& form, const MemIni& ini) {
    return serialDiffers(form, ini) || ini.readString(keys::kPort) != form.port ||
           ini.readInteger(keys::kModuleAddress) != formAddress(form);
}

bool storeLineSettings(const SettingsForm& form, MemIni& ini) {
    const bool changed = serialDiffers(form, ini);
    ini.writeString(keys::kPort, form.port);
    if (form.speedIndex >= 0) ini.writeInteger(keys::kSpeedIndex, form.speedIndex);
    if (form.parityIndex >= 0) ini.writeInteger(keys::kParityIndex, form.parityIndex);
    ini.writeInteger(keys::kModuleAddress, formAddress(form));
    return changed;
}

SaveOutcome saveSettingsForm(const SettingsForm& form, MemIni& ini) {
    storeDisplaySettings(form, ini);
    SaveOutcome outcome;
    outcome.serialChanged = storeLineSettings(form, ini);
    if (!ini.updateFile()) outcome.flushError = shownText(ini.lastFailure());
    return outcome;
}

}  // namespace kvel
