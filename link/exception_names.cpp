#include "link/exception_names.h"

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

}  // namespace kvel
