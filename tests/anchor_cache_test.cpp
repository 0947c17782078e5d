// The adjust tools' cache of the document for the anchor search: tracking sees every change the host
// reports, the cached search finds exactly what the walk through the host finds, and failures while
// making or freeing the cache leave nothing behind. Also the host's reports of changed art.
#include <cmath>
#include <string>
#include <vector>

#include "adjust_fixture.h"
#include "tools/anchor_cache.h"
#include "tools/anchor_hits.h"

namespace {

class AnchorCacheTest : public AdjustTest {
protected:
    static RealMatrix Shift(double dx, double dy) { return RealMatrix{1, 0, 0, 1, dx, dy}; }

    // A tracked move to p (by way of a point off everything, so that p is never the previous position).
    void MoveTo(RealPoint p) {
        Move({-1000, -1000});
        Move(p);
    }
    bool Snapped() { return State().snapKind == kSnapOnAnchor; }
    // Every hit of a search at p as the plug-in's search answers it now (H1 and H2 of a move only
    // show the first).
    std::vector<AnchorHit> HitsAt(RealPoint p) {
        std::vector<AnchorHit> found;
        InsideMessage([&] {
            std::int16_t kind = kSnapNone;
            AnchorHitList hits;
            FindAnchorHits(p, kind, hits);
            for (const AnchorHit& hit : hits) {
                if (hit.art != nullptr) found.push_back(hit);
            }
        });
        return found;
    }
    ArtHandle FirstHit() { return Hit(0).art; }

    // The notifications the plug-in has been sent since the host's record of messages was cleared.
    int NotificationsSent() {
        int count = 0;
        for (const auto& message : App().messages) count += message.caller == "AI Notifier" ? 1 : 0;
        return count;
    }

    // An open path whose anchors are moved in its record, as the host would never do unannounced.
    static void MoveRecord(sim::Art* path, double dx) {
        for (AnchorRecord& anchor : path->anchors) {
            anchor.p.h += dx;
            anchor.in.h += dx;
            anchor.out.h += dx;
        }
    }
};

// ---- Changes between tracking events ----

TEST_F(AnchorCacheTest, PathsMovedAddedAndDeletedBetweenMovesAreFoundWhereTheyNowAre) {
    sim::Art* square = Rectangle(100, 100, 50, 50);
    sim::Art* inner = Rectangle(100, 100, 30, 30);
    Select(PathTool());
    MoveTo({100, 100});
    ASSERT_TRUE(Snapped());
    ASSERT_NE(State().anchorCache, nullptr) << "tracking made the cache";
    ASSERT_EQ(HitsAt({100, 100}).size(), 2u);

    doc->Transform(square, Shift(200, 0), 1, 0);
    MoveTo({100, 100});
    EXPECT_EQ(FirstHit(), sim::HandleOf(inner)) << "the square is no longer there";
    MoveTo({300, 100});
    EXPECT_EQ(FirstHit(), sim::HandleOf(square));
    EXPECT_EQ(Hit(0).anchorIndex, 0);

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
    const std::vector<AnchorHit> hits = HitsAt({351, 149});
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].art, sim::HandleOf(front));
    EXPECT_EQ(hits[1].art, sim::HandleOf(square));
    EXPECT_EQ(hits[1].anchorIndex, 2);

    doc->Dispose(inner);
    MoveTo({100, 100});
    EXPECT_FALSE(Snapped());
    EXPECT_TRUE(HitsAt({100, 100}).empty());
}

TEST_F(AnchorCacheTest, HidingAndShowingALayerBetweenMovesIsSeen) {
    // The first layer is searched first; the second only while the first gives no hit.
    sim::Layer* second = doc->AddLayer("Second");
    sim::Art* onFirst = Rectangle(100, 100, 50, 50);
    sim::Art* onSecond = Rectangle(second->root, 100, 100, 20, 20);
    Select(PathTool());
    MoveTo({100, 100});
    ASSERT_EQ(FirstHit(), sim::HandleOf(onFirst));

    doc->LayerAt(0)->visible = false;
    MoveTo({100, 100});
    EXPECT_EQ(FirstHit(), sim::HandleOf(onSecond));
    second->visible = false;
    MoveTo({100, 100});
    EXPECT_FALSE(Snapped());
    doc->LayerAt(0)->visible = true;
    MoveTo({100, 100});
    EXPECT_EQ(FirstHit(), sim::HandleOf(onFirst));
}

TEST_F(AnchorCacheTest, AnotherDocumentInPlaceOfTheFirstIsSearched) {
    Rectangle(100, 100, 50, 50);
    Select(PathTool());
    MoveTo({100, 100});
    ASSERT_TRUE(Snapped());

    doc = &host.NewDocument();
    sim::Art* other = Rectangle(300, 300, 10, 10);
    MoveTo({100, 100});
    EXPECT_FALSE(Snapped());
    MoveTo({310, 310});
    EXPECT_EQ(FirstHit(), sim::HandleOf(other));

    host.CloseDocument();
    MoveTo({310, 310});
    EXPECT_FALSE(Snapped()) << "no document, nothing to snap to";
}

TEST_F(AnchorCacheTest, EachNotificationOfAChangeDropsTheCache) {
    // The record is changed behind the host's back, so only the message under test can tell the
    // plug-in; the search must then find the path where it now is.
    const char* notifications[] = {"AI Art Objects Changed Notifier", "AI Document Closed Notifier",
                                   "AI Document Opened Notifier", "AI Document New Notifier"};
    sim::Art* path = doc->AddPath(Root(), {{100, 100}, {150, 130}});
    Select(PathTool());
    double offset = 0;
    for (const char* type : notifications) {
        MoveTo({100 + offset, 100});
        ASSERT_TRUE(Snapped()) << type;
        MoveRecord(path, 500);
        offset += 500;
        EXPECT_EQ(host.Notify(type), kNoError);
        MoveTo({100 + offset, 100});
        EXPECT_EQ(FirstHit(), sim::HandleOf(path)) << type;
    }
    const char* toolMessages[] = {"AI Select", "AI Deselect", "AI Mouse Up", "AI Edit Options"};
    for (const char* selector : toolMessages) {
        MoveTo({100 + offset, 100});
        ASSERT_TRUE(Snapped()) << selector;
        MoveRecord(path, 500);
        offset += 500;
        if (std::string(selector) == "AI Edit Options") App().confirmAnswers.push_back(0);  // restore nothing
        host.SendTool(selector, PathTool(), {-50, -50});
        MoveTo({100 + offset, 100});
        EXPECT_EQ(FirstHit(), sim::HandleOf(path)) << selector;
    }
}

TEST_F(AnchorCacheTest, AnAppliedAdjustIsSeenByTheNextMove) {
    sim::Art* fixed = Rectangle(100, 100, 100, 50);
    sim::Art* moving = doc->AddPath(Root(), {{300, 300}, {300, 340}, {320, 300}});
    PathAdjust({100, 100}, {200, 100}, {300, 300}, {300, 340});
    EXPECT_POINT_NEAR(moving->anchors[2].p, (RealPoint{100, 80}), 1e-9);
    MoveTo({300, 300});
    EXPECT_FALSE(Snapped());
    MoveTo({100, 80});
    EXPECT_EQ(FirstHit(), sim::HandleOf(moving));
    EXPECT_EQ(Hit(0).anchorIndex, 2);
    MoveTo({100, 100});
    EXPECT_EQ(FirstHit(), sim::HandleOf(fixed));
    const std::vector<AnchorHit> both = HitsAt({100, 100});
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[1].art, sim::HandleOf(moving));
}

// ---- The cached search against the walk ----

struct Found {
    RealPoint point;
    std::int16_t kind;
    AnchorHit hits[kMaxAnchorHits];
    HostStatus status;
};

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
        probes.push_back({x, y});
        probes.push_back({x + 13, y + 3});
        probes.push_back({x + 6, y + 17});
        probes.push_back({x + 60, y - 9});
    }
    sim::Art* group = doc->AddGroup(second->root);
    doc->AddPointText(group, {500, 500}, {500, 510, 540, 498});
    doc->AddAreaText(Root(), {{{600, 600}, {600, 600}, {600, 600}, true}, {{660, 600}, {660, 600}, {660, 600}, true},
                              {{660, 660}, {660, 660}, {660, 660}, true}},
                     {600, 660, 660, 600});
    doc->AddPathText(second->root, {{{700, 10}, {700, 10}, {700, 10}, true}, {{790, 10}, {790, 10}, {790, 10}, true}}, false,
                     {700, 30, 790, 10});
    for (int k = 0; k < 7; ++k) doc->AddPath(Root(), {{900, 900}, {950.0 + k, 950}});
    probes.insert(probes.end(), {{500, 500}, {600, 600}, {660, 660}, {700, 10}, {790, 10}, {900, 900}, {-1000, -1000},
                                 {2000, 2000}});
    std::vector<RealPoint> points;
    for (const RealPoint& p : probes) {
        for (double dx : {0.0, 1.9, 2.01, -2.0, -3.99}) {
            for (double dy : {0.0, 2.0, -2.01}) points.push_back({p.h + dx, p.v + dy});
        }
    }

    int snapped = 0;
    for (double zoom : {1.0, 0.25, 4.0}) {
        doc->View(0)->zoom = zoom;
        InsideMessage([&] {
            gBasic = host.Basic();
            const auto search = [&](const RealPoint& at) {
                Found found{at, kSnapNone, {}, kNoError};
                AnchorHitList hits;
                found.status = FindAnchorHits(found.point, found.kind, hits);
                for (int k = 0; k < kMaxAnchorHits; ++k) found.hits[k] = hits[k];
                return found;
            };
            DropAnchorCache();
            std::vector<Found> walked;
            for (const RealPoint& at : points) walked.push_back(search(at));
            ASSERT_EQ(EnsureAnchorCache(), kNoError);
            ASSERT_NE(UsableAnchorCache(), nullptr);
            for (std::size_t i = 0; i < points.size(); ++i) {
                const Found cached = search(points[i]);
                const std::string where = "at (" + std::to_string(points[i].h) + ", " + std::to_string(points[i].v) +
                                          ") zoom " + std::to_string(zoom);
                ASSERT_EQ(cached.status, walked[i].status) << where;
                ASSERT_EQ(cached.kind, walked[i].kind) << where;
                ASSERT_EQ(cached.point.h, walked[i].point.h) << where;
                ASSERT_EQ(cached.point.v, walked[i].point.v) << where;
                for (int k = 0; k < kMaxAnchorHits; ++k) {
                    ASSERT_EQ(cached.hits[k].art, walked[i].hits[k].art) << where << " hit " << k;
                    ASSERT_EQ(cached.hits[k].anchorIndex, walked[i].hits[k].anchorIndex) << where << " hit " << k;
                }
                snapped += cached.kind == kSnapOnAnchor ? 1 : 0;
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

// ---- Failures ----

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
    const AnchorHit good = Hit(0);
    const std::vector<AnchorHit> goodHits = HitsAt(target);
    ASSERT_EQ(goodHits.size(), 3u);
    ASSERT_EQ(goodHits[2].art, sim::HandleOf(path));
    const auto sameHits = [&](const std::vector<AnchorHit>& hits) {
        if (hits.size() != goodHits.size()) return false;
        for (std::size_t k = 0; k < hits.size(); ++k) {
            if (hits[k].art != goodHits[k].art || hits[k].anchorIndex != goodHits[k].anchorIndex) return false;
        }
        return true;
    };
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
        if (cached) {
            ASSERT_TRUE(State().anchorCache->usable) << call;
        }

        // Whatever the failure left, the next moves find what a good run finds.
        MoveTo(target);
        ASSERT_EQ(Hit(0).art, good.art) << call;
        ASSERT_EQ(Hit(0).anchorIndex, good.anchorIndex) << call;
        ASSERT_TRUE(sameHits(HitsAt(target))) << call;
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
    EXPECT_EQ(Hit(0).art, good.art) << "the walk through the host answers";
    MoveTo(target);
    EXPECT_EQ(State().anchorCache, nullptr) << "not tried again before the document may have changed";
    EXPECT_TRUE(sameHits(HitsAt(target)));

    Select(PathTool());
    host.Gate().FailOperation("AI Art Suite", "GetArtFirstChild", kInjectedToolFailure);
    MoveTo(target);
    host.Gate().ClearFailures();
    EXPECT_EQ(State().anchorCache, nullptr);
    EXPECT_FALSE(Snapped()) << "the walk fails at the same call";
    EXPECT_EQ(host.OutstandingBlocks(), blocks);
}

TEST_F(AnchorCacheTest, ABlockTheHostWouldNotFreeIsFreedLater) {
    Rectangle(100, 100, 50, 50);
    Select(PathTool());
    const std::size_t blocks = host.OutstandingBlocks();
    MoveTo({100, 100});
    ASSERT_EQ(host.OutstandingBlocks(), blocks + 1);

    host.Gate().FailOperation("SP Basic Suite", "FreeBlock", kInjectedToolFailure);
    Select(PathTool());
    MoveTo({150, 150});
    host.Gate().ClearFailures();
    EXPECT_EQ(host.OutstandingBlocks(), blocks + 1) << "kept, not lost";
    ASSERT_NE(State().anchorCache, nullptr);
    EXPECT_FALSE(State().anchorCache->usable);
    EXPECT_TRUE(Snapped()) << "the walk through the host answers meanwhile";

    MoveTo({100, 100});
    EXPECT_TRUE(Snapped());
    EXPECT_EQ(host.OutstandingBlocks(), blocks + 1) << "the old block freed, a new one made";
    ASSERT_NE(State().anchorCache, nullptr);
    EXPECT_TRUE(State().anchorCache->usable);

    EXPECT_EQ(host.Shutdown(), kNoError);
    EXPECT_EQ(host.OutstandingBlocks(), 0u) << "shut-down frees it";
}

TEST_F(AnchorCacheTest, AMessageThePluginCouldNotTakeDropsTheCache) {
    sim::Art* path = doc->AddPath(Root(), {{100, 100}, {150, 130}});
    Select(PathTool());
    const std::size_t blocks = host.OutstandingBlocks();
    MoveTo({100, 100});
    ASSERT_EQ(host.OutstandingBlocks(), blocks + 1);

    // The last suite of the bracket refused: the notification is not handled, the cache goes anyway.
    MoveRecord(path, 500);
    host.Gate().FailOperation("SP Basic Suite", "AcquireSuite", kInjectedToolFailure);
    host.Notify("AI Art Objects Changed Notifier");
    host.Gate().ClearFailures();
    EXPECT_EQ(host.OutstandingBlocks(), blocks);
    MoveTo({600, 100});
    EXPECT_EQ(FirstHit(), sim::HandleOf(path));
}

// ---- The host's reports of changed art ----

TEST_F(AnchorCacheTest, TheHostReportsChangedArtOnceTheChangeIsComplete) {
    Rectangle(100, 100, 100, 50);
    doc->AddPath(Root(), {{300, 300}, {300, 340}, {320, 300}});
    Select(PathTool());
    App().messages.clear();

    Move({10, 10});
    EXPECT_EQ(NotificationsSent(), 0) << "nothing changed";

    App().messages.clear();
    doc->AddPath(Root(), {{500, 500}, {510, 510}});
    doc->AddPath(Root(), {{600, 600}, {610, 610}});
    EXPECT_EQ(NotificationsSent(), 0) << "not while the test is still changing it";
    Move({20, 10});
    ASSERT_GE(App().messages.size(), 2u);
    EXPECT_EQ(NotificationsSent(), 1) << "once for both";
    EXPECT_EQ(App().messages[0].caller, "AI Notifier") << "before the next message";
    EXPECT_EQ(App().messages[0].selector, "AI Notify");
    EXPECT_EQ(App().messages[1].selector, "AI Track Cursor");

    App().messages.clear();
    DragFromTo({100, 100}, {200, 100});
    DragFromTo({300, 300}, {300, 340});
    ASSERT_FALSE(App().messages.empty());
    EXPECT_EQ(NotificationsSent(), 1) << "only the apply changed the document";
    EXPECT_EQ(App().messages.back().caller, "AI Notifier");
    EXPECT_EQ(App().messages[App().messages.size() - 2].selector, "AI Mouse Up") << "after the message that changed it";

    App().messages.clear();
    EXPECT_EQ(host.NotifyArtChanges(), kNoError);
    EXPECT_EQ(NotificationsSent(), 0);
    host.CloseDocument();
    EXPECT_EQ(host.NotifyArtChanges(), kNoError);
    EXPECT_EQ(NotificationsSent(), 1) << "the closed document's art is gone";
}

}  // namespace
