// What the tests of the line construction commands share: documents of straight lines, running a
// command through the host's action, and reading back the paths it made.
#pragma once

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "plugin_fixture.h"
#include "shell/commands.h"

constexpr HostStatus kInjectedFailure = FourCharCode('I', 'N', 'J', '!');

inline void ExpectAnchors(const sim::Art* path, const std::vector<RealPoint>& points, double tolerance = 1e-3) {
    ASSERT_NE(path, nullptr);
    ASSERT_EQ(path->anchors.size(), points.size());
    for (std::size_t k = 0; k < points.size(); ++k) {
        const AnchorRecord& anchor = path->anchors[k];
        EXPECT_NEAR(anchor.p.h, points[k].h, tolerance) << "anchor " << k;
        EXPECT_NEAR(anchor.p.v, points[k].v, tolerance) << "anchor " << k;
        EXPECT_EQ(std::make_tuple(anchor.in.h, anchor.in.v, anchor.out.h, anchor.out.v),
                  std::make_tuple(anchor.p.h, anchor.p.v, anchor.p.h, anchor.p.v)) << "handles on the anchor " << k;
        EXPECT_TRUE(anchor.corner) << k;
    }
}

class LineCommandTest : public DocumentTest {
protected:
    std::set<const sim::Art*> original;  // the art the test built, to tell the command's new paths

    // A fresh document for a test that runs the command more than once.
    void NewDocument() {
        doc = &host.NewDocument();
        original.clear();
        App().alerts.clear();
    }

    // A straight open path through the points, selected as a whole object.
    sim::Art* Line(sim::Art* container, std::vector<RealPoint> points) {
        sim::Art* path = doc->AddPath(container, points);
        doc->SelectWhole(path);
        return path;
    }
    sim::Art* Line(std::vector<RealPoint> points) { return Line(Root(), std::move(points)); }

    // A circle of four curved segments, selected.
    sim::Art* Circle(sim::Art* container, RealPoint c, double r) {
        const double k = r * 0.5522847;
        sim::Art* circle = doc->AddCurve(container,
                                         {{{c.h + r, c.v}, {c.h + r, c.v - k}, {c.h + r, c.v + k}, false},
                                          {{c.h, c.v + r}, {c.h + k, c.v + r}, {c.h - k, c.v + r}, false},
                                          {{c.h - r, c.v}, {c.h - r, c.v + k}, {c.h - r, c.v - k}, false},
                                          {{c.h, c.v - r}, {c.h - k, c.v - r}, {c.h + k, c.v - r}, false}},
                                         true);
        doc->SelectWhole(circle);
        return circle;
    }

    // Remembers what is in the document now; everything else found later was made by the command.
    void Built() {
        original.clear();
        for (int i = 0; i < doc->LayerCount(); ++i) Remember(doc->LayerAt(i)->root);
    }

    void Run(std::uint16_t id, std::uint16_t language = kEnglish) {
        if (original.empty()) Built();
        State().commandId = id;
        State().language = language;
        EXPECT_EQ(host.PlayAction("KELVANE_INSIDECMD", 3, nullptr), kNoError);
    }

    // The paths the command made in a layer, in the order it made them (each went on top).
    std::vector<const sim::Art*> NewPaths(int layer = 0) {
        std::vector<const sim::Art*> made;
        for (const sim::Art* art : Root(layer)->Children()) {
            if (original.count(art) == 0) made.push_back(art);
        }
        std::reverse(made.begin(), made.end());
        return made;
    }

    // The one alert of the run, as UTF-8; "" when there was none, "<several>" for more than one.
    std::string OnlyAlert() {
        if (App().alerts.empty()) return "";
        if (App().alerts.size() > 1) return "<several>";
        EXPECT_EQ(App().alerts[0].kind, sim::AlertKind::Message);
        return sim::Cp932ToUtf8(App().alerts[0].text);
    }

private:
    void Remember(const sim::Art* art) {
        original.insert(art);
        for (const sim::Art* child : art->Children()) Remember(child);
    }
};
