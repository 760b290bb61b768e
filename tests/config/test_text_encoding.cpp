// Code page 1251, UTF-8 checks and case folding for mem.ini's names.
#include <gtest/gtest.h>

#include <string>

#include "config/text_encoding.h"

namespace kvel {
namespace {

TEST(TextEncoding, Cp1251Letters) {
    struct Case {
        std::string cp1251;
        std::string utf8;
    } cases[] = {
        {"\xC0\xDF\xE0\xFF", "АЯая"},
        {"\xA8\xB8", "Ёё"},
        {"\xB9 \xB0", "№ °"},
        {"\xA5\xB4\xAA\xBA\xB2\xB3\xAF\xBF\xA1\xA2", "ҐґЄєІіЇїЎў"},
        {"\x80\x8A\x9A\x88\x96\x97\xAB\xBB", "ЂЉљ€–—«»"},
        {"key=1", "key=1"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cp1251ToUtf8(c.cp1251), c.utf8);
        EXPECT_EQ(utf8ToCp1251(c.utf8), c.cp1251);
    }
}

TEST(TextEncoding, EveryCp1251ByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const std::string utf8 = cp1251ToUtf8(all);
    EXPECT_TRUE(isValidUtf8(utf8));
    EXPECT_EQ(utf8ToCp1251(utf8), all);
}

TEST(TextEncoding, WhatCp1251CannotHoldBecomesAQuestionMark) {
    EXPECT_EQ(utf8ToCp1251("a温b"), "a?b");
    EXPECT_EQ(utf8ToCp1251("é😀"), "??");
    EXPECT_EQ(utf8ToCp1251("\xFF\xD0"), "??") << "malformed bytes, one mark each";
}

TEST(TextEncoding, Utf8Validity) {
    struct Case {
        std::string bytes;
        bool valid;
    } cases[] = {
        {"", true},
        {"plain", true},
        {std::string("a\0b", 3), true},
        {"Печь €😀", true},
        {"\xC0\x80", false},          // overlong NUL
        {"\xE0\x80\xAF", false},      // overlong '/'
        {"\xED\xA0\x80", false},      // surrogate
        {"\xF4\x90\x80\x80", false},  // beyond U+10FFFF
        {"\xD0", false},              // cut short
        {"\xE2\x82", false},
        {"\x80", false},              // lone continuation byte
        {"\xCF\xE5\xF7\xFC", false},  // "Печь" in code page 1251
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isValidUtf8(c.bytes), c.valid) << testing::PrintToString(c.bytes);
        EXPECT_TRUE(isValidUtf8(sanitizeUtf8(c.bytes)));
        if (c.valid) {
            EXPECT_EQ(sanitizeUtf8(c.bytes), c.bytes);
        }
    }
}

TEST(TextEncoding, FoldCase) {
    EXPECT_EQ(foldCase("Left_MIN"), "left_min");
    EXPECT_EQ(foldCase("ЯЧЕЙКА Ёж ҐЄІЇЎЂ"), "ячейка ёж ґєіїўђ");
    EXPECT_EQ(foldCase("ÄÉ温"), "ÄÉ温") << "only what code page 1251 can hold";
    EXPECT_EQ(foldCase("A\xFF"
                       "B"),
              "a\xFF"
              "b");
}

}  // namespace
}  // namespace kvel
