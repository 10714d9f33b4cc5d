#include "ModelChecks.h"
#include "ShowLoaderCheck.h"
#include "model/ShowFileReader.h"
#include "support/Corpus.h"

#include <gtest/gtest.h>

using namespace orinsub;
using orinsub::testing::AsBytes;

namespace {

/// The kept inputs of one of the fuzzers' corpora, by name.
std::vector<std::pair<QString, QByteArray>> Corpus(const char *name)
{
    return orinsub::testing::ReadCorpus(QStringLiteral(ORINSUB_FUZZ_CORPUS "/") +
                                        QString::fromLatin1(name));
}

} // namespace

// Replays the fuzzer's corpus: crafted files named good-* must open and bad-* must not; every
// file, and every crash the fuzzer once found, must keep the loader's promises.
TEST(ShowFileCorpus, EveryKeptInputKeepsTheLoadersPromises)
{
    const auto inputs = Corpus("show_loader");
    ASSERT_GE(inputs.size(), 10u) << "corpus missing at " << ORINSUB_FUZZ_CORPUS;
    for (const auto &[name, bytes] : inputs) {
        EXPECT_EQ(fuzz::CheckShowLoader(AsBytes(bytes)), "") << name.toStdString();
        const model::ShowFileStatus status = model::ShowFileReader::Parse(AsBytes(bytes)).status;
        if (name.startsWith(u"good-")) {
            EXPECT_EQ(status, model::ShowFileStatus::Ok) << name.toStdString();
        } else if (name.startsWith(u"bad-")) {
            EXPECT_NE(status, model::ShowFileStatus::Ok) << name.toStdString();
        }
    }
}

// The live state's and the extension block's corpora keep their readers' promises.
TEST(ShowFileCorpus, LiveStateAndExtensionBlockInputsKeepTheReadersPromises)
{
    const struct
    {
        const char *folder;
        std::string (*check)(std::span<const uint8_t>);
    } corpora[] = {{"live_state", fuzz::CheckLiveState},
                   {"extension_block", fuzz::CheckExtensionBlock},
                   {"usitt_ascii", fuzz::CheckUsittAscii}};
    for (const auto &corpus : corpora) {
        const auto inputs = Corpus(corpus.folder);
        ASSERT_GE(inputs.size(), 5u) << "corpus missing: " << corpus.folder;
        for (const auto &[name, bytes] : inputs)
            EXPECT_EQ(corpus.check(AsBytes(bytes)), "")
                << corpus.folder << "/" << name.toStdString();
    }
}
