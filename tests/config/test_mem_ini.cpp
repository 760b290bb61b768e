// Reading and writing values of mem.ini: defaults, syntax, names, numbers, written form.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "config/mem_ini.h"
#include "config/text_encoding.h"
#include "tests/common/temp_dir.h"

namespace kvel {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

MemIni LoadText(const TempDir& dir, const std::string& text) {
    WriteBytes(dir.File("mem.ini"), text);
    return MemIni(dir.File("mem.ini"));
}

// No mem.ini, or one that holds nothing useful: every read gives the caller's default.
TEST(MemIni, DefaultsOfAnEmptyConfiguration) {
    TempDir dir;
    WriteBytes(dir.File("empty.ini"), "");
    WriteBytes(dir.File("comments.ini"), "; only a comment\nwindow=7\n\n");
    for (const char* name : {"missing.ini", "empty.ini", "comments.ini"}) {
        SCOPED_TRACE(name);
        MemIni ini(dir.File(name));
        EXPECT_EQ(ini.lastError(), "");
        EXPECT_EQ(ini.fileEncoding(), MemIni::Encoding::Utf8);
        EXPECT_DOUBLE_EQ(ini.readFloat("diag", "window", 0.01), 0.01);
        EXPECT_EQ(ini.readInteger("diag", "window", 20), 20);
        EXPECT_EQ(ini.readString("axis", "1", "L"), "L");
        EXPECT_TRUE(ini.readSection("panels").empty());
    }
}

TEST(MemIni, SyntaxOfLines) {
    TempDir dir;
    const MemIni ini = LoadText(dir,
                                "orphan=1\n"
                                "[diag]\r\n"
                                "; window=9\r\n"
                                "\r\n"
                                "  shift = 35  \r\n"
                                "[ connect ]\r"
                                "port=/dev/ttyUSB0\r"
                                "[file]\n"
                                "name=C:\\Data\\a=b.txt\n"
                                "no equals sign here\n"
                                "empty=\n"
                                "[measure]\n"
                                "period=7");  // no line end at the end of the file
    EXPECT_EQ(ini.readInteger("diag", "window", -1), -1) << "a comment is no value";
    EXPECT_EQ(ini.readInteger("", "orphan", -1), -1) << "a line before any section is ignored";
    EXPECT_EQ(ini.readInteger("diag", "shift", 20), 35);
    EXPECT_EQ(ini.readString("connect", "port", ""), "/dev/ttyUSB0") << "lone CR ends a line";
    EXPECT_EQ(ini.readString("file", "name", ""), "C:\\Data\\a=b.txt") << "key ends at first =";
    EXPECT_EQ(ini.readString("file", "empty", "x"), "") << "an empty value is a value";
    EXPECT_EQ(ini.readInteger("measure", "period", 5), 7);
    EXPECT_EQ(ini.readSection("file"), (std::vector<std::string>{"name", "empty"}));
}

TEST(MemIni, NamesMatchWithoutRegardToCase) {
    TempDir dir;
    const MemIni ini = LoadText(dir, "[Diag]\nLeft_Min=-10\n[panels]\nЯчейка Ёж=3\nQF1=4\n");
    struct Case {
        const char* section;
        const char* key;
        int expected;
    } cases[] = {
        {"diag", "left_min", -10},   {"DIAG", "LEFT_MIN", -10},  {"dIaG", "lEfT_mIn", -10},
        {"panels", "ячейка ёж", 3},  {"PANELS", "ЯЧЕЙКА ЁЖ", 3}, {"panels", "qf1", 4},
        {"panels", "Ячейка Еж", -1},  // Ё is its own letter, not Е
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ini.readInteger(c.section, c.key, -1), c.expected) << c.section << "/" << c.key;
    }
}

// A number must fill the whole value, "." its separator; anything else reads as the default.
TEST(MemIni, NumbersAreReadStrictlyElseTheDefault) {
    constexpr int kDef = 777;
    struct Case {
        const char* text;
        int integer;
        double real;
    } cases[] = {
        // clang-format off
        {"5", 5, 5},              {" 42 ", 42, 42},           {"+3", 3, 3},
        {"-50", -50, -50},        {"0", 0, 0},
        {"2147483647", 2147483647, 2147483647.0},             {"2147483648", kDef, 2147483648.0},
        {"-2147483648", -2147483647 - 1, -2147483648.0},      {"-2147483649", kDef, -2147483649.0},
        {"99999999999999999999", kDef, 1e20},
        {"", kDef, kDef},         {"abc", kDef, kDef},        {"5x", kDef, kDef},
        {"1.0", kDef, 1},         {"0x10", kDef, kDef},       {"1e3", kDef, 1000},
        {"+", kDef, kDef},        {"-", kDef, kDef},          {"+-5", kDef, kDef},
        {"5 5", kDef, kDef},      {"0.01", kDef, 0.01},       {" 2.5 ", kDef, 2.5},
        {"+2.5", kDef, 2.5},      {".5", kDef, 0.5},          {"1e-3", kDef, 1e-3},
        {"1E3", kDef, 1000},      {"5.", kDef, 5},            {"0,01", kDef, kDef},
        {"1,5", kDef, kDef},      {"1.2.3", kDef, kDef},      {"nan", kDef, kDef},
        {"inf", kDef, kDef},      {"-infinity", kDef, kDef},  {"1e999", kDef, kDef},
        {"0x1p3", kDef, kDef},
        // clang-format on
    };
    std::string text = "[s]\n";
    // Keys built by appending: g++ 12 at -O3 warns (-Wrestrict) about "k" + std::to_string(i).
    const auto key = [](std::size_t i) { return std::string("k").append(std::to_string(i)); };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        text.append(key(i)).append("=").append(cases[i].text).append("\n");
    }
    TempDir dir;
    const MemIni ini = LoadText(dir, text);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(ini.readInteger("s", key(i), kDef), cases[i].integer)
            << '"' << cases[i].text << '"';
        EXPECT_DOUBLE_EQ(ini.readFloat("s", key(i), kDef), cases[i].real)
            << '"' << cases[i].text << '"';
    }
}

TEST(MemIni, RealsAreWrittenInGeneralFormatWith15Digits) {
    struct Case {
        double value;
        const char* text;
    } cases[] = {
        {0.01, "0.01"},
        {20, "20"},
        {-50.5, "-50.5"},
        {1.0 / 3, "0.333333333333333"},
        {(10 * 60000.0) / 86400000.0, "0.00694444444444444"},  // 10 minutes as a day fraction
        {0.1 + 0.2, "0.3"},
        {1e20, "1e+20"},
    };
    MemIni ini("/nonexistent-folder/mem.ini");
    for (const Case& c : cases) {
        ini.writeFloat("diag", "window", c.value);
        EXPECT_EQ(ini.readString("diag", "window", ""), c.text);
        EXPECT_NEAR(ini.readFloat("diag", "window", 777), c.value, std::abs(c.value) * 1e-14);
    }
}

// A Russian desktop has "," as its decimal separator; the file keeps "." regardless.
class CommaLocale : public ::testing::Test {
  protected:
    void SetUp() override {
        old_ = std::setlocale(LC_NUMERIC, nullptr);
        for (const char* name : {"ru_RU.UTF-8", "ru_RU.utf8", "de_DE.UTF-8", "de_DE.utf8"}) {
            if (TryLocale(name)) return;
        }
        // Not installed: build it into a private folder, as the locales package would.
        localeDir_ = std::make_unique<test::TempDir>();
        const std::string cmd =
            "localedef -i ru_RU -f UTF-8 " + localeDir_->File("ru_RU.UTF-8") + " >/dev/null 2>&1";
        if (std::system(cmd.c_str()) == 0) {
            ::setenv("LOCPATH", localeDir_->Path().c_str(), 1);
            if (TryLocale("ru_RU.UTF-8")) return;
        }
        GTEST_SKIP() << "no locale with a decimal comma is available, nor localedef to build one";
    }
    void TearDown() override {
        std::setlocale(LC_NUMERIC, old_.c_str());
        ::unsetenv("LOCPATH");
    }

  private:
    static bool TryLocale(const char* name) {
        if (std::setlocale(LC_NUMERIC, name) == nullptr) return false;
        char buf[16];
        std::snprintf(buf, sizeof buf, "%.1f", 0.5);
        return std::string(buf) == "0,5";
    }
    std::string old_;
    std::unique_ptr<test::TempDir> localeDir_;
};

TEST_F(CommaLocale, PointIsTheSeparatorWhateverTheLocale) {
    TempDir dir;
    MemIni ini = LoadText(dir, "[diag]\nwindow=0.5\nleft_min=-12,5\n");
    EXPECT_DOUBLE_EQ(ini.readFloat("diag", "window", 0.01), 0.5);
    EXPECT_DOUBLE_EQ(ini.readFloat("diag", "left_min", -50), -50);
    ini.writeFloat("diag", "right_max", 0.25);
    EXPECT_EQ(ini.readString("diag", "right_max", ""), "0.25");
}

TEST(MemIni, WritesKeepPlacesAndAppendNewKeysAndSections) {
    TempDir dir;
    MemIni ini = LoadText(dir,
                          "[diag]\nWindow=0.01\nfuture_key=abc\nshift=20\n\n"
                          "[vendor]\nx=1\n\n"
                          "[connect]\nport=COM1\n\n");
    ini.writeFloat("DIAG", "window", 0.02);  // existing key: keeps its place and spelling
    ini.writeInteger("diag", "update", 1);   // new key: end of its section
    ini.writeString("Connect", "Adr", "17");
    ini.writeInteger("checkbox", "ch0", 0);  // new section: end of the file
    ini.writeString("connect", "port", "/dev/ttyUSB0");
    EXPECT_EQ(ini.readSection("diag"),
              (std::vector<std::string>{"Window", "future_key", "shift", "update"}));
    ASSERT_TRUE(ini.updateFile()) << ini.lastError();
    EXPECT_EQ(ReadBytes(dir.File("mem.ini")),
              "[diag]\nWindow=0.02\nfuture_key=abc\nshift=20\nupdate=1\n\n"
              "[vendor]\nx=1\n\n"
              "[connect]\nport=/dev/ttyUSB0\nAdr=17\n\n"
              "[checkbox]\nch0=0\n\n");
}

TEST(MemIni, TheWrittenFormDropsCommentsAndKeepsOddLines) {
    TempDir dir;
    MemIni ini = LoadText(dir,
                          "; made by hand\nstray\n[diag]\n\n; note\nshift = 30\n"
                          "odd line\n[diag]\nshift=40\n");
    EXPECT_EQ(ini.readInteger("diag", "shift", 20), 30) << "the first of repeated sections counts";
    ASSERT_TRUE(ini.updateFile()) << ini.lastError();
    EXPECT_EQ(ReadBytes(dir.File("mem.ini")),
              "[diag]\nshift= 30\nodd line\n\n[diag]\nshift=40\n\n");
}

// A value is the text after "=" as it stands: blanks around it belong to it, in the file and
// in what the program writes; only the key loses its blanks.
TEST(MemIni, ValuesKeepTheirBlanksAndRoundTripByteForByte) {
    TempDir dir;
    const std::string values[] = {" Печь",  "Печь ",  "\tШина А\t", "  ",
                                  " 1 = 2", "x;y[z]", "",           "L "};
    for (const bool cp1251 : {false, true}) {
        SCOPED_TRACE(cp1251 ? "code page 1251" : "UTF-8");
        const std::string text = "[sensors]\n  1 = Печь \r\n2=\t\n[axis]\n1= L\n";
        MemIni ini = LoadText(dir, cp1251 ? utf8ToCp1251(text) : text);
        EXPECT_EQ(ini.readString("sensors", "1", ""), " Печь ");
        EXPECT_EQ(ini.readString("sensors", "2", "?"), "\t");
        EXPECT_EQ(ini.readString("axis", "1", "L"), " L") << "not the left axis";
        for (std::size_t i = 0; i < std::size(values); ++i) {
            ini.writeString("sensors", std::to_string(i + 10), values[i]);
        }
        ASSERT_TRUE(ini.updateFile()) << ini.lastError();
        const MemIni again(dir.File("mem.ini"));
        EXPECT_EQ(again.fileEncoding(), cp1251 ? MemIni::Encoding::Cp1251 : MemIni::Encoding::Utf8);
        EXPECT_EQ(again.readString("sensors", "1", ""), " Печь ");
        for (std::size_t i = 0; i < std::size(values); ++i) {
            EXPECT_EQ(again.readString("sensors", std::to_string(i + 10), "?"), values[i]);
        }
    }
}

TEST(MemIni, ALineBreakInAValueCannotOpenASection) {
    TempDir dir;
    MemIni ini(dir.File("mem.ini"));
    ini.writeString("sensors", "1", "Печь\n[diag]\r\nwindow=5");
    ASSERT_TRUE(ini.updateFile()) << ini.lastError();
    const MemIni again(dir.File("mem.ini"));
    EXPECT_EQ(again.readString("sensors", "1", ""), "Печь [diag]  window=5");
    EXPECT_DOUBLE_EQ(again.readFloat("diag", "window", 0.01), 0.01);
}

}  // namespace
}  // namespace kvel
