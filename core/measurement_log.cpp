#include "core/measurement_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QtGlobal>
#include <cerrno>
#include <charconv>
#include <cstdio>

#include "config/safe_file.h"
#include "link/message_sink.h"
#include "link/module_map.h"

namespace kvel {
namespace {

constexpr char kLineEnd[] = "\r\n";

bool fileExists(const std::string& fileName) {
    struct stat st {};
    return ::stat(fileName.c_str(), &st) == 0;
}

void refuse(MemIni& ini, const char* text) {
    showMessage(text, QT_TRANSLATE_NOOP("KvelView", "Ошибка"));
    ini.writeInteger(keys::kLogToFile, 0);
}

}  // namespace

std::string logHeaderLine() {
    std::string line = "Дата\tВремя\t";
    for (int i = 1; i <= kLoggedChannels; ++i) line += "Канал " + std::to_string(i) + "\t";
    return line + kLineEnd;
}

std::string logTemperature(std::uint16_t raw) {
    return raw == 0 ? "---" : formatLogTemperature(temperature(raw));
}

std::string formatLogTemperature(double celsius) {
    char text[32];
    const auto result =
        std::to_chars(text, text + sizeof text, celsius, std::chars_format::fixed, 2);
    std::string field(text, result.ptr);
    if (field.size() < 5) field.append(5 - field.size(), ' ');
    return field;
}

std::string logDataLine(const std::uint16_t* registers, const std::tm& local) {
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, "%02d.%02d.%02d\t%02d:%02d:%02d\t", local.tm_mday,
                  local.tm_mon + 1, local.tm_year % 100, local.tm_hour, local.tm_min, local.tm_sec);
    std::string line = stamp;
    for (int c = 0; c < kLoggedChannels; ++c) line += logTemperature(registers[c]) + "\t";
    return line + kLineEnd;
}

bool createLogFile(const std::string& fileName) {
    if (fileName.empty()) return false;
    const int fd = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool written = appendWhole(fd, logHeaderLine());
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        ::unlink(fileName.c_str());
        return false;
    }
    return true;
}

void writeLogLine(const ReadTransaction& record, const std::string& fileName, MemIni& ini,
                  std::time_t now) {
    if (!fileExists(fileName) && !createLogFile(fileName)) {
        refuse(ini, QT_TRANSLATE_NOOP("KvelView", "Ошибка создания нового файла"));
        return;
    }
    const int fd = ::open(fileName.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) {
        refuse(ini, QT_TRANSLATE_NOOP("KvelView", "Ошибка открытия файла"));
        return;
    }
    std::tm local{};
    ::localtime_r(&now, &local);
    const bool written = appendWhole(fd, logDataLine(record.registers, local));
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) refuse(ini, QT_TRANSLATE_NOOP("KvelView", "Ошибка открытия файла"));
}

}  // namespace kvel
