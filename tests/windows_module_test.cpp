// The plug-in library as the host sees it before it calls in: the property list resource it reads
// first, and the one entry point. Windows build only: Kelvane.aip sits next to the test program.
#ifdef _WIN32

#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "win32_plugin_library.h"

namespace {

using win32_plugin_library::Module;
using win32_plugin_library::PluginLibraryPath;
using Bytes = std::vector<unsigned char>;

void AppendWord(Bytes& bytes, std::uint32_t word) {  // big-endian
    bytes.push_back(static_cast<unsigned char>(word >> 24));
    bytes.push_back(static_cast<unsigned char>(word >> 16));
    bytes.push_back(static_cast<unsigned char>(word >> 8));
    bytes.push_back(static_cast<unsigned char>(word));
}

void AppendChars(Bytes& bytes, const char* text, std::size_t count) {
    bytes.insert(bytes.end(), text, text + count);
}

// One property: vendor, key, id 0, data length, data padded with zero bytes to a multiple of 4.
void AppendProperty(Bytes& bytes, const char* key, const Bytes& data) {
    AppendChars(bytes, "ADBE", 4);
    AppendChars(bytes, key, 4);
    AppendWord(bytes, 0);
    AppendWord(bytes, static_cast<std::uint32_t>(data.size()));
    bytes.insert(bytes.end(), data.begin(), data.end());
    while (bytes.size() % 4 != 0) bytes.push_back(0);
}

Bytes ExpectedPropertyList() {
    Bytes list;
    AppendWord(list, 1);  // version
    AppendWord(list, 0);
    AppendWord(list, 4);  // property count

    Bytes kind;
    AppendChars(kind, "SPEA", 4);
    AppendProperty(list, "kind", kind);

    Bytes interfaceVersion;
    AppendWord(interfaceVersion, 2);
    AppendProperty(list, "ivrs", interfaceVersion);

    AppendProperty(list, "wx86", Bytes());

    Bytes name;
    AppendChars(name, "Kelvane", 7);
    AppendProperty(list, "pinm", name);
    return list;
}

std::string Hex(const Bytes& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i != 0) text += (i % 4 == 0) ? " | " : " ";
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0xF];
    }
    return text;
}

TEST(PluginLibrary, ExpectedPropertyListLayout) {
    const Bytes expected = ExpectedPropertyList();
    EXPECT_EQ(expected.size(), 12u + 20u + 20u + 16u + 24u);
}

TEST(PluginLibrary, PropertyListResourceHasTheExpectedBytes) {
    const std::string path = PluginLibraryPath();
    Module module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_NE(module.get(), nullptr) << "cannot open " << path << " (error " << GetLastError() << ")";

    HRSRC resource = FindResourceExA(module.get(), "PIPL", MAKEINTRESOURCEA(16000),
                                     MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    ASSERT_NE(resource, nullptr) << "no PIPL 16000 resource in English (US) (error " << GetLastError() << ")";
    const DWORD size = SizeofResource(module.get(), resource);
    HGLOBAL loaded = LoadResource(module.get(), resource);
    ASSERT_NE(loaded, nullptr);
    const auto* data = static_cast<const unsigned char*>(LockResource(loaded));
    ASSERT_NE(data, nullptr);

    const Bytes actual(data, data + size);
    EXPECT_EQ(Hex(actual), Hex(ExpectedPropertyList()));
}

TEST(PluginLibrary, ExportsPluginMain) {
    const std::string path = PluginLibraryPath();
    Module module(LoadLibraryA(path.c_str()));
    ASSERT_NE(module.get(), nullptr) << "cannot load " << path << " (error " << GetLastError() << ")";
    const FARPROC entry = GetProcAddress(module.get(), "PluginMain");
    EXPECT_TRUE(entry != nullptr) << "PluginMain is not exported (error " << GetLastError() << ")";
}

}  // namespace

#endif  // _WIN32
