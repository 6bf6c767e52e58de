#include "layout.h"

namespace sorvane::ui {

Geometry designGeometry() {
    Geometry g = {
        {"Frame1", {240, 120, 4095, 2700}},
        {"Label1", {1440, 160, 855, 255}},
        {"Label2", {2760, 160, 855, 255}},
        {"Label3", {120, 405, 1335, 255}},
        {"Label4", {120, 720, 1335, 255}},
        {"Label5", {120, 1080, 1335, 255}},
        {"Label18", {120, 1440, 1335, 255}},
        {"Label6", {2400, 360, 375, 255}},
        {"Label7", {2400, 720, 375, 255}},
        {"Label8", {2400, 1080, 375, 255}},
        {"Label17", {2400, 1440, 375, 255}},
        {"Command1", {4560, 240, 1335, 495}},
        {"Command2", {18600, 120, 375, 375}},
        {"Frame4", {120, 2880, 18855, 2700}},
        {"Label9", {120, 240, 975, 255}},
        {"Text1", {1080, 240, 3735, 285}},
        {"Label11", {6360, 240, 2415, 255}},
        {"CoolBar1", {8880, 120, 495, 390}},
        {"Label10", {9480, 240, 975, 255}},
        {"Text2", {10560, 240, 3735, 285}},
        {"Label12", {15720, 240, 2415, 255}},
        {"CoolBar2", {18240, 120, 495, 390}},
        {"ListView1", {120, 600, 9255, 1920}},
        {"ListView2", {9480, 600, 9255, 1920}},
        {"Frame2", {120, 5640, 18855, 2700}},
        {"Label13", {6360, 240, 2415, 255}},
        {"CoolBar3", {8880, 120, 495, 390}},
        {"Label14", {15720, 240, 2415, 255}},
        {"CoolBar4", {18240, 120, 495, 390}},
        {"ListView3", {120, 600, 9255, 1920}},
        {"ListView4", {9480, 600, 9255, 1920}},
        {"Frame3", {120, 8400, 18855, 2700}},
        {"Label15", {6360, 240, 2415, 255}},
        {"CoolBar5", {8880, 120, 495, 390}},
        {"Label16", {15720, 240, 2415, 255}},
        {"CoolBar6", {18240, 120, 495, 390}},
        {"ListView5", {120, 600, 9255, 1920}},
        {"ListView6", {9480, 600, 9255, 1920}},
    };
    const double rowTops[4] = {360, 720, 1080, 1440};
    for (int r = 0; r < 4; ++r) {
        g["Combo1_" + std::to_string(r)] = {1440, rowTops[r], 855, 330};
        g["Combo2_" + std::to_string(r)] = {2760, rowTops[r], 855, 330};
    }
    for (int k = 1; k <= 6; ++k) g["Toolbar" + std::to_string(k)] = {30, 30, 375, 330};
    return g;
}

void layOut(Geometry& g, double W, double H) {
    if (W > 1000) {
        for (const char* frame : {"Frame4", "Frame2", "Frame3"}) g[frame].width = W - 315;
        const double F = g["Frame4"].width;
        for (const char* band : {"CoolBar2", "CoolBar4", "CoolBar6"}) g[band].left = F - 615;
        for (const char* band : {"CoolBar1", "CoolBar3", "CoolBar5"}) g[band].left = F / 2 - 615;
        for (const char* list : {"ListView1", "ListView3", "ListView5"}) g[list].width = F / 2 - 172;
        for (const char* list : {"ListView2", "ListView4", "ListView6"}) g[list].left = F / 2 + 52;
        for (const char* list : {"ListView2", "ListView4", "ListView6"}) g[list].width = F / 2 - 172;
        g["Label10"].left = F / 2 + 52;
        for (const char* label : {"Label11", "Label13", "Label15"}) g[label].left = F / 2 - 3067;
        for (const char* label : {"Label12", "Label14", "Label16"}) g[label].left = F - 3135;
        g["Text2"].left = F / 2 + 1000;
        g["Command2"].left = W - 600;
    }
    if (H > 4300) {
        g["Frame1"].height = (H - 300) / 4 - 1000;
        for (const char* frame : {"Frame2", "Frame3", "Frame4"}) g[frame].height = (H - 300) / 4;
        g["Frame4"].top = g["Frame1"].top + g["Frame1"].height + 150;
        g["Frame2"].top = g["Frame4"].top + g["Frame4"].height + 150;
        g["Frame3"].top = g["Frame2"].top + g["Frame2"].height + 150;
        for (const char* list : {"ListView1", "ListView2"}) g[list].height = g["Frame4"].height - 780;
        for (const char* list : {"ListView3", "ListView4"}) g[list].height = g["Frame2"].height - 780;
        for (const char* list : {"ListView5", "ListView6"}) g[list].height = g["Frame3"].height - 780;
    }
}

}  // namespace sorvane::ui
