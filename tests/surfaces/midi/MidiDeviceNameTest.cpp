#include "surfaces/midi/MidiTransport.h"

#include <gtest/gtest.h>

using namespace orinsub::surfaces::midi;

TEST(MidiDeviceName, EverySystemsNameReadsBackAndABadOneNamesEveryForm)
{
    for (const MidiSystem &system : MidiSystems()) {
        const MidiDeviceName device{system.backend, QStringLiteral("Box: faders")};
        QString error;
        const std::optional<MidiDeviceName> read = MidiDeviceName::Parse(device.Text(), error);
        ASSERT_TRUE(read) << error.toStdString();
        EXPECT_EQ(read->backend, system.backend);
        EXPECT_EQ(read->name, device.name);
    }
    for (const char *bad : {"usb:nano", "jack:", "jack: ", "JACK:box", "alsa", ""}) {
        QString error;
        EXPECT_FALSE(MidiDeviceName::Parse(QString::fromUtf8(bad), error)) << bad;
        for (const MidiSystem &system : MidiSystems())
            EXPECT_TRUE(error.contains(QLatin1StringView(system.prefix) + u':')) << bad;
    }
}
