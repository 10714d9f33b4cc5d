#include "backup/BackupSetup.h"

#include <gtest/gtest.h>

namespace {

using namespace orinsub::backup;

TEST(BackupSetup, ListenAndMainPointsAreReadOrRefusedWithTheirText)
{
    struct Case
    {
        const char *text;
        const char *address; // none: refused
        quint16 port;
    };
    for (const Case &c : {Case{"7070", "127.0.0.1", 7070}, Case{" 127.0.0.2:7071 ", "127.0.0.2", 7071},
                          Case{"", nullptr, 0}, Case{"0", nullptr, 0}, Case{"65536", nullptr, 0},
                          Case{"host:7070", nullptr, 0}, Case{"1.2.3.4:", nullptr, 0}}) {
        QString error;
        const auto point = ListenPoint::Parse(QString::fromUtf8(c.text), error);
        ASSERT_EQ(point.has_value(), c.address != nullptr) << c.text;
        if (point) {
            EXPECT_EQ(point->address, QHostAddress(QString::fromUtf8(c.address))) << c.text;
            EXPECT_EQ(point->port, c.port);
        } else {
            EXPECT_TRUE(error.contains(QString::fromUtf8(c.text))) << error.toStdString();
        }
    }
    for (const auto &[text, ok] : {std::pair{"main.local:7070", true},
                                   {"10.0.0.1:1", true},
                                   {"7070", false},
                                   {":7070", false},
                                   {"main:0", false},
                                   {"ma in:7070", false},
                                   {"main:x", false}}) {
        QString error;
        EXPECT_EQ(MainPoint::Parse(QString::fromUtf8(text), error).has_value(), ok) << text;
        EXPECT_EQ(error.isEmpty(), ok) << text;
    }
}

TEST(BackupSetup, ATrackingConsoleNeverFightsItsLivePeerForTheReceivers)
{
    struct Case
    {
        Role role;
        bool sacn;
        std::optional<uint8_t> own;
        uint8_t peer;
        OutputPlan plan;
    };
    const Case cases[] = {
        {Role::Starting, true, std::nullopt, 0, {true, 100, false}},
        {Role::Starting, false, 150, 0, {true, 150, false}},
        {Role::Tracking, true, std::nullopt, 120, {false, 110, true}},
        {Role::Tracking, true, std::nullopt, 5, {false, 1, true}},
        {Role::Tracking, true, std::nullopt, 0, {false, 90, true}},
        {Role::Tracking, true, 50, 120, {false, 50, true}},
        {Role::Tracking, false, std::nullopt, 120, {true, 110, true}},
        {Role::Live, true, std::nullopt, 120, {false, 100, false}},
        {Role::Live, false, 180, 0, {false, 180, false}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(OutputPlan::For(c.role, c.sacn, c.own, c.peer), c.plan)
            << int(c.role) << " sacn " << c.sacn << " peer " << int(c.peer);
}

} // namespace
