#include "link/link_error.h"

#include <cstdio>

#include "link/exception_names.h"
#include "link/text_mark.h"

namespace kvel {

const char* linkErrorSource(LinkError error) {
    switch (error) {
        case LinkError::None:
            return "";
        case LinkError::NoPort:
            return QT_TRANSLATE_NOOP("KvelView", "Нет связи с портом");
        case LinkError::ReadSendFailed:
            return QT_TRANSLATE_NOOP("KvelView", "Ошибка передачи команды чтения в модуль");
        case LinkError::ReadNoReply:
            return QT_TRANSLATE_NOOP("KvelView", "Ошибка получения результата из модуля");
        case LinkError::ReadWrongAddress:
            return QT_TRANSLATE_NOOP("KvelView", "Ошибочный адрес модуля в ответе от модуля");
        case LinkError::WriteSendFailed:
            return QT_TRANSLATE_NOOP("KvelView", "Ошибка передачи команды записи в модуль");
        case LinkError::WriteNoReply:
            return QT_TRANSLATE_NOOP("KvelView", "Ошибка подтверждения записи из модуля");
        case LinkError::WriteWrongAddress:
            return QT_TRANSLATE_NOOP("KvelView",
                                     "Ошибочный адрес модуля в ответе от модуля при записи");
        case LinkError::BadCrc:
            return QT_TRANSLATE_NOOP("KvelView", "Ошибочный CRC в ответе от модуля");
        case LinkError::WrongData:
            return QT_TRANSLATE_NOOP("KvelView", "Ошибка в данных в ответе от модуля");
        case LinkError::ModuleException:
            return QT_TRANSLATE_NOOP("KvelView", "Ошибка модуля: код %1");
        case LinkError::ReadCountRefused:
            return QT_TRANSLATE_NOOP("KvelView", "Недопустимое число регистров для чтения: %1");
        case LinkError::WriteCountRefused:
            return QT_TRANSLATE_NOOP("KvelView", "Недопустимое число регистров для записи: %1");
        case LinkError::Interrupted:
            return QT_TRANSLATE_NOOP("KvelView", "Обмен прерван: программа завершает работу");
    }
    return "";
}

std::string linkErrorArgument(const LinkFailure& failure) {
    char code[16];
    std::snprintf(code, sizeof code, failure.error == LinkError::ModuleException ? "%X" : "%u",
                  failure.code);
    return code;
}

std::string linkErrorText(const LinkFailure& failure) {
    std::string text = linkErrorSource(failure.error);
    if (const std::size_t at = text.find("%1"); at != std::string::npos) {
        text.replace(at, 2, linkErrorArgument(failure));
    }
    return text;
}

std::string linkErrorTextWithName(const LinkFailure& failure) {
    std::string text = linkErrorText(failure);
    if (failure.error == LinkError::ModuleException) {
        if (const char* name = modbusExceptionName(failure.code)) {
            text += std::string(" (") + name + ")";
        }
    }
    return text;
}

}  // namespace kvel
