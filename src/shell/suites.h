// The suite slots: filled by AcquireSuites at the start of each outermost message bracket and
// emptied when it closes. A slot stays null when the host refuses the suite, so every use is guarded.
#pragma once

#include "host/suite_catalog.h"
#include "host/suites.h"

#define KELVANE_DECLARE_SLOT(slot, type, name, version) extern const type* slot;
KELVANE_SUITE_CATALOG(KELVANE_DECLARE_SLOT)
#undef KELVANE_DECLARE_SLOT

constexpr int kSuiteCount = 120;

struct SuiteRow {
    const char* name;
    std::int32_t version;
    const void** slot;
};

extern const SuiteRow SuiteTable[kSuiteCount];

// Open acquisition brackets; only the outermost one acquires and releases.
extern std::int16_t suiteDepth;

// The basic suite of the message in progress.
extern SPBasicSuite* gBasic;

HostStatus AcquireSuites(SPBasicSuite* basic);
HostStatus ReleaseSuites(SPBasicSuite* basic);
