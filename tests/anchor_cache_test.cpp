// The adjust tools' cache of the document for the anchor search: tracking sees every change the host
// reports, the cached search finds exactly what the walk through the host finds, and failures while
// making the cache leave nothing behind.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "adjust_fixture.h"
#include "tools/anchor_cache.h"

namespace {

class AnchorCacheTest : public AdjustTest {
protected:
    // A tracked move to p (by way of a point off everything, so that p is never the previous position).
    void MoveTo(RealPoint p) {
        Move({-1000, -1000});
        Move(p);
    }
    bool Snapped() { return State().snapKind == kSnapOnAnchor; }
    ArtHandle FirstHit() { return Hit(0).art; }

    // Every hit of a search at p as the plug-in's search answers it now: its art and anchor index.
    std::vector<std::pair<ArtHandle, std::uint16_t>> HitsAt(RealPoint p) {
        AnchorHitList hits;
        Search(p, hits);
        std::vector<std::pair<ArtHandle, std::uint16_t>> found;
        for (const AnchorHit& hit : hits) {
            if (hit.art != nullptr) found.emplace_back(hit.art, hit.anchorIndex);
        }
        return found;
    }

    // Moves an open path in its record, as the host would never do unannounced.
    static void MoveRecord(sim::Art* path, double dx) {
        for (AnchorRecord& anchor : path->anchors) {
            anchor.p.h += dx;
            anchor.in.h += dx;
            anchor.out.h += dx;
        }
    }
};

TEST_F(AnchorCacheTest, PathsMovedAddedAndDeletedBetweenMovesAreFoundWhereTheyNowAre) {
    sim::Art* square = Rectangle(100, 100, 50, 50);
    sim::Art* inner = Rectangle(100, 100, 30, 30);
    Select(PathTool());
    MoveTo({100, 100});
    ASSERT_NE(State().anchorCache, nullptr) << "tracking made the cache";
    ASSERT_EQ(HitsAt({100, 100}).size(), 2u);

    doc->Transform(square, RealMatrix{1, 0, 0, 1, 200, 0}, 1, 0);
    MoveTo({100, 100});
    EXPECT_EQ(FirstHit(), sim::HandleOf(inner)) << "the square is no longer there";
    MoveTo({300, 100});
    EXPECT_EQ(FirstHit(), sim::HandleOf(square));

    sim::Art* added = doc->AddPath(Root(), {{400, 400}, {450, 420}});
    MoveTo({400, 400});
    EXPECT_EQ(FirstHit(), sim::HandleOf(added));
    // One placed in front of the square, on its corner: the walk meets it first.
    sim::Art* front = doc->NewArt(kPathArt, kPlaceAbove, square);
    ASSERT_NE(front, nullptr);
    front->anchors = {AnchorRecord{{350, 150}, {350, 150}, {350, 150}, true},
                      AnchorRecord{{390, 190}, {390, 190}, {390, 190}, true}};
    front->selection.assign(2, kAnchorNotSelected);
    doc->Touch();
    MoveTo({351, 149});
    EXPECT_EQ(State().snapCursor.h, 350);
    const auto hits = HitsAt({351, 149});
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].first, sim::HandleOf(front));
    EXPECT_EQ(hits[1], std::make_pair(sim::HandleOf(square), std::uint16_t{2}));

    doc->Dispose(inner);
    MoveTo({100, 100});
    EXPECT_FALSE(Snapped());
}

TEST_F(AnchorCacheTest, EachNotificationOfAChangeDropsTheCache) {
    // The record is changed behind the host's back, so only the message under test can tell the
    // plug-in; the search must then find the path where it now is.
    sim::Art* path = doc->AddPath(Root(), {{100, 100}, {150, 130}});
    Select(PathTool());
    double offset = 0;
    for (const char* message : {"AI Art Objects Changed Notifier", "AI Document Closed Notifier",
                                "AI Document Opened Notifier", "AI Document New Notifier", "AI Select", "AI Deselect",
                                "AI Mouse Up", "AI Edit Options"}) {
        MoveTo({100 + offset, 100});
        ASSERT_TRUE(Snapped()) << message;
        MoveRecord(path, 500);
        offset += 500;
        if (std::string(message).find("Notifier") != std::string::npos) {
            EXPECT_EQ(host.Notify(message), kNoError);
        } else {
            App().confirmAnswers.push_back(0);  // Edit Options asks whether to restore: nothing
            host.SendTool(message, PathTool(), {-50, -50});
        }
        MoveTo({100 + offset, 100});
        EXPECT_EQ(FirstHit(), sim::HandleOf(path)) << message;
    }
}

TEST_F(AnchorCacheTest, TheCachedSearchFindsWhatTheWalkFinds) {
    // Layers, a hidden one, groups, a compound path, text of each kind, a large object behind
    // everything, anchors on the same spot and anchors just within and just beyond the tolerance.
    sim::Layer* second = doc->AddLayer("Second");
    sim::Layer* hidden = doc->AddLayer("Hidden", false);
    std::vector<RealPoint> probes;
    Rectangle(-1000, -1000, 3000, 3000);
    for (int k = 0; k < 40; ++k) {
        const double x = 37.0 * (k % 8);
        const double y = 41.0 * (k / 8);
        sim::Art* container = k % 5 == 0 ? doc->AddGroup(Root()) : Root();
        if (k % 7 == 0) container = doc->AddCompoundPath(container);
        doc->AddPath(container, {{x, y}, {x + 13, y + 3}, {x + 6, y + 17}}, k % 2 == 0);
        doc->AddPath(k % 3 == 0 ? second->root : Root(), {{x + 13, y + 3}, {x + 60, y - 9}});
        if (k % 4 == 0) doc->AddPath(hidden->root, {{x + 1, y + 1}, {x + 2, y + 2}});
        probes.insert(probes.end(), {{x, y}, {x + 13, y + 3}, {x + 6, y + 17}, {x + 60, y - 9}});
    }
    const auto corner = [](double h, double v) { return AnchorRecord{{h, v}, {h, v}, {h, v}, true}; };
    doc->AddPointText(doc->AddGroup(second->root), {500, 500}, {500, 510, 540, 498});
    doc->AddAreaText(Root(), {corner(600, 600), corner(660, 600), corner(660, 660)}, {600, 660, 660, 600});
    doc->AddPathText(second->root, {corner(700, 10), corner(790, 10)}, false, {700, 30, 790, 10});
    for (int k = 0; k < 7; ++k) doc->AddPath(Root(), {{900, 900}, {950.0 + k, 950}});
    probes.insert(probes.end(), {{500, 500}, {600, 600}, {660, 660}, {700, 10}, {790, 10}, {900, 900}, {-1000, -1000},
                                 {2000, 2000}});
    std::vector<RealPoint> points;
    for (const RealPoint& p : probes) {
        for (double dx : {0.0, 1.9, 2.01, -2.0, -3.99}) {
            for (double dy : {0.0, 2.0, -2.01}) points.push_back({p.h + dx, p.v + dy});
        }
    }
    // One search: its status, kind, snapped point and hits, as text to compare whole.
    const auto search = [](RealPoint at) {
        std::int16_t kind = kSnapNone;
        AnchorHitList hits;
        const HostStatus status = FindAnchorHits(at, kind, hits);
        std::string found = std::to_string(status) + " " + std::to_string(kind) + " " + std::to_string(at.h) + "," +
                            std::to_string(at.v);
        for (const AnchorHit& hit : hits) {
            const auto art = reinterpret_cast<std::uintptr_t>(hit.art);
            found += " " + std::to_string(art) + ":" + std::to_string(hit.anchorIndex);
        }
        return found;
    };

    int snapped = 0;
    for (double zoom : {1.0, 0.25, 4.0}) {
        doc->View(0)->zoom = zoom;
        InsideMessage([&] {
            gBasic = host.Basic();
            DropAnchorCache();
            std::vector<std::string> walked;
            for (const RealPoint& at : points) walked.push_back(search(at));
            ASSERT_EQ(EnsureAnchorCache(), kNoError);
            ASSERT_NE(UsableAnchorCache(), nullptr);
            for (std::size_t i = 0; i < points.size(); ++i) {
                const std::string cached = search(points[i]);
                ASSERT_EQ(cached, walked[i]) << "at (" << points[i].h << ", " << points[i].v << ") zoom " << zoom;
                snapped += cached.rfind("0 " + std::to_string(kSnapOnAnchor) + " ", 0) == 0 ? 1 : 0;
            }
            DropAnchorCache();
        });
    }
    EXPECT_GT(snapped, 300) << "the probes do find anchors";
    EXPECT_LT(snapped, 3 * static_cast<int>(points.size())) << "and miss some";
}

TEST_F(AnchorCacheTest, ATrackedMoveAsksTheHostAboutOnlyTheObjectsNearIt) {
    for (int k = 0; k < 2000; ++k) Rectangle(20.0 * (k % 50), 20.0 * (k / 50), 10, 10);
    Select(PathTool());
    MoveTo({500, 500});  // makes the cache
    ASSERT_TRUE(Snapped());
    const auto log = CallsOf([&] { Move({520, 510}); });
    int bounds = 0;
    for (const sim::GatedCall& call : log) bounds += call.operation == "GetArtTransformBounds" ? 1 : 0;
    EXPECT_TRUE(Snapped());
    EXPECT_GE(bounds, 1);
    EXPECT_LE(bounds, 8) << "of 2000 paths";
}

TEST_F(AnchorCacheTest, FailuresWhileMakingTheCacheLeaveNoneAndNoBlock) {
    Rectangle(-500, -500, 2000, 2000);
    sim::Art* group = doc->AddGroup(Root());
    for (int k = 0; k < 6; ++k) Rectangle(group, 30.0 * k, 0, 20, 20);
    doc->AddPointText(Root(), {60, 0}, {60, 10, 90, -2});
    sim::Art* path = doc->AddPath(Root(), {{60, 0}, {75, 40}});
    const RealPoint target{61, 1};
    Select(PathTool());
    const std::size_t blocks = host.OutstandingBlocks();
    MoveTo(target);
    const auto good = HitsAt(target);
    ASSERT_EQ(good.size(), 3u);
    ASSERT_EQ(good[2].first, sim::HandleOf(path));
    ASSERT_EQ(host.OutstandingBlocks(), blocks + 1);

    Select(PathTool());
    ASSERT_EQ(host.OutstandingBlocks(), blocks);
    const auto log = CallsOf([&] { Move(target); });
    int runs = 0;
    for (std::size_t n = 1; n <= log.size(); ++n) {
        if (log[n - 1].operation == "ReleaseSuite") continue;
        ++runs;
        const std::string call = log[n - 1].suite + " " + log[n - 1].operation + " (call " + std::to_string(n) + ")";
        Select(PathTool());
        host.Gate().ResetCallCount();
        host.Gate().FailNthCall(static_cast<std::int64_t>(n), kInjectedToolFailure);
        Move(target);
        host.Gate().ClearFailures();
        ASSERT_TRUE(host.SuitesBalanced()) << call;
        const bool cached = State().anchorCache != nullptr;
        ASSERT_EQ(host.OutstandingBlocks(), blocks + (cached ? 1 : 0)) << call;
        ASSERT_TRUE(!cached || State().anchorCache->usable) << call;
        // Whatever the failure left, the next moves find what a good run finds.
        MoveTo(target);
        ASSERT_EQ(Hit(0).art, good[0].first) << call;
        ASSERT_EQ(HitsAt(target), good) << call;
        Select(PathTool());
        ASSERT_EQ(host.OutstandingBlocks(), blocks) << call;
    }
    EXPECT_GT(runs, 20);

    // A host that cannot give the memory, or cannot answer the walk at all.
    host.Gate().FailOperation("SP Basic Suite", "AllocateBlock", kOutOfMemoryStatus);
    MoveTo(target);
    host.Gate().ClearFailures();
    EXPECT_EQ(State().anchorCache, nullptr);
    EXPECT_EQ(host.OutstandingBlocks(), blocks);
    EXPECT_EQ(Hit(0).art, good[0].first) << "the walk through the host answers";
    MoveTo(target);
    EXPECT_EQ(State().anchorCache, nullptr) << "not tried again before the document may have changed";

    Select(PathTool());
    host.Gate().FailOperation("AI Art Suite", "GetArtFirstChild", kInjectedToolFailure);
    MoveTo(target);
    host.Gate().ClearFailures();
    EXPECT_EQ(State().anchorCache, nullptr);
    EXPECT_FALSE(Snapped()) << "the walk fails at the same call";
    EXPECT_EQ(host.OutstandingBlocks(), blocks);
}

}  // namespace
