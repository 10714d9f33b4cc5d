#include "WebRequestCheck.h"
#include "support/Corpus.h"
#include "surfaces/web/HttpRequest.h"

#include <gtest/gtest.h>

using namespace orinsub;
using State = surfaces::web::HttpReadResult::State;

// Replays the fuzzer's corpus: requests named complete-* must be read whole, refused-* refused,
// incomplete-* left waiting; every file, and every crash the fuzzer once found, must keep the
// remote's promises.
TEST(WebRequestCorpus, EveryKeptInputKeepsTheRemotesPromises)
{
    const auto inputs = orinsub::testing::ReadCorpus(QStringLiteral(ORINSUB_WEB_CORPUS));
    ASSERT_GE(inputs.size(), 10u) << "corpus missing at " << ORINSUB_WEB_CORPUS;
    for (const auto &[name, bytes] : inputs) {
        EXPECT_EQ(fuzz::CheckWebRequest(orinsub::testing::AsBytes(bytes)), "")
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
