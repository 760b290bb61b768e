#include "link/traffic_format.h"

#include <charconv>
#include <cstdio>
#include <ctime>
#include <utility>

namespace kvel {
namespace {

std::string Fixed1(double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1);
    return std::string(text, result.ptr);
}

// Label and value of each counter, in the order they are shown.
std::array<std::pair<const char*, std::uint64_t>, 9> CounterItems(const TrafficCounters& c) {
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

std::string Ms(std::int64_t us) {
    return us < 0 ? "-" : Fixed1(static_cast<double>(us) / 1000.0);
}

constexpr char kReplyTimeLabel[] = "Время ответа";

std::string ReplyTimesValue(const TrafficCounters& c) {
    if (c.timedReplies == 0) return "-";
    return "ср. " + Fixed1(c.MeanReplyMs()) + " мс, макс. " + Fixed1(c.MaxReplyMs()) + " мс";
}

std::string ReplyTimes(const TrafficCounters& c) {
    return std::string(kReplyTimeLabel) + ": " + ReplyTimesValue(c);
}

}  // namespace

const TrafficFields& TrafficColumnTitles() {
    static const TrafficFields titles = {"Время",     "Функция",  "Регистр", "Число",
                                         "Отброшено", "Запрос",   "Ответ",   "Ответ, мс",
                                         "Всего, мс", "Результат"};
    return titles;
}

const TrafficFields& TrafficColumnHints() {
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

std::string HexBytes(const std::uint8_t* bytes, std::size_t length) {
    if (length == 0) return "-";
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(3 * length - 1, ' ');
    for (std::size_t i = 0; i < length; ++i) {
        text[3 * i] = kDigits[bytes[i] >> 4];
        text[3 * i + 1] = kDigits[bytes[i] & 0x0F];
    }
    return text;
}

std::string TrafficTime(std::int64_t msSinceEpoch) {
    const std::time_t seconds = static_cast<std::time_t>(msSinceEpoch / 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[48];
    std::snprintf(text, sizeof text, "%02d.%02d.%02d %02d:%02d:%02d.%03d", local.tm_mday,
                  local.tm_mon + 1, local.tm_year % 100, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(msSinceEpoch % 1000));
    return text;
}

TrafficFields TrafficFieldsOf(const TrafficRecord& r) {
    std::string discarded = HexBytes(r.discarded.data(), r.discarded.size());
    if (r.discardedTotal > r.discarded.size()) {
        discarded += " ... (" + std::to_string(r.discardedTotal) + " байт)";
    }
    return {TrafficTime(r.sentAtMs),
            std::to_string(r.function),
            std::to_string(r.firstRegister),
            std::to_string(r.count),
            std::move(discarded),
            HexBytes(r.request.data(), r.request.size()),
            HexBytes(r.reply.data(), r.reply.size()),
            Ms(r.firstByteUs),
            Ms(r.replyUs),
            r.verdict == TrafficVerdict::Good ? "Успешно" : r.text};
}

std::string TrafficLine(const TrafficFields& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += '\t';
        line += fields[i];
    }
    return line;
}

std::string TrafficLine(const TrafficRecord& record) {
    return TrafficLine(TrafficFieldsOf(record));
}

std::vector<std::pair<std::string, std::string>> TrafficCounterFields(
    const TrafficCounters& counters) {
    std::vector<std::pair<std::string, std::string>> fields;
    for (const auto& [label, value] : CounterItems(counters)) {
        fields.emplace_back(label, std::to_string(value));
    }
    fields.emplace_back(kReplyTimeLabel, ReplyTimesValue(counters));
    return fields;
}

std::string TrafficCountersText(const TrafficCounters& counters) {
    std::string text;
    for (const auto& [label, value] : CounterItems(counters)) {
        text += std::string(label) + ": " + std::to_string(value) + ", ";
    }
    return text + ReplyTimes(counters);
}

std::string TrafficToolTip(const TrafficCounters& counters) {
    std::string text = "Обмен с модулем: Ctrl+T или двойной щелчок";
    for (const auto& [label, value] : CounterItems(counters)) {
        text += "\n" + std::string(label) + ": " + std::to_string(value);
    }
    return text + "\n" + ReplyTimes(counters);
}

}  // namespace kvel
