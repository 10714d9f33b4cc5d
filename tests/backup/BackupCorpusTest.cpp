#include "BackupChecks.h"
#include "support/Corpus.h"

#include <gtest/gtest.h>

using orinsub::testing::AsBytes;

// Every kept input of the link's fuzzer, crashes it once found included, keeps the link's promises.
TEST(BackupLinkCorpus, EveryKeptInputKeepsTheLinksPromises)
{
    const auto inputs = orinsub::testing::ReadCorpus(ORINSUB_FUZZ_CORPUS "/backup_link");
    ASSERT_GE(inputs.size(), 5u) << "corpus missing at " << ORINSUB_FUZZ_CORPUS;
    for (const auto &[name, bytes] : inputs)
        EXPECT_EQ(orinsub::fuzz::CheckBackupLink(AsBytes(bytes)), "") << name.toStdString();
}
