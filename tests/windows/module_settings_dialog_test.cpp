// The module settings dialogs opened from the real main window against the simulator.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "tests/common/main_window_fixture.h"
#include "windows/module_generation_dialogs.h"
#include "windows/program_settings_dialog.h"

namespace kvel {
namespace {

class ModuleDialogTest : public test::MainWindowFixture {
  protected:
    void BeforeShow() override {
        dialog = form->firstGenDialog();
        dialogNew = form->secondGenDialog();
    }
    void Show(const std::string& extra = "") {
        WriteIni(port() + extra);
        MainWindowFixture::Show();
    }
    // Opens the dialog by the button's handler; `inside` runs once it is shown with the
    // module's values in it, then it closes.
    QWidget* open(const std::function<void()>& inside) {
        return WithModuleDialog([&](QWidget*) {
            EXPECT_FALSE(form->session().pollTimer()->isActive())
                << "no poll while the dialog is open";
            if (inside) inside();
        });
    }
    template <class W>
    static W* Child(QWidget* parent, const char* name) {
        W* widget = parent->findChild<W*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    static QString cell(QWidget* dialog, const char* grid, int row, int column) {
        return Child<QTableWidget>(dialog, grid)->item(row, column)->text();
    }

    // Whether anything said "busy" while a box waited for the user, and whether a module
    // dialog was up under it.
    void MessageShown() override {
        dialogUpAtBox.push_back(dialog->isVisible() || dialogNew->isVisible());
        busyAtBox.push_back(QApplication::overrideCursor() != nullptr ||
                            dialog->cursor().shape() == Qt::WaitCursor ||
                            dialogNew->cursor().shape() == Qt::WaitCursor ||
                            dialog->findChild<QLabel*>("progressPanel")->isVisible() ||
                            dialogNew->findChild<QLabel*>("progressPanel")->isVisible());
    }

    FirstGenModuleDialog* dialog = nullptr;
    SecondGenModuleDialog* dialogNew = nullptr;
    std::vector<bool> busyAtBox;
    std::vector<bool> dialogUpAtBox;
};

// What a load has to say (here: the port is no serial line) comes over the dialog once it is
// up, not after the user has closed it.
TEST_F(ModuleDialogTest, ALoadsMessagesComeWhileTheDialogIsUp) {
    WriteIni("[connect]\nport=/dev/null\n");
    MainWindowFixture::Show();
    Settle();
    boxes.clear();
    dialogUpAtBox.clear();
    bool boxWhileUp = false;
    WithModuleDialog([&](QWidget*) {
        QElapsedTimer clock;
        clock.start();
        while (boxes.empty() && clock.elapsed() < 5000) QCoreApplication::processEvents();
        boxWhileUp = !boxes.empty();
    });
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("/dev/null"), std::string::npos) << boxes[0];
    EXPECT_TRUE(boxWhileUp);
    EXPECT_EQ(dialogUpAtBox, std::vector<bool>{true});
}

TEST_F(ModuleDialogTest, NoModulePlaceholdersAndRowCounts) {
    // The port never opened: 30 channels still; after a failed type read: 15.
    Show();
    StartSimulator(150);
    simulator->setFault(sim::Fault::Silence);
    for (const int rows : {31, 16}) {
        QWidget* shown = open([&] {
            EXPECT_EQ(Child<QLineEdit>(dialog, "addressEdit")->text(), "--");
            EXPECT_EQ(Child<QLineEdit>(dialog, "hysteresisEdit")->text(), "--");
            EXPECT_EQ(Child<QLineEdit>(dialog, "thresholdEdit1")->text(), "--");
            for (const char* box :
                 {"speedCombo", "parityCombo", "relayFunctionCombo1", "relayFunctionCombo3"}) {
                EXPECT_EQ(Child<QComboBox>(dialog, box)->currentIndex(), -1) << box;
                EXPECT_EQ(Child<QComboBox>(dialog, box)->placeholderText(), "--") << box;
            }
            EXPECT_EQ(Child<QTableWidget>(dialog, "channelTable")->rowCount(), rows);
            EXPECT_EQ(cell(dialog, "channelTable", 1, 2), "---");
            EXPECT_EQ(cell(dialog, "channelTable", rows - 1, 2), "---");
            EXPECT_EQ(Child<QListWidget>(dialog, "linkRelayChannels")->count(), rows - 1);
        });
        EXPECT_EQ(shown, dialog);
        EXPECT_TRUE(form->session().pollTimer()->isActive()) << "the poll runs again after closing";
        form->session().pollTimer()->stop();
        PollOnce();  // the module does not answer: the type read fails
    }
    EXPECT_TRUE(boxes.empty()) << "failed reads show no message";
}

TEST_F(ModuleDialogTest, FirstGenerationType220) {
    StartSimulator(220);
    simulator->setRegister(85 + 29, 58981);
    simulator->setRegister(768 + 29, 0xFFFE);
    simulator->setRegister(641, 0x0001);  // channel 16 on the link relay
    Show("[sensors]\n30=Ввод\n");
    PollOnce();
    const std::string iniBefore = test::ReadBytes(dir.File("mem.ini"));
    QWidget* shown = open([&] {
        EXPECT_EQ(dialog->windowTitle(), "Настройки модуля");
        EXPECT_EQ(dialog->size(), QSize(1200, 650));
        const auto* grid = Child<QTableWidget>(dialog, "channelTable");
        ASSERT_EQ(grid->rowCount(), 31);
        EXPECT_EQ(cell(dialog, "channelTable", 0, 1), "Наименование канала");
        EXPECT_EQ(cell(dialog, "channelTable", 30, 0), "Канал30");
        EXPECT_EQ(cell(dialog, "channelTable", 30, 1), "Ввод");
        EXPECT_EQ(cell(dialog, "channelTable", 30, 2), "0.89999");
        EXPECT_EQ(Child<QTableWidget>(dialog, "thresholdTable")->rowCount(), 31);
        EXPECT_EQ(cell(dialog, "thresholdTable", 0, 2), "Порог 2");
        EXPECT_EQ(cell(dialog, "thresholdTable", 30, 1), "-2");
        auto* link = Child<QListWidget>(dialog, "linkRelayChannels");
        ASSERT_EQ(link->count(), 30);
        EXPECT_EQ(Child<QListWidget>(dialog, "thresholdRelayChannels")->count(), 30);
        EXPECT_EQ(link->item(15)->text(), "Канал16");
        EXPECT_EQ(link->item(15)->checkState(), Qt::Checked);
        EXPECT_EQ(link->item(16)->checkState(), Qt::Unchecked);
        auto* function = Child<QComboBox>(dialog, "relayFunctionCombo2");
        EXPECT_EQ(function->count(), 22);
        EXPECT_EQ(function->itemText(21), "Функция22");
        EXPECT_EQ(function->currentText(), "Функция2");
        EXPECT_EQ(Child<QComboBox>(dialog, "parityCombo")->itemText(2), " нечет(odd)");
        EXPECT_EQ(Child<QLineEdit>(dialog, "addressEdit")->text(), "100");
        EXPECT_TRUE(Child<QLineEdit>(dialog, "thresholdEdit1")->isHidden());
        EXPECT_EQ(Child<QLineEdit>(dialog, "thresholdEdit1")->text(), "80");
        EXPECT_EQ(Child<QLineEdit>(dialog, "coefficientForAllEdit")->text(), "0.9");
        EXPECT_TRUE(Child<QLabel>(dialog, "progressPanel")->isHidden());
    });
    EXPECT_EQ(shown, dialog);
    // Closed without a write: neither the module nor mem.ini changed.
    EXPECT_EQ(simulator->lastRequest().at(1), 3);
    EXPECT_EQ(test::ReadBytes(dir.File("mem.ini")), iniBefore);
}

TEST_F(ModuleDialogTest, SecondGenerationChannelCountsAndEmptyBoxes) {
    for (const int type : {200, 215}) {
        SCOPED_TRACE(type);
        StartSimulator(type);
        simulator->setRegister(257, 7);
        simulator->setRegister(266, 0);
        simulator->setRegister(282, 23);
        Show();
        PollOnce();
        const int channels = type >= 210 ? 30 : 15;
        QWidget* shown = open([&] {
            EXPECT_EQ(Child<QTableWidget>(dialogNew, "channelTable")->rowCount(), channels + 1);
            for (const char* list : {"relayChannels1", "relayChannels2", "relayChannels3"}) {
                EXPECT_EQ(Child<QListWidget>(dialogNew, list)->count(), channels) << list;
            }
            for (const char* box : {"speedCombo1", "relayFunctionCombo1", "relayFunctionCombo2"}) {
                auto* combo = Child<QComboBox>(dialogNew, box);
                EXPECT_EQ(combo->currentIndex(), -1) << box;
                EXPECT_EQ(combo->currentText(), "") << box;
                EXPECT_EQ(combo->placeholderText(), "") << box;
            }
            EXPECT_EQ(Child<QComboBox>(dialogNew, "relayFunctionCombo3")->currentText(),
                      "Функция12");
            EXPECT_EQ(Child<QComboBox>(dialogNew, "relayLogicCombo1")->currentText(), "Позитивная");
            EXPECT_EQ(Child<QComboBox>(dialogNew, "speedCombo2")->currentText(), "115200");
            EXPECT_EQ(Child<QLineEdit>(dialogNew, "addressEdit2")->text(), "1");
            EXPECT_EQ(Child<QLineEdit>(dialogNew, "thresholdEdit2")->text(), "100");
        });
        EXPECT_EQ(shown, dialogNew);
        form.reset();
        simulator.reset();
    }
}

TEST_F(ModuleDialogTest, WriteButtonsShowSuccessOrOnlyTheError) {
    StartSimulator(205);
    Show();
    PollOnce();
    const std::string iniBefore = test::ReadBytes(dir.File("mem.ini"));
    open([&] {
        Child<QLineEdit>(dialogNew, "thresholdEdit1")->setText("-40");
        Child<QListWidget>(dialogNew, "relayChannels3")->item(14)->setCheckState(Qt::Checked);
        Child<QPushButton>(dialogNew, "writeRelaysButton")->click();
        Settle();
        EXPECT_EQ(boxes, std::vector<std::string>{"\u041E\u041A: Параметры реле записаны успешно"});
        EXPECT_TRUE(Child<QLabel>(dialogNew, "progressPanel")->isHidden());
        EXPECT_TRUE(form->session().pollTimer()->isActive()) << "the poll runs again after a write";
        form->session().pollTimer()->stop();

        boxes.clear();
        Child<QLineEdit>(dialogNew, "delayOffEdit2")->setText("0");
        Child<QPushButton>(dialogNew, "writeRelaysButton")->click();
        Settle();
        EXPECT_EQ(boxes, std::vector<std::string>{
                             "Ошибка: Некорректное значение параметра: Значение задержки на "
                             "отключение реле 2"});
        EXPECT_EQ(Child<QLineEdit>(dialogNew, "delayOffEdit2")->text(), "0");
        form->session().pollTimer()->stop();
    });
    EXPECT_EQ(simulator->registerValue(266 + 5), 0xFFD8);
    EXPECT_EQ(simulator->registerValue(298 + 4), 0x4007);
    EXPECT_EQ(test::ReadBytes(dir.File("mem.ini")), iniBefore) << "relay writes keep mem.ini";
}

TEST_F(ModuleDialogTest, ApplyToAllAndTheCoefficientButton) {
    StartSimulator(150);
    Show();
    PollOnce();
    const std::uint16_t before = simulator->registerValue(85);
    open([&] {
        Child<QLineEdit>(dialog, "coefficientForAllEdit")->setText("abc");
        Child<QPushButton>(dialog, "applyToAllButton")->click();
        for (int n = 1; n <= 15; ++n) EXPECT_EQ(cell(dialog, "channelTable", n, 2), "abc") << n;
        Child<QPushButton>(dialog, "writeCoefficientsButton")->click();
        Settle();
        EXPECT_EQ(boxes,
                  std::vector<std::string>{"Ошибка: Некорректное значение коэффицента канала 1"});

        boxes.clear();
        Child<QLineEdit>(dialog, "coefficientForAllEdit")->setText("0.5");
        Child<QPushButton>(dialog, "applyToAllButton")->click();
        Child<QTableWidget>(dialog, "channelTable")->item(2, 1)->setText("Печь 2");
        Child<QPushButton>(dialog, "writeCoefficientsButton")->click();
        Settle();
        EXPECT_EQ(boxes, std::vector<std::string>{"\u041E\u041A: Коэффициенты записаны успешно"});
        form->session().pollTimer()->stop();
    });
    EXPECT_NE(before, 32767);
    EXPECT_EQ(simulator->registerValue(85), 32767);
    EXPECT_EQ(simulator->registerValue(85 + 14), 32767);
    EXPECT_NE(test::ReadBytes(dir.File("mem.ini")).find("2=Печь 2"), std::string::npos);
}

TEST_F(ModuleDialogTest, LinkButtonMovesTheProgramToTheNewSettings) {
    StartSimulator(150);
    Show();
    PollOnce();
    open([&] {
        Child<QComboBox>(dialog, "speedCombo")->setCurrentIndex(-1);
        Child<QPushButton>(dialog, "writeLinkButton")->click();
        Settle();
        EXPECT_EQ(boxes, std::vector<std::string>{"Ошибка: Некорректное значение скорости"});
        boxes.clear();
        Child<QLineEdit>(dialog, "addressEdit")->setText("42");
        Child<QComboBox>(dialog, "speedCombo")->setCurrentIndex(3);
        Child<QComboBox>(dialog, "parityCombo")->setCurrentIndex(2);
        Child<QPushButton>(dialog, "writeLinkButton")->click();
        Settle();
        EXPECT_EQ(boxes,
                  std::vector<std::string>{"\u041E\u041A: Параметры связи записаны успешно"});
        form->session().pollTimer()->stop();
    });
    EXPECT_EQ(form->ini().readInteger("connect", "adr", 0), 42);
    EXPECT_EQ(form->ini().readInteger("connect", "speed", 0), 3);
    EXPECT_EQ(form->ini().readInteger("connect", "parity", 0), 2);
    form->session().pollTimer()->stop();
    PollOnce();
    EXPECT_EQ(form->statusPanel(0), "МОДУЛЬ НА СВЯЗИ");
    EXPECT_EQ(simulator->lineSpeed(), 57600);
}

// Enter in an edit box presses nothing: no button of either dialog is a default button.
TEST_F(ModuleDialogTest, EnterInAnEditBoxWritesNothing) {
    for (const int type : {150, 205}) {
        SCOPED_TRACE(type);
        StartSimulator(type);
        Show();
        PollOnce();
        std::size_t before = 0;
        QWidget* shown = open([&] {
            before = simulator->requestCount();  // after the loads
            auto* modal = QApplication::activeModalWidget();
            for (auto* button : modal->findChildren<QPushButton*>()) {
                EXPECT_FALSE(button->isDefault()) << button->objectName().toStdString();
            }
            auto* edit = Child<QLineEdit>(modal, type < 200 ? "hysteresisEdit" : "hysteresisEdit1");
            edit->setFocus();
            edit->setText("7");
            QTest::keyClick(edit, Qt::Key_Return);
            QTest::keyClick(edit, Qt::Key_Enter);
        });
        ASSERT_NE(shown, nullptr);
        EXPECT_TRUE(boxes.empty()) << ::testing::PrintToString(boxes);
        EXPECT_EQ(simulator->requestCount(), before);
        form.reset();
        simulator.reset();
    }
}

// A box waits for the user: neither the busy cursor nor the progress panel stays under it. A
// relay write for another module type than the fields were loaded for is refused.
TEST_F(ModuleDialogTest, ErrorBoxesAreNotBusyAndAnotherTypeIsRefused) {
    StartSimulator(205);
    Show();
    PollOnce();
    std::size_t before = 0;
    open([&] {
        before = simulator->requestCount();  // after the loads
        Child<QLineEdit>(dialogNew, "delayOffEdit2")->setText("0");
        Child<QPushButton>(dialogNew, "writeRelaysButton")->click();
        Settle();
        Child<QLineEdit>(dialogNew, "delayOffEdit2")->setText("5");
        form->session().link().setModuleType(215);  // a poll identified another module meanwhile
        Child<QPushButton>(dialogNew, "writeRelaysButton")->click();
        Settle();
        form->session().pollTimer()->stop();
    });
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1],
              "Ошибка: Тип модуля изменился после открытия окна (был 205, теперь 215): настройки "
              "реле не записаны. Откройте окно настроек модуля заново");
    EXPECT_EQ(busyAtBox, std::vector<bool>(2, false));
    EXPECT_EQ(simulator->requestCount(), before);
}

// The program closes while a coefficient write is on the line: the transaction under way
// ends, the rest of the write is not sent, no result or box follows, and mem.ini is stored.
TEST_F(ModuleDialogTest, ClosingTheProgramDuringAWriteEndsItAndStoresTheSettings) {
    StartSimulator(215);
    Show();
    PollOnce();
    const std::uint16_t untouched = simulator->registerValue(85 + 29);
    std::size_t atClose = 0;
    qint64 closeMs = -1;
    open([&] {
        Child<QLineEdit>(dialogNew, "coefficientForAllEdit")->setText("0.5");
        Child<QPushButton>(dialogNew, "applyToAllButton")->click();
        const std::size_t before = simulator->requestCount();
        Child<QPushButton>(dialogNew, "writeCoefficientsButton")->click();
        // Two channels in: 28 to go, about 8 s at the module's pace.
        QElapsedTimer clock;
        clock.start();
        while (simulator->requestCount() < before + 2 && clock.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        clock.restart();
        form->close();
        closeMs = clock.elapsed();
        atClose = simulator->requestCount();
    });
    EXPECT_GE(closeMs, 0);
    EXPECT_LT(closeMs, 2000);
    QCoreApplication::processEvents();
    EXPECT_LE(simulator->requestCount(), atClose + 1);  // the release of a pulse at most
    EXPECT_EQ(simulator->registerValue(85 + 29), untouched) << "the write went on";
    EXPECT_TRUE(boxes.empty()) << ::testing::PrintToString(boxes);
    const std::string saved = test::ReadBytes(dir.File("mem.ini"));
    EXPECT_NE(saved.find("update="), std::string::npos) << saved;
}

// A relay write is on the line: Escape and the close button leave the dialog open. The program
// ends after relay 1's block: relays 2 and 3 are not sent, and what was left is said on stderr
// and at the next start, in the status line.
TEST_F(ModuleDialogTest, ARelayWriteCutByTheProgramsEndSaysWhatItLeft) {
    StartSimulator(205);
    Show();
    PollOnce();
    LinkTiming timing = form->session().link().timing();
    timing.writeManyPauseMs = 1000;  // the module's real time to take a block
    form->session().link().setTiming(timing);
    std::array<std::uint16_t, 3> before{};
    for (int r = 0; r < 3; ++r) before[r] = simulator->registerValue(266 + 16 * r + 2);
    bool stayedOpen = false;
    testing::internal::CaptureStderr();
    open([&] {
        for (int r = 1; r <= 3; ++r) {
            Child<QLineEdit>(dialogNew, ("delayOnEdit" + std::to_string(r)).c_str())
                ->setText(QString::number(before[r - 1] + 7));
        }
        const std::size_t sent = simulator->requestCount();
        Child<QPushButton>(dialogNew, "writeRelaysButton")->click();
        QElapsedTimer clock;
        clock.start();
        // The module took relay 1's block and its reply is on the line: the program waits out
        // the module's time for a block before it reads it. (Only the block taken is not enough:
        // on a loaded machine the program may end before the reply comes, and then rightly
        // counts the block unwritten.)
        while ((simulator->requestCount() < sent + 1 || !simulator->idle()) &&
               clock.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        QTest::keyClick(dialogNew, Qt::Key_Escape);
        dialogNew->close();
        QCoreApplication::processEvents();
        stayedOpen = dialogNew->isVisible();
        form->close();
    });
    const std::string stderrText = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(simulator->registerValue(266 + 2), before[0] + 7);
    EXPECT_EQ(simulator->registerValue(282 + 2), before[1]);
    EXPECT_EQ(simulator->registerValue(298 + 2), before[2]);
    const std::string note =
        "Настройки реле 2, 3 не записаны в модуль: программа завершила работу во время записи";
    EXPECT_NE(stderrText.find(note), std::string::npos) << stderrText;
    EXPECT_NE(test::ReadBytes(dir.File("mem.ini")).find("unwritten=" + note), std::string::npos);

    form = std::make_unique<MainWindow>();
    form->show();
    auto* panel = form->findChild<QLabel*>("unwrittenPanel");
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->text().toStdString(), note);
    form->close();
    EXPECT_EQ(test::ReadBytes(dir.File("mem.ini")).find(note), std::string::npos)
        << "said once, at the next start only";
}

// "Настройки модуля" on a silent line, then the program settings 0.1 s later: the settings
// are refused while the module dialog's load is on the line, and no two dialogs stack.
TEST_F(ModuleDialogTest, NoOtherDialogOpensWhileAModuleDialogLoads) {
    StartSimulator(205);
    Show();
    PollOnce();
    simulator->setFault(sim::Fault::Silence);
    int modalsAtOnce = 0;
    bool moduleDialogShown = false;
    QElapsedTimer clock;
    clock.start();
    // Counts the modal windows; after 5 s, when every load is over, closes them one by one.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        int modals = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->isModal()) ++modals;
        }
        modalsAtOnce = std::max(modalsAtOnce, modals);
        moduleDialogShown = moduleDialogShown || dialogNew->isVisible();
        if (clock.elapsed() < 5000) return;
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            d->done(QDialog::Rejected);
        }
    });
    watch.start(20);
    form->openModuleSettings();
    QTimer::singleShot(100,
                       [&] { form->findChild<QPushButton*>("programSettingsButton")->click(); });
    while (clock.elapsed() < 8000 &&
           (clock.elapsed() < 5000 || QApplication::activeModalWidget() != nullptr)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    watch.stop();
    Settle();
    EXPECT_TRUE(moduleDialogShown);
    EXPECT_EQ(modalsAtOnce, 1);
}

}  // namespace
}  // namespace kvel
