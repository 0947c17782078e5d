// The simulated document as the plug-in sees it through the suites: tree walks, placement, paths,
// views, bounds and undo; and the host's failure injection. (Tags are the adjust records' tests'.)
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "document.h"
#include "host.h"
#include "host/suites.h"

namespace {

class SimDocument : public ::testing::Test {
protected:
    sim::Host host;
    sim::Document& document = host.NewDocument();
    sim::Art* root = document.CurrentLayer()->root;
    const ArtSuite* art = Acquire<ArtSuite>("AI Art Suite", 21);
    const PathSuite* path = Acquire<PathSuite>("AI Path Suite", 13);
    const LayerSuite* layers = Acquire<LayerSuite>("AI Layer Suite", 13);

    template <typename Suite>
    const Suite* Acquire(const char* name, std::int32_t version) {
        const void* suite = nullptr;
        EXPECT_EQ(host.Basic()->AcquireSuite(name, version, &suite), kNoError) << name;
        return static_cast<const Suite*>(suite);
    }

    ArtHandle Step(HostStatus (*walk)(ArtHandle, ArtHandle*), ArtHandle from) {
        ArtHandle to = nullptr;
        EXPECT_EQ(walk(from, &to), kNoError);
        return to;
    }
    std::int16_t TypeOf(ArtHandle handle, HostStatus expected = kNoError) {
        std::int16_t type = -1;
        EXPECT_EQ(art->GetArtType(handle, &type), expected);
        return type;
    }
};

TEST_F(SimDocument, WalksLayersAndArtTreesInTheHostsOrder) {
    sim::Layer* second = document.AddLayer("Second");
    sim::Art* group = document.AddGroup(root);
    sim::Art* inner = document.AddPath(group, {{0, 0}, {10, 0}});
    sim::Art* outer = document.AddPath(root, {{0, 0}, {0, 10}});
    LayerHandle layer = nullptr;
    ASSERT_EQ(layers->GetNthLayer(1, &layer), kNoError);
    EXPECT_EQ(layer, sim::HandleOf(second)) << "index 0 is the top, added layers go below";
    EXPECT_NE(layers->GetNthLayer(2, &layer), kNoError);
    char title[4];
    ASSERT_EQ(layers->GetLayerTitle(sim::HandleOf(second), title, sizeof title), kNoError);
    EXPECT_STREQ(title, "Sec");

    ArtHandle top = nullptr;
    ASSERT_EQ(art->GetFirstArtOfLayer(sim::HandleOf(document.LayerAt(0)), &top), kNoError);
    EXPECT_EQ(Step(art->GetArtFirstChild, top), sim::HandleOf(group));
    EXPECT_EQ(Step(art->GetArtFirstChild, sim::HandleOf(group)), sim::HandleOf(inner));
    EXPECT_EQ(Step(art->GetArtSibling, sim::HandleOf(group)), sim::HandleOf(outer));
    EXPECT_EQ(Step(art->GetArtSibling, sim::HandleOf(outer)), nullptr);
    EXPECT_EQ(Step(art->GetArtPriorSibling, sim::HandleOf(outer)), sim::HandleOf(group));
    EXPECT_EQ(Step(art->GetArtParent, sim::HandleOf(inner)), sim::HandleOf(group));
    EXPECT_EQ(Step(art->GetArtParent, top), nullptr);
    EXPECT_EQ(TypeOf(sim::HandleOf(group)), kGroupArt);

    host.CloseDocument();
    std::int32_t count = 0;
    EXPECT_EQ(layers->CountLayers(&count), sim::kNoDocumentStatus);
}

TEST_F(SimDocument, NewArtPlacementAndDisposal) {
    sim::Art* existing = document.AddPath(root, {{0, 0}, {1, 1}});
    ArtHandle top = nullptr, below = nullptr, above = nullptr, refused = nullptr;
    ASSERT_EQ(art->NewArt(kPathArt, kPlaceInsideOnTop, sim::HandleOf(root), &top), kNoError);
    ASSERT_EQ(art->NewArt(kPathArt, kPlaceBelow, sim::HandleOf(existing), &below), kNoError);
    ASSERT_EQ(art->NewArt(kGroupArt, kPlaceAbove, below, &above), kNoError);
    std::vector<ArtHandle> order;
    for (const sim::Art* child : root->Children()) order.push_back(sim::HandleOf(child));
    EXPECT_EQ(order, (std::vector<ArtHandle>{top, sim::HandleOf(existing), above, below}));
    EXPECT_NE(art->NewArt(kPathArt, kPlaceInsideOnTop, sim::HandleOf(existing), &refused), kNoError)
        << "a path holds no art";
    EXPECT_NE(art->NewArt(kTextFrameArt, kPlaceAbove, below, &refused), kNoError);
    ASSERT_EQ(art->DisposeArt(above), kNoError);
    EXPECT_EQ(root->Children().size(), 3u);
    TypeOf(above, kBadParameterStatus);  // a disposed handle is refused
    // So are addresses inside a record and a record of the pool not made yet.
    TypeOf(reinterpret_cast<ArtHandle>(reinterpret_cast<char*>(existing) + 8), kBadParameterStatus);
    TypeOf(reinterpret_cast<ArtHandle>(const_cast<sim::Art*>(document.ArtAt(document.ArtCount() - 1)) + 1),
           kBadParameterStatus);
    EXPECT_NE(art->DisposeArt(sim::HandleOf(root)), kNoError) << "a layer's group stays";
}

TEST_F(SimDocument, PathSegmentsSelectionAndTheAnchorLimit) {
    sim::Art* line = document.AddPath(root, {{0, 0}, {10, 0}});
    const ArtHandle handle = sim::HandleOf(line);
    const AnchorRecord start{{-5, 0}, {-5, 0}, {-5, 0}, true};
    ASSERT_EQ(path->InsertPathSegments(handle, -1, 1, &start), kNoError);
    const AnchorRecord end[2] = {{{10, 0}, {10, 0}, {10, 0}, true}, {{20, 5}, {20, 5}, {20, 5}, false}};
    ASSERT_EQ(path->SetPathSegments(handle, 2, 2, end), kNoError) << "writing past the end lengthens";
    ASSERT_EQ(line->anchors.size(), 4u);
    EXPECT_TRUE(line->anchors[0].p.h == -5 && line->anchors[1].p.h == 0 && line->anchors[3].p.v == 5);
    AnchorRecord read[2];
    EXPECT_NE(path->GetPathSegments(handle, 3, 2, read), kNoError) << "past the last anchor";
    EXPECT_NE(path->SetPathSegments(handle, 5, 1, end), kNoError) << "a gap";

    ASSERT_EQ(path->SetPathSegmentSelected(handle, 2, kOutHandleSelected), kNoError);
    EXPECT_TRUE(line->Selected()) << "selecting an anchor selects the path";
    std::int16_t selection = -1;
    ASSERT_EQ(path->GetPathSegmentSelected(handle, 2, &selection), kNoError);
    EXPECT_EQ(selection, kOutHandleSelected);
    EXPECT_NE(path->SetPathSegmentSelected(handle, 2, 5), kNoError);
    std::int16_t count = 0;
    EXPECT_EQ(path->GetPathSegmentCount(sim::HandleOf(root), &count), kBadParameterStatus) << "not a path";

    // Anchor counts and indexes are 16-bit: no path grows beyond 32767 anchors, and a refusal changes nothing.
    sim::Art* full = document.AddCurve(root, std::vector<AnchorRecord>(sim::kMaxPathAnchors, start));
    EXPECT_NE(path->InsertPathSegments(sim::HandleOf(full), 0, 1, &start), kNoError);
    EXPECT_NE(path->SetPathSegments(sim::HandleOf(full), 32767, 1, &start), kNoError);
    EXPECT_EQ(full->anchors.size(), sim::kMaxPathAnchors);
    EXPECT_THROW(document.AddCurve(root, std::vector<AnchorRecord>(32768, start)), std::length_error);
}

// View y grows downwards; a view point is rounded to the nearest pixel. Bounds follow the curve,
// not its handles.
TEST_F(SimDocument, ViewCoordinatesAndBounds) {
    const DocumentViewSuite* views = Acquire<DocumentViewSuite>("AI Document View Suite", 16);
    sim::DocumentView& view = *document.View(0);
    view.zoom = 2;
    view.origin = RealPoint{100, 500};
    DocumentViewHandle handle = nullptr;
    ASSERT_EQ(views->GetNthDocumentView(0, &handle), kNoError);
    const RealPoint artwork{110.25, 480};
    ViewPoint point{};
    ASSERT_EQ(views->ArtworkPointToViewPoint(handle, &artwork, &point), kNoError);
    EXPECT_TRUE(point.h == 21 && point.v == 40) << point.h << ", " << point.v;
    RealPoint back{};
    ASSERT_EQ(views->ViewPointToArtworkPoint(handle, &point, &back), kNoError);
    EXPECT_TRUE(back.h == 110.5 && back.v == 480);
    RealRect bounds{};
    ASSERT_EQ(views->GetDocumentViewBounds(handle, &bounds), kNoError);
    EXPECT_TRUE(bounds.top == 500 && bounds.bottom == 500 - view.height / 2.0 &&
                bounds.right == 100 + view.width / 2.0);

    // An arch whose handles stand 12 high: the curve itself reaches 9 (3/4 of the handles).
    sim::Art* bulge = document.AddCurve(root, {{{0, 0}, {0, 0}, {0, 12}, false}, {{10, 0}, {10, 12}, {10, 0}, false}});
    ASSERT_EQ(art->GetArtBounds(sim::HandleOf(bulge), &bounds), kNoError);
    EXPECT_TRUE(bounds.left == 0 && bounds.right == 10 && bounds.bottom == 0 && bounds.top == 9);

    host.CloseDocument();
    EXPECT_EQ(views->GetNthDocumentView(0, &handle), sim::kNoDocumentStatus);
    EXPECT_EQ(handle, nullptr);
}

TEST_F(SimDocument, UndoChangesRevertsTheCurrentStep) {
    const UndoSuite* undo = Acquire<UndoSuite>("AI Undo Suite", 12);
    sim::Art* kept = document.AddPath(root, {{0, 0}, {10, 0}});
    sim::Art* doomed = document.AddPath(root, {{0, 0}, {0, 10}});
    host.Undo().Open("test", &document);
    const AnchorRecord moved{{50, 50}, {50, 50}, {50, 50}, true};
    ASSERT_EQ(path->SetPathSegments(sim::HandleOf(kept), 0, 1, &moved), kNoError);
    ASSERT_EQ(art->DisposeArt(sim::HandleOf(doomed)), kNoError);
    ArtHandle made = nullptr;
    ASSERT_EQ(art->NewArt(kPathArt, kPlaceInsideOnTop, sim::HandleOf(root), &made), kNoError);
    LayerHandle layer = nullptr;
    ASSERT_EQ(layers->InsertLayer(nullptr, kPlaceAbove, &layer), kNoError);
    ASSERT_EQ(undo->SetUndoText("Undo X", "Redo X"), kNoError);

    ASSERT_EQ(undo->UndoChanges(1), kNoError);
    EXPECT_EQ(kept->anchors[0].p.h, 0);
    EXPECT_EQ(root->Children(), (std::vector<sim::Art*>{kept, doomed}));
    TypeOf(sim::HandleOf(doomed));              // disposed art is back
    TypeOf(made, kBadParameterStatus);          // art made in the step is gone
    EXPECT_EQ(document.LayerCount(), 1);
    host.Undo().Close(&document);
    const sim::UndoStep* step = host.Undo().Last();
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(step->undoText, "Undo X");
    EXPECT_EQ(step->undoChangesCalls, std::vector<std::int32_t>{1});
}

// Failure injection, which the failure sweep relies on: the Nth gated call fails once, every call of
// one operation fails, and the log says which call failed.
TEST_F(SimDocument, TheFailureGateFailsTheNthCallOrEveryCallOfAnOperation) {
    constexpr HostStatus kInjectedStatus = FourCharCode('I', 'N', 'J', '!');
    host.Gate().SetLogging(true);
    const UserSuite* user = Acquire<UserSuite>("AI User Suite", 21);
    host.Gate().ResetCallCount();
    host.Gate().FailNthCall(2, kInjectedStatus);
    EXPECT_EQ(user->MessageAlert("one"), kNoError);
    EXPECT_EQ(user->MessageAlert("two"), kInjectedStatus);
    EXPECT_EQ(user->MessageAlert("three"), kNoError);
    ASSERT_EQ(host.App().alerts.size(), 2u) << "a failed call does nothing";
    EXPECT_EQ(host.App().alerts[1].text, "three");
    const auto& log = host.Gate().Log();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[2].suite, "AI User Suite");
    EXPECT_EQ(log[2].operation, "MessageAlert");
    EXPECT_EQ(log[2].injected, kInjectedStatus);
    EXPECT_EQ(log[3].injected, kNoError);

    host.Gate().FailOperation("SP Basic Suite", "AllocateBlock", kOutOfMemoryStatus);
    void* block = &host;
    EXPECT_EQ(host.Basic()->AllocateBlock(8, &block), kOutOfMemoryStatus);
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(host.Basic()->AllocateBlock(8, &block), kOutOfMemoryStatus);
    host.Gate().ClearFailures();
    EXPECT_EQ(host.Basic()->AllocateBlock(8, &block), kNoError);
    EXPECT_EQ(host.Basic()->FreeBlock(block), kNoError);
}

}  // namespace
