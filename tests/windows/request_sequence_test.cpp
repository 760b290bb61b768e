// The requests each operation of the windows puts on the line, byte for byte, against the ones
// kept in golden/request_sequences.txt: moving the exchanges elsewhere must not change what the
// module receives. KVEL_RECORD_GOLDEN=1 writes that file from what the code sends instead.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "link/traffic_format.h"
#include "tests/common/main_window_fixture.h"
#include "windows/cabinet_window.h"
#include "windows/module_generation_dialogs.h"

namespace kvel {
namespace {

using Requests = std::vector<std::string>;

bool recording() {
    const char* value = std::getenv("KVEL_RECORD_GOLDEN");
    return value != nullptr && std::string(value) == "1";
}

// Blocks "[name]", each followed by its requests, one per line in hex; '#' starts a comment.
class GoldenFile {
  public:
    static GoldenFile& instance() {
        static GoldenFile file(KVEL_GOLDEN_FILE);
        return file;
    }
    const Requests* find(const std::string& name) const {
        for (const auto& [key, requests] : blocks_) {
            if (key == name) return &requests;
        }
        return nullptr;
    }
    // Replaces or adds the block and rewrites the whole file; other blocks stay as they were.
    void store(const std::string& name, const Requests& requests) {
        auto known = std::find_if(blocks_.begin(), blocks_.end(),
                                  [&](const auto& block) { return block.first == name; });
        if (known != blocks_.end()) {
            known->second = requests;
        } else {
            blocks_.emplace_back(name, requests);
        }
        const std::string temporary = path_ + ".new";
        {
            std::ofstream out(temporary, std::ios::trunc);
            out << "# Requests of each operation, recorded by request_sequence_test with\n"
                   "# KVEL_RECORD_GOLDEN=1; one request frame (with its CRC) per line.\n";
            for (const auto& [key, lines] : blocks_) {
                out << "\n[" << key << "]\n";
                for (const std::string& line : lines) out << line << '\n';
            }
            ASSERT_TRUE(out.good()) << temporary;
        }
        ASSERT_EQ(std::rename(temporary.c_str(), path_.c_str()), 0) << path_;
    }

  private:
    explicit GoldenFile(std::string path) : path_(std::move(path)) {
        std::ifstream in(path_);
        std::string line;
        while (std::getline(in, line)) {
            if (line.empty() || line[0] == '#') continue;
            if (line.front() == '[' && line.back() == ']') {
                blocks_.emplace_back(line.substr(1, line.size() - 2), Requests{});
            } else if (!blocks_.empty()) {
                blocks_.back().second.push_back(line);
            }
        }
    }
    std::string path_;
    std::vector<std::pair<std::string, Requests>> blocks_;
};

// Long enough never to fire within a test: polls and cabinet refreshes run when a test asks.
constexpr int kNeverSeconds = 100000;

class RequestSequenceTest : public test::MainWindowFixture {
  protected:
    void BeforeShow() override {
        // Short pauses change no byte; the first generation's link write keeps its pause, which
        // gives the module time to take its new settings.
        form->session().link().setTiming({10, 10, 10, 250, 10, 10, 1000});
        // A pulse ends well within the wait for one too many requests, and within each wait of
        // the test cycle (a second of 100 ms).
        form->session().cabinet().setTiming({20, 10, 50, kNeverSeconds * 1000, 100});
        host = form->cabinetWindow();
        dialog = form->firstGenDialog();
        dialogNew = form->secondGenDialog();
    }
    void Show(int type, const std::string& extra = "") {
        StartSimulator(type);
        WriteIni(port() + extra + "[measure]\nperiod=" + std::to_string(kNeverSeconds) + "\n");
        MainWindowFixture::Show();
    }

    // The one reader of the traffic tap: the requests of its transactions from `first` on.
    Requests requestsSince(std::size_t first) const {
        const TrafficTap& tap = form->session().link().traffic();
        Requests requests;
        for (std::size_t i = first; i < tap.size(); ++i) {
            const std::vector<std::uint8_t>& bytes = tap.at(i).request;
            requests.push_back(hexBytes(bytes.data(), bytes.size()));
        }
        return requests;
    }
    std::size_t mark() const { return requestsSince(0).size(); }

    // The one wait: runs the event loop until `count` requests from `first` on are in, then a
    // little longer (beyond a pulse's end) to catch one too many. Recording (count < 0) waits for
    // the line to go quiet.
    Requests waitForRequests(std::size_t first, int count) {
        QElapsedTimer clock, quiet;
        clock.start();
        quiet.start();
        std::size_t seen = requestsSince(first).size();
        while (clock.elapsed() < 15000) {
            const std::size_t now = requestsSince(first).size();
            if (now != seen) quiet.restart();
            seen = now;
            if (count >= 0 ? now >= static_cast<std::size_t>(count) : quiet.elapsed() >= 1000) {
                break;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        for (clock.restart(); clock.elapsed() < 200;) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return requestsSince(first);
    }

    // The operation `name`, begun when the tap held `first` transactions, against its block.
    void expectSequence(const std::string& name, std::size_t first) {
        SCOPED_TRACE(name);
        GoldenFile& golden = GoldenFile::instance();
        if (recording()) {
            const Requests actual = waitForRequests(first, -1);
            EXPECT_FALSE(actual.empty());
            golden.store(name, actual);
            return;
        }
        const Requests* expected = golden.find(name);
        ASSERT_NE(expected, nullptr) << "no block [" << name << "] in " << KVEL_GOLDEN_FILE
                                     << ": record it with KVEL_RECORD_GOLDEN=1";
        EXPECT_EQ(waitForRequests(first, static_cast<int>(expected->size())), *expected);
    }
    void pollAndExpect(const std::string& name) {
        const std::size_t first = mark();
        form->pollModule();
        expectSequence(name, first);
        form->session().pollTimer()->stop();
    }
    // Opens the module dialog of the module's generation; `inside` runs while it is shown.
    void withModuleDialog(const std::string& name, const std::function<void(QWidget*)>& inside) {
        const std::size_t first = mark();
        WithModuleDialog([&](QWidget* shown) {
            expectSequence(name + ".load", first);
            inside(shown);
        });
        form->session().pollTimer()->stop();
    }
    // Presses a dialog's write button and checks the requests it caused.
    void click(QWidget* parent, const char* button, const std::string& name) {
        const std::size_t first = mark();
        auto* widget = parent->findChild<QPushButton*>(button);
        ASSERT_NE(widget, nullptr) << button;
        widget->click();
        expectSequence(name, first);
        Settle();
        form->session().pollTimer()->stop();
    }
    template <class W>
    static W* child(QWidget* parent, const char* name) {
        W* widget = parent->findChild<W*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    static void setCoefficient(QWidget* dialog, int channel, const char* text) {
        child<QTableWidget>(dialog, "channelTable")->item(channel, 2)->setText(text);
    }

    FirstGenModuleDialog* dialog = nullptr;
    SecondGenModuleDialog* dialogNew = nullptr;
    CabinetWindow* host = nullptr;
};

TEST_F(RequestSequenceTest, PollsOfANewConnectionAndOfASilentModule) {
    Show(215);
    pollAndExpect("poll.first");
    pollAndExpect("poll.second");
    simulator->setFault(sim::Fault::Silence);
    pollAndExpect("poll.silent");
    pollAndExpect("poll.silentAgain");
    simulator->setFault(sim::Fault::None);
    pollAndExpect("poll.answeringAgain");
    EXPECT_EQ(form->statusPanel(0), "МОДУЛЬ НА СВЯЗИ");
}

TEST_F(RequestSequenceTest, FirstGenerationDialogLoadAndWrites) {
    Show(220);
    pollAndExpect("first.poll");
    withModuleDialog("first", [&](QWidget* shown) {
        ASSERT_EQ(shown, dialog);
        setCoefficient(shown, 2, "0.5");
        setCoefficient(shown, 7, "0.25");
        setCoefficient(shown, 30, "1");
        click(shown, "writeCoefficientsButton", "first.coefficients");
        child<QLineEdit>(shown, "hysteresisEdit")->setText("7");
        child<QTableWidget>(shown, "thresholdTable")->item(3, 1)->setText("55");
        child<QListWidget>(shown, "linkRelayChannels")->item(20)->setCheckState(Qt::Checked);
        click(shown, "writeRelaysButton", "first.relays");
        child<QLineEdit>(shown, "addressEdit")->setText("42");
        child<QComboBox>(shown, "speedCombo")->setCurrentIndex(3);
        child<QComboBox>(shown, "parityCombo")->setCurrentIndex(2);
        click(shown, "writeLinkButton", "first.link");
    });
    pollAndExpect("first.pollAfterLink");
    EXPECT_EQ(boxes, (std::vector<std::string>{"\u041E\u041A: Коэффициенты записаны успешно",
                                               "\u041E\u041A: Параметры реле записаны успешно",
                                               "\u041E\u041A: Параметры связи записаны успешно"}));
    EXPECT_EQ(form->statusPanel(0), "МОДУЛЬ НА СВЯЗИ");
}

TEST_F(RequestSequenceTest, SecondGenerationDialogLoadAndWrites) {
    Show(215);
    pollAndExpect("second.poll");
    withModuleDialog("second", [&](QWidget* shown) {
        ASSERT_EQ(shown, dialogNew);
        setCoefficient(shown, 1, "0.75");
        setCoefficient(shown, 16, "0.5");
        click(shown, "writeCoefficientsButton", "second.coefficients");
        child<QLineEdit>(shown, "thresholdEdit1")->setText("-40");
        child<QListWidget>(shown, "relayChannels3")->item(14)->setCheckState(Qt::Checked);
        click(shown, "writeRelaysButton", "second.relays");
        child<QLineEdit>(shown, "addressEdit1")->setText("42");
        child<QComboBox>(shown, "speedCombo2")->setCurrentIndex(2);
        click(shown, "writeLinkButton", "second.link");
    });
    pollAndExpect("second.pollAfterLink");
    EXPECT_EQ(boxes, (std::vector<std::string>{"\u041E\u041A: Коэффициенты записаны успешно",
                                               "\u041E\u041A: Параметры реле записаны успешно",
                                               "\u041E\u041A: Параметры связи записаны успешно"}));
    EXPECT_EQ(form->statusPanel(0), "МОДУЛЬ НА СВЯЗИ");
}

TEST_F(RequestSequenceTest, CabinetCommandSignalRefreshAndTestCycle) {
    Show(215, "host=1\n[panels]\nШкаф 1=1\nШкаф 2=2\n[time]\nve=3\nvv=1\nzr=2\nall=0\n");
    pollAndExpect("cabinet.poll");
    host->show();
    std::size_t first = mark();
    host->commandButton(3)->click();  // its pulse ends by the pulse timer
    expectSequence("cabinet.command", first);
    first = mark();
    host->signalButton(2)->click();
    expectSequence("cabinet.signal", first);
    first = mark();
    form->session().cabinet().refreshCabinet();  // the refresh timer's tick
    expectSequence("cabinet.refresh", first);

    host->mnemoRadio()->click();
    first = mark();
    host->cyclesOnButton()->click();
    expectSequence("cabinet.testCycle", first);
    EXPECT_FALSE(host->cycle()->cycling());
    EXPECT_TRUE(boxes.empty()) << ::testing::PrintToString(boxes);
}

}  // namespace
}  // namespace kvel
