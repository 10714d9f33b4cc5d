#include "ShowLoaderCheck.h"
#include "model/ShowFileReader.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace orinsub;

// Replays the fuzzer's corpus: crafted files named good-* must open and bad-* must not; every
// file, and every crash the fuzzer once found, must keep the loader's promises.
TEST(ShowFileCorpus, EveryKeptInputKeepsTheLoadersPromises)
{
    const QDir corpus(QStringLiteral(ORINSUB_SHOW_CORPUS));
    const QStringList names = corpus.entryList(QDir::Files);
    ASSERT_GE(names.size(), 10) << "corpus missing at " << ORINSUB_SHOW_CORPUS;
    for (const QString &name : names) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = file.readAll();
        const std::span<const uint8_t> input(reinterpret_cast<const uint8_t *>(bytes.constData()),
                                             static_cast<size_t>(bytes.size()));
        EXPECT_EQ(fuzz::CheckShowLoader(input), "") << name.toStdString();

        const model::ShowFileStatus status = model::ShowFileReader::Parse(input).status;
        if (name.startsWith(u"good-")) {
            EXPECT_EQ(status, model::ShowFileStatus::Ok) << name.toStdString();
        } else if (name.startsWith(u"bad-")) {
            EXPECT_NE(status, model::ShowFileStatus::Ok) << name.toStdString();
        }
    }
}
