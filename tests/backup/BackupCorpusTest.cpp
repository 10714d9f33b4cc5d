#include "BackupChecks.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

// Every kept input of the link's fuzzer, crashes it once found included, keeps the link's promises.
TEST(BackupLinkCorpus, EveryKeptInputKeepsTheLinksPromises)
{
    const QDir dir(QStringLiteral(ORINSUB_FUZZ_CORPUS "/backup_link"));
    const QStringList files = dir.entryList(QDir::Files);
    ASSERT_GE(files.size(), 5) << "corpus missing at " << ORINSUB_FUZZ_CORPUS;
    for (const QString &name : files) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = file.readAll();
        EXPECT_EQ(orinsub::fuzz::CheckBackupLink({reinterpret_cast<const uint8_t *>(bytes.data()),
                                                  static_cast<size_t>(bytes.size())}),
                  "")
            << name.toStdString();
    }
}
