// "Найти модуль…" of the program settings dialog against the simulator at its own settings.
#include "windows/scan_dialog.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "core/link_thread.h"
#include "link/module_link.h"
#include "sim/simulator.h"
#include "tests/common/link_thread_drain.h"
#include "windows/program_settings_dialog.h"

namespace kvel {
namespace {

class ScanDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sim::SimOptions options;
        options.address = 17;
        options.speedIndex = 3;
        options.parityIndex = 2;
        options.drift = false;
        options.link = "/tmp/kvel-scan-dialog-" + std::to_string(::getpid());
        simulator = std::make_unique<sim::Simulator>(options);
        ASSERT_TRUE(simulator->start()) << simulator->errorText();
        SettingsForm form;
        form.address = "12";
        form.port = simulator->devicePath();
        dialog.setFields(form);
        dialog.attachLine(&thread, &link);
        dialog.setScanSpace({10, 20, {0, 3}, {0, 2}});
        QObject::connect(&dialog, &ProgramSettingsDialog::lineTaken, [this] { ++taken; });
        QObject::connect(&dialog, &ProgramSettingsDialog::lineReleased, [this] { ++released; });
    }
    // A scan left running by a failed test ends before the link thread waits for it.
    void TearDown() override { link.closing().set(); }
    // A module that answers nothing, on the whole line: a scan that would take minutes.
    ScanDialog* StartLongScan() {
        simulator->setFault(sim::Fault::Silence);
        dialog.setScanSpace(ScanSpace{});
        ScanDialog* scan = dialog.findModule();
        QTest::qWait(150);
        return scan;
    }

    std::unique_ptr<sim::Simulator> simulator;
    ModuleLink link;
    LinkThread thread{link.closing()};
    ProgramSettingsDialog dialog;
    int taken = 0;
    int released = 0;
};

TEST_F(ScanDialogTest, FoundModuleFillsPortFieldsWithEnter) {
    ScanDialog* scan = dialog.findModule();
    ASSERT_NE(scan, nullptr);
    EXPECT_EQ(taken, 1);
    EXPECT_EQ(dialog.findModule(), nullptr);  // one scan at a time
    ASSERT_TRUE(test::DrainLinkThread(thread, 20000));
    EXPECT_EQ(released, 1);
    ASSERT_EQ(scan->foundList()->rowCount(), 1);
    EXPECT_EQ(scan->foundList()->item(0, 0)->text(), "17");
    EXPECT_EQ(scan->foundList()->item(0, 3)->text(), "215");
    EXPECT_EQ(scan->foundList()->item(0, 4)->text(), "103");
    EXPECT_TRUE(scan->applyButton()->isEnabled());
    QTest::keyClick(scan, Qt::Key_Return);
    const SettingsForm form = dialog.fields();
    EXPECT_EQ(form.address, "17");
    EXPECT_EQ(form.port, simulator->devicePath());
    EXPECT_EQ(form.speedIndex, 3);
    EXPECT_EQ(form.parityIndex, 2);
    for (const TrafficRecord& r : link.traffic().records()) EXPECT_EQ(r.function, 3);
    EXPECT_FALSE(link.port().isOpen());  // the poll opens it afresh with the stored settings
}

TEST_F(ScanDialogTest, EscapeStopsScanAndChangesNothing) {
    ScanDialog* scan = StartLongScan();
    ASSERT_NE(scan, nullptr);
    QTest::keyClick(scan, Qt::Key_Return);  // nothing chosen: Enter does nothing
    EXPECT_TRUE(scan->isVisible());
    QTest::keyClick(scan, Qt::Key_Escape);
    EXPECT_FALSE(scan->isVisible());
    ASSERT_TRUE(test::DrainLinkThread(thread, 2000));  // within a probe, not minutes
    EXPECT_EQ(released, 1);
    EXPECT_EQ(dialog.fields().address, "12");
    EXPECT_EQ(dialog.fields().speedIndex, 0);
}

TEST_F(ScanDialogTest, CancelStopsScanThenCloses) {
    ScanDialog* scan = StartLongScan();
    ASSERT_NE(scan, nullptr);
    scan->cancelButton()->click();
    ASSERT_TRUE(test::DrainLinkThread(thread, 2000));
    EXPECT_TRUE(scan->isVisible());
    EXPECT_EQ(scan->stateLabel()->text(), "Поиск остановлен");
    scan->cancelButton()->click();
    EXPECT_FALSE(scan->isVisible());
}

}  // namespace
}  // namespace kvel
