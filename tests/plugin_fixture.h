// A simulated host with the plug-in loaded, for tests that drive it through its messages.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "host.h"
#include "shell/plugin_state.h"

// The gated calls of a good run up to the release of the suites: a refused release leaves the
// shell's bracket unbalanced for good, which says nothing about the command.
template <typename RunCommand>
inline std::int64_t CallsBeforeRelease(sim::Host& host, RunCommand run) {
    host.Gate().ClearLog();
    host.Gate().SetLogging(true);
    host.Gate().ResetCallCount();
    run();
    host.Gate().SetLogging(false);
    const auto& log = host.Gate().Log();
    std::int64_t calls = 0;
    while (calls < static_cast<std::int64_t>(log.size()) && log[static_cast<std::size_t>(calls)].operation != "ReleaseSuite") {
        ++calls;
    }
    host.Gate().ClearLog();
    return calls;
}

class PluginTest : public ::testing::Test {
protected:
    sim::Host host;

    // On Windows the documents folder is the (Wine) user's own, shared by every test: start each
    // test without a settings file, as the native host's fresh folder does.
    PluginTest() { std::remove(SettingsPath().c_str()); }

    PluginState& State() { return *static_cast<PluginState*>(host.Globals()); }
    sim::AppState& App() { return host.App(); }

    void StartPlugin() { ASSERT_EQ(host.Startup(), kNoError); }

    // A message that carries nothing behind the common header.
    HostStatus SendBare(const char* caller, const char* selector) {
        InterfaceMessage message{host.Header()};
        return host.Send(caller, selector, &message);
    }

    std::string SettingsPath() const {
        const char sep =
#ifdef _WIN32
            '\\';
#else
            '/';
#endif
        return host.DocumentsFolder() + sep + "Adobe" + sep + "Illustrator" + sep + "Prefs" + sep + "Kelvane.ini";
    }

    std::string ReadSettingsFileText() const {
        std::ifstream file(SettingsPath(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
};
