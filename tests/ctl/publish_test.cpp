// Publishing's own units: the settings it refuses, and the topics and JSON of a poll.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/publish_settings.h"
#include "core/publish_topics.h"
#include "core/settings_form.h"
#include "tests/common/shell.h"

namespace kvel::test {
namespace {

TEST(PublishSettings, AddressesAndValuesThatCannotWorkAreRefusedWithTheReason) {
    std::string error;
    EXPECT_EQ(parseHostPort("broker", "localhost", 1883, error), (HostPort{"broker", 1883}));
    EXPECT_EQ(parseHostPort("[::1]:8883", "", 1883, error), (HostPort{"::1", 8883}));
    EXPECT_EQ(parseHostPort("9108", "127.0.0.1", 0, error), (HostPort{"127.0.0.1", 9108}));
    EXPECT_EQ(parseHostPort(":9108", "127.0.0.1", 0, error), (HostPort{"127.0.0.1", 9108}));
    for (const char* bad : {"host:0", "host:65536", "host:x", "::1:1883", "[::1", "host:"}) {
        error.clear();
        EXPECT_FALSE(parseHostPort(bad, "localhost", 1883, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
    // The endpoint has no default port: "host" alone says nothing of where to listen.
    EXPECT_FALSE(parseHostPort("0.0.0.0", "127.0.0.1", 0, error));

    const auto folder =
        std::filesystem::temp_directory_path() / ("kvel-publish-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string ini = (folder / "mem.ini").string();
    std::ofstream(folder / "secret") << "s3cret\r\nignored\n";
    std::ofstream(ini) << "[publish]\nmqtt=broker\nmetrics=9108\nuser=u\npassword_file="
                       << (folder / "secret").string() << "\n";
    const auto s = readPublishSettings(MemIni(ini), {}, error);
    ASSERT_TRUE(s) << error;
    EXPECT_EQ(s->password, "s3cret");
    EXPECT_EQ(s->prefix, "kvelview");
    EXPECT_EQ(s->name, hostName());
    EXPECT_EQ(s->metrics, (HostPort{"127.0.0.1", 9108}));
    // The options win over the file.
    const auto o = readPublishSettings(MemIni(ini), {"other:1884", "line2", ""}, error);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->mqtt, (HostPort{"other", 1884}));
    EXPECT_EQ(o->name, "line2");

    const std::pair<std::string, std::string> refused[] = {
        {"[publish]\nmqtt=b\nname=a/b\n", "name"},
        {"[publish]\nmqtt=b\nprefix=x#\n", "prefix"},
        {"[publish]\nmqtt=b\nuser=u\npassword_file=/nonexistent\n", "password_file"},
        {"[publish]\nmqtt=b\npassword_file=" + (folder / "secret").string() + "\n",
         "password_file"},
        {"[publish]\nmqtt=b\ntls_ca=/nonexistent\n", "tls_ca"},
        {"[publish]\nmetrics=host:99999\n", "metrics"}};
    for (const auto& [text, key] : refused) {
        std::ofstream(ini) << text;
        error.clear();
        EXPECT_FALSE(readPublishSettings(MemIni(ini), {}, error)) << text;
        EXPECT_EQ(error.rfind(key + ": ", 0), 0u) << error;
    }
    RemoveTree(folder);
}

TEST(PublishTopics, APollWithoutLinkAndNamesThatNeedEscapes) {
    PollSnapshot s;
    s.channelCount = 2;
    s.names = {"a\"b\\c\nd", "Канал 2"};
    s.readings.at = 1765162800;  // 2025-12-08T03:00:00Z
    s.utcOffsetSeconds = -(3 * 3600 + 30 * 60);
    s.readings.linkUp = true;
    s.readings.channels = {-12.345, std::nullopt};
    s.relays = {true, false, true};
    const auto up = pollMessages("p/n", s);
    ASSERT_EQ(up.size(), 1u + 2u + 3u + 1u);
    EXPECT_EQ(up[0], (TopicMessage{"p/n/link", "up"}));
    EXPECT_EQ(up[1], (TopicMessage{"p/n/channel/1", "-12.35"}));
    EXPECT_EQ(up[2], (TopicMessage{"p/n/channel/2", ""}));
    EXPECT_EQ(up[3], (TopicMessage{"p/n/relay/1", "1"}));
    EXPECT_EQ(up[6].first, "p/n/poll");
    EXPECT_EQ(up[6].second,
              "{\"time\":\"2025-12-07T23:30:00-03:30\",\"link\":\"up\",\"channels\":["
              "{\"channel\":1,\"name\":\"a\\\"b\\\\c\\u000ad\",\"value\":-12.35},"
              "{\"channel\":2,\"name\":\"Канал 2\",\"value\":null}],\"relays\":[1,0,1]}");

    // The link lost: every channel is empty, whatever it read before.
    s.readings.linkUp = false;
    s.readings.channels.clear();
    const auto down = pollMessages("p/n", s);
    EXPECT_EQ(down[0].second, "down");
    EXPECT_EQ(down[1].second, "");
    EXPECT_NE(down[6].second.find("\"value\":null},{"), std::string::npos);
    EXPECT_EQ(isoTime(0, 5 * 3600 + 45 * 60), "1970-01-01T05:45:00+05:45");
}

// The program settings dialog's fields reach what publishing reads; a bad one is refused.
TEST(PublishSettings, TheSettingsDialogsFieldsAreCheckedAndStored) {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("kvel-publish-form-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    MemIni ini((folder / "mem.ini").string());
    SettingsForm form = loadSettingsForm(ini, 15);
    ASSERT_EQ(validateSettingsForm(form), "");
    storeDisplaySettings(form, ini);
    EXPECT_TRUE(ini.readSection("publish").empty()) << "nothing set, nothing written";

    form.publishMqtt = "broker:99999";
    EXPECT_EQ(validateSettingsForm(form).rfind("Некорректный адрес брокера MQTT", 0), 0u);
    form.publishMqtt = "broker:1884";
    form.publishName = "a/b";
    EXPECT_EQ(validateSettingsForm(form), "Имя для публикации не может содержать символы / + #");
    form.publishName = "line7";
    form.publishMetrics = "host";
    EXPECT_EQ(validateSettingsForm(form).rfind("Некорректный адрес для Prometheus", 0), 0u);
    form.publishMetrics = "9108";
    ASSERT_EQ(validateSettingsForm(form), "");
    storeDisplaySettings(form, ini);
    std::string error;
    const auto s = readPublishSettings(ini, {}, error);
    ASSERT_TRUE(s) << error;
    EXPECT_EQ(s->mqtt, (HostPort{"broker", 1884}));
    EXPECT_EQ(s->name, "line7");
    EXPECT_EQ(s->metrics, (HostPort{"127.0.0.1", 9108}));
    RemoveTree(folder);
}

}  // namespace
}  // namespace kvel::test
