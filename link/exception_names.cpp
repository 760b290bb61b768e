#include "link/exception_names.h"

#include "link/text_mark.h"

namespace kvel {

const char* modbusExceptionName(unsigned code) {
    switch (code) {
        case 1:
            return QT_TRANSLATE_NOOP("KvelView", "недопустимая функция");
        case 2:
            return QT_TRANSLATE_NOOP("KvelView", "недопустимый адрес данных");
        case 3:
            return QT_TRANSLATE_NOOP("KvelView", "недопустимое значение данных");
        case 4:
            return QT_TRANSLATE_NOOP("KvelView", "отказ ведомого устройства");
        case 5:
            return QT_TRANSLATE_NOOP("KvelView", "подтверждение: запрос принят и выполняется");
        case 6:
            return QT_TRANSLATE_NOOP("KvelView", "ведомое устройство занято");
        case 8:
            return QT_TRANSLATE_NOOP("KvelView", "ошибка чётности памяти");
        case 10:
            return QT_TRANSLATE_NOOP("KvelView", "путь шлюза недоступен");
        case 11:
            return QT_TRANSLATE_NOOP("KvelView", "целевое устройство шлюза не отвечает");
        default:
            return nullptr;
    }
}

}  // namespace kvel
