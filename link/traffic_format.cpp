#include "link/traffic_format.h"

#include <charconv>
#include <cstdio>
#include <ctime>
#include <utility>

namespace kvel {
namespace {

std::string fixed1(double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1);
    return std::string(text, result.ptr);
}

// Label and value of each counter, in the order they are shown.
std::array<std::pair<const char*, std::uint64_t>, 9> counterItems(const TrafficCounters& c) {
    return {{{"Запросов", c.requests},
             {"Ответов", c.good},
             {"Без ответа", c.noReply},
             {"Поздних ответов", c.lateReplies},
             {"Ошибок CRC", c.badCrc},
             {"Чужой адрес", c.wrongAddress},
             {"Исключений", c.exceptions},
             {"Прочих ошибок", c.otherFaults},
             {"Переоткрытий порта", c.reopenings}}};
}

std::string ms(std::int64_t us) {
    return us < 0 ? "-" : fixed1(static_cast<double>(us) / 1000.0);
}

constexpr char kReplyTimeLabel[] = "Время ответа";

std::string replyTimesValue(const TrafficCounters& c) {
    if (c.timedReplies == 0) return "-";
    return "ср. " + fixed1(c.meanReplyMs()) + " мс, макс. " + fixed1(c.maxReplyMs()) + " мс";
}

std::string replyTimes(const TrafficCounters& c) {
    return std::string(kReplyTimeLabel) + ": " + replyTimesValue(c);
}

}  // namespace

const TrafficFields& trafficColumnTitles() {
    static const TrafficFields titles = {"Время",     "Функция",  "Регистр", "Число",
                                         "Отброшено", "Запрос",   "Ответ",   "Ответ, мс",
                                         "Всего, мс", "Результат"};
    return titles;
}

const TrafficFields& trafficColumnHints() {
    static const TrafficFields hints = {
        "Начало обмена",
        "Функция Modbus: 3 чтение, 6 запись регистра, 16 запись регистров",
        "Первый регистр",
        "Число регистров",
        "Запоздавшие байты, отброшенные перед запросом",
        "Запрос, шестнадцатеричные байты",
        "Ответ, шестнадцатеричные байты",
        "Время ответа модуля: от конца запроса до первого байта ответа",
        "Весь обмен: от конца запроса до конца приёма ответа, с паузой программы перед приёмом",
        "Итог обмена, как его принимает программа"};
    return hints;
}

std::string hexBytes(const std::uint8_t* bytes, std::size_t length) {
    if (length == 0) return "-";
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(3 * length - 1, ' ');
    for (std::size_t i = 0; i < length; ++i) {
        text[3 * i] = kDigits[bytes[i] >> 4];
        text[3 * i + 1] = kDigits[bytes[i] & 0x0F];
    }
    return text;
}

std::string trafficTime(std::int64_t msSinceEpoch) {
    const std::time_t seconds = static_cast<std::time_t>(msSinceEpoch / 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[48];
    std::snprintf(text, sizeof text, "%02d.%02d.%02d %02d:%02d:%02d.%03d", local.tm_mday,
                  local.tm_mon + 1, local.tm_year % 100, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(msSinceEpoch % 1000));
    return text;
}

TrafficFields trafficFieldsOf(const TrafficRecord& r) {
    std::string discarded = hexBytes(r.discarded.data(), r.discarded.size());
    if (r.discardedTotal > r.discarded.size()) {
        discarded += " ... (" + std::to_string(r.discardedTotal) + " байт)";
    }
    return {trafficTime(r.sentAtMs),
            std::to_string(r.function),
            std::to_string(r.firstRegister),
            std::to_string(r.count),
            std::move(discarded),
            hexBytes(r.request.data(), r.request.size()),
            hexBytes(r.reply.data(), r.reply.size()),
            ms(r.firstByteUs),
            ms(r.replyUs),
            r.verdict == TrafficVerdict::Good ? "Успешно" : r.text};
}

std::string trafficLine(const TrafficFields& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += '\t';
        line += fields[i];
    }
    return line;
}

std::string trafficLine(const TrafficRecord& record) {
    return trafficLine(trafficFieldsOf(record));
}

std::vector<std::pair<std::string, std::string>> trafficCounterFields(
    const TrafficCounters& counters) {
    std::vector<std::pair<std::string, std::string>> fields;
    for (const auto& [label, value] : counterItems(counters)) {
        fields.emplace_back(label, std::to_string(value));
    }
    fields.emplace_back(kReplyTimeLabel, replyTimesValue(counters));
    return fields;
}

std::string trafficCountersText(const TrafficCounters& counters) {
    std::string text;
    for (const auto& [label, value] : counterItems(counters)) {
        text += std::string(label) + ": " + std::to_string(value) + ", ";
    }
    return text + replyTimes(counters);
}

std::string trafficToolTip(const TrafficCounters& counters) {
    std::string text = "Обмен с модулем: Ctrl+T или двойной щелчок";
    for (const auto& [label, value] : counterItems(counters)) {
        text += "\n" + std::string(label) + ": " + std::to_string(value);
    }
    return text + "\n" + replyTimes(counters);
}

}  // namespace kvel
