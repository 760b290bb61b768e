#pragma once
#include <QString>
#include <initializer_list>
#include <string>

#include "config/mem_ini.h"
#include "link/field_refusal.h"
#include "link/link_error.h"

namespace kvel {

// Texts made below the windows for the user, in the language of the windows. Where no
// translation is loaded (kvelctl, the tests) they are the Russian texts themselves.

// A marked text in the language of the windows (a TextLanguage for the formatters below).
std::string translatedText(const char* marked);
// A text marked with QT_TRANSLATE_NOOP("KvelView", …), translated, then %1, %2 … filled in.
std::string shownText(const char* source, std::initializer_list<std::string> args = {});
// Why a field was refused, translated, its numbers filled in.
std::string shownText(const FieldRefusal& refusal);
// Why mem.ini could not be read or written, translated, its file and reason filled in.
std::string shownText(const MemIniError& error);

// A link failure's text: the table's entry translated, its code put in.
QString linkFailureMessage(const LinkFailure& failure);
std::string linkFailureMessageText(const LinkFailure& failure);

}  // namespace kvel
