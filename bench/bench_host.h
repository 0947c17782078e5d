// A started plug-in in the simulated host with its suites held open, so benchmarks can call the
// plug-in's own routines the way they run inside a message.
#pragma once

#include <stdexcept>

#include "host.h"
#include "shell/suites.h"

class BenchHost {
public:
    BenchHost() {
        if (host.Startup() != kNoError) throw std::runtime_error("the plug-in did not start");
        AcquireSuites(host.Basic());
    }
    ~BenchHost() {
        ReleaseSuites(host.Basic());
        host.Shutdown();
    }
    BenchHost(const BenchHost&) = delete;
    BenchHost& operator=(const BenchHost&) = delete;

    sim::Host host;
};
