#include "surfaces/midi/MidiMapping.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orinsub::surfaces;
using namespace orinsub::surfaces::midi;
using Type = MidiMessage::Type;

namespace {

ControlTarget Target(const char *name)
{
    return *ControlTarget::Parse(QString::fromLatin1(name));
}

MappingReadResult Parse(const char *json)
{
    return ParseMapping(QByteArray(json), QStringLiteral("box.json"));
}

} // namespace

TEST(MidiMapping, ReadsTheOperatorsFile)
{
    const MappingReadResult read = Parse(R"({"profile": "generic", "motorised": false,
        "controls": [{"message": "cc", "channel": 1, "number": 7, "target": "B/1"},
                     {"message": "note", "channel": 1, "number": 60, "target": "go"},
                     {"message": "cc14", "channel": 2, "number": 31, "target": "xfade/A"},
                     {"message": "pitchbend", "channel": 16, "target": "sub/20"}]})");
    ASSERT_TRUE(read.mapping) << read.error.toStdString();
    const std::vector<MidiBinding> expected = {{Type::Control, 0, 7, Target("B/1")},
                                               {Type::Note, 0, 60, Target("go")},
                                               {Type::FineControl, 1, 31, Target("xfade/A")},
                                               {Type::PitchBend, 15, 0, Target("sub/20")}};
    EXPECT_EQ(read.mapping->controls, expected);
    EXPECT_FALSE(read.mapping->motorised);
}

TEST(MidiMapping, MackieProfileBindsStripsTouchMasterAndBanksAndRoundTrips)
{
    const MappingReadResult read = Parse(R"({"profile": "mackie-control"})");
    ASSERT_TRUE(read.mapping);
    const MidiMapping &mackie = *read.mapping;
    EXPECT_EQ(mackie, BuiltInMapping(MidiProfile::MackieControl));
    EXPECT_TRUE(mackie.motorised);
    const auto has = [&](MidiBinding binding) {
        return std::find(mackie.controls.begin(), mackie.controls.end(), binding) !=
               mackie.controls.end();
    };
    EXPECT_TRUE(has({Type::PitchBend, 7, 0, Target("strip/8")}));
    EXPECT_TRUE(has({Type::Note, 0, 111, Target("strip/8")}));
    EXPECT_TRUE(has({Type::PitchBend, 8, 0, Target("xfade")}));
    EXPECT_TRUE(has({Type::Note, 0, 112, Target("xfade")}));
    EXPECT_TRUE(has({Type::Note, 0, 46, Target("bank/prev")}));
    EXPECT_TRUE(has({Type::Note, 0, 47, Target("bank/next")}));

    QTemporaryDir dir;
    QString error;
    const QString path = dir.filePath(QStringLiteral("mackie.json"));
    ASSERT_TRUE(WriteMappingFile(path, mackie, error)) << error.toStdString();
    const MappingReadResult again = ReadMappingFile(path);
    ASSERT_TRUE(again.mapping) << again.error.toStdString();
    EXPECT_EQ(*again.mapping, mackie);
}

TEST(MidiMapping, ABadFileIsOneLineNamingTheFileAndTheEntry)
{
    struct Case
    {
        const char *json;
        const char *says;
    };
    const Case cases[] = {
        {"{", "JSON として読めません"},
        {"[]", "オブジェクトではありません"},
        {R"({"profile": "x"})", "profile"},
        {R"({"motorized": true})", "\"motorized\""},
        {R"({"moto\nrised": true})", "\"moto\\u000arised\""},
        {R"({"profile": "generic", "controls": [], "profile": "mackie-control"})",
         "行 1、列 40: 項目「profile」が二度あります"},
        {R"({"a\nb": 1, "a\nb": 2})", "項目「a\\u000ab」が二度あります"},
        {R"({"controls": [{"message": "cc", "channel": 1, "channel": 2, "number": 1,
                          "target": "go"}]})",
         "項目「channel」が二度あります"},
        {R"({"motorised": 1})", "motorised"},
        {R"({"controls": {}})", "配列"},
        {R"({"controls": [1]})", "controls の 1 番目"},
        {R"({"controls": [{"message": "sysex", "channel": 1, "number": 1, "target": "go"}]})",
         "message"},
        {R"({"controls": [{"message": "cc", "channel": 17, "number": 1, "target": "go"}]})",
         "channel は 1～16"},
        {R"({"controls": [{"message": "cc", "channel": 1.5, "number": 1, "target": "go"}]})",
         "数は整数で書いてください"},
        {R"({"controls": [{"message": "cc14", "channel": 1, "number": 32, "target": "go"}]})",
         "number は 0～31"},
        {R"({"controls": [{"message": "pitchbend", "channel": 1, "number": 0, "target": "go"}]})",
         "pitchbend"},
        {R"({"controls": [{"message": "cc", "channel": 1, "number": 1, "target": "C/1"}]})",
         "\"C/1\""},
        {R"({"controls": [{"message": "cc", "channel": 1, "number": 1, "target": "go"},
                          {"message": "cc", "channel": 1, "number": 1, "target": "link"}]})",
         "controls の 2 番目: 1 番目と同じ"},
        {R"({"controls": [{"message": "cc14", "channel": 2, "number": 1, "target": "go"},
                          {"message": "cc", "channel": 2, "number": 33, "target": "link"}]})",
         "controls の 2 番目: 1 番目とコントローラー番号が重なります"},
        {R"({"controls": [{"message": "cc", "channel": 1, "number": 4, "target": "go"},
                          {"message": "cc14", "channel": 1, "number": 4, "target": "link"}]})",
         "controls の 2 番目: 1 番目とコントローラー番号が重なります"},
    };
    for (const Case &c : cases) {
        const MappingReadResult read = Parse(c.json);
        EXPECT_FALSE(read.mapping) << c.json;
        EXPECT_TRUE(read.error.startsWith(u"MIDI 対応表 box.json: ")) << read.error.toStdString();
        EXPECT_TRUE(read.error.contains(QString::fromUtf8(c.says))) << read.error.toStdString();
        EXPECT_FALSE(read.error.contains(u'\n')) << c.json;
    }
    const MappingReadResult missing = ReadMappingFile(QStringLiteral("/nonexistent/x.json"));
    EXPECT_TRUE(missing.error.startsWith(u"MIDI 対応表 x.json: 読めません"));
}

TEST(MidiMapping, LearningBindsEachControlOnceAndJoinsTheHalvesOfA14BitFader)
{
    using Steps = std::vector<std::pair<MidiMessage, const char *>>;
    struct Case
    {
        const char *what;
        Steps steps; // each message learned on a target, in turn
        std::vector<MidiBinding> wanted;
    };
    const Case cases[] = {
        {"a control moved again is learned once",
         {{{Type::Control, 0, 7, 10}, "A/1"}, {{Type::Control, 0, 7, 20}, "A/1"}},
         {{Type::Control, 0, 7, Target("A/1")}}},
        {"a control learned again goes to the new target",
         {{{Type::Control, 0, 7, 10}, "A/1"},
          {{Type::PitchBend, 0, 0, 9}, "xfade"},
          {{Type::Control, 0, 7, 10}, "A/2"}},
         {{Type::Control, 0, 7, Target("A/2")}, {Type::PitchBend, 0, 0, Target("xfade")}}},
        {"the halves of a 14-bit fader, and what was still on its way",
         {{{Type::Control, 2, 1, 64}, "sub/2"},
          {{Type::Control, 2, 33, 5}, "sub/2"},
          {{Type::Control, 2, 1, 65}, "sub/2"},
          {{Type::Control, 2, 33, 6}, "sub/2"},
          {{Type::FineControl, 2, 1, 9000}, "sub/2"}},
         {{Type::FineControl, 2, 1, Target("sub/2")}}},
        {"the fine half first",
         {{{Type::Control, 0, 33, 5}, "sub/2"}, {{Type::Control, 0, 1, 64}, "sub/2"}},
         {{Type::FineControl, 0, 1, Target("sub/2")}}},
        {"7-bit controls n and n + 32 on two targets stay apart",
         {{{Type::Control, 0, 1, 5}, "A/1"}, {{Type::Control, 0, 33, 5}, "A/2"}},
         {{Type::Control, 0, 1, Target("A/1")}, {Type::Control, 0, 33, Target("A/2")}}},
    };
    for (const Case &c : cases) {
        MidiMapping mapping;
        for (const auto &[message, target] : c.steps)
            LearnControl(mapping, message, Target(target));
        EXPECT_EQ(mapping.controls, c.wanted) << c.what;
    }
    MidiMapping mapping;
    EXPECT_TRUE(LearnControl(mapping, {Type::Note, 0, 60, 127}, Target("go")));
    EXPECT_FALSE(LearnControl(mapping, {Type::Note, 0, 60, 0}, Target("go"))) << "nothing new";
}
