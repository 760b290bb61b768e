#pragma once
#include <string>

namespace kvel {

// The standard name of a Modbus exception code, in Russian ("недопустимый адрес данных" for
// 2), or nullptr for a code that has none.
const char* modbusExceptionName(unsigned code);

// "Ошибка модуля: код 2" becomes "Ошибка модуля: код 2 (недопустимый адрес данных)"; any other
// text, and the text of a code without a name, stays as it is.
std::string withExceptionName(const std::string& text);

}  // namespace kvel
