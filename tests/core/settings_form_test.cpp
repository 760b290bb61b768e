#include "core/settings_form.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/port_list.h"
#include "tests/common/temp_dir.h"

namespace kvel {
namespace {

namespace fs = std::filesystem;

// The fields of a configuration without mem.ini: every check passes.
SettingsForm Defaults() {
    test::TempDir dir;
    return loadSettingsForm(MemIni(dir.File("mem.ini")), 15);
}

TEST(SettingsFormLoad, DefaultsOfAnEmptyConfiguration) {
    const SettingsForm form = Defaults();
    EXPECT_FALSE(form.showAll);
    EXPECT_EQ(form.hours, "0");
    EXPECT_EQ(form.minutes, "14");
    EXPECT_EQ(form.shift, "20");
    EXPECT_FALSE(form.scaleAuto);
    EXPECT_EQ(form.leftMin, "-50.0");
    EXPECT_EQ(form.leftMax, "50.0");
    EXPECT_EQ(form.rightMin, "-500.0");
    EXPECT_EQ(form.rightMax, "500.0");
    for (const std::string& cell : form.axis) EXPECT_EQ(cell, "ЛЕВАЯ");
    EXPECT_FALSE(form.saveToFile);
    EXPECT_EQ(form.fileName, "");
    EXPECT_EQ(form.rate, "5");
    EXPECT_EQ(form.address, "100");
    EXPECT_EQ(form.port, "");
    EXPECT_EQ(form.speedIndex, 0);
    EXPECT_EQ(form.parityIndex, 0);
    ASSERT_EQ(form.channels.size(), 15u);
    EXPECT_EQ(form.channels[0].text, "Канал 1");
    EXPECT_FALSE(form.channels[14].checked);
    EXPECT_EQ(validateSettingsForm(form), "");
}

TEST(SettingsFormLoad, StoredValuesAsTheDialogShowsThem) {
    test::TempDir dir;
    test::WriteBytes(dir.File("mem.ini"),
                     "[diag]\nshowall=1\nwindow=1.5\nshift=35\nscale_auto=1\nleft_min=-1.50\n"
                     "[axis]\n2=R\n3=l\n4=ПРАВАЯ\n5=L\n[measure]\nperiod=07\n"
                     "[connect]\nadr=12\nport=/dev/ttyUSB0\nspeed=7\nparity=2\n"
                     "[sensors]\n2=Печь\n[display]\nd2=1\nd30=1\n[file]\nsave=1\nname=/x/l.txt\n");
    const MemIni ini(dir.File("mem.ini"));
    const SettingsForm form = loadSettingsForm(ini, 30);
    EXPECT_TRUE(form.showAll);
    EXPECT_EQ(form.hours, "12");  // only the part below one day
    EXPECT_EQ(form.minutes, "0");
    EXPECT_EQ(form.shift, "35");
    EXPECT_TRUE(form.scaleAuto);
    EXPECT_EQ(form.leftMin, "-1.50");  // the stored text, not a number made of it
    EXPECT_EQ(form.axis[0], "ЛЕВАЯ");
    EXPECT_EQ(form.axis[1], "ПРАВАЯ");
    EXPECT_EQ(form.axis[2], "ПРАВАЯ");  // only exactly "L" is the left axis
    EXPECT_EQ(form.axis[3], "ПРАВАЯ");
    EXPECT_EQ(form.axis[4], "ЛЕВАЯ");
    EXPECT_EQ(form.rate, "07");
    EXPECT_EQ(form.address, "12");
    EXPECT_EQ(form.port, "/dev/ttyUSB0");
    EXPECT_EQ(form.speedIndex, -1);  // none of the list's items
    EXPECT_EQ(form.parityIndex, 2);
    ASSERT_EQ(form.channels.size(), 30u);
    EXPECT_EQ(form.channels[1].text, "Печь");
    EXPECT_TRUE(form.channels[1].checked);
    EXPECT_TRUE(form.channels[29].checked);
    EXPECT_FALSE(form.channels[0].checked);
    EXPECT_TRUE(form.saveToFile);
    EXPECT_EQ(form.fileName, "/x/l.txt");
}

// The time window is a time of day: hours and minutes, seconds dropped, whole days and the
// sign ignored; a stored value just below a whole minute is that minute, not the one before.
TEST(SettingsFormWindow, SplitAndJoin) {
    struct Case {
        double days;
        int hours, minutes;
    };
    for (const Case& c : std::vector<Case>{{0.01, 0, 14},
                                           {0, 0, 0},
                                           {0.5, 12, 0},
                                           {1.5, 12, 0},
                                           {-0.25, 6, 0},
                                           {23.0 / 24 + 59.0 / 1440, 23, 59},
                                           {0.00972222222222222, 0, 14},
                                           {0.99999999999, 0, 0}}) {
        const HoursMinutes split = splitWindow(c.days);
        EXPECT_EQ(split.hours, c.hours) << c.days;
        EXPECT_EQ(split.minutes, c.minutes) << c.days;
    }
    for (int h : {0, 1, 13, 23}) {
        for (int m : {0, 1, 14, 29, 59}) {
            const HoursMinutes back = splitWindow(windowDays(h, m));
            EXPECT_EQ(back.hours, h);
            EXPECT_EQ(back.minutes, m);
        }
    }
}

// Each field set to a value; the message the check must give (empty: accepted).
struct FieldCase {
    std::string SettingsForm::*field;
    std::string value;
    std::string message;
};

TEST(SettingsFormValidate, EachFieldsChecksAndMessages) {
    const std::string hoursBad = "Некорректное значение часов в размере окна";
    const std::string shiftBad = "Некорректное значение сдвига";
    const std::string leftOrder =
        "Значение максимума должно быть больше значения минимума в масштабе левой оси";
    const std::string rightOrder =
        "Значение максимума должно быть больше значения минимума в масштабе правой оси";
    const std::string addressBad = "Некорректное значение адреса модуля (от 1 до 247)";
    const std::vector<FieldCase> cases = {
        {&SettingsForm::hours, "", hoursBad},
        {&SettingsForm::hours, "1.5", hoursBad},
        {&SettingsForm::hours, "-1", hoursBad},
        {&SettingsForm::hours, "23", ""},
        {&SettingsForm::hours, "24", "Некорректное значение часов в размере окна (от 0 до 23)"},
        {&SettingsForm::minutes, "x", "Некорректное значение минут в размере окна"},
        {&SettingsForm::minutes, "-1", "Некорректное значение минут часов в размере окна"},
        {&SettingsForm::minutes, "59", ""},
        {&SettingsForm::minutes, "60", "Некорректное значение минут в размере окна (от 0 до 59)"},
        {&SettingsForm::shift, "90", ""},
        {&SettingsForm::shift, "0", ""},
        {&SettingsForm::shift, "91", shiftBad},
        {&SettingsForm::shift, "-1", shiftBad},
        {&SettingsForm::shift, "2O", shiftBad},
        {&SettingsForm::rate, "5s", "Некорректное значение периода измерения"},
        {&SettingsForm::rate, "99999999999", "Некорректное значение периода измерения"},
        {&SettingsForm::rate, "0", "Некорректное периода измерения"},
        {&SettingsForm::rate, "1", ""},
        {&SettingsForm::rate, "2147483", ""},  // the longest a poll timer holds
        {&SettingsForm::rate, "2147484",
         "Некорректное значение периода измерения (от 1 до 2147483)"},
        {&SettingsForm::leftMin, "1,5", "Некорректное значение минимума левой оси"},
        {&SettingsForm::leftMin, "inf", "Некорректное значение минимума левой оси"},
        {&SettingsForm::leftMin, "1e999", "Некорректное значение минимума левой оси"},
        {&SettingsForm::leftMax, "", "Некорректное значение максимума левой оси"},
        {&SettingsForm::leftMin, "50.0", leftOrder},
        {&SettingsForm::leftMax, "-50.0", leftOrder},
        {&SettingsForm::leftMax, "+1e2", ""},
        {&SettingsForm::rightMin, "nan", "Некорректное значение минимума правой оси"},
        {&SettingsForm::rightMax, "5 0", "Некорректное значение максимума правой оси"},
        {&SettingsForm::rightMax, "-500", rightOrder},
        {&SettingsForm::address, "0", addressBad},
        {&SettingsForm::address, "248", addressBad},
        {&SettingsForm::address, "1a", addressBad},
        {&SettingsForm::address, "", addressBad},
        {&SettingsForm::address, "247", ""},
        {&SettingsForm::address, "1", ""},
        // Port and file name are not looked at.
        {&SettingsForm::port, "", ""},
        {&SettingsForm::fileName, "/no/such/folder/x", ""},
    };
    for (const FieldCase& c : cases) {
        SettingsForm form = Defaults();
        form.*c.field = c.value;
        EXPECT_EQ(validateSettingsForm(form), c.message) << "value '" << c.value << "'";
    }
}

TEST(SettingsFormValidate, ZeroWindowIsRefusedAsTheLastWindowCheck) {
    SettingsForm form = Defaults();
    form.hours = "0";
    form.minutes = "0";
    form.shift = "91";
    EXPECT_EQ(validateSettingsForm(form), "Некорректное значение размера окна (не менее 1 минуты)");
    for (const auto& [hours, minutes] : {std::pair{"0", "1"}, std::pair{"1", "0"}}) {
        form.hours = hours;
        form.minutes = minutes;
        EXPECT_EQ(validateSettingsForm(form), "Некорректное значение сдвига");
    }
}

TEST(SettingsFormValidate, AWindowUnderAMinuteIsKeptWhileAllIsShown) {
    test::TempDir dir;
    MemIni ini(dir.File("mem.ini"));
    ini.writeInteger(keys::kShowAll, 1);
    ini.writeFloat(keys::kWindowDays, 0.0001);  // 8.6 s, as the demo's mem.ini holds
    SettingsForm form = loadSettingsForm(ini, 15);
    ASSERT_EQ(form.hours + ":" + form.minutes, "0:0");
    EXPECT_EQ(validateSettingsForm(form), "") << "OK of an untouched dialog must be taken";
    storeDisplaySettings(form, ini);
    EXPECT_DOUBLE_EQ(ini.readFloat(keys::kWindowDays), 0.0001);
    form.showAll = false;  // the window is used: it needs a width
    EXPECT_EQ(validateSettingsForm(form), "Некорректное значение размера окна (не менее 1 минуты)");
}

TEST(SettingsFormValidate, LimitsAreCheckedEvenWithAutomaticScaling) {
    SettingsForm form = Defaults();
    form.scaleAuto = true;
    form.leftMin = "10";
    form.leftMax = "10";
    EXPECT_EQ(validateSettingsForm(form),
              "Значение максимума должно быть больше значения минимума в масштабе левой оси");
}

TEST(SettingsFormValidate, BindingGridRowsInOrder) {
    SettingsForm form = Defaults();
    form.axis[3] = "левая";
    form.axis[9] = "";
    EXPECT_EQ(validateSettingsForm(form), "Ошибка в привязке к оси канал 4");
    form.axis[3] = "ПРАВАЯ";
    EXPECT_EQ(validateSettingsForm(form), "Ошибка в привязке к оси канал 10");
}

TEST(SettingsFormValidate, OnlyTheFirstFailureIsReported) {
    SettingsForm form = Defaults();
    form.address = "0";
    form.axis[0] = "?";
    form.rightMax = "x";
    form.leftMin = "x";
    form.rate = "0";
    form.shift = "100";
    EXPECT_EQ(validateSettingsForm(form), "Некорректное значение сдвига");
    form.minutes = "60";
    form.hours = "24";
    EXPECT_EQ(validateSettingsForm(form),
              "Некорректное значение часов в размере окна (от 0 до 23)");
}

class SettingsFormSave : public ::testing::Test {
  protected:
    std::string Saved() const { return test::ReadBytes(dir.File("mem.ini")); }
    test::TempDir dir;
};

TEST_F(SettingsFormSave, WritesEveryFieldAndFlushesOnce) {
    test::WriteBytes(dir.File("mem.ini"), "[connect]\nport=COM1\n");
    MemIni ini(dir.File("mem.ini"));
    SettingsForm form = loadSettingsForm(ini, 15);
    form.showAll = true;
    form.hours = "0";
    form.minutes = "14";
    form.shift = "090";
    form.scaleAuto = true;
    form.leftMin = "-1.50";
    form.rightMax = "1e3";
    form.axis[1] = "ПРАВАЯ";
    form.saveToFile = true;
    form.fileName = dir.File("data.txt");
    form.rate = " 7";
    form.channels[2].checked = true;
    ASSERT_EQ(validateSettingsForm(form), "");
    const SaveOutcome outcome = saveSettingsForm(form, ini);
    EXPECT_FALSE(outcome.serialChanged);
    EXPECT_EQ(outcome.flushError, "");

    const MemIni back(dir.File("mem.ini"));
    EXPECT_EQ(back.readInteger("diag", "showall", 0), 1);
    // 14 minutes exactly: the stored days read back as 0 h 14 min.
    EXPECT_EQ(back.readString("diag", "window", ""), "0.00972222222222222");
    EXPECT_EQ(splitWindow(back.readFloat("diag", "window", 0)).minutes, 14);
    EXPECT_EQ(back.readString("diag", "shift", ""), "90");
    EXPECT_EQ(back.readInteger("diag", "scale_auto", 0), 1);
    EXPECT_EQ(back.readString("diag", "left_min", ""), "-1.50");
    EXPECT_EQ(back.readString("diag", "right_max", ""), "1e3");
    EXPECT_EQ(back.readString("axis", "1", ""), "L");
    EXPECT_EQ(back.readString("axis", "2", ""), "R");
    EXPECT_EQ(back.readString("axis", "15", ""), "L");
    EXPECT_EQ(back.readInteger("display", "d3", 0), 1);
    EXPECT_EQ(back.readInteger("file", "save", 0), 1);
    EXPECT_EQ(back.readString("file", "name", ""), dir.File("data.txt"));
    EXPECT_EQ(back.readInteger("measure", "period", 0), 7);  // the text as typed reads as 7
    EXPECT_EQ(back.readString("connect", "adr", ""), "100");
    EXPECT_EQ(back.readString("connect", "speed", ""), "0");
    EXPECT_EQ(back.readString("connect", "parity", ""), "0");
    // The four limits in the order they are written.
    const std::string text = Saved();
    EXPECT_LT(text.find("left_min"), text.find("right_min"));
    EXPECT_LT(text.find("right_min"), text.find("left_max"));
    EXPECT_LT(text.find("left_max"), text.find("right_max"));
}

// The language is stored only when the box changes it; anything unknown reads as Russian.
TEST_F(SettingsFormSave, LanguageWrittenOnlyWhenChanged) {
    struct Case {
        const char* stored;
        const char* chosen;
        const char* loaded;
        const char* written;  // nullptr: no [program] key written
    };
    for (const Case& c : {Case{"", "ru", "ru", nullptr}, Case{"", "en", "ru", "en"},
                          Case{"[program]\nlanguage=de\n", "ru", "ru", "de"},
                          Case{"[program]\nlanguage=en\n", "ru", "en", "ru"}}) {
        test::WriteBytes(dir.File("mem.ini"), c.stored);
        MemIni ini(dir.File("mem.ini"));
        SettingsForm form = loadSettingsForm(ini, 15);
        EXPECT_EQ(form.language, c.loaded) << c.stored;
        form.language = c.chosen;
        saveSettingsForm(form, ini);
        const MemIni back(dir.File("mem.ini"));
        EXPECT_EQ(back.readString("program", "language", "(none)"),
                  c.written ? c.written : "(none)")
            << c.stored << " -> " << c.chosen;
    }
}

TEST_F(SettingsFormSave, ChannelKeysOfTheListOnly) {
    test::WriteBytes(dir.File("mem.ini"), "[display]\nd16=1\nd30=1\n");
    for (const int channels : {15, 30}) {
        MemIni ini(dir.File("mem.ini"));
        SettingsForm form = loadSettingsForm(ini, channels);
        for (ChannelItem& item : form.channels) item.checked = false;
        form.channels[0].checked = true;
        saveSettingsForm(form, ini);
        const MemIni back(dir.File("mem.ini"));
        EXPECT_EQ(back.readSection("display").size(), channels == 15 ? 17u : 30u);
        EXPECT_EQ(back.readString("display", "d1", ""), "1");
        EXPECT_EQ(back.readString("display", "d15", ""), "0");
        // With 15 channels the keys of channels 16 … 30 keep what they held.
        EXPECT_EQ(back.readString("display", "d16", ""), channels == 15 ? "1" : "0");
        EXPECT_EQ(back.readString("display", "d30", ""), channels == 15 ? "1" : "0");
    }
}

TEST_F(SettingsFormSave, SerialSettingsChangedOnlyByPortSpeedOrParity) {
    const std::string stored = "[connect]\nport=/dev/ttyUSB0\nspeed=4\nparity=1\nadr=100\n";
    struct Case {
        const char* what;
        void (*change)(SettingsForm&);
        bool changed;
    };
    const std::vector<Case> cases = {
        {"nothing", [](SettingsForm&) {}, false},
        {"address", [](SettingsForm& f) { f.address = "17"; }, false},
        {"period", [](SettingsForm& f) { f.rate = "1"; }, false},
        {"port", [](SettingsForm& f) { f.port = "/dev/ttyUSB1"; }, true},
        {"speed", [](SettingsForm& f) { f.speedIndex = 3; }, true},
        {"parity", [](SettingsForm& f) { f.parityIndex = 0; }, true},
    };
    for (const Case& c : cases) {
        test::WriteBytes(dir.File("mem.ini"), stored);
        MemIni ini(dir.File("mem.ini"));
        SettingsForm form = loadSettingsForm(ini, 15);
        c.change(form);
        EXPECT_EQ(saveSettingsForm(form, ini).serialChanged, c.changed) << c.what;
    }
    // No port stored: the comparison is with "COM1".
    test::WriteBytes(dir.File("mem.ini"), "");
    MemIni ini(dir.File("mem.ini"));
    SettingsForm form = loadSettingsForm(ini, 15);
    form.port = "COM1";
    EXPECT_FALSE(saveSettingsForm(form, ini).serialChanged);
}

TEST_F(SettingsFormSave, ListValueOutsideTheItemsIsKeptUnlessChosen) {
    test::WriteBytes(dir.File("mem.ini"), "[connect]\nport=COM2\nspeed=9\nparity=-3\n");
    MemIni ini(dir.File("mem.ini"));
    SettingsForm form = loadSettingsForm(ini, 15);
    ASSERT_EQ(form.speedIndex, -1);
    ASSERT_EQ(form.parityIndex, -1);
    EXPECT_FALSE(saveSettingsForm(form, ini).serialChanged);
    EXPECT_EQ(MemIni(dir.File("mem.ini")).readString("connect", "speed", ""), "9");
    EXPECT_EQ(MemIni(dir.File("mem.ini")).readString("connect", "parity", ""), "-3");
    form.speedIndex = 1;
    EXPECT_TRUE(saveSettingsForm(form, ini).serialChanged);
    EXPECT_EQ(MemIni(dir.File("mem.ini")).readString("connect", "speed", ""), "1");
}

TEST_F(SettingsFormSave, FailedFlushNamesTheFileAndKeepsTheSettingsInMemory) {
    MemIni ini(dir.File("missing/mem.ini"));
    SettingsForm form = loadSettingsForm(ini, 15);
    form.shift = "33";
    const SaveOutcome outcome = saveSettingsForm(form, ini);
    EXPECT_NE(outcome.flushError.find(dir.File("missing/mem.ini")), std::string::npos)
        << outcome.flushError;
    EXPECT_NE(outcome.flushError.find("No such file"), std::string::npos) << outcome.flushError;
    EXPECT_EQ(ini.readInteger("diag", "shift", 0), 33);
}

TEST(SettingsFormFileName, ChoiceFolderAndToggle) {
    EXPECT_EQ(logNameFromChoice("/home/u/data"), "/home/u/data.txt");
    EXPECT_EQ(logNameFromChoice("/home/u/log.txt"), "/home/u/log.txt");
    EXPECT_EQ(logNameFromChoice("/home/u/LOG.Txt"), "/home/u/LOG.Txt");
    EXPECT_EQ(logNameFromChoice("/home/u/log.txt.bak"), "/home/u/log.txt.bak.txt");
    EXPECT_EQ(folderOf("/home/u/log.txt"), "/home/u");
    EXPECT_EQ(folderOf("C:\\Data\\log.txt"), "C:\\Data");
    EXPECT_EQ(folderOf("/log.txt"), "/");
    EXPECT_EQ(folderOf("log.txt"), "");
    // The file dialog opens where the log will be written: a bare or relative name lies in
    // the working folder.
    EXPECT_EQ(dialogFolder("log.txt", "/work"), "/work");
    EXPECT_EQ(dialogFolder("", "/work"), "/work");
    EXPECT_EQ(dialogFolder("logs/log.txt", "/work"), "/work/logs");
    EXPECT_EQ(dialogFolder("/home/u/log.txt", "/work"), "/home/u");
    EXPECT_EQ(toggledAxis("ПРАВАЯ"), "ЛЕВАЯ");
    EXPECT_EQ(toggledAxis("ЛЕВАЯ"), "ПРАВАЯ");
    EXPECT_EQ(toggledAxis("что-то"), "ПРАВАЯ");
}

TEST(PortList, ComNamesThenTheDevicesPresent) {
    test::TempDir dev;
    fs::create_directories(dev.Path() / "serial" / "by-id");
    for (const char* name : {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyS1", "ttyS0", "tty1", "ttyUSB",
                             "null", "serial/by-id/usb-FTDI_FT232R-if00-port0"}) {
        test::WriteBytes((dev.Path() / name).string(), "");
    }
    const std::vector<std::string> choices = portChoices(dev.Path().string());
    ASSERT_EQ(choices.size(), 56u);
    EXPECT_EQ(choices[0], "COM1");
    EXPECT_EQ(choices[49], "COM50");
    const std::string root = dev.Path().string();
    EXPECT_EQ(std::vector<std::string>(choices.begin() + 50, choices.end()),
              (std::vector<std::string>{root + "/serial/by-id/usb-FTDI_FT232R-if00-port0",
                                        root + "/ttyUSB2", root + "/ttyUSB10", root + "/ttyACM0",
                                        root + "/ttyS0", root + "/ttyS1"}));
    EXPECT_EQ(portChoices(dev.File("missing")).size(), 50u);
}

}  // namespace
}  // namespace kvel
