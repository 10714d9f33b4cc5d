#include "zentra/DeviceSelection.h"
#include "zentra/SimulatedInterface.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(DeviceSelectionTest, SimulationIsTheDefault)
{
    EXPECT_EQ(zentra::SelectedDevice(), "sim");
    EXPECT_EQ(zentra::ListDevices(), std::vector<std::u16string>{zentra::sim::kDeviceId});
    EXPECT_EQ(zentra::DeviceForms().front(), "sim");
}

TEST(DeviceSelectionTest, MalformedStringsAreRefusedAndKeepTheInterface)
{
    for (const char *device : {"", ":", "sim:", "sim:1", "simulator", "nothing:1", " sim"}) {
        std::string error;
        EXPECT_FALSE(zentra::SelectDevice(device, error)) << device;
        EXPECT_NE(error.find(device), std::string::npos) << "names what was given: " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << "one line: " << error;
        EXPECT_EQ(zentra::SelectedDevice(), "sim");
    }
    std::string error;
    zentra::SelectDevice("bogus", error);
    EXPECT_NE(error.find("sim"), std::string::npos) << "lists what would work: " << error;
}

TEST(DeviceSelectionTest, KindIsReadWithoutRegardToCase)
{
    std::string error;
    ASSERT_TRUE(zentra::SelectDevice("SIM", error)) << error;
    EXPECT_EQ(zentra::SelectedDevice(), "sim");
    EXPECT_EQ(zentra::ListDevices().size(), 1u);
}

TEST(DeviceSelectionTest, OnlySacnCarriesAPriorityReceiversChooseBy)
{
    std::string error;
    for (const auto &[device, prioritised] :
         {std::pair{"sacn:127.0.0.1", true}, {"artnet:127.0.0.1", false}, {"sim", false}}) {
        ASSERT_TRUE(zentra::SelectDevice(device, error)) << error;
        EXPECT_EQ(zentra::SelectedDeviceHasPriority(), prioritised) << device;
    }
    EXPECT_FALSE(zentra::SelectDevice("bogus", error));
    EXPECT_FALSE(zentra::SelectedDeviceHasPriority()) << "a refused string keeps the interface";
}

TEST(DeviceSelectionTest, CommandLineBeatsEnvironmentWhichBeatsDefault)
{
    unsetenv(zentra::kDeviceVariable);
    EXPECT_EQ(zentra::ChooseDevice(std::nullopt), "sim");
    setenv(zentra::kDeviceVariable, "", 1);
    EXPECT_EQ(zentra::ChooseDevice(std::nullopt), "sim");
    setenv(zentra::kDeviceVariable, "artnet:127.0.0.1", 1);
    EXPECT_EQ(zentra::ChooseDevice(std::nullopt), "artnet:127.0.0.1");
    EXPECT_EQ(zentra::ChooseDevice("sim"), "sim");
    EXPECT_EQ(zentra::ChooseDevice(""), "") << "an empty --dmx is an error, not the default";
    unsetenv(zentra::kDeviceVariable);
}

} // namespace
