// The one table of the link's failure texts: the exact Russian texts the program shows, each
// code put in as the module's manual writes it.
#include "link/link_error.h"

#include <gtest/gtest.h>

#include <string>

namespace kvel {
namespace {

TEST(LinkError, EveryFailureHasItsText) {
    struct Case {
        LinkFailure failure;
        const char* text;
        const char* withName;  // kvelctl's form, where it differs
    };
    const Case cases[] = {
        {{LinkError::None, 0}, "", nullptr},
        {{LinkError::NoPort, 0}, "Нет связи с портом", nullptr},
        {{LinkError::ReadSendFailed, 0}, "Ошибка передачи команды чтения в модуль", nullptr},
        {{LinkError::ReadNoReply, 0}, "Ошибка получения результата из модуля", nullptr},
        {{LinkError::ReadWrongAddress, 0}, "Ошибочный адрес модуля в ответе от модуля", nullptr},
        {{LinkError::WriteSendFailed, 0}, "Ошибка передачи команды записи в модуль", nullptr},
        {{LinkError::WriteNoReply, 0}, "Ошибка подтверждения записи из модуля", nullptr},
        {{LinkError::WriteWrongAddress, 0},
         "Ошибочный адрес модуля в ответе от модуля при записи",
         nullptr},
        {{LinkError::BadCrc, 0}, "Ошибочный CRC в ответе от модуля", nullptr},
        {{LinkError::WrongData, 0}, "Ошибка в данных в ответе от модуля", nullptr},
        {{LinkError::ModuleException, 2},
         "Ошибка модуля: код 2",
         "Ошибка модуля: код 2 (недопустимый адрес данных)"},
        {{LinkError::ModuleException, 0x1F}, "Ошибка модуля: код 1F", nullptr},
        {{LinkError::ModuleException, 10},
         "Ошибка модуля: код A",
         "Ошибка модуля: код A (путь шлюза недоступен)"},
        {{LinkError::ReadCountRefused, 126},
         "Недопустимое число регистров для чтения: 126",
         nullptr},
        {{LinkError::WriteCountRefused, 0}, "Недопустимое число регистров для записи: 0", nullptr},
        {{LinkError::Interrupted, 0}, "Обмен прерван: программа завершает работу", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(linkErrorText(c.failure), c.text);
        EXPECT_EQ(linkErrorTextWithName(c.failure), c.withName ? c.withName : c.text);
        EXPECT_EQ(c.failure.failed(), c.failure.error != LinkError::None);
    }
}

}  // namespace
}  // namespace kvel
