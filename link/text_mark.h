// Texts the user reads are marked where they are written, so that Qt's lupdate collects them
// into the translation; the windows translate them where they are shown (context "KvelView").
// The link layer builds without Qt, so the mark is defined here the way Qt defines it.
#pragma once

#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif

#include <string>

namespace kvel {

// Gives a marked text in the language it is shown in. Below the windows a text is made as
// written (Russian: the trace, kvelctl); the windows pass their translation.
using TextLanguage = std::string (*)(const char* marked);
inline std::string asWritten(const char* marked) {
    return marked;
}

}  // namespace kvel
