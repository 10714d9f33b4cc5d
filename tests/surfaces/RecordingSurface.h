#pragma once

#include "FeedbackRecorder.h"
#include "surfaces/ControlLayer.h"
#include "surfaces/PaneDesk.h"
#include "views/ConsoleFixture.h"

namespace orinsub::testing {

/// The console with a control layer on its panes.
class LayerTest : public ConsoleTest
{
protected:
    ~LayerTest() override { layer.reset(); }
    void Attach(RecordingSurface &surface) { layer->Attach(&surface); }

    surfaces::PaneDesk desk;
    std::unique_ptr<surfaces::ControlLayer> layer = std::make_unique<surfaces::ControlLayer>(desk);
};

} // namespace orinsub::testing
