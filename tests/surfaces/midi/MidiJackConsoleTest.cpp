#include "JackBoxTest.h"
#include "app/SurfaceSettingsDialog.h"
#include "support/ScratchConfigHome.h"
#include "surfaces/RecordingSurface.h"
#include "surfaces/midi/MidiSurfaceHost.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTest>

using namespace orinsub;
using namespace orinsub::surfaces::midi;
using orinsub::testing::JackTestBox;
using orinsub::testing::JackTestServer;
using orinsub::testing::T;
using Bytes = std::vector<uint8_t>;

namespace {

/// The console with its control layer, a fader box on a private JACK server, and the MIDI
/// surface host opened on the box.
class MidiJackConsole : public orinsub::testing::JackBoxTest<orinsub::testing::LayerTest>
{
protected:
    void SetUp() override
    {
        JackBoxTest::SetUp();
        if (IsSkipped())
            return;
        host = std::make_unique<MidiSurfaceHost>(*layer);
    }
    void TearDown() override { host.reset(); }

    void Open(MidiMapping mapping)
    {
        QString error;
        host->Configure(MidiDeviceName::Parse(QStringLiteral("jack:testbox"), error), mapping);
        // A busy server may answer the first look late: the next looks find the box.
        ASSERT_TRUE(QTest::qWaitFor([&] { return host->Port()->IsConnected(); }, 3000));
        JackTestServer::LetConnectionsSettle();
        box->Received();
    }
    /// Whether the box received every wanted message within 5 s.
    bool Receives(const std::vector<Bytes> &wanted)
    {
        std::vector<Bytes> got;
        return QTest::qWaitFor([&] {
            for (auto &m : box->Received())
                got.push_back(m);
            return std::all_of(wanted.begin(), wanted.end(), [&](const Bytes &w) {
                return std::find(got.begin(), got.end(), w) != got.end();
            });
        });
    }

    orinsub::testing::ScratchConfigHome config;
    std::unique_ptr<MidiSurfaceHost> host;
};

} // namespace

// The box's messages play the desk, the desk's changes come back to the box, the status line
// follows an unplug, and the replugged box gets every value again.
TEST_F(MidiJackConsole, PlaysTheDeskHearsItsChangesAndSurvivesAnUnplug)
{
    master->SetExtraStatus(this, [this] { return host->StatusText(); });
    Open(BuiltInMapping(MidiProfile::MackieControl));
    box->Send({0xE8, 0x7F, 0x7F}); // master strip: the crossfader to full
    box->Send({0xE0, 0x00, 0x40}); // strip 1: sub-master fader 1 to 128
    ASSERT_TRUE(QTest::qWaitFor([&] { return Sub(1).GetLevel() == 128; }));
    EXPECT_EQ(HandleA().GetLevel(), 255);

    master->MoveSubFaderTo(0, 255); // the mouse: the motor follows within a tick
    EXPECT_TRUE(Receives({{0xE0, 0x7F, 0x7F}}));

    master->OnTick();
    EXPECT_TRUE(master->GetStatusText().endsWith(QStringLiteral("  MIDI : testbox")));
    box.reset();
    host->Port()->LookForSurface();
    master->OnTick();
    EXPECT_TRUE(master->GetStatusText().endsWith(QStringLiteral("  MIDI : 装置なし")));
    master->MoveSubFaderTo(0, 50); // nothing to tell it to: harmless

    box = std::make_unique<JackTestBox>();
    ASSERT_TRUE(QTest::qWaitFor([&] { return host->Port()->IsConnected(); }, 3000));
    const Bytes at50 = {
        0xE0, static_cast<uint8_t>(ValueFromLevel(MidiMessage::Type::PitchBend, 50) & 0x7F),
        static_cast<uint8_t>(ValueFromLevel(MidiMessage::Type::PitchBend, 50) >> 7)};
    // The replugged box is told where the fader is, and where the crossfader is, though it did
    // not move meanwhile.
    EXPECT_TRUE(Receives({at50, {0xE8, 0x7F, 0x7F}}));
}

// Learning in the dialog: move a console fader, then the box's control; OK keeps the binding.
TEST_F(MidiJackConsole, TheDialogLearnsAControlAndKeepsItInTheSettings)
{
    Open(BuiltInMapping(MidiProfile::Generic));
    app::SurfaceSettingsDialog dialog(*host);
    dialog.LearnButton()->click();
    ASSERT_TRUE(dialog.LearnButton()->isChecked()) << dialog.HintLabel()->text().toStdString();
    dan->MoveFaderTo(1, 2, 90);
    layer->Flush();
    EXPECT_EQ(dialog.TargetBox()->currentText(), QStringLiteral("B/3"));
    box->Send({0xB0, 20, 64});
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.ControlsTable()->rowCount() == 1; }));
    EXPECT_EQ(dialog.ControlsTable()->item(0, 3)->text(), QStringLiteral("B/3"));
    EXPECT_EQ(Fader(1, 3).GetLevel(), 90) << "learning plays nothing";
    dialog.accept();

    box->Send({0xB0, 20, 45}); // 90: reaches the fader's level and catches it
    ASSERT_TRUE(QTest::qWaitFor([&] { return layer->IsCaught(host->Surface(), T("B/3")); }));
    box->Send({0xB0, 20, 127});
    ASSERT_TRUE(QTest::qWaitFor([&] { return Fader(1, 3).GetLevel() == 255; }));
    QSettings settings;
    const MidiSettings kept = MidiSettings::Load(settings);
    EXPECT_EQ(kept.device, QStringLiteral("jack:testbox"));
    ASSERT_EQ(kept.mapping.controls.size(), 1u);
    EXPECT_EQ(kept.mapping.controls[0], (MidiBinding{MidiMessage::Type::Control, 0, 20, T("B/3")}));
}
