#pragma once
#include <QString>
#include <QStringList>
#include <string>

#include "config/mem_ini.h"

namespace kvel {

// The languages the program speaks: Russian, its own, and English from the translation built
// into the program. mem.ini's [program] language holds the code; anything else means Russian.
inline const QStringList kLanguageCodes = {"ru", "en"};
// The code as stored, or "ru" when it is empty or unknown.
QString languageCode(const std::string& stored);

// Makes the application's texts (ours and Qt's own buttons) those of the language. Called
// before the windows are made: a window takes its texts when it is built, so a change of
// language shows from the next start. Returns false when the translation could not be loaded;
// the texts then stay Russian.
bool applyLanguage(const QString& code);
// The same with the language that mem.ini names.
bool applyLanguageOf(const MemIni& ini);

}  // namespace kvel
