// A started plug-in in the simulated host with its suites held open, so benchmarks can call the
// plug-in's own routines the way they run inside a message.
#pragma once

#include <stdexcept>

#include "geometry/bezier_tables.h"
#include "host.h"
#include "shell/plugin_state.h"
#include "shell/suites.h"

class BenchHost {
public:
    BenchHost() {
        if (host.Startup() != kNoError) throw std::runtime_error("the plug-in did not start");
        AcquireSuites(host.Basic());
        // On Windows the plug-in is a library of its own and the benchmark's copy of the routines
        // has no state: give it the tables the plug-in makes at start-up.
        if (gState == nullptr) {
            SetStartValues(tables_, nullptr, 1.0);
            BuildBezierTables(tables_);
            gState = &tables_;
        }
    }
    ~BenchHost() {
        if (gState == &tables_) gState = nullptr;
        ReleaseSuites(host.Basic());
        host.Shutdown();
    }
    BenchHost(const BenchHost&) = delete;
    BenchHost& operator=(const BenchHost&) = delete;

    sim::Host host;

private:
    PluginState tables_{};
};
