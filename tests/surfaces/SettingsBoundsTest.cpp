#include "FakeDesk.h"
#include "model/SettingsReader.h"
#include "support/PrivateSettings.h"
#include "support/TempFiles.h"
#include "surfaces/ControlLayer.h"
#include "surfaces/midi/MidiSurfaceHost.h"
#include "surfaces/osc/OscStart.h"
#include "surfaces/web/RemoteSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <functional>
#include <gtest/gtest.h>

namespace {

using namespace orinsub;
using surfaces::midi::MidiSettings;
using surfaces::web::RemoteSettings;

// Each value the surfaces read from the settings, damaged as an editor or a disk may leave it:
// one line names it, and the surface goes on with its default.
class SettingsBoundsTest : public ::testing::Test
{
protected:
    SettingsBoundsTest()
    {
        QCoreApplication::setOrganizationName("OrinSUB");
        QCoreApplication::setApplicationName("OrinSUB");
        model::SettingsReader::SetReport([this](const QString &line) { lines << line; });
    }
    ~SettingsBoundsTest() override { model::SettingsReader::SetReport(nullptr); }

    void WriteSettings(const QByteArray &text)
    {
        QDir().mkpath(QFileInfo(QSettings().fileName()).path());
        ASSERT_TRUE(orinsub::testing::WriteFile(QSettings().fileName(), text));
    }

    orinsub::testing::PrivateSettings store;
    QStringList lines;
};

TEST_F(SettingsBoundsTest, EachDamagedValueIsToldAndItsDefaultUsed)
{
    orinsub::testing::FakeDesk desk;
    surfaces::ControlLayer layer(desk);
    const auto startOsc = [&] {
        QString error;
        const uint16_t free =
            surfaces::osc::OscServer::Open({0x7f000001, 0}, error)->LocalEndpoint().port;
        QStringList problems;
        EXPECT_TRUE(surfaces::osc::StartOscSurface(layer, QString::number(free), problems));
    };
    const auto remote = [](const std::function<bool(const RemoteSettings &)> &isDefault) {
        return [isDefault] { EXPECT_TRUE(isDefault(RemoteSettings::Load())); };
    };
    const auto midi = [] {
        QSettings settings;
        const MidiSettings loaded = MidiSettings::Load(settings);
        EXPECT_TRUE(loaded.device.isEmpty());
        EXPECT_EQ(loaded.mapping, MidiSettings{}.mapping);
    };
    const QByteArray longText(100, 'x');
    const struct
    {
        QByteArray ini;
        const char *key;
        std::function<void()> load;
    } cases[] = {
        {"[Remote]\nEnabled=maybe", "Remote/Enabled",
         remote([](const RemoteSettings &s) { return !s.enabled; })},
        {"[Remote]\nEndpoint=" + longText, "Remote/Endpoint",
         remote([](const RemoteSettings &s) { return s.endpoint == RemoteSettings{}.endpoint; })},
        {"[Remote]\nPairingAlways=2", "Remote/PairingAlways",
         remote([](const RemoteSettings &s) { return !s.pairingAlways; })},
        {"[RemoteDevices]\nsize=2147483647", "RemoteDevices/size",
         [] { EXPECT_TRUE(RemoteSettings::LoadDevices().empty()); }},
        {"[RemoteDevices]\nsize=1\n1\\Hash=@ByteArray(" + longText + ")", "RemoteDevices/1/Hash",
         [] { EXPECT_TRUE(RemoteSettings::LoadDevices().empty()); }},
        {"[OSC]\nReplyTo=" + QByteArray("127.0.0.1:9000, ").repeated(40), "OSC/ReplyTo", startOsc},
        {"[OSC]\nPickUp=sometimes", "OSC/PickUp", startOsc},
        {"[MIDI]\nDevice=usb:faders", "MIDI/Device", midi},
        {"[MIDI]\nMapping=\"{\\\"profile\\\": 7}\"", "MIDI/Mapping", midi},
    };
    for (const auto &c : cases) {
        lines.clear();
        WriteSettings(c.ini);
        c.load();
        EXPECT_EQ(lines.size(), 1) << c.key << ": " << lines.join('\n').toStdString();
        EXPECT_TRUE(lines.value(0).contains(c.key)) << lines.value(0).toStdString();
    }
}

} // namespace
