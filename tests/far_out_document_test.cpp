// A hostile document: anchors so far apart that lengths, crossings and motions overflow a double.
// Every command refuses or passes over them; none writes an infinity or a NaN into the document.
#include <cmath>

#include "document.h"
#include "plugin_fixture.h"
#include "shell/commands.h"

namespace {

constexpr double kFar = 1e308;

bool AllFinite(const sim::Art* art) {
    for (const AnchorRecord& a : art->anchors) {
        for (const RealPoint& p : {a.p, a.in, a.out}) {
            if (!std::isfinite(p.h) || !std::isfinite(p.v)) return false;
        }
    }
    for (const sim::Art* child : art->Children()) {
        if (!AllFinite(child)) return false;
    }
    return true;
}

class FarOutDocumentTest : public PluginTest, public ::testing::WithParamInterface<std::uint16_t> {};

TEST_P(FarOutDocumentTest, NoCommandWritesAnInfinityOrANaN) {
    StartPlugin();
    sim::Document& doc = host.NewDocument();
    sim::Art* root = doc.CurrentLayer()->root;
    for (sim::Art* line : {doc.AddPath(root, {{-kFar, 0}, {kFar, 1}}), doc.AddPath(root, {{0, -kFar}, {1, kFar}})}) {
        doc.SelectWhole(line);
    }
    State().commandId = GetParam();
    State().typedLength = 50;
    State().flDivideSegment = 1;
    ASSERT_EQ(host.PlayAction("KELVANE_INSIDECMD", 3, nullptr), kNoError);
    EXPECT_TRUE(AllFinite(root));
    EXPECT_TRUE(std::isfinite(State().measuredLength));

    // A curve whose length overflows: not measured, not reshaped.
    sim::Art* curve =
        doc.AddCurve(root, {{{-kFar, 5}, {-kFar, 5}, {kFar, 5}, false}, {{kFar, 9}, {-kFar, 9}, {kFar, 9}, false}});
    doc.SelectWhole(curve);
    ASSERT_EQ(host.PlayAction("KELVANE_INSIDECMD", 3, nullptr), kNoError);
    EXPECT_TRUE(AllFinite(root));
    EXPECT_TRUE(std::isfinite(State().measuredLength));
}

INSTANTIATE_TEST_SUITE_P(EveryDrawingCommand, FarOutDocumentTest,
                         ::testing::Values(kCommandLengthTyped, kCommandPointer, kCommandHandleLine,
                                           kCommandAngleBisector, kCommandExtensionCrossing, kCommandLengthReadout));

}  // namespace
