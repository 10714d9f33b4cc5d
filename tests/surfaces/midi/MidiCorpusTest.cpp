#include "MidiChecks.h"
#include "support/Corpus.h"

#include <gtest/gtest.h>

using orinsub::testing::AsBytes;

// Replays the MIDI fuzzers' corpora: every kept input, and every crash the fuzzers once found,
// must keep the decoder's and the mapping reader's promises.
TEST(MidiCorpus, EveryKeptInputKeepsThePromises)
{
    const struct
    {
        const char *folder;
        std::string (*check)(std::span<const uint8_t>);
    } corpora[] = {{"midi_decoder", orinsub::fuzz::CheckMidiDecoder},
                   {"midi_mapping", orinsub::fuzz::CheckMidiMapping}};
    for (const auto &corpus : corpora) {
        const auto inputs = orinsub::testing::ReadCorpus(QStringLiteral(ORINSUB_FUZZ_CORPUS "/") +
                                                         QString::fromLatin1(corpus.folder));
        ASSERT_GE(inputs.size(), 5u) << "corpus missing: " << corpus.folder;
        for (const auto &[name, bytes] : inputs)
            EXPECT_EQ(corpus.check(AsBytes(bytes)), "")
                << corpus.folder << "/" << name.toStdString();
    }
}
