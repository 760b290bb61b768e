#include "link/exception_names.h"

#include <charconv>

namespace kvel {

const char* modbusExceptionName(unsigned code) {
    switch (code) {
        case 1:
            return "недопустимая функция";
        case 2:
            return "недопустимый адрес данных";
        case 3:
            return "недопустимое значение данных";
        case 4:
            return "отказ ведомого устройства";
        case 5:
            return "подтверждение: запрос принят и выполняется";
        case 6:
            return "ведомое устройство занято";
        case 8:
            return "ошибка чётности памяти";
        case 10:
            return "путь шлюза недоступен";
        case 11:
            return "целевое устройство шлюза не отвечает";
        default:
            return nullptr;
    }
}

std::string withExceptionName(const std::string& text) {
    // The transactions write the code in upper-case hexadecimal.
    static const std::string kPrefix = "Ошибка модуля: код ";
    if (text.size() <= kPrefix.size() || text.compare(0, kPrefix.size(), kPrefix) != 0) {
        return text;
    }
    unsigned code = 0;
    const char* first = text.data() + kPrefix.size();
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, code, 16);
    if (error != std::errc() || end != last) return text;
    const char* name = modbusExceptionName(code);
    return name ? text + " (" + name + ")" : text;
}

}  // namespace kvel
