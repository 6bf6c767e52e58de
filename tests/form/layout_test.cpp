#include "layout.h"

#include <gtest/gtest.h>

namespace sorvane::form {
namespace {

using enum ControlId;

constexpr double kW = kClientWidth + kBorderWidth;
constexpr double kH = kClientHeight + kBorderHeight;

TEST(LayoutTest, StartingSizeGivesTheWorkedFigures) {
    EXPECT_EQ(kW, 19170);
    EXPECT_EQ(kH, 11655);
    Geometry g;
    layOut(g, kW, kH);
    EXPECT_EQ(g[Frame4].width, 18855);
    EXPECT_EQ(g[Frame2].width, 18855);
    EXPECT_EQ(g[Frame3].width, 18855);
    for (const ControlId band : {CoolBar2, CoolBar4, CoolBar6}) EXPECT_EQ(g[band].left, 18240);
    for (const ControlId band : {CoolBar1, CoolBar3, CoolBar5}) EXPECT_EQ(g[band].left, 8812.5);
    for (const ControlId list : {ListView1, ListView3, ListView5}) {
        EXPECT_EQ(g[list].left, 120);
        EXPECT_EQ(g[list].width, 9255.5);
    }
    for (const ControlId list : {ListView2, ListView4, ListView6}) {
        EXPECT_EQ(g[list].left, 9479.5);
        EXPECT_EQ(g[list].width, 9255.5);
    }
    EXPECT_EQ(g[Label10].left, 9479.5);
    for (const ControlId label : {Label11, Label13, Label15}) EXPECT_EQ(g[label].left, 6360.5);
    for (const ControlId label : {Label12, Label14, Label16}) EXPECT_EQ(g[label].left, 15720);
    EXPECT_EQ(g[Text2].left, 10427.5);
    EXPECT_EQ(g[Command2].left, 18570);
    EXPECT_EQ(g[Frame1].height, 1838.75);
    for (const ControlId frame : {Frame4, Frame2, Frame3}) EXPECT_EQ(g[frame].height, 2838.75);
    EXPECT_EQ(g[Frame4].top, 2108.75);
    EXPECT_EQ(g[Frame2].top, 5097.5);
    EXPECT_EQ(g[Frame3].top, 8086.25);
    for (const ControlId list : {ListView1, ListView2, ListView3, ListView4, ListView5,
                             ListView6}) {
        EXPECT_EQ(g[list].height, 2058.75);
        EXPECT_EQ(g[list].top, 600);
    }
}

// Controls that no size moves.
TEST(LayoutTest, FixedControlsKeepTheirDesign) {
    const Geometry design;
    for (const auto& [w, h] : {std::pair{19170.0, 11655.0}, {6000.0, 5000.0}, {40000.0, 30000.0}}) {
        Geometry g;
        layOut(g, w, h);
        for (const ControlId id : {Command1, Label9, Text1, Combo1_0, Combo2_3, Label3, Toolbar1,
                                   Toolbar6}) {
            EXPECT_EQ(g[id], design[id]) << control(id).name;
        }
        EXPECT_EQ(g[Frame1].left, 240);
        EXPECT_EQ(g[Frame1].top, 120);
        EXPECT_EQ(g[Frame1].width, 4095);
        EXPECT_EQ(g[Command2].left, w - 600);
    }
}

TEST(LayoutTest, ThresholdsSkipOnePassAndRunTheOther) {
    const Geometry design;

    Geometry narrow;
    layOut(narrow, 1000, 8000);
    EXPECT_EQ(narrow[Frame4].width, design[Frame4].width);
    EXPECT_EQ(narrow[Command2].left, design[Command2].left);
    EXPECT_EQ(narrow[Frame4].height, (8000 - 300) / 4.0);

    Geometry low;
    layOut(low, 8000, 4300);
    EXPECT_EQ(low[Frame4].width, 8000 - 315);
    EXPECT_EQ(low[Frame4].height, design[Frame4].height);
    EXPECT_EQ(low[Frame2].top, design[Frame2].top);

    Geometry justAbove;
    layOut(justAbove, 1001, 4301);
    EXPECT_NEAR(justAbove[Frame1].height, 0.25, 1e-9);
    EXPECT_NEAR(justAbove[Frame4].top, 270.25, 1e-9);
    EXPECT_EQ(justAbove[ListView1].width, (1001 - 315) / 2.0 - 172);
}

TEST(LayoutTest, NarrowWindowPutsCountLabelsLeftOfTheirFrame) {
    Geometry g;
    layOut(g, 6000, 11655);
    EXPECT_EQ(g[Label11].left, -224.5);
    EXPECT_EQ(g[Label13].left, -224.5);
    EXPECT_EQ(g[Label15].left, -224.5);
}

}  // namespace
}  // namespace sorvane::form
