// The plug-in library loaded, started, shown, shut down and unloaded many times in one process, as a
// host that is started again and again would: nothing it makes may outlive its shut-down. Windows
// build only (LoadLibrary of Kelvane.aip, real windows, GDI and GDI+).
#ifdef _WIN32

#include <windows.h>

#include <psapi.h>

#include <gtest/gtest.h>

#include <cstdint>

#include "host.h"
#include "win32_plugin_library.h"

namespace {

constexpr int kLives = 100;
// The first lives load the system's libraries and caches (GDI+, fonts, the theme), which stay.
constexpr int kWarmUpLives = 5;

struct ProcessUse {
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
    SIZE_T committedBytes = 0;
};

// Wine counts neither GDI nor USER objects (both read 0) and leaves PrivateUsage at 0; its
// PagefileUsage is the process's committed memory.
ProcessUse CurrentUse() {
    ProcessUse use;
    use.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    use.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    PROCESS_MEMORY_COUNTERS counters{};
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
        use.committedBytes = counters.PagefileUsage;
    }
    return use;
}

// The host's message loop, which runs between any two messages it sends the plug-in.
void PumpMessages() {
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&message);
}

// One life of the plug-in: loaded, started, its panel made and painted with a document open, shut
// down, unloaded. Returns whether it went cleanly (failures are reported through gtest).
bool LiveOnce() {
    sim::Host host;
    if (host.Startup() != 0) {
        ADD_FAILURE() << "start-up failed";
        return false;
    }
    host.Notify("AI Application Started Notifier");
    host.NewDocument();
    host.Notify("AI Document Opened Notifier");
    for (const auto& panel : host.App().panels) {
        RedrawWindow(static_cast<HWND>(panel->window), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    PumpMessages();
    EXPECT_EQ(host.Shutdown(), 0) << "shut-down failed";
    PumpMessages();
    EXPECT_EQ(host.OutstandingBlocks(), 0u) << "memory the plug-in took from the host and did not give back";
    EXPECT_TRUE(host.SuitesBalanced());
    return !::testing::Test::HasFailure();
}

// kLives lives after the warm-up; the process's use before and after them.
void Live(ProcessUse& before, ProcessUse& after) {
    for (int life = 0; life < kWarmUpLives; ++life) ASSERT_TRUE(LiveOnce()) << "life " << life;
    before = CurrentUse();
    for (int life = 0; life < kLives; ++life) ASSERT_TRUE(LiveOnce()) << "life " << life;
    after = CurrentUse();
}

// Loaded and unloaded at every life: no GDI object (fonts, brushes, bitmaps), window or menu stays.
TEST(PluginLifecycle, AHundredLoadsStartAndShutDownCleanly) {
    ProcessUse before, after;
    Live(before, after);
    EXPECT_EQ(after.gdiObjects, before.gdiObjects) << "GDI objects leaked";
    EXPECT_EQ(after.userObjects, before.userObjects) << "windows or menus leaked";
}

// Wine's loader keeps a few kilobytes for every load of any library, and the heap around them stays
// fragmented, so memory is measured with the library held loaded: what grows is the lives' alone
// (measured: about 30 KB over the hundred, the heap's own noise).
TEST(PluginLifecycle, AHundredLivesDoNotGrowMemory) {
    const win32_plugin_library::Module held(LoadLibraryA(win32_plugin_library::PluginLibraryPath().c_str()));
    ASSERT_NE(held.get(), nullptr);
    ProcessUse before, after;
    Live(before, after);
    const auto growth =
        static_cast<std::int64_t>(after.committedBytes) - static_cast<std::int64_t>(before.committedBytes);
    EXPECT_LT(growth, 256 * 1024) << "committed memory grew by " << growth << " bytes over " << kLives << " lives";
}

}  // namespace

#endif  // _WIN32
