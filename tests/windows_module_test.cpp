// The plug-in library as the host sees it before it calls in: the property list resource it reads
// first, and the one entry point. Windows build only: Kelvane.aip sits next to the test program.
#ifdef _WIN32

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "win32_plugin_library.h"

namespace {

using win32_plugin_library::Module;
using win32_plugin_library::PluginLibraryPath;

// Big-endian words: version 1, 0, four properties. Each property is vendor, key, id 0, data length
// and its data padded to a multiple of 4.
const std::string kPropertyList("\0\0\0\1"
                                "\0\0\0\0"
                                "\0\0\0\4"
                                "ADBEkind\0\0\0\0\0\0\0\4SPEA"
                                "ADBEivrs\0\0\0\0\0\0\0\4\0\0\0\2"
                                "ADBEwx86\0\0\0\0\0\0\0\0"
                                "ADBEpinm\0\0\0\0\0\0\0\7Kelvane\0",
                                92);

std::string Hex(const std::string& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i != 0) text += (i % 4 == 0) ? " | " : " ";
        text += kDigits[static_cast<unsigned char>(bytes[i]) >> 4];
        text += kDigits[bytes[i] & 0xF];
    }
    return text;
}

TEST(PluginLibrary, PropertyListResourceHasTheExpectedBytes) {
    const std::string path = PluginLibraryPath();
    Module module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_NE(module.get(), nullptr) << "cannot open " << path << " (error " << GetLastError() << ")";

    HRSRC resource = FindResourceExA(module.get(), "PIPL", MAKEINTRESOURCEA(16000),
                                     MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    ASSERT_NE(resource, nullptr) << "no PIPL 16000 resource in English (US) (error " << GetLastError() << ")";
    const auto* data = static_cast<const char*>(LockResource(LoadResource(module.get(), resource)));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(Hex(std::string(data, SizeofResource(module.get(), resource))), Hex(kPropertyList));
}

TEST(PluginLibrary, ExportsPluginMain) {
    const std::string path = PluginLibraryPath();
    Module module(LoadLibraryA(path.c_str()));
    ASSERT_NE(module.get(), nullptr) << "cannot load " << path << " (error " << GetLastError() << ")";
    EXPECT_TRUE(GetProcAddress(module.get(), "PluginMain") != nullptr) << "PluginMain is not exported";
}

}  // namespace

#endif  // _WIN32
