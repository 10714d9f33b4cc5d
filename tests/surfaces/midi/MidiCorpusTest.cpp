#include "MidiChecks.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

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
        const QDir dir(QStringLiteral(ORINSUB_FUZZ_CORPUS "/") +
                       QString::fromLatin1(corpus.folder));
        const QStringList names = dir.entryList(QDir::Files);
        ASSERT_GE(names.size(), 5) << "corpus missing at " << dir.path().toStdString();
        for (const QString &name : names) {
            QFile file(dir.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
            const QByteArray bytes = file.readAll();
            EXPECT_EQ(corpus.check({reinterpret_cast<const uint8_t *>(bytes.constData()),
                                    static_cast<size_t>(bytes.size())}),
                      "")
                << corpus.folder << "/" << name.toStdString();
        }
    }
}
