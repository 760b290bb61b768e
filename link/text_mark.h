// Texts the user reads are marked where they are written, so that Qt's lupdate collects them
// into the translation; the windows translate them where they are shown (context "KvelView").
// The link layer builds without Qt, so the mark is defined here the way Qt defines it.
#pragma once

#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif
