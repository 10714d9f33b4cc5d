#pragma once

#include "surfaces/ControlLayer.h"
#include "surfaces/osc/OscSurface.h"

#include <cstdio>
#include <memory>
#include <string>

namespace orinsub::bench {

/// The console's OSC surface on a free port of 127.0.0.1, where a benchmark's client sends.
struct BenchOsc
{
    std::unique_ptr<surfaces::osc::OscSurface> surface;
    std::string port;
};

/// Opens it on the layer; no surface, said on stderr, when the port cannot be had.
inline BenchOsc OpenBenchOsc(surfaces::ControlLayer &layer)
{
    QString error;
    auto server = surfaces::osc::OscServer::Open({0x7f000001, 0}, error);
    if (!server) {
        std::fprintf(stderr, "OSC: %s\n", qPrintable(error));
        return {};
    }
    const std::string port = std::to_string(server->LocalEndpoint().port);
    return {std::make_unique<surfaces::osc::OscSurface>(layer, std::move(server)), port};
}

} // namespace orinsub::bench
