#include "link/traffic_format.h"

#include <charconv>
#include <cstdio>
#include <ctime>
#include <utility>

#include "link/field_refusal.h"

namespace kvel {
namespace {

std::string fixed1(double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1);
    return std::string(text, result.ptr);
}

// Label and value of each counter, in the order they are shown.
std::array<std::pair<const char*, std::uint64_t>, 9> counterItems(const TrafficCounters& c) {
    return {{{QT_TRANSLATE_NOOP("KvelView", "Запросов"), c.requests},
             {QT_TRANSLATE_NOOP("KvelView", "Ответов"), c.good},
             {QT_TRANSLATE_NOOP("KvelView", "Без ответа"), c.noReply},
             {QT_TRANSLATE_NOOP("KvelView", "Поздних ответов"), c.lateReplies},
             {QT_TRANSLATE_NOOP("KvelView", "Ошибок CRC"), c.badCrc},
             {QT_TRANSLATE_NOOP("KvelView", "Чужой адрес"), c.wrongAddress},
             {QT_TRANSLATE_NOOP("KvelView", "Исключений"), c.exceptions},
             {QT_TRANSLATE_NOOP("KvelView", "Прочих ошибок"), c.otherFaults},
             {QT_TRANSLATE_NOOP("KvelView", "Переоткрытий порта"), c.reopenings}}};
}

std::string ms(std::int64_t us) {
    return us < 0 ? "-" : fixed1(static_cast<double>(us) / 1000.0);
}

constexpr char kReplyTimeLabel[] = QT_TRANSLATE_NOOP("KvelView", "Время ответа");

std::string replyTimesValue(const TrafficCounters& c, TextLanguage language) {
    if (c.timedReplies == 0) return "-";
    return fillArgs(language(QT_TRANSLATE_NOOP("KvelView", "ср. %1 мс, макс. %2 мс")),
                    {fixed1(c.meanReplyMs()), fixed1(c.maxReplyMs())});
}

std::string replyTimes(const TrafficCounters& c, TextLanguage language) {
    return language(kReplyTimeLabel) + ": " + replyTimesValue(c, language);
}

// The record's result: a failure's text is made from its code here, in the language asked for.
std::string resultText(const TrafficRecord& r, TextLanguage language) {
    if (r.verdict == TrafficVerdict::Good)
        return language(QT_TRANSLATE_NOOP("KvelView", "Успешно"));
    if (!r.madeText.empty()) return r.madeText;
    return fillArgs(language(linkErrorSource(r.failure.error)), {linkErrorArgument(r.failure)});
}

}  // namespace

const TrafficFields& trafficColumnTitles() {
    static const TrafficFields titles = {
        QT_TRANSLATE_NOOP("KvelView", "Время"),     QT_TRANSLATE_NOOP("KvelView", "Функция"),
        QT_TRANSLATE_NOOP("KvelView", "Регистр"),   QT_TRANSLATE_NOOP("KvelView", "Число"),
        QT_TRANSLATE_NOOP("KvelView", "Отброшено"), QT_TRANSLATE_NOOP("KvelView", "Запрос"),
        QT_TRANSLATE_NOOP("KvelView", "Ответ"),     QT_TRANSLATE_NOOP("KvelView", "Ответ, мс"),
        QT_TRANSLATE_NOOP("KvelView", "Всего, мс"), QT_TRANSLATE_NOOP("KvelView", "Результат")};
    return titles;
}

const TrafficFields& trafficColumnHints() {
    static const TrafficFields hints = {
        QT_TRANSLATE_NOOP("KvelView", "Начало обмена"),
        QT_TRANSLATE_NOOP("KvelView",
                          "Функция Modbus: 3 чтение, 6 запись регистра, 16 запись регистров"),
        QT_TRANSLATE_NOOP("KvelView", "Первый регистр"),
        QT_TRANSLATE_NOOP("KvelView", "Число регистров"),
        QT_TRANSLATE_NOOP("KvelView", "Запоздавшие байты, отброшенные перед запросом"),
        QT_TRANSLATE_NOOP("KvelView", "Запрос, шестнадцатеричные байты"),
        QT_TRANSLATE_NOOP("KvelView", "Ответ, шестнадцатеричные байты"),
        QT_TRANSLATE_NOOP("KvelView",
                          "Время ответа модуля: от конца запроса до первого байта ответа"),
        QT_TRANSLATE_NOOP("KvelView",
                          "Весь обмен: от конца запроса до конца приёма ответа, с "
                          "паузой программы перед приёмом"),
        QT_TRANSLATE_NOOP("KvelView", "Итог обмена, как его принимает программа")};
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

TrafficFields trafficFieldsOf(const TrafficRecord& r, TextLanguage language) {
    std::string discarded = hexBytes(r.discarded.data(), r.discarded.size());
    if (r.discardedTotal > r.discarded.size()) {
        discarded += " ... (" +
                     fillArgs(language(QT_TRANSLATE_NOOP("KvelView", "%1 байт")),
                              {std::to_string(r.discardedTotal)}) +
                     ")";
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
            resultText(r, language)};
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
    const TrafficCounters& counters, TextLanguage language) {
    std::vector<std::pair<std::string, std::string>> fields;
    for (const auto& [label, value] : counterItems(counters)) {
        fields.emplace_back(language(label), std::to_string(value));
    }
    fields.emplace_back(language(kReplyTimeLabel), replyTimesValue(counters, language));
    return fields;
}

std::string trafficCountersText(const TrafficCounters& counters, TextLanguage language) {
    std::string text;
    for (const auto& [label, value] : counterItems(counters)) {
        text += language(label) + ": " + std::to_string(value) + ", ";
    }
    return text + replyTimes(counters, language);
}

std::string trafficToolTip(const TrafficCounters& counters, TextLanguage language) {
    std::string text =
        language(QT_TRANSLATE_NOOP("KvelView", "Обмен с модулем: Ctrl+T или двойной щелчок"));
    for (const auto& [label, value] : counterItems(counters)) {
        text += "\n" + language(label) + ": " + std::to_string(value);
    }
    return text + "\n" + replyTimes(counters, language);
}

}  // namespace kvel
