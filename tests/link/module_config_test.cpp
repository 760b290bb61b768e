// The configuration rules without a line: conversions, texts and register encodings that the
// module settings operations build on.
#include "link/module_config.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/module_config_first.h"
#include "link/module_config_second.h"

namespace kvel {
namespace {

TEST(ModuleConfig, IntegerTexts) {
    struct Case {
        const char* text;
        bool ok;
        int value;
    };
    const Case cases[] = {
        {"5", true, 5},
        {" 17 ", true, 17},
        {"-40", true, -40},
        {"+3", true, 3},
        {"", false, 0},
        {"--", false, 0},
        {"1.5", false, 0},
        {"12a", false, 0},
        {"0x10", false, 0},
        {"- 4", false, 0},
        {"2147483648", false, 0},
        {"٣", false, 0},
        {"2147483647", true, 2147483647},
    };
    for (const Case& c : cases) {
        int value = 0;
        EXPECT_EQ(parseInteger(c.text, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
    EXPECT_TRUE(integerIn("1", 1, 247));
    EXPECT_TRUE(integerIn("247", 1, 247));
    EXPECT_FALSE(integerIn("248", 1, 247));
    EXPECT_FALSE(integerIn("0", 1, 247));
}

TEST(ModuleConfig, CoefficientTextsAndRegisters) {
    EXPECT_EQ(coefficientText(coefficientOfRegister(65535)), "1.00000");
    EXPECT_EQ(coefficientText(coefficientOfRegister(58981)), "0.89999");
    EXPECT_EQ(coefficientText(coefficientOfRegister(0)), "0.00000");
    EXPECT_EQ(coefficientRegister(0.9), 58981);
    EXPECT_EQ(coefficientRegister(1), 65535);
    EXPECT_EQ(coefficientRegister(0), 0);
    EXPECT_EQ(coefficientRegister(0.5), 32767);
    // What is shown reads back as the register it came from, for every register value.
    for (int v = 0; v <= 65535; v += 97) {
        double c = 0;
        ASSERT_TRUE(parseCoefficient(coefficientText(coefficientOfRegister(v)), c));
        EXPECT_NEAR(coefficientRegister(c), v, 1) << v;
    }

    ChannelTable table{std::vector<std::string>(3), {"1", "0", " 0.25 "}};
    EXPECT_EQ(validateCoefficients(table, 3), std::nullopt);
    for (const char* bad : {"nan", "inf", "-inf", "1e400", "1.0000001", "-0.0001", "0,5", ""}) {
        table.coeffs[1] = bad;
        EXPECT_EQ(validateCoefficients(table, 3).value_or(FieldRefusal{}).text(),
                  "Некорректное значение коэффицента канала 2")
            << bad;
    }
    table.coeffs[1] = "1e-1";
    EXPECT_EQ(validateCoefficients(table, 3), std::nullopt);
}

TEST(ModuleConfig, ChoicesOfRegisters) {
    EXPECT_EQ(choiceOfIndex(4, kSpeedItemCount).index, 4);
    EXPECT_EQ(choiceOfIndex(5, kSpeedItemCount).index, -1);
    EXPECT_EQ(choiceOfIndex(7, kSpeedItemCount).index, -1);
    EXPECT_EQ(choiceOfFunction(1).index, 0);
    EXPECT_EQ(choiceOfFunction(22).index, 21);
    EXPECT_EQ(choiceOfFunction(0).index, -1);
    EXPECT_EQ(choiceOfFunction(23).index, -1);
    EXPECT_EQ(functionOfChoice(Choice{-1, true}), 0);
    EXPECT_EQ(functionOfChoice(Choice{21, false}), 22);
}

TEST(ModuleConfig, FirstGenerationPairsAndMasks) {
    std::vector<bool> checks(30, false);
    checks[14] = checks[15] = checks[29] = true;
    EXPECT_EQ(packBindingPair(checks, 30), (std::array<std::uint16_t, 2>{0x4000, 0x4001}));
    EXPECT_EQ(packBindingPair(checks, 15), (std::array<std::uint16_t, 2>{0x4000, 0}));

    FirstGenFields f;
    f.thres1 = "-1";
    f.thres2 = "65535";
    f.delayOn = "1";
    f.delayOff = "255";
    f.relayFunction = {Choice{0, false}, Choice{-1, true}, Choice{21, false}};
    f.link = checks;
    f.thres = std::vector<bool>(30, true);
    f.relSens = {"0", "1", "500"};
    f.hyst = "100";
    const auto block = encodeSettingsBlock(f);
    EXPECT_EQ(block, (std::array<std::uint16_t, 15>{0xFFFF, 65535, 1, 255, 0, 1, 0, 22, 0, 0x4000,
                                                    0x7FFF, 0, 1, 500, 100}));
    EXPECT_EQ(encodeThresholdColumn({"-32768", "7"}, 2), (std::vector<std::uint16_t>{0x8000, 7}));
}

TEST(ModuleConfig, SecondGenerationBlocks) {
    SecondGenRelayFields relay;
    relay.function = Choice{4, false};
    relay.logic = Choice{1, false};
    relay.delayOn = "2";
    relay.delayOff = "3";
    relay.thres = "-40";
    relay.hyst = "500";
    relay.binding = std::vector<bool>(30, false);
    relay.binding[0] = relay.binding[16] = relay.binding[29] = true;
    EXPECT_EQ(encodeRelayBlockNew(relay, 215, 30),
              (std::vector<std::uint16_t>{5, 1, 2, 3, 1, 0xFFD8, 500, 0x2001}));
    relay.binding.resize(15);
    EXPECT_EQ(encodeRelayBlockNew(relay, 205, 15),
              (std::vector<std::uint16_t>{5, 1, 2, 3, 1, 0xFFD8, 500}));

    const std::uint16_t read[8] = {5, 1, 2, 3, 0x8001, 0xFFD8, 0xFFFF, 0x2001};
    SecondGenRelayFields back;
    fillRelayNew(back, read, 215, 30);
    EXPECT_EQ(back.thres, "-40");
    EXPECT_EQ(back.hyst, "-1");
    EXPECT_TRUE(back.binding[15]);
    EXPECT_TRUE(back.binding[16]);
    EXPECT_TRUE(back.binding[29]);
    fillRelayNew(back, read, 205, 15);
    EXPECT_EQ(back.binding.size(), 15u);
    EXPECT_FALSE(back.binding[14]);

    SecondGenFields f;
    f.adr1 = "1";
    f.adr2 = "247";
    f.speed1 = Choice{4, false};
    f.parity1 = Choice{0, false};
    f.speed2 = Choice{0, false};
    f.parity2 = Choice{2, false};
    EXPECT_EQ(validateLinkSettingsNew(f), std::nullopt);
    EXPECT_EQ(encodeLinkSettingsNew(f), (std::array<std::uint16_t, 8>{1, 4, 0, 0, 0, 247, 0, 2}));
    f.parity1 = Choice{-1, false};
    EXPECT_EQ(validateLinkSettingsNew(f).value_or(FieldRefusal{}).text(),
              "Некорректное значение паритета MB1");
}

}  // namespace
}  // namespace kvel
