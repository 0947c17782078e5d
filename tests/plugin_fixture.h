// A simulated host with the plug-in loaded, for tests that drive it through its messages.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "document.h"
#include "host.h"
#include "shell/plugin_state.h"

// The settings file in the host's documents folder.
inline std::string SettingsFilePath(const sim::Host& host) {
    const char sep =
#ifdef _WIN32
        '\\';
#else
        '/';
#endif
    return host.DocumentsFolder() + sep + "Adobe" + sep + "Illustrator" + sep + "Prefs" + sep + "Kelvane.ini";
}

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
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

    std::string SettingsPath() const { return SettingsFilePath(host); }
    std::string ReadSettingsFileText() const { return ReadWholeFile(SettingsPath()); }
};

// The plug-in started and a new document open, in English, for tests that make art in it.
class DocumentTest : public PluginTest {
protected:
    sim::Document* doc = nullptr;

    void SetUp() override {
        StartPlugin();
        doc = &host.NewDocument();
        State().language = kEnglish;
    }

    sim::Art* Root(int layer = 0) { return doc->LayerAt(layer)->root; }
};
