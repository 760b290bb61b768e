#include "core/poll_interval.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "core/shown_text.h"

namespace kvel {

int pollIntervalMs(int periodSeconds) {
    const std::int64_t ms = std::int64_t{periodSeconds} * 1000;
    return static_cast<int>(std::clamp<std::int64_t>(ms, 0, std::numeric_limits<int>::max()));
}

bool pollPeriodValid(int periodSeconds) {
    return periodSeconds >= 1 && periodSeconds <= kLongestPollPeriod;
}

std::string pollPeriodStatus(int periodSeconds) {
    return shownText(
        QT_TRANSLATE_NOOP("KvelView", "Опрос остановлен: недопустимый период измерения %1"),
        {std::to_string(periodSeconds)});
}

std::string pollPeriodExplanation(int periodSeconds) {
    return shownText(QT_TRANSLATE_NOOP("KvelView",
                                       "В mem.ini [measure] period=%1: допустимо от 1 до %2 с. "
                                       "Модуль не опрашивается, пока период измерения не задан "
                                       "в настройках программы."),
                     {std::to_string(periodSeconds), std::to_string(kLongestPollPeriod)});
}

}  // namespace kvel
