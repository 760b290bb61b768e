#pragma once

namespace kvel {

// The standard name of a Modbus exception code, in Russian ("недопустимый адрес данных" for
// 2) and marked for the translation, or nullptr for a code that has none.
const char* modbusExceptionName(unsigned code);

}  // namespace kvel
