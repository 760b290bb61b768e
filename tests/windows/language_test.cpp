#include "windows/language.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <cerrno>
#include <cstring>

#include "core/alarm_rules.h"
#include "core/line_scan.h"
#include "core/shown_text.h"
#include "core/traffic_model.h"
#include "link/module_config_first.h"
#include "link/port_open_failure.h"
#include "tests/common/main_window_fixture.h"

namespace kvel {
namespace {

// The main window made after mem.ini's language was applied, as the program starts.
class LanguageTest : public test::MainWindowFixture {
  protected:
    void ShowIn(const std::string& ini) {
        WriteIni(ini);
        loaded = applyLanguageOf(MemIni("mem.ini"));
        Show();
    }
    QString button(const char* name) const { return form->findChild<QPushButton*>(name)->text(); }
    void TearDown() override {
        MainWindowFixture::TearDown();
        applyLanguage("ru");
    }
    bool loaded = false;
};

TEST_F(LanguageTest, EnglishWindowWithLanguageEn) {
    ShowIn("[program]\nlanguage=en\n[display]\nd2=1\n");
    ASSERT_TRUE(loaded) << "the built-in English translation did not load";
    EXPECT_EQ(form->slotCheckBox(1)->text(), "Channel 2");
    EXPECT_EQ(button("programSettingsButton"), "Program settings");
    EXPECT_EQ(button("moduleSettingsButton"), "Module settings");
    EXPECT_EQ(heading(0), "Chan.");
    EXPECT_EQ(heading(1), "T, °C");
    EXPECT_EQ(button("alarmIndicator"), "No alarms");
    // A text from below the windows, marked there and translated where it is shown.
    PollResult result;
    result.linkStatus = "МОДУЛЬ НА СВЯЗИ";
    result.linkUp = true;
    result.softwareVersion = 7;
    emit form->session().pollFinished(result);
    EXPECT_EQ(form->statusPanel(0), "MODULE ONLINE");
    EXPECT_EQ(form->statusPanel(1), "Metrological software version  7");
    // A link failure's text is made from its code where it is shown.
    result.linkUp = false;
    result.linkFailure = {LinkError::ModuleException, 0xB};
    result.linkStatus = linkErrorText(result.linkFailure);
    emit form->session().pollFinished(result);
    EXPECT_EQ(form->statusPanel(0), "Module error: code B");
    // The title is the program's name in every language.
    EXPECT_EQ(form->windowTitle(), "KvelView");
}

TEST_F(LanguageTest, RussianByDefaultAndForUnknownCodes) {
    for (const char* ini : {"", "[program]\nlanguage=ru\n", "[program]\nlanguage=de\n"}) {
        ShowIn(ini);
        EXPECT_TRUE(loaded) << ini;
        EXPECT_EQ(button("programSettingsButton"), "Настройки программы") << ini;
        EXPECT_EQ(heading(0), "Канал") << ini;
        form.reset();
    }
    // English once, then Russian again: the English translator is taken away.
    ShowIn("[program]\nlanguage=EN\n");
    EXPECT_EQ(button("programSettingsButton"), "Program settings");
    form.reset();
    ShowIn("");
    EXPECT_EQ(button("programSettingsButton"), "Настройки программы");
}

// Texts composed below the windows are shown in their language with their numbers in place; as
// written (kvelctl, no translation) they are the Russian texts.
TEST(LanguageOfComposedTexts, ShownWithTheirNumbersInPlace) {
    FirstGenFields f;
    f.hyst = "5";
    f.relSens = {"1", "2", "3"};
    f.delayOn = "1";
    f.delayOff = "1";
    f.thres1 = "10";
    f.thres2 = "20";
    f.thresholds1 = {"1", "2", "3"};
    f.thresholds2 = {"1", "2", "x"};
    const std::optional<FieldRefusal> refusal = validateRelaySettings(f, 3);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->text(), "Некорректное значение порога 2 канала 3");
    EXPECT_EQ(shownText(*refusal), "Некорректное значение порога 2 канала 3");
    ASSERT_TRUE(applyLanguage("en"));
    EXPECT_EQ(shownText(*refusal), "Invalid threshold 2 of channel 3");
    // A text composed in the core with the user's own text in it.
    AlarmRulesForm form;
    form.high[3] = "1,5";
    std::string error;
    EXPECT_FALSE(rulesFromForm(form, error));
    EXPECT_EQ(error,
              "Invalid upper limit of channel 3: \"1,5\" (a number with a decimal point, "
              "empty for no limit)");
    // The scan dialog's details, the parity item trimmed after its translation.
    LineSetting at;
    at.speedIndex = 0;
    at.parityIndex = 2;
    EXPECT_EQ(lineSettingText(at),
              std::to_string(SerialPort::speedOfIndex(0)) + " bit/s, parity odd");
    EXPECT_EQ(timeLeftText(125000), "2 min 05 s");
    // A file name with "%2" in it stays as it is.
    EXPECT_EQ(shownText(QT_TRANSLATE_NOOP("KvelView", "Ошибка записи журнала сигнализации %1: %2"),
                        {"/tmp/a%2b", "Permission denied"}),
              "Error writing the alarm log /tmp/a%2b: Permission denied");
    applyLanguage("ru");
    EXPECT_EQ(timeLeftText(125000), "2 мин 05 с");
    EXPECT_FALSE(rulesFromForm(form, error));
    EXPECT_EQ(error,
              "Неверный верхний предел канала 3: \"1,5\" (число с точкой, пусто - без "
              "предела)");
}

// The line's traffic, a port that cannot be opened and a settings file that cannot be written
// are made below the windows from codes and marked texts: English where they are shown, Russian
// as written (the trace, kvelctl).
TEST(LanguageOfComposedTexts, TrafficPortAndSettingsFileTexts) {
    TrafficTap tap;
    const std::uint8_t request[8] = {0x64, 0x03, 0, 0, 0, 1, 0, 0};
    tap.beginTransaction(request, sizeof request);
    tap.requestSent();
    tap.endTransaction(nullptr, 0, TrafficVerdict::Exception, {LinkError::ModuleException, 0xB});
    PortOpenFailure busy = PortOpenFailure::of(PortOpenFailure::Reason::InUse, "/dev/ttyS0");
    busy.holder = "kvelview, PID 12";
    MemIni ini("/nonexistent-kvel-folder/mem.ini");
    ini.writeInteger(keys::kSpeedIndex, 1);
    ASSERT_FALSE(ini.updateFile());

    ASSERT_TRUE(applyLanguage("en"));
    TrafficModel model;
    model.reload(tap);
    EXPECT_EQ(model.headerData(9, Qt::Horizontal, Qt::DisplayRole).toString(), "Result");
    EXPECT_EQ(model.data(model.index(0, 9), Qt::DisplayRole).toString(), "Module error: code B");
    EXPECT_EQ(trafficCountersText(tap.counters(), translatedText).substr(0, 32),
              "Requests: 1, Replies: 0, No repl");
    EXPECT_EQ(shownText(portOpenFailureMessage(busy)),
              "/dev/ttyS0: the port is held by another program (kvelview, PID 12)");
    EXPECT_EQ(shownText(ini.lastFailure()),
              std::string("Error writing the settings file /nonexistent-kvel-folder/mem.ini: ") +
                  std::strerror(ENOENT));
    // The trace and kvelctl write them as they always have.
    EXPECT_EQ(trafficFieldsOf(tap.at(0)).back(), "Ошибка модуля: код B");
    EXPECT_EQ(portOpenFailureText(busy),
              "/dev/ttyS0: порт занят другой программой (kvelview, PID 12)");
    EXPECT_EQ(ini.lastError(),
              std::string("Ошибка записи файла настроек /nonexistent-kvel-folder/mem.ini: ") +
                  std::strerror(ENOENT));
    applyLanguage("ru");
    EXPECT_EQ(shownText(ini.lastFailure()), ini.lastError());
}

}  // namespace
}  // namespace kvel
