#include "core/alarm_rules.h"

#include <charconv>
#include <cmath>
#include <tuple>

#include "core/shown_text.h"

namespace kvel {
namespace {

constexpr double kMaxHysteresis = 100.0;
constexpr double kMaxDelaySeconds = 86400.0;

std::string limitKey(const char* kind, int channel) {
    return kind + std::to_string(channel);
}

// A stored flag: 1 on, 0 off; anything else is the default, and said.
bool flag(const MemIni& ini, const IntKey& key, std::vector<std::string>* problems) {
    const std::string text = ini.readString(key.section, key.key, "");
    if (text.empty() || text == "0" || text == "1")
        return text.empty() ? key.fallback == 1 : text == "1";
    if (problems) problems->push_back(std::string(key.key) + "=" + text);
    return key.fallback == 1;
}

}  // namespace

std::optional<double> parseDecimal(const std::string& text) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin != end && *begin == '+') ++begin;  // from_chars takes no sign but "-"
    double value = 0;
    const auto result = std::from_chars(begin, end, value);
    if (begin == end || result.ec != std::errc() || result.ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string decimalText(double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string formatCelsius(double celsius) {
    char text[32];
    const auto result =
        std::to_chars(text, text + sizeof text, celsius, std::chars_format::fixed, 2);
    return std::string(text, result.ptr);
}

std::optional<AlarmRules> rulesFromForm(const AlarmRulesForm& form, std::string& error) {
    AlarmRules rules;
    for (int n = 1; n <= kMaxChannels; ++n) {
        const auto index = static_cast<std::size_t>(n);
        for (const bool high : {false, true}) {
            const std::string& text = high ? form.high[index] : form.low[index];
            if (text.empty()) continue;
            const std::optional<double> value = parseDecimal(text);
            if (!value) {
                error = shownText(high ? QT_TRANSLATE_NOOP("KvelView",
                                                           "Неверный верхний предел канала %1: "
                                                           "\"%2\" (число с точкой, пусто - без "
                                                           "предела)")
                                       : QT_TRANSLATE_NOOP("KvelView",
                                                           "Неверный нижний предел канала %1: "
                                                           "\"%2\" (число с точкой, пусто - без "
                                                           "предела)"),
                                  {std::to_string(n), text});
                return std::nullopt;
            }
            (high ? rules.high : rules.low)[index] = value;
        }
        if (rules.low[index] && rules.high[index] && *rules.low[index] >= *rules.high[index]) {
            error =
                shownText(QT_TRANSLATE_NOOP("KvelView",
                                            "Нижний предел канала %1 должен быть меньше верхнего"),
                          {std::to_string(n)});
            return std::nullopt;
        }
    }
    const std::optional<double> hysteresis = parseDecimal(form.hysteresis);
    if (!hysteresis || *hysteresis < 0 || *hysteresis > kMaxHysteresis) {
        error = QT_TRANSLATE_NOOP("KvelView", "Гистерезис должен быть числом от 0 до 100 гр.С");
        return std::nullopt;
    }
    const std::optional<double> delay = parseDecimal(form.delay);
    if (!delay || *delay < 0 || *delay > kMaxDelaySeconds) {
        error = QT_TRANSLATE_NOOP("KvelView", "Задержка должна быть числом секунд от 0 до 86400");
        return std::nullopt;
    }
    if (form.logFile.find_first_not_of(' ') == std::string::npos) {
        error = QT_TRANSLATE_NOOP("KvelView", "Не задан файл журнала сигнализации");
        return std::nullopt;
    }
    rules.hysteresis = *hysteresis;
    rules.delaySeconds = *delay;
    rules.sensor = form.sensor;
    rules.link = form.link;
    rules.notify = form.notify;
    rules.logFile = form.logFile;
    return rules;
}

AlarmRulesForm formFromRules(const AlarmRules& rules) {
    AlarmRulesForm form;
    const auto text = [](const std::optional<double>& v) {
        return v ? decimalText(*v) : std::string();
    };
    for (std::size_t n = 1; n <= kMaxChannels; ++n) {
        form.high[n] = text(rules.high[n]);
        form.low[n] = text(rules.low[n]);
    }
    form.hysteresis = decimalText(rules.hysteresis);
    form.delay = decimalText(rules.delaySeconds);
    form.sensor = rules.sensor;
    form.link = rules.link;
    form.notify = rules.notify;
    form.logFile = rules.logFile;
    return form;
}

AlarmRules loadAlarmRules(const MemIni& ini, std::vector<std::string>* problems) {
    AlarmRules rules;
    const auto note = [problems](const std::string& key, const std::string& text) {
        if (problems) problems->push_back(key + "=" + text);
    };
    for (int n = 1; n <= kMaxChannels; ++n) {
        for (const char* kind : {"high", "low"}) {
            const std::string key = limitKey(kind, n);
            const std::string text = ini.readString(keys::kAlarmLimits, key);
            if (text.empty()) continue;
            const std::optional<double> value = parseDecimal(text);
            if (!value) {
                note(key, text);
                continue;
            }
            (kind[0] == 'h' ? rules.high : rules.low)[static_cast<std::size_t>(n)] = value;
        }
    }
    for (const auto& [key, target, low, high] :
         {std::tuple{&keys::kAlarmHysteresis, &rules.hysteresis, 0.0, kMaxHysteresis},
          std::tuple{&keys::kAlarmDelay, &rules.delaySeconds, 0.0, kMaxDelaySeconds}}) {
        const std::string text = ini.readString(*key);
        const std::optional<double> value = parseDecimal(text);
        if (value && *value >= low && *value <= high) {
            *target = *value;
        } else {
            note(key->key, text);
        }
    }
    rules.sensor = flag(ini, keys::kAlarmSensor, problems);
    rules.link = flag(ini, keys::kAlarmLink, problems);
    rules.notify = flag(ini, keys::kAlarmNotify, problems);
    const std::string log = ini.readString(keys::kAlarmLog);
    if (!log.empty()) rules.logFile = log;
    return rules;
}

void storeAlarmRules(const AlarmRules& rules, MemIni& ini) {
    for (int n = 1; n <= kMaxChannels; ++n) {
        const auto index = static_cast<std::size_t>(n);
        for (const auto& [kind, limit] :
             {std::pair{"high", rules.high[index]}, std::pair{"low", rules.low[index]}}) {
            const std::string key = limitKey(kind, n);
            // Keys never set stay out of the file; a limit taken away is left empty.
            if (limit) {
                ini.writeString(keys::kAlarmLimits, key, decimalText(*limit));
            } else if (!ini.readString(keys::kAlarmLimits, key).empty()) {
                ini.writeString(keys::kAlarmLimits, key, "");
            }
        }
    }
    ini.writeString(keys::kAlarmHysteresis, decimalText(rules.hysteresis));
    ini.writeString(keys::kAlarmDelay, decimalText(rules.delaySeconds));
    ini.writeInteger(keys::kAlarmSensor, rules.sensor ? 1 : 0);
    ini.writeInteger(keys::kAlarmLink, rules.link ? 1 : 0);
    ini.writeInteger(keys::kAlarmNotify, rules.notify ? 1 : 0);
    ini.writeString(keys::kAlarmLog, rules.logFile);
}

}  // namespace kvel
