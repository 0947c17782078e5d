// The simulated document as the plug-in sees it through the suites: tree walks, placement, paths,
// tags, views, geometry and undo.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>

#include "document.h"
#include "host.h"
#include "host/suites.h"

namespace {

class SimDocument : public ::testing::Test {
protected:
    sim::Host host;
    sim::Document& document = host.NewDocument();
    const ArtSuite* art = Acquire<ArtSuite>("AI Art Suite", 21);
    const PathSuite* path = Acquire<PathSuite>("AI Path Suite", 13);
    const LayerSuite* layers = Acquire<LayerSuite>("AI Layer Suite", 13);
    const TagSuite* tags = Acquire<TagSuite>("AI Tag Suite", 4);

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
};

TEST_F(SimDocument, WalksLayersAndArtTreesInTheHostsOrder) {
    sim::Layer* second = document.AddLayer("Second");
    sim::Layer* first = document.LayerAt(0);
    sim::Art* group = document.AddGroup(first->root);
    sim::Art* inner = document.AddPath(group, {{0, 0}, {10, 0}});
    sim::Art* outer = document.AddPath(first->root, {{0, 0}, {0, 10}});

    std::int32_t count = 0;
    ASSERT_EQ(layers->CountLayers(&count), kNoError);
    EXPECT_EQ(count, 2);
    LayerHandle layer = nullptr;
    ASSERT_EQ(layers->GetNthLayer(1, &layer), kNoError);
    EXPECT_EQ(layer, sim::HandleOf(second)) << "index 0 is the top, added layers go below";
    EXPECT_NE(layers->GetNthLayer(2, &layer), kNoError);
    char title[4];
    ASSERT_EQ(layers->GetLayerTitle(sim::HandleOf(second), title, sizeof title), kNoError);
    EXPECT_STREQ(title, "Sec");

    ArtHandle root = nullptr;
    ASSERT_EQ(art->GetFirstArtOfLayer(sim::HandleOf(first), &root), kNoError);
    const ArtHandle child = Step(art->GetArtFirstChild, root);
    EXPECT_EQ(child, sim::HandleOf(group));
    EXPECT_EQ(Step(art->GetArtFirstChild, child), sim::HandleOf(inner));
    EXPECT_EQ(Step(art->GetArtSibling, child), sim::HandleOf(outer));
    EXPECT_EQ(Step(art->GetArtSibling, sim::HandleOf(outer)), nullptr);
    EXPECT_EQ(Step(art->GetArtPriorSibling, sim::HandleOf(outer)), child);
    EXPECT_EQ(Step(art->GetArtParent, sim::HandleOf(inner)), child);
    EXPECT_EQ(Step(art->GetArtParent, root), nullptr);
    EXPECT_EQ(Step(art->GetArtFirstChild, sim::HandleOf(inner)), nullptr);
    LayerHandle owner = nullptr;
    ASSERT_EQ(art->GetLayerOfArt(sim::HandleOf(inner), &owner), kNoError);
    EXPECT_EQ(owner, sim::HandleOf(first));
    std::int16_t type = 0;
    ASSERT_EQ(art->GetArtType(child, &type), kNoError);
    EXPECT_EQ(type, kGroupArt);

    host.CloseDocument();
    EXPECT_EQ(layers->CountLayers(&count), sim::kNoDocumentStatus);
}

TEST_F(SimDocument, NewArtPlacementAndDisposal) {
    sim::Art* root = document.CurrentLayer()->root;
    sim::Art* existing = document.AddPath(root, {{0, 0}, {1, 1}});
    ArtHandle top = nullptr;
    ArtHandle below = nullptr;
    ArtHandle above = nullptr;
    ASSERT_EQ(art->NewArt(kPathArt, kPlaceInsideOnTop, sim::HandleOf(root), &top), kNoError);
    ASSERT_EQ(art->NewArt(kPathArt, kPlaceBelow, sim::HandleOf(existing), &below), kNoError);
    ASSERT_EQ(art->NewArt(kGroupArt, kPlaceAbove, below, &above), kNoError);
    const std::vector<sim::Art*> children = root->Children();
    ASSERT_EQ(children.size(), 4u);
    EXPECT_EQ(sim::HandleOf(children[0]), top);
    EXPECT_EQ(children[1], existing);
    EXPECT_EQ(sim::HandleOf(children[2]), above);
    EXPECT_EQ(sim::HandleOf(children[3]), below);
    ArtHandle refused = nullptr;
    EXPECT_NE(art->NewArt(kPathArt, kPlaceInsideOnTop, sim::HandleOf(existing), &refused), kNoError)
        << "a path holds no art";
    EXPECT_NE(art->NewArt(kTextFrameArt, kPlaceAbove, below, &refused), kNoError);

    ASSERT_EQ(art->DisposeArt(above), kNoError);
    EXPECT_EQ(root->Children().size(), 3u);
    std::int16_t type = 0;
    EXPECT_EQ(art->GetArtType(above, &type), kBadParameterStatus) << "a disposed handle is refused";
    EXPECT_NE(art->DisposeArt(sim::HandleOf(root)), kNoError) << "a layer's group stays";
}

TEST_F(SimDocument, PathSegmentsAndSelection) {
    sim::Art* line = document.AddPath(document.CurrentLayer()->root, {{0, 0}, {10, 0}});
    const ArtHandle handle = sim::HandleOf(line);
    const AnchorRecord start{{-5, 0}, {-5, 0}, {-5, 0}, true};
    ASSERT_EQ(path->InsertPathSegments(handle, -1, 1, &start), kNoError);
    const AnchorRecord end[2] = {{{10, 0}, {10, 0}, {10, 0}, true}, {{20, 5}, {20, 5}, {20, 5}, false}};
    ASSERT_EQ(path->SetPathSegments(handle, 2, 2, end), kNoError) << "writing past the end lengthens";
    ASSERT_EQ(line->anchors.size(), 4u);
    EXPECT_EQ(line->anchors[0].p.h, -5);
    EXPECT_EQ(line->anchors[1].p.h, 0);
    EXPECT_EQ(line->anchors[3].p.v, 5);
    AnchorRecord read[2];
    EXPECT_NE(path->GetPathSegments(handle, 3, 2, read), kNoError) << "past the last anchor";
    EXPECT_NE(path->SetPathSegments(handle, 5, 1, end), kNoError) << "a gap";

    EXPECT_FALSE(line->Selected());
    ASSERT_EQ(path->SetPathSegmentSelected(handle, 2, kOutHandleSelected), kNoError);
    EXPECT_TRUE(line->Selected()) << "selecting an anchor selects the path";
    std::int16_t selection = -1;
    ASSERT_EQ(path->GetPathSegmentSelected(handle, 2, &selection), kNoError);
    EXPECT_EQ(selection, kOutHandleSelected);
    EXPECT_NE(path->SetPathSegmentSelected(handle, 2, 5), kNoError);
    std::int16_t count = 0;
    EXPECT_EQ(path->GetPathSegmentCount(sim::HandleOf(line->parent), &count), kBadParameterStatus) << "not a path";

    // Anchor counts and indexes are 16-bit: no path grows beyond 32767 anchors, and a refusal changes nothing.
    sim::Art* full = document.AddCurve(line->parent, std::vector<AnchorRecord>(sim::kMaxPathAnchors, start));
    EXPECT_NE(path->InsertPathSegments(sim::HandleOf(full), 0, 1, &start), kNoError);
    EXPECT_NE(path->SetPathSegments(sim::HandleOf(full), 32767, 1, &start), kNoError);
    EXPECT_EQ(full->anchors.size(), sim::kMaxPathAnchors);
    EXPECT_THROW(document.AddCurve(line->parent, std::vector<AnchorRecord>(32768, start)), std::length_error);
    EXPECT_EQ(line->parent->Children().size(), 2u);
}

TEST_F(SimDocument, TextFramesAndDerivedArtStandOutsideTheTree) {
    sim::Art* root = document.CurrentLayer()->root;
    sim::Art* point = document.AddPointText(root, {5, 6}, {5, 16, 40, 6});
    sim::Art* area = document.AddAreaText(root, {{{0, 0}, {0, 0}, {0, 0}, true}, {{9, 0}, {9, 0}, {9, 0}, true}},
                                          {0, 9, 9, 0});
    RealPoint anchor{};
    ASSERT_EQ(art->GetPointTextAnchor(sim::HandleOf(point), &anchor), kNoError);
    EXPECT_EQ(anchor.h, 5);
    EXPECT_NE(art->GetPointTextAnchor(sim::HandleOf(area), &anchor), kNoError);
    ArtHandle frame = nullptr;
    ASSERT_EQ(art->GetTextFramePath(sim::HandleOf(area), &frame), kNoError);
    std::int16_t count = 0;
    ASSERT_EQ(path->GetPathSegmentCount(frame, &count), kNoError);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(Step(art->GetArtParent, frame), nullptr);
    std::int16_t kind = -1;
    ASSERT_EQ(art->GetTextFrameKind(sim::HandleOf(area), &kind), kNoError);
    EXPECT_EQ(kind, kAreaText);

    const ArtStyleSuite* styles = Acquire<ArtStyleSuite>("AI Art Style Suite", 8);
    sim::Art* plain = document.AddPath(root, {{0, 0}, {1, 0}});
    sim::Art* styled = document.AddPath(root, {{0, 0}, {2, 0}});
    sim::Art* stand = document.AddDerivedPath(styled, {{{0, 0}, {0, 0}, {0, 0}, true}});
    ArtHandle derived = nullptr;
    ASSERT_EQ(styles->GetDerivedArt(sim::HandleOf(plain), &derived), kNoError);
    EXPECT_EQ(derived, sim::HandleOf(plain)) << "a path without a live style stands for itself";
    ASSERT_EQ(styles->GetDerivedArt(sim::HandleOf(styled), &derived), kNoError);
    EXPECT_EQ(derived, sim::HandleOf(stand));
    ArtHandle source = nullptr;
    ASSERT_EQ(styles->GetSourceArtOfDerived(derived, &source), kNoError);
    EXPECT_EQ(source, sim::HandleOf(styled));
    EXPECT_EQ(root->Children().size(), 4u);
}

TEST_F(SimDocument, TagsAreStoredPerArtAndType) {
    sim::Art* a = document.AddPath(document.CurrentLayer()->root, {{0, 0}, {1, 0}});
    sim::Art* b = document.AddPath(document.CurrentLayer()->root, {{0, 0}, {2, 0}});
    ASSERT_EQ(tags->SetTag(sim::HandleOf(a), "Path_adjust_matrix", "string", "1,0,0,1,5,6,0,0,0,6,0"), kNoError);
    char value[256];
    ASSERT_EQ(tags->GetTag(sim::HandleOf(a), "Path_adjust_matrix", "string", value, sizeof value), kNoError);
    EXPECT_STREQ(value, "1,0,0,1,5,6,0,0,0,6,0");
    char small[6];
    ASSERT_EQ(tags->GetTag(sim::HandleOf(a), "Path_adjust_matrix", "string", small, sizeof small), kNoError);
    EXPECT_STREQ(small, "1,0,0");
    EXPECT_EQ(tags->GetTag(sim::HandleOf(a), "Path_adjust_matrix", "real", value, sizeof value), kNotFoundStatus);
    EXPECT_EQ(tags->GetTag(sim::HandleOf(b), "Path_adjust_matrix", "string", value, sizeof value), kNotFoundStatus);
    ASSERT_EQ(tags->SetTag(sim::HandleOf(a), "Path_adjust_matrix", "string", "2"), kNoError);
    EXPECT_EQ(a->tags.at("Path_adjust_matrix").value, "2") << "replaced";
    EXPECT_EQ(tags->RemoveTag(sim::HandleOf(a), "Path_adjust_matrix"), kNoError);
    EXPECT_EQ(tags->RemoveTag(sim::HandleOf(a), "Path_adjust_matrix"), kNotFoundStatus);
}

TEST_F(SimDocument, ArtworkAndViewCoordinates) {
    const DocumentViewSuite* views = Acquire<DocumentViewSuite>("AI Document View Suite", 16);
    sim::DocumentView& view = *document.View(0);
    view.zoom = 2;
    view.origin = RealPoint{100, 500};
    DocumentViewHandle handle = nullptr;
    ASSERT_EQ(views->GetNthDocumentView(0, &handle), kNoError);
    const RealPoint artwork{110.25, 480};
    ViewPoint point{};
    ASSERT_EQ(views->ArtworkPointToViewPoint(handle, &artwork, &point), kNoError);
    EXPECT_EQ(point.h, 21);  // 20.5 rounds up
    EXPECT_EQ(point.v, 40) << "view y grows downwards";
    RealPoint back{};
    ASSERT_EQ(views->ViewPointToArtworkPoint(handle, &point, &back), kNoError);
    EXPECT_DOUBLE_EQ(back.h, 110.5);
    EXPECT_DOUBLE_EQ(back.v, 480);
    RealRect bounds{};
    ASSERT_EQ(views->GetDocumentViewBounds(handle, &bounds), kNoError);
    EXPECT_DOUBLE_EQ(bounds.top, 500);
    EXPECT_DOUBLE_EQ(bounds.bottom, 500 - view.height / 2.0);
    EXPECT_DOUBLE_EQ(bounds.right, 100 + view.width / 2.0);

    host.CloseDocument();
    EXPECT_EQ(views->GetNthDocumentView(0, &handle), sim::kNoDocumentStatus);
    EXPECT_EQ(handle, nullptr);
}

// The matrices of the Real Math suite are proved by the adjust tools' results (alignment_test.cpp).
TEST_F(SimDocument, BoundsFollowCurves) {
    // An arch whose handles stand 12 high: the curve itself reaches 9 (3/4 of the handles).
    sim::Art* bulge = document.AddCurve(document.CurrentLayer()->root, {{{0, 0}, {0, 0}, {0, 12}, false},
                                                                        {{10, 0}, {10, 12}, {10, 0}, false}});
    RealRect bounds{};
    ASSERT_EQ(art->GetArtBounds(sim::HandleOf(bulge), &bounds), kNoError);
    EXPECT_DOUBLE_EQ(bounds.left, 0);
    EXPECT_DOUBLE_EQ(bounds.right, 10);
    EXPECT_DOUBLE_EQ(bounds.bottom, 0);
    EXPECT_DOUBLE_EQ(bounds.top, 9) << "the curve's top, not its handles'";
}

TEST_F(SimDocument, UndoChangesRevertsTheCurrentStep) {
    const UndoSuite* undo = Acquire<UndoSuite>("AI Undo Suite", 12);
    sim::Art* root = document.CurrentLayer()->root;
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
    std::int16_t type = 0;
    EXPECT_EQ(art->GetArtType(sim::HandleOf(doomed), &type), kNoError) << "disposed art is back";
    EXPECT_EQ(art->GetArtType(made, &type), kBadParameterStatus) << "art made in the step is gone";
    EXPECT_EQ(document.LayerCount(), 1);

    host.Undo().Close(&document);
    const sim::UndoStep* step = host.Undo().Last();
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(step->undoText, "Undo X");
    EXPECT_EQ(step->undoChangesCalls, std::vector<std::int32_t>{1});
}

}  // namespace
