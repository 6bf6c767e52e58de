#include "layout.h"

namespace sorvane::form {

using enum ControlId;

Geometry::Geometry() {
    for (const Control& c : controls()) (*this)[c.id] = c.rect;
}

void layOut(Geometry& g, double W, double H) {
    if (W > 1000) {
        for (const ControlId frame : {Frame4, Frame2, Frame3}) g[frame].width = W - 315;
        const double F = g[Frame4].width;
        for (const ControlId band : {CoolBar2, CoolBar4, CoolBar6}) g[band].left = F - 615;
        for (const ControlId band : {CoolBar1, CoolBar3, CoolBar5}) g[band].left = F / 2 - 615;
        for (const ControlId list : {ListView1, ListView3, ListView5}) g[list].width = F / 2 - 172;
        for (const ControlId list : {ListView2, ListView4, ListView6}) g[list].left = F / 2 + 52;
        for (const ControlId list : {ListView2, ListView4, ListView6}) g[list].width = F / 2 - 172;
        g[Label10].left = F / 2 + 52;
        for (const ControlId label : {Label11, Label13, Label15}) g[label].left = F / 2 - 3067;
        for (const ControlId label : {Label12, Label14, Label16}) g[label].left = F - 3135;
        g[Text2].left = F / 2 + 1000;
        g[Command2].left = W - 600;
    }
    if (H > 4300) {
        g[Frame1].height = (H - 300) / 4 - 1000;
        for (const ControlId frame : {Frame2, Frame3, Frame4}) g[frame].height = (H - 300) / 4;
        g[Frame4].top = g[Frame1].top + g[Frame1].height + 150;
        g[Frame2].top = g[Frame4].top + g[Frame4].height + 150;
        g[Frame3].top = g[Frame2].top + g[Frame2].height + 150;
        for (const ControlId list : {ListView1, ListView2}) g[list].height = g[Frame4].height - 780;
        for (const ControlId list : {ListView3, ListView4}) g[list].height = g[Frame2].height - 780;
        for (const ControlId list : {ListView5, ListView6}) g[list].height = g[Frame3].height - 780;
    }
}

}  // namespace sorvane::form
