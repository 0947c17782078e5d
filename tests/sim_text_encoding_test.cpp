// The plug-in's Japanese texts reach the host as Shift-JIS bytes; tests compare them as UTF-8.
#include <gtest/gtest.h>

#include "host.h"

namespace {

TEST(SimTextEncoding, Cp932BytesAsUtf8) {
    EXPECT_EQ(sim::Cp932ToUtf8("\x83\x8C\x83\x93\x83\x4F\x83\x58\x82\xCC\x8E\xE6\x82\xE8\x8F\xC1\x82\xB5"),
              "レングスの取り消し");
    EXPECT_EQ(sim::Cp932ToUtf8("Undo Length"), "Undo Length");
    EXPECT_EQ(sim::Cp932ToUtf8("\xB6\xDE"), "ｶﾞ") << "half-width katakana are single bytes";
    EXPECT_EQ(sim::Cp932ToUtf8(""), "");
}

}  // namespace
