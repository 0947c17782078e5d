// The record of an adjust ("Path_adjust_matrix") and the restore command: measuring the reference,
// the record's text, reading it back, and what the restore moves and leaves.
#include <cstring>

#include "adjust_fixture.h"
#include "comma_locale.h"
#include "tools/path_adjust_record.h"

namespace {

class PathAdjustRecordTest : public AdjustTest {
protected:
    // "AI Edit Options" with the user's answer to the question.
    void Restore(std::int32_t answer = 1) {
        App().confirmAnswers.push_back(answer);
        host.SendTool("AI Edit Options", PathTool());
    }

    std::vector<RealPoint> Anchors(const sim::Art* art) {
        std::vector<RealPoint> points;
        for (const AnchorRecord& anchor : art->anchors) points.push_back(anchor.p);
        return points;
    }

    void ExpectAnchors(const sim::Art* art, const std::vector<RealPoint>& points, double tolerance = 1e-3) {
        ASSERT_EQ(art->anchors.size(), points.size());
        for (std::size_t k = 0; k < points.size(); ++k) EXPECT_POINT_NEAR(art->anchors[k].p, points[k], tolerance);
    }
};

// ---- Measuring and writing ----

TEST_F(PathAdjustRecordTest, TheReferenceIsTheFirstAnchorAndTheFarthestFromIt) {
    sim::Art* path = doc->AddPath(Root(), {{0, 0}, {3, 4}, {6, 0}});
    InsideMessage([&] {
        const AdjustReference reference = MeasureReference(sim::HandleOf(path));
        EXPECT_TRUE(reference.complete);
        EXPECT_EQ(reference.length, 6);
        EXPECT_EQ(reference.angle, 0);
        EXPECT_POINT_NEAR(reference.first, (RealPoint{0, 0}), 0);
        EXPECT_POINT_NEAR(reference.farthest, (RealPoint{6, 0}), 0);
    });
    // Moved by an adjust, its record ends with that reference and the final 0.
    doc->AddPath(Root(), {{100, 100}, {200, 100}});
    PathAdjust({100, 100}, {200, 100}, {0, 0}, {6, 0});
    EXPECT_EQ(Record(path), "1,0,0,1,100,100,0,0,0,6,0") << "%g of each field, no blanks";
    EXPECT_EQ(path->tags.at(kPathAdjustTagName).type, "string");

    // The walk goes depth first, skips guides and keeps the first on a tie; text has no anchor.
    sim::Art* group = doc->AddGroup(Root());
    doc->AddPath(group, {{-50, -50}, {500, 500}})->guide = true;
    doc->AddPath(group, {{10, 10}, {10, 20}});
    sim::Art* inner = doc->AddGroup(group);
    doc->AddPath(inner, {{20, 10}, {0, 10}});  // both 10 from (10, 10), as is (10, 20)
    doc->AddPointText(group, {900, 900}, {900, 910, 950, 895});
    sim::Art* text = doc->AddPointText(Root(), {5, 5}, {5, 15, 40, 2});
    InsideMessage([&] {
        const AdjustReference reference = MeasureReference(sim::HandleOf(group));
        EXPECT_POINT_NEAR(reference.first, (RealPoint{10, 10}), 0);
        EXPECT_POINT_NEAR(reference.farthest, (RealPoint{10, 20}), 0);
        EXPECT_EQ(reference.length, 10);
        EXPECT_NEAR(reference.angle, std::acos(-1.0) / 2, 1e-12);

        const AdjustReference none = MeasureReference(sim::HandleOf(text));
        EXPECT_EQ(none.length, -1);
        EXPECT_EQ(none.angle, 0);
        EXPECT_POINT_NEAR(none.first, (RealPoint{0, 0}), 0);
    });
}

// ---- The record's text ----

// Eleven fields in %g, whatever the locale's decimal point.
TEST(PathAdjustTagText, ElevenFieldsInPercentGAndOnlyCommaEndedOnesRead) {
    const CommaLocale locale;
    char text[256];
    FormatPathAdjustTag(text, sizeof text, RealMatrix{0.5, -0.25, 1e-7, 123456789, -1.25, 4.5}, RealPoint{1.5, -2},
                        0.785398163, 1e300);
    EXPECT_STREQ(text, "0.5,-0.25,1e-07,1.23457e+08,-1.25,4.5,1.5,-2,0.785398,1e+300,0");
    const PathAdjustTag tag = ParsePathAdjustTag(text, std::strlen(text));
    EXPECT_EQ(tag.matrix.tx, -1.25);
    EXPECT_EQ(tag.length, 1e300);

    // Only comma-ended fields within the first 255 characters are read; further tokens are counted.
    const char* few = "2,0,0,2,7,9";  // the last field is never read
    const PathAdjustTag fewer = ParsePathAdjustTag(few, std::strlen(few));
    EXPECT_EQ(fewer.tokens, 5);
    EXPECT_EQ(fewer.matrix.tx, 7);
    EXPECT_EQ(fewer.matrix.ty, 0);

    const char* many = "1,0,0,1,0,0,3,4,0.5,10,0,99,98,";
    const PathAdjustTag more = ParsePathAdjustTag(many, std::strlen(many));
    EXPECT_EQ(more.tokens, 13);
    EXPECT_EQ(more.length, 10);
    EXPECT_EQ(more.first.v, 4);

    std::string cut = "1,0,0," + std::string(247, ' ') + "2,5,6,7,8,9,10,0";  // the comma after 2 is the 255th
    EXPECT_EQ(ParsePathAdjustTag(cut.c_str(), cut.size()).tokens, 4);
    EXPECT_EQ(ParsePathAdjustTag(cut.c_str(), cut.size()).matrix.d, 2);
    cut.insert(0, " ");
    EXPECT_EQ(ParsePathAdjustTag(cut.c_str(), cut.size()).tokens, 3) << "one character later the comma is cut off";
}

// ---- Restore ----

TEST_F(PathAdjustRecordTest, RestoreUndoesTheAdjustAndAManualMoveAfterIt) {
    Rectangle(100, 100, 100, 50);
    sim::Art* moving = doc->AddPath(Root(), {{300, 300}, {300, 340}, {320, 310}});
    sim::Art* scaled = doc->AddPath(Root(), {{500, 300}, {500, 340}});
    const std::vector<RealPoint> before = Anchors(moving);
    PathAdjust({100, 100}, {200, 100}, {300, 300}, {300, 340});
    PathAdjust({100, 100}, {200, 100}, {500, 300}, {500, 340});
    const std::string record = Record(scaled);
    ASSERT_FALSE(Record(moving).empty());
    // The user turns and moves one object by other means afterwards, and scales the other.
    doc->Transform(moving, RealMatrix{std::cos(0.3), std::sin(0.3), -std::sin(0.3), std::cos(0.3), -40, 25}, 1.0, 0);
    doc->Transform(scaled, RealMatrix{1.01, 0, 0, 1.01, 0, 0}, 1.0, 0);  // 40 long becomes 40.4
    const std::vector<RealPoint> scaledAnchors = Anchors(scaled);

    Restore();
    ExpectAnchors(moving, before, 2e-3);  // the record's %g keeps six digits
    EXPECT_TRUE(Record(moving).empty()) << "a successful restore removes the record";
    ExpectAnchors(scaled, scaledAnchors, 0);
    EXPECT_EQ(Record(scaled), record) << "a scaled object no longer matches its record";
    const sim::UndoStep* step = host.Undo().Last();
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(step->opener, "AI Edit Options");
    EXPECT_EQ(step->undoText, "Undo Restore PathAdjust");
    EXPECT_EQ(step->forgetRedosCalls, 1);
    ASSERT_EQ(App().alerts.size(), 1u);
    EXPECT_EQ(App().alerts[0].kind, sim::AlertKind::Confirm);
    EXPECT_EQ(App().alerts[0].text, "Restore PathAdjust of all objects.");
}

TEST_F(PathAdjustRecordTest, WithSomethingSelectedOnlySelectedObjectsAreRestored) {
    sim::Art* a = doc->AddPath(Root(), {{0, 0}, {10, 0}});
    sim::Art* b = doc->AddPath(Root(), {{0, 50}, {10, 50}});
    for (sim::Art* art : {a, b}) art->tags[kPathAdjustTagName] = sim::Tag{"string", "1,0,0,1,5,5,0,0,0,0,0"};
    doc->SelectWhole(b);
    Restore(0);
    EXPECT_EQ(App().alerts.at(0).text, "Restore PathAdjust of selected objects.");
    for (const sim::UndoStep& step : host.Undo().Steps()) {
        EXPECT_FALSE(step.textSet) << "a cancelled question changes nothing";
        EXPECT_EQ(step.forgetRedosCalls, 0);
    }
    ExpectAnchors(b, {{0, 50}, {10, 50}}, 0);
    EXPECT_FALSE(Record(b).empty());

    App().alerts.clear();
    State().language = kJapanese;
    Restore();
    ASSERT_EQ(App().alerts.size(), 1u);
    EXPECT_EQ(sim::Cp932ToUtf8(App().alerts[0].text), "選択したオブジェクトの PathAdjust を元に戻します。\rよろしいですか？");
    EXPECT_EQ(sim::Cp932ToUtf8(host.Undo().Last()->undoText), "PathAdjust を元に戻す の取り消し");
    ExpectAnchors(a, {{0, 0}, {10, 0}}, 0);
    ExpectAnchors(b, {{-5, 45}, {5, 45}}, 0);
    EXPECT_FALSE(Record(a).empty());
    EXPECT_TRUE(Record(b).empty());

    App().alerts.clear();
    b->attributes = 0;
    b->selection.assign(b->selection.size(), 0);
    Restore();
    EXPECT_EQ(sim::Cp932ToUtf8(App().alerts[0].text), "全てのオブジェクトの PathAdjust を元に戻します。\rよろしいですか？");
    ExpectAnchors(a, {{-5, -5}, {5, -5}}, 0);
}

// A one-anchor path (its reference length is exactly 0) and point text (no anchor to measure: length
// -1) moved by Point adjust: only the stored matrix can take the move back.
TEST_F(PathAdjustRecordTest, ObjectsWithoutAReferenceGoBackByTheInverseMatrix) {
    Rectangle(100, 100, 100, 50);
    Rectangle(100, 500, 100, 50);
    sim::Art* dot = doc->AddPath(Root(), {{300, 300}});
    PointAdjust({200, 100}, {300, 300}, {230, 115});
    sim::Art* text = doc->AddPointText(Root(), {300, 300}, {300, 312, 360, 297});
    PointAdjust({200, 500}, {300, 300}, {230, 515});
    EXPECT_POINT_NEAR(dot->anchors[0].p, (RealPoint{200, 100}), 1e-9);
    EXPECT_POINT_NEAR(text->textAnchor, (RealPoint{200, 500}), 1e-9);
    EXPECT_EQ(ParsePathAdjustTag(Record(dot).c_str(), Record(dot).size()).length, 0);
    EXPECT_EQ(ParsePathAdjustTag(Record(text).c_str(), Record(text).size()).length, -1);
    Restore();
    ExpectAnchors(dot, {{300, 300}}, 1e-3);
    EXPECT_POINT_NEAR(text->textAnchor, (RealPoint{300, 300}), 1e-3);
    EXPECT_TRUE(Record(dot).empty());
    EXPECT_TRUE(Record(text).empty());
}

// Records the restore passes over: too short, empty, of another type, inside a group, overflowing
// the anchors into infinities, or for a reference no longer within a tenth of a point. The others
// move their object back by the record's inverse.
TEST_F(PathAdjustRecordTest, RecordsThatDoNotMatchArePassedOver) {
    const struct {
        std::vector<RealPoint> anchors;
        const char* type;
        const char* record;
        std::vector<RealPoint> restored;  // empty: passed over, the record kept
    } cases[] = {
        {{{0, 0}, {10, 0}}, "string", "1,0,0,1,5", {}},  // 4 tokens
        {{{0, 10}, {10, 10}}, "string", "", {}},
        {{{0, 20}, {10, 20}}, "integer", "1,0,0,1,5,5,0,0,0,0,0", {}},
        {{{0, 40}, {10, 40}}, "string", "1,0,0,1,5,-5", {{-5, 40}, {5, 40}}},  // ty is never read
        {{{0, 0}}, "string", "1,0,0,1,1e999,0,0,0,0,0,0", {}},                 // matrix field
        {{{0, 0}}, "string", "1,0,0,1e-300,0,1e300,0,0,0,0,0", {}},            // inverse
        {{{0, 0}, {10, 0}}, "string", "1,0,0,1,0,0,1e999,0,0,10,0", {}},       // first anchor
        {{{0, 0}, {10, 0}}, "string", "1,0,0,1,0,0,0,0,-1e999,10,0", {}},      // angle
        {{{0, 0}, {10, 0}}, "string", "1,0,0,1,0,0,0,0,0,1e999,0", {}},        // length
        {{{0, -1e308}, {10, -1e308}}, "string", "1,0,0,1,0,0,0,1e308,0,10,0", {}},  // resulting matrix
        {{{50, 50}, {60.09, 50}}, "string", "1,0,0,1,0,0,0,0,0,10,0", {{0, 0}, {10.09, 0}}},
        {{{50, 80}, {60.1, 80}}, "string", "1,0,0,1,0,0,0,0,0,10,0", {}},
        {{{50, 110}, {50, 110}}, "string", "1,0,0,1,0,0,0,0,0,10,0", {}},  // a reference of length 0 now
        {{{0, 0}, {10, 0}}, "string", "0,1,-1,0,0,0,0,0,0,0,0", {{0, 0}, {0, -10}}},  // a quarter turn
    };
    sim::Art* second = doc->AddLayer("Second")->root;  // records are read on every layer
    std::vector<sim::Art*> paths;
    for (const auto& c : cases) {
        paths.push_back(doc->AddPath(paths.size() % 2 == 0 ? Root() : second, c.anchors));
        paths.back()->tags[kPathAdjustTagName] = sim::Tag{c.type, c.record};
    }
    sim::Art* nested = doc->AddPath(doc->AddGroup(Root()), {{0, 30}, {10, 30}});
    nested->tags[kPathAdjustTagName] = sim::Tag{"string", "1,0,0,1,5,5,0,0,0,0,0"};
    Restore();
    for (std::size_t k = 0; k < paths.size(); ++k) {
        const bool kept = cases[k].restored.empty();
        ExpectAnchors(paths[k], kept ? cases[k].anchors : cases[k].restored, 1e-9);
        EXPECT_EQ(Record(paths[k]), kept ? cases[k].record : "") << k;
    }
    ExpectAnchors(nested, {{0, 30}, {10, 30}}, 0);
    EXPECT_FALSE(Record(nested).empty());
}

}  // namespace
