#pragma once
#include <QString>
#include <string>

#include "link/link_error.h"

namespace kvel {

// A link failure's text in the language of the windows: the table's entry translated, its code
// put in. Where no translation is loaded (kvelctl, the tests) it is the Russian text.
QString linkFailureMessage(const LinkFailure& failure);
std::string linkFailureMessageText(const LinkFailure& failure);

}  // namespace kvel
