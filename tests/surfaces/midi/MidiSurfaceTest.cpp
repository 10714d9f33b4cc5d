#include "surfaces/midi/MidiSurface.h"
#include "FakeMidiSystem.h"
#include "app/SurfaceSettingsDialog.h"
#include "model/ChasePlayer.h"
#include "support/ScriptedSeams.h"
#include "support/TempFiles.h"
#include "surfaces/RecordingSurface.h"
#include "surfaces/midi/MidiSurfaceHost.h"
#include "views/ConsoleOperations.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace orinsub;
using namespace orinsub::surfaces::midi;
using orinsub::testing::FakeMidiSystem;
using orinsub::testing::LayerTest;
using orinsub::testing::T;
using Type = MidiMessage::Type;
using Messages = std::vector<MidiMessage>;
using Bytes = std::vector<uint8_t>;

namespace {

/// A MIDI surface on the console's control layer, its feedback recorded.
class MidiSurfaceTest : public LayerTest
{
protected:
    void Plug(MidiMapping mapping)
    {
        surface = std::make_unique<MidiSurface>(
            *layer, std::move(mapping), [this](const MidiMessage &m) { sent.push_back(m); });
        surface->Attach();
        sent.clear();
    }
    void Play(Type type, int channel, int number, int value)
    {
        surface->Play({type, channel, number, value});
        layer->Flush();
    }
    /// What the surface was sent since the last call.
    Messages Sent()
    {
        layer->Flush();
        return std::exchange(sent, {});
    }

    std::unique_ptr<MidiSurface> surface;
    Messages sent;
};

/// The MIDI surface host on a fake JACK server, its device a box named "box".
class MidiHostTest : public LayerTest
{
protected:
    void Open(MidiMapping mapping)
    {
        host.Configure(MidiDeviceName{MidiDeviceName::Backend::Jack, QStringLiteral("box")},
                       std::move(mapping));
    }
    /// Lets the event loop run what the server woke (its wake is waiting by then), and the layer
    /// its feedback.
    void Settle()
    {
        QCoreApplication::processEvents();
        layer->Flush();
    }
    bool BoxReceived(const Bytes &message)
    {
        const std::vector<Bytes> got = system.Received();
        return std::find(got.begin(), got.end(), message) != got.end();
    }
    static Bytes Bend(int channel, int level)
    {
        const int value = ValueFromLevel(Type::PitchBend, level);
        return {static_cast<uint8_t>(0xE0 | channel), static_cast<uint8_t>(value & 0x7F),
                static_cast<uint8_t>(value >> 7)};
    }

    FakeMidiSystem system;
    MidiSurfaceHost host{*layer, system.Factory()};
};

MidiMapping Generic()
{
    MidiMapping mapping;
    mapping.controls = {{Type::Control, 0, 7, T("A/1")},
                        {Type::Note, 0, 60, T("in/A")},
                        {Type::FineControl, 0, 1, T("sub/2")}};
    return mapping;
}

} // namespace

TEST_F(MidiSurfaceTest, MackieStripsMoveTheBankAndFeedbackFollowsTouchAndBanks)
{
    Plug(BuiltInMapping(MidiProfile::MackieControl));
    Play(Type::PitchBend, 0, 0, 16383); // strip 1 of the first bank: sub-master fader 1
    EXPECT_EQ(Sub(1).GetLevel(), 255);
    Play(Type::PitchBend, 8, 0, 8192); // the master strip: the crossfader
    EXPECT_EQ(HandleA().GetLevel(), 128);
    EXPECT_TRUE(Sent().empty()) << "no echo of the surface's own moves";

    Play(Type::Note, 0, 104, 127); // strip 1 touched: the motor is left alone
    master->MoveSubFaderTo(0, 10);
    EXPECT_TRUE(Sent().empty());
    Play(Type::Note, 0, 104, 0); // released: the motor goes where the fader is
    EXPECT_EQ(Sent(), (Messages{{Type::PitchBend, 0, 0, ValueFromLevel(Type::PitchBend, 10)}}));

    master->MoveSubFaderTo(8, 255);
    Play(Type::Note, 0, 47, 127); // bank right: strip 1 plays sub-master fader 9
    Play(Type::Note, 0, 47, 0);
    const Messages afterBank = Sent();
    EXPECT_NE(
        std::find(afterBank.begin(), afterBank.end(), MidiMessage{Type::PitchBend, 0, 0, 16383}),
        afterBank.end());
    Play(Type::PitchBend, 0, 0, 0);
    EXPECT_EQ(Sub(9).GetLevel(), 0);
    EXPECT_EQ(Sub(1).GetLevel(), 10);
}

TEST_F(MidiSurfaceTest, GenericControlsPickUpPressAndLightTheirLamps)
{
    dan->MoveFaderTo(0, 0, 128);
    Plug(Generic());
    EXPECT_EQ(Sent().size(), 0u) << "attached: nothing changed since";
    Play(Type::Control, 0, 7, 20); // 40: below the fader, not caught
    EXPECT_EQ(Fader(0, 1).GetLevel(), 128);
    Play(Type::Control, 0, 7, 127);
    EXPECT_EQ(Fader(0, 1).GetLevel(), 255);

    Play(Type::Note, 0, 60, 100);
    Play(Type::Note, 0, 60, 0);
    EXPECT_TRUE(views::IsInputHookOn(views::InputTarget::RowA));
    EXPECT_EQ(Sent(), (Messages{{Type::Note, 0, 60, 127}}));

    Play(Type::FineControl, 0, 1, 16383);
    EXPECT_EQ(Sub(2).GetLevel(), 0) << "a fader at 0 is caught only when the surface crosses 0";
    Play(Type::FineControl, 0, 1, 0);
    Play(Type::FineControl, 0, 1, 8192);
    EXPECT_EQ(Sub(2).GetLevel(), 128);
    master->MoveSubFaderTo(1, 255);
    EXPECT_EQ(Sent(), (Messages{{Type::FineControl, 0, 1, 16383}}));
}

// A 7-bit control lands only every two or three levels: its first value catches a fader that
// stands between two of them.
TEST_F(MidiSurfaceTest, ASevenBitFaderCatchesAtItsFirstValueWithinItsResolution)
{
    struct Case
    {
        int console, value;
        bool caught;
    };
    for (const Case c : {Case{0, 1, true}, {127, 63, true}, {128, 64, true}, {128, 60, false}}) {
        dan->MoveFaderTo(0, 0, static_cast<uint8_t>(c.console));
        MidiMapping mapping;
        mapping.controls = {{Type::Control, 0, 7, T("A/1")}};
        Plug(mapping);
        Play(Type::Control, 0, 7, c.value);
        EXPECT_EQ(Fader(0, 1).GetLevel() == LevelFromValue(Type::Control, c.value), c.caught)
            << "console " << c.console << ", first value " << c.value;
    }
}

// A knob on a chase's speed turns whole BPM, and shows the speed set elsewhere.
TEST_F(MidiSurfaceTest, AKnobOnAChasesSpeedTurnsWholeBpm)
{
    model::Chase chase;
    ASSERT_TRUE(doc.m_extension.chases.Add(chase).IsOk());
    MidiMapping mapping;
    mapping.controls = {{Type::Control, 0, 20, T("chase/1/bpm")}};
    Plug(mapping);
    Play(Type::Control, 0, 20, 64); // level 129
    EXPECT_DOUBLE_EQ(master->GetChasePlayer().GetBpm(1), 129.0);
    Sent();
    layer->GetDesk().Move(T("chase/1/bpm"), 900); // 90.0 BPM, from the chase window say
    EXPECT_EQ(Sent(), (Messages{{Type::Control, 0, 20, ValueFromLevel(Type::Control, 90)}}));
}

// Two controls of one box on one fader: each catches it for itself, so they never fight.
TEST_F(MidiSurfaceTest, TwoControlsOnOneFaderKeepTheirOwnPickUp)
{
    dan->MoveFaderTo(0, 0, 128);
    MidiMapping mapping;
    mapping.controls = {{Type::Control, 0, 7, T("A/1")}, {Type::Control, 0, 8, T("A/1")}};
    Plug(mapping);
    Play(Type::Control, 0, 7, 0);
    Play(Type::Control, 0, 7, 100); // crosses 128: caught
    ASSERT_EQ(Fader(0, 1).GetLevel(), LevelFromValue(Type::Control, 100));
    Play(Type::Control, 0, 8, 10); // the other control, far below: not caught
    EXPECT_EQ(Fader(0, 1).GetLevel(), LevelFromValue(Type::Control, 100));
    Play(Type::Control, 0, 7, 110);
    EXPECT_EQ(Fader(0, 1).GetLevel(), LevelFromValue(Type::Control, 110));
}

TEST_F(MidiSurfaceTest, LearningHearsTheDeskAndTheSurfaceWithoutPlaying)
{
    Plug(Generic());
    Messages heard;
    std::vector<QString> moved;
    surface->StartLearning([&](const MidiMessage &m) { heard.push_back(m); },
                           [&](const surfaces::ControlTarget &t) { moved.push_back(t.Name()); });
    EXPECT_TRUE(moved.empty()) << "the desk's present values are no move";
    dan->MoveFaderTo(1, 2, 90);
    views::ToggleInputHook(views::InputTarget::SubMasters);
    layer->Flush();
    EXPECT_EQ(moved, (std::vector<QString>{QStringLiteral("B/3"), QStringLiteral("in/sub")}));
    Play(Type::Control, 0, 7, 127);
    EXPECT_EQ(heard, (Messages{{Type::Control, 0, 7, 127}}));
    EXPECT_EQ(Fader(0, 1).GetLevel(), 0);
    surface->StopLearning();
    Play(Type::Control, 0, 7, 0);
    Play(Type::Control, 0, 7, 127);
    EXPECT_EQ(Fader(0, 1).GetLevel(), 255);
}

// The dialog without a device: files in and out, profiles, and Cancel putting everything back.
TEST_F(MidiSurfaceTest, TheDialogImportsExportsAndCancelsWithoutADevice)
{
    MidiSurfaceHost host(*layer);
    host.Configure(std::nullopt, Generic());
    QTemporaryDir folder;
    const QString bad = folder.filePath(QStringLiteral("bad.json"));
    ASSERT_TRUE(orinsub::testing::WriteFile(
        bad, R"({"controls": [{"message": "cc", "channel": 1, "number": 7, "target": "C/1"}]})"));

    orinsub::testing::ScriptedQuestions questions;
    app::SurfaceSettingsDialog dialog(host);
    EXPECT_EQ(dialog.ControlsTable()->rowCount(), 3);
    // Another profile replaces the operator's own controls only when confirmed.
    questions.Answer({-1});
    dialog.ProfileBox()->setCurrentIndex(1);
    emit dialog.ProfileBox()->activated(1);
    EXPECT_EQ(dialog.ProfileBox()->currentIndex(), 0);
    EXPECT_EQ(host.Mapping(), Generic());
    questions.texts.clear();

    dialog.Import(bad);
    ASSERT_EQ(questions.texts.size(), 1);
    EXPECT_TRUE(questions.texts[0].startsWith(u"MIDI 対応表 bad.json: controls の 1 番目"));
    EXPECT_EQ(host.Mapping(), Generic()) << "a refused file changes nothing";

    const QString mackie = folder.filePath(QStringLiteral("mackie.json"));
    QString error;
    ASSERT_TRUE(WriteMappingFile(mackie, BuiltInMapping(MidiProfile::MackieControl), error));
    dialog.Import(mackie);
    EXPECT_EQ(host.Mapping(), BuiltInMapping(MidiProfile::MackieControl)) << "plays at once";
    EXPECT_EQ(dialog.ControlsTable()->rowCount(), 20);
    EXPECT_EQ(dialog.ControlsTable()->item(1, 3)->text(), QStringLiteral("strip/1 (タッチ)"));
    const QString exported = folder.filePath(QStringLiteral("out.json"));
    ASSERT_TRUE(dialog.Export(exported));
    EXPECT_EQ(*ReadMappingFile(exported).mapping, BuiltInMapping(MidiProfile::MackieControl));

    dialog.LearnButton()->click();
    EXPECT_FALSE(dialog.LearnButton()->isChecked());
    EXPECT_EQ(dialog.HintLabel()->text(), QStringLiteral("学習には装置の接続が必要です"));
    dialog.reject();
    EXPECT_EQ(host.Mapping(), Generic());
}

TEST_F(MidiSurfaceTest, AButtonTogglesALatchAndHoldsAFlashWhileDown)
{
    doc.GetSubMaster(1, 1)->m_levels[2] = 255;
    MidiMapping mapping;
    mapping.controls = {{Type::Note, 0, 60, T("independent/7")}, {Type::Note, 0, 61, T("flash/1")}};
    Plug(mapping);
    Play(Type::Note, 0, 60, 100);
    Play(Type::Note, 0, 60, 0);
    EXPECT_TRUE(doc.m_extension.IsIndependent(7));
    EXPECT_EQ(Sent(), (Messages{{Type::Note, 0, 60, 127}})) << "its lamp";
    Play(Type::Note, 0, 60, 100);
    EXPECT_FALSE(doc.m_extension.IsIndependent(7));

    Play(Type::Note, 0, 61, 100);
    EXPECT_EQ(port.GetOutputSlot(3), 255);
    Play(Type::Note, 0, 61, 0);
    EXPECT_EQ(port.GetOutputSlot(3), 0);
}

TEST_F(MidiSurfaceTest, AButtonPressedOnTheBoxLightsItsOwnLamp)
{
    MidiMapping mapping;
    mapping.controls = {
        {Type::Note, 0, 1, T("link")}, {Type::Note, 0, 2, T("go")}, {Type::Note, 0, 3, T("in/B")}};
    Plug(mapping);
    for (const int note : {1, 2, 3}) {
        Play(Type::Note, 0, note, 127);
        Play(Type::Note, 0, note, 0);
        EXPECT_EQ(Sent(), (Messages{{Type::Note, 0, note, 127}})) << "note " << note;
    }
}

TEST_F(MidiHostTest, AReceivingPortThatAppearsLateIsToldEveryValue)
{
    master->MoveSubFaderTo(0, 255);
    Open(BuiltInMapping(MidiProfile::MackieControl));
    system.Plug(QStringLiteral("box:faders"));
    Settle();
    ASSERT_TRUE(host.Surface()->IsAttached());
    system.Plug({}, QStringLiteral("box:lamps"));
    Settle();
    EXPECT_TRUE(BoxReceived(Bend(0, 255)));
}

TEST_F(MidiHostTest, AJackRestartShowsInTheStatusLineAndTheBoxIsToldEverythingAgain)
{
    master->SetExtraStatus(this, [this] { return host.StatusText(); });
    Open(BuiltInMapping(MidiProfile::MackieControl));
    system.Plug(QStringLiteral("box:faders"), QStringLiteral("box:lamps"));
    Settle();
    system.Stop();
    Settle();
    master->OnTick();
    EXPECT_TRUE(master->GetStatusText().endsWith(QStringLiteral("  MIDI : JACK 停止中")));
    EXPECT_FALSE(host.Surface()->IsAttached());
    master->MoveSubFaderTo(0, 50);

    system.Start();
    host.Port()->LookForSurface(); // the one-second look
    Settle();
    master->OnTick();
    EXPECT_TRUE(master->GetStatusText().endsWith(QStringLiteral("  MIDI : box")));
    EXPECT_TRUE(BoxReceived(Bend(0, 50)));
    master->SetExtraStatus(this, nullptr);
}

// A 14-bit fader sends its two halves before the console knows it: it is learned as one.
TEST_F(MidiHostTest, TheDialogLearnsA14BitFaderAsOneControl)
{
    Open({MidiProfile::Generic, true, {}});
    system.Plug(QStringLiteral("box:faders"));
    Settle();
    app::SurfaceSettingsDialog dialog(host);
    EXPECT_GE(dialog.DeviceBox()->findText(QStringLiteral("jack:box:faders")), 0);
    dialog.LearnButton()->click();
    dialog.TargetBox()->setCurrentText(QStringLiteral("sub/2"));
    for (const uint8_t coarse : {64, 65, 66}) {
        system.Send({0xB0, 1, coarse});
        system.Send({0xB0, 33, 5});
    }
    Settle();
    EXPECT_EQ(host.Mapping().controls,
              (std::vector<MidiBinding>{{Type::FineControl, 0, 1, T("sub/2")}}));
    EXPECT_EQ(dialog.ControlsTable()->rowCount(), 1);
    dialog.LearnButton()->click();

    system.Send({0xB0, 1, 64, 33, 0});
    Settle();
    EXPECT_EQ(Sub(2).GetLevel(), 128);
}
