#include "core/poll_interval.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace kvel {

int pollIntervalMs(int periodSeconds) {
    const std::int64_t ms = std::int64_t{periodSeconds} * 1000;
    return static_cast<int>(std::clamp<std::int64_t>(ms, 0, std::numeric_limits<int>::max()));
}

bool pollPeriodValid(int periodSeconds) {
    return periodSeconds >= 1 && periodSeconds <= kLongestPollPeriod;
}

std::string pollPeriodStatus(int periodSeconds) {
    return "Опрос остановлен: недопустимый период измерения " + std::to_string(periodSeconds);
}

std::string pollPeriodExplanation(int periodSeconds) {
    return "В mem.ini [measure] period=" + std::to_string(periodSeconds) + ": допустимо от 1 до " +
           std::to_string(kLongestPollPeriod) +
           " с. Модуль не опрашивается, пока период измерения не задан в настройках программы.";
}

}  // namespace kvel
