#include "shell/suites.h"

#define KELVANE_DEFINE_SLOT(slot, type, name, version) const type* slot = nullptr;
KELVANE_SUITE_CATALOG(KELVANE_DEFINE_SLOT)
#undef KELVANE_DEFINE_SLOT

#define KELVANE_SUITE_ROW(slot, type, name, version) {name, version, reinterpret_cast<const void**>(&slot)},
const SuiteRow SuiteTable[kSuiteCount] = {KELVANE_SUITE_CATALOG(KELVANE_SUITE_ROW)};
#undef KELVANE_SUITE_ROW

std::int16_t suiteDepth = 0;
SPBasicSuite* gBasic = nullptr;

HostStatus AcquireSuites(SPBasicSuite* basic) {
    HostStatus status = kNoError;
    if (suiteDepth == 0 && basic != nullptr) {
        // A refused suite leaves its slot empty and the walk goes on; the last row's answer is the status.
        for (const SuiteRow& row : SuiteTable) {
            status = basic->AcquireSuite(row.name, row.version, row.slot);
            if (status != kNoError) *row.slot = nullptr;
        }
    }
    ++suiteDepth;
    return status;
}

HostStatus ReleaseSuites(SPBasicSuite* basic) {
    HostStatus status = kNoError;
    if (suiteDepth == 1 && basic != nullptr) {
        for (const SuiteRow& row : SuiteTable) {
            if (*row.slot == nullptr) continue;
            status = basic->ReleaseSuite(row.name, row.version);
            if (status != kNoError) break;
            *row.slot = nullptr;
        }
    }
    --suiteDepth;
    return status;
}
