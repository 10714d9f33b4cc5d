#pragma once

#include "JackTestServer.h"

#include <gtest/gtest.h>

#include <memory>

namespace orinsub::testing {

/// A private JACK server for a whole suite (one start, not one a test) and a fresh box on it for
/// each test. Where the server cannot run, each test is skipped with the reason: a SetUp of its
/// own calls this one first and returns when IsSkipped().
template <typename Base> class JackBoxTest : public Base
{
protected:
    static void SetUpTestSuite() { server = new JackTestServer; }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }
    void SetUp() override
    {
        Base::SetUp();
        if (!server->Problem().isEmpty())
            GTEST_SKIP() << server->Problem().toStdString();
        box = std::make_unique<JackTestBox>();
    }

    static inline JackTestServer *server = nullptr;
    std::unique_ptr<JackTestBox> box;
};

} // namespace orinsub::testing
