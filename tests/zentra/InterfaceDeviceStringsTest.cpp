#include "support/ScratchConfigHome.h"
#include "zentra/DeviceSelection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

// The device strings of the real interfaces: what each accepts, the id it shows, and the one-line
// refusal of anything else. Nothing here opens a device.
namespace {

std::u16string OnlyId()
{
    const auto ids = zentra::ListDevices();
    return ids.size() == 1 ? ids[0] : u"(" + std::u16string(1, u'0' + ids.size()) + u" ids)";
}

class InterfaceDeviceStringsTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        std::string error;
        zentra::SelectDevice("sim", error);
    }

    std::u16string IdOf(const std::string &device)
    {
        std::string error;
        EXPECT_TRUE(zentra::SelectDevice(device, error)) << device << ": " << error;
        return OnlyId();
    }

    orinsub::testing::ScratchConfigHome scratch; // sACN keeps its source id there
};

TEST_F(InterfaceDeviceStringsTest, EachKindShowsItsUniversesWithinFifteenCharacters)
{
    EXPECT_EQ(IdOf("ola:1"), u"OLA 1");
    EXPECT_EQ(IdOf("ola:1/2"), u"OLA 1/2");
    EXPECT_EQ(IdOf("OLA:0/2@9011"), u"OLA 0/2");
    EXPECT_EQ(zentra::SelectedDevice(), "ola:0/2@9011");
    EXPECT_EQ(IdOf("ola:4294967295/4294967295"), u"OLA 4294967295") << "the pair does not fit";
    EXPECT_EQ(IdOf("artnet:127.0.0.1"), u"Art-Net 0");
    EXPECT_EQ(IdOf("artnet:127.0.0.1:1/12"), u"Art-Net 1/12");
    EXPECT_EQ(IdOf("artnet:127.0.0.1:32767/12"), u"Art-Net 32767") << "the pair does not fit";
    EXPECT_EQ(IdOf("sacn:127.0.0.1"), u"sACN 1");
    EXPECT_EQ(IdOf("sacn:127.0.0.1:63999/63999"), u"sACN 63999") << "the pair does not fit";
    EXPECT_EQ(IdOf("sacn:multicast:7/8"), u"sACN 7/8");
    for (const auto &id : {IdOf("ola:4294967295/1"), IdOf("artnet:127.0.0.1:32767/32767")})
        EXPECT_LE(id.size(), 15u);
}

TEST_F(InterfaceDeviceStringsTest, UsbWidgetIsPresentWhileItsDeviceExists)
{
    const auto path = scratch.Path() / "ttyUSB0";
    EXPECT_TRUE(IdOf("usbpro:" + path.string()).starts_with(u"(0")) << "no device yet";
    std::ofstream(path).put('\0');
    EXPECT_EQ(IdOf("usbpro:" + path.string()), u"USB Pro ttyUSB0");
    const auto longPath = scratch.Path() / "usb-widget-with-a-long-serial-number";
    std::ofstream(longPath).put('\0');
    EXPECT_EQ(IdOf("usbpro:" + longPath.string()), u"USB Pro usb-wid");
}

TEST_F(InterfaceDeviceStringsTest, MalformedStringsAreRefusedInOneLineAndKeepTheInterface)
{
    std::string error;
    ASSERT_TRUE(zentra::SelectDevice("sim", error));
    for (const char *device : {"ola",
                               "ola:",
                               "ola:x",
                               "ola:1/",
                               "ola:/2",
                               "ola:-1",
                               "ola:1/2@",
                               "ola:1@0",
                               "ola:1@65536",
                               "ola:4294967296",
                               "ola: 1",
                               "artnet",
                               "artnet:",
                               "artnet:node.local",
                               "artnet:127.0.0.1:",
                               "artnet:127.0.0.1:32768",
                               "artnet:127.0.0.1:1/",
                               "artnet:1.2.3",
                               "artnet:127.0.0.1:+1",
                               "sacn",
                               "sacn:127.0.0.1:0",
                               "sacn:127.0.0.1:64000",
                               "sacn:Multicast",
                               "sacn::1",
                               "usbpro",
                               "usbpro:",
                               "usbpro:ttyUSB0"}) {
        EXPECT_FALSE(zentra::SelectDevice(device, error)) << device;
        EXPECT_NE(error.find(device), std::string::npos) << "names what was given: " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_EQ(zentra::SelectedDevice(), "sim") << device;
    }
}

TEST_F(InterfaceDeviceStringsTest, EveryKindIsListedForTheHelpText)
{
    const auto forms = zentra::DeviceForms();
    for (const char *kind : {"sim", "ola:", "artnet:", "sacn:", "usbpro:"})
        EXPECT_TRUE(std::any_of(forms.begin(), forms.end(), [&](const std::string &f) {
            return f.starts_with(kind);
        })) << kind;
}

} // namespace
