// The basic suite that comes with every message: serves the catalog's suites by exact name and
// version, counts acquisitions and releases, and tracks the blocks it allocates.
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/suite_catalog.h"
#include "suite_support.h"

namespace sim {

namespace {

constexpr const char* kBasicSuite = "SP Basic Suite";

struct ServedSuite {
    const char* name;
    std::int32_t version;
    const void* table;
};

#define KELVANE_SERVED_ROW(slot, type, name, version) {name, version, SuiteTable<type>()},
const ServedSuite kServed[] = {KELVANE_SUITE_CATALOG(KELVANE_SERVED_ROW)};
#undef KELVANE_SERVED_ROW
constexpr std::size_t kServedCount = sizeof kServed / sizeof kServed[0];

// Every message asks for the whole catalog, and failure sweeps replay thousands of messages, so
// finding a row must cost little.
const ServedSuite* FindServed(const char* name, std::int32_t version) {
    static const std::unordered_multimap<std::string_view, const ServedSuite*> kByName = [] {
        std::unordered_multimap<std::string_view, const ServedSuite*> rows;
        for (const ServedSuite& served : kServed) rows.emplace(served.name, &served);
        return rows;
    }();
    if (name == nullptr) return nullptr;
    const auto [first, last] = kByName.equal_range(name);
    for (auto row = first; row != last; ++row) {
        if (row->second->version == version) return row->second;
    }
    return nullptr;
}

// Counted by name. The plug-in asks for the same rows over and over, so each row's count is found
// by name once per host and reached through the row after that.
SuiteUse& UseOf(SuiteUses& uses, std::vector<SuiteUse*>& byRow, const ServedSuite* served) {
    if (byRow.empty()) byRow.assign(kServedCount, nullptr);
    SuiteUse*& use = byRow[static_cast<std::size_t>(served - kServed)];
    if (use == nullptr) use = &uses[served->name];
    return *use;
}

std::int32_t IsEqualText(const char* a, const char* b) {
    return a != nullptr && b != nullptr && std::strcmp(a, b) == 0 ? 1 : 0;
}

}  // namespace

template <>
const void* SuiteTable<void>() {
    // The plug-in only stores these suites for the host's wrapper layers and never calls into them.
    static const struct {
        const char* what;
    } kPlaceholder{"suite without operations in this host"};
    return &kPlaceholder;
}

HostStatus ServeAcquire(const char* name, std::int32_t version, const void** suite) {
    Host& host = Host::Current();
    if (suite != nullptr) *suite = nullptr;
    if (HostStatus gated = host.Gate().Pass(kBasicSuite, "AcquireSuite")) return gated;
    const ServedSuite* served = FindServed(name, version);
    if (served == nullptr || suite == nullptr) return kSuiteNotFoundStatus;
    if (host.IsRefused(name)) return kSuiteNotFoundStatus;
    *suite = served->table;
    ++UseOf(host.suiteUses_, host.suiteUseByRow_, served).acquired;
    return kNoError;
}

HostStatus ServeRelease(const char* name, std::int32_t version) {
    Host& host = Host::Current();
    if (HostStatus gated = host.Gate().Pass(kBasicSuite, "ReleaseSuite")) return gated;
    const ServedSuite* served = FindServed(name, version);
    if (served == nullptr) return kSuiteNotFoundStatus;
    SuiteUse& use = UseOf(host.suiteUses_, host.suiteUseByRow_, served);
    // Releasing more often than acquiring is the plug-in's fault; the host refuses it.
    if (use.released >= use.acquired) return kBadParameterStatus;
    ++use.released;
    return kNoError;
}

HostStatus ServeAllocate(std::size_t size, void** block) {
    Host& host = Host::Current();
    if (block != nullptr) *block = nullptr;
    if (HostStatus gated = host.Gate().Pass(kBasicSuite, "AllocateBlock")) return gated;
    if (block == nullptr) return kBadParameterStatus;
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory == nullptr) return kOutOfMemoryStatus;
    host.blocks_.insert(memory);
    *block = memory;
    return kNoError;
}

HostStatus ServeFree(void* block) {
    Host& host = Host::Current();
    if (HostStatus gated = host.Gate().Pass(kBasicSuite, "FreeBlock")) return gated;
    if (block == nullptr) return kNoError;
    if (host.blocks_.erase(block) == 0) return kBadParameterStatus;  // not one of ours, or freed twice
    std::free(block);
    return kNoError;
}

SPBasicSuite MakeBasicSuite() { return SPBasicSuite{ServeAcquire, ServeRelease, IsEqualText, ServeAllocate, ServeFree}; }

}  // namespace sim
