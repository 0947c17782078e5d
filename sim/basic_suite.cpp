// The basic suite that comes with every message: serves the catalog's suites by exact name and
// version, counts acquisitions and releases, and tracks the blocks it allocates.
#include <cstdlib>
#include <cstring>

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

const ServedSuite* FindServed(const char* name, std::int32_t version) {
#define KELVANE_SERVED_ROW(slot, type, name, version) {name, version, SuiteTable<type>()},
    static const ServedSuite kServed[] = {KELVANE_SUITE_CATALOG(KELVANE_SERVED_ROW)};
#undef KELVANE_SERVED_ROW
    if (name == nullptr) return nullptr;
    for (const ServedSuite& served : kServed) {
        if (served.version == version && std::strcmp(served.name, name) == 0) return &served;
    }
    return nullptr;
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
    if (served == nullptr || suite == nullptr || host.IsRefused(name)) return kSuiteNotFoundStatus;
    *suite = served->table;
    ++host.suiteUses_[name].acquired;
    return kNoError;
}

HostStatus ServeRelease(const char* name, std::int32_t version) {
    Host& host = Host::Current();
    if (HostStatus gated = host.Gate().Pass(kBasicSuite, "ReleaseSuite")) return gated;
    if (FindServed(name, version) == nullptr) return kSuiteNotFoundStatus;
    SuiteUse& use = host.suiteUses_[name];
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
