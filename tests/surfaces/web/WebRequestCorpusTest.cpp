#include "WebRequestCheck.h"
#include "surfaces/web/HttpRequest.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace orinsub;
using State = surfaces::web::HttpReadResult::State;

// Replays the fuzzer's corpus: requests named complete-* must be read whole, refused-* refused,
// incomplete-* left waiting; every file, and every crash the fuzzer once found, must keep the
// remote's promises.
TEST(WebRequestCorpus, EveryKeptInputKeepsTheRemotesPromises)
{
    const QDir corpus(QStringLiteral(ORINSUB_WEB_CORPUS));
    const QStringList names = corpus.entryList(QDir::Files);
    ASSERT_GE(names.size(), 10) << "corpus missing at " << ORINSUB_WEB_CORPUS;
    for (const QString &name : names) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = file.readAll();
        EXPECT_EQ(fuzz::CheckWebRequest({reinterpret_cast<const uint8_t *>(bytes.constData()),
                                         static_cast<size_t>(bytes.size())}),
                  "")
            << name.toStdString();
        const State state = surfaces::web::ReadHttpRequest(bytes).state;
        if (name.startsWith(u"complete-"))
            EXPECT_EQ(state, State::Complete) << name.toStdString();
        else if (name.startsWith(u"refused-"))
            EXPECT_EQ(state, State::Refused) << name.toStdString();
        else if (name.startsWith(u"incomplete-"))
            EXPECT_EQ(state, State::Incomplete) << name.toStdString();
    }
}
