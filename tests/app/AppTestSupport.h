#pragma once

#include "app/MainFrame.h"
#include "dmx/ManualTimer.h"
#include "dmx/PeriodicTimer.h"
#include "model/Mix.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "support/PrivateSettings.h"
#include "views/DanConsoleView.h"
#include "views/MasterConsoleView.h"
#include "zentra/SimulatedInterface.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace orinsub::testing {

/// While it lives, the link timers the program creates are manual ones; current() is the last.
class ManualLinkTimers
{
public:
    ManualLinkTimers() { dmx::SetPeriodicTimerFactory(&Create); }
    ~ManualLinkTimers()
    {
        dmx::SetPeriodicTimerFactory(nullptr);
        s_current = nullptr;
    }
    /// The timer of the frame alive now; null once it has been freed.
    static ManualTimer *current() { return s_current; }

private:
    class Tracked : public ManualTimer
    {
    public:
        ~Tracked() override
        {
            if (s_current == this)
                s_current = nullptr;
        }
    };
    static std::unique_ptr<dmx::PeriodicTimer> Create()
    {
        auto timer = std::make_unique<Tracked>();
        s_current = timer.get();
        return timer;
    }
    static inline ManualTimer *s_current = nullptr;
};

/// The main window shown and active over a fresh show, with manual link timers and the simulated
/// interface as it starts; the registry is emptied before and after.
class MainWindowTest : public ::testing::Test
{
protected:
    MainWindowTest()
    {
        model::g_orin = model::COrinGlobal{};
        model::g_orin.m_pDoc = &doc;
        model::s_channelLevels.fill(0);
        zentra::sim::Restore();
        frame = std::make_unique<app::CMainFrame>(&doc);
        frame->OnInitialUpdate();
        frame->show();
        QApplication::setActiveWindow(frame.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    }
    ~MainWindowTest() override
    {
        frame.reset();
        model::g_orin = model::COrinGlobal{};
    }

    views::CDanConsoleView &Dan() { return *frame->GetDanView(); }
    views::CMasterConsoleView &Master() { return *frame->GetMasterView(); }

    ManualLinkTimers timers;
    model::COrinSUBDoc doc;
    std::unique_ptr<app::CMainFrame> frame;
};

} // namespace orinsub::testing
