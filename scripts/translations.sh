#!/bin/sh
# Collects the program's texts (tr() and QT_TRANSLATE_NOOP) into the English translation,
# translations/kvelview_en.ts: new texts come in unfinished, translated texts stay, texts no
# longer in the code are dropped. Translate the unfinished ones with Qt Linguist
# (linguist translations/kvelview_en.ts) or in the file itself; the build makes the .qm.
# With --check it changes nothing and fails when a text of the code has no finished
# translation (the test suite runs it so).
set -e
cd "$(dirname "$0")/.."
LUPDATE="${LUPDATE:-$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)}"
DIRS="app chart config core ctl link plot windows"
TS=translations/kvelview_en.ts
if [ "$1" != "--check" ]; then
    "$LUPDATE" -silent -I "$PWD" -locations none -no-obsolete -source-language ru_RU -target-language en \
        $DIRS -ts "$TS"
    exit 0
fi
TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT
cp "$TS" "$TMP/check.ts"
"$LUPDATE" -silent -I "$PWD" -locations none -no-obsolete -source-language ru_RU -target-language en \
    $DIRS -ts "$TMP/check.ts"
# Every message must carry a finished translation that is not empty; lupdate writes each
# <source> before its <translation>, one line each.
awk '/<source>/ { source = $0 }
     /<translation/ && (/type="unfinished"/ || /<translation><\/translation>/) {
         sub(/^ *<source>/, "", source); sub(/<\/source>$/, "", source)
         print "not translated: " source; bad = 1 }
     END { exit bad }' "$TMP/check.ts"
