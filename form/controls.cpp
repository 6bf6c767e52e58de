#include "controls.h"

#include <algorithm>

namespace sorvane::form {
namespace {

using enum ControlId;
using core::ListId;

constexpr Kind kFrame = Kind::Frame;
constexpr Kind kLabel = Kind::Label;
constexpr Kind kCombo = Kind::ComboBox;
constexpr Kind kButton = Kind::PushButton;
constexpr Kind kText = Kind::TextBox;
constexpr Kind kList = Kind::ListView;
constexpr Kind kBand = Kind::BandContainer;
constexpr Kind kToolbar = Kind::Toolbar;
constexpr FontId kDefault = FontId::Default;
constexpr FontId kArial = FontId::Arial;
constexpr FontId kHeading = FontId::Heading;
constexpr FontId kUnderlined = FontId::Underlined;
constexpr TextColour kNavy = TextColour::Navy;
constexpr TextColour kHighlight = TextColour::Highlight;
constexpr TextColour kPlain = TextColour::Default;

}  // namespace

std::span<const Control, kControlCount> controls() {
    static const std::array<Control, kControlCount> table = {{
        {Frame1, "Frame1", kFrame, {}, "Columns to compare", kDefault, {240, 120, 4095, 2700}, 15,
         "Columns to compare"},
        {Label1, "Label1", kLabel, Frame1, "List 1", kUnderlined, {1440, 160, 855, 255}, 16,
         "Columns of List 1", kPlain, true},
        {Label2, "Label2", kLabel, Frame1, "List 2", kUnderlined, {2760, 160, 855, 255}, 17,
         "Columns of List 2", kPlain, true},
        {Label3, "Label3", kLabel, Frame1, "1st comparison", kArial, {120, 405, 1335, 255}, 18,
         "1st comparison"},
        {Label4, "Label4", kLabel, Frame1, "2nd comparison", kArial, {120, 720, 1335, 255}, 19,
         "2nd comparison"},
        {Label5, "Label5", kLabel, Frame1, "3rd comparison", kArial, {120, 1080, 1335, 255}, 20,
         "3rd comparison"},
        {Label18, "Label18", kLabel, Frame1, "4th comparison", kArial, {120, 1440, 1335, 255}, 52,
         "4th comparison"},
        // The choosers' fields start empty: the design's "Combo1" and "Combo2" are cleared before
        // the window is first shown, so no window ever shows them.
        {Combo1_0, "Combo1_0", kCombo, Frame1, "", kArial, {1440, 360, 855, 330}, 0,
         "1st comparison, column of List 1", kNavy},
        {Combo1_1, "Combo1_1", kCombo, Frame1, "", kArial, {1440, 720, 855, 330}, 2,
         "2nd comparison, column of List 1", kNavy},
        {Combo1_2, "Combo1_2", kCombo, Frame1, "", kArial, {1440, 1080, 855, 330}, 4,
         "3rd comparison, column of List 1", kNavy},
        {Combo1_3, "Combo1_3", kCombo, Frame1, "", kArial, {1440, 1440, 855, 330}, 6,
         "4th comparison, column of List 1", kNavy},
        {Label6, "Label6", kLabel, Frame1, "with", kArial, {2400, 360, 375, 255}, 21,
         "1st comparison, with"},
        {Label7, "Label7", kLabel, Frame1, "with", kArial, {2400, 720, 375, 255}, 22,
         "2nd comparison, with"},
        {Label8, "Label8", kLabel, Frame1, "with", kArial, {2400, 1080, 375, 255}, 23,
         "3rd comparison, with"},
        {Label17, "Label17", kLabel, Frame1, "with", kArial, {2400, 1440, 375, 255}, 51,
         "4th comparison, with"},
        {Combo2_0, "Combo2_0", kCombo, Frame1, "", kArial, {2760, 360, 855, 330}, 1,
         "1st comparison, column of List 2", kNavy},
        {Combo2_1, "Combo2_1", kCombo, Frame1, "", kArial, {2760, 720, 855, 330}, 3,
         "2nd comparison, column of List 2", kNavy},
        {Combo2_2, "Combo2_2", kCombo, Frame1, "", kArial, {2760, 1080, 855, 330}, 5,
         "3rd comparison, column of List 2", kNavy},
        {Combo2_3, "Combo2_3", kCombo, Frame1, "", kArial, {2760, 1440, 855, 330}, 7,
         "4th comparison, column of List 2", kNavy},
        {Command1, "Command1", kButton, {}, "&Compare", kDefault, {4560, 240, 1335, 495}, 8,
         "Compare"},
        {Command2, "Command2", kButton, {}, "?", kHeading, {18600, 120, 375, 375}, 55,
         "Instructions"},

        {Frame4, "Frame4", kFrame, {}, "Original records", kDefault, {120, 2880, 18855, 2700}, 26,
         "Original records"},
        {Label9, "Label9", kLabel, Frame4, "List 1", kHeading, {120, 240, 975, 255}, 31, "List 1"},
        {Text1, "Text1", kText, Frame4, "", kArial, {1080, 240, 3735, 285}, 53, "Note on List 1",
         kHighlight},
        {Label11, "Label11", kLabel, Frame4, "", kDefault, {6360, 240, 2415, 255}, 45,
         "Original records, List 1 count"},
        {CoolBar1, "CoolBar1", kBand, Frame4, "", kDefault, {8880, 120, 495, 390}, 27,
         "Original records, List 1, band"},
        {Toolbar1, "Toolbar1", kToolbar, CoolBar1, "", kDefault, {30, 30, 375, 330}, 28,
         "Original records, List 1, toolbar", kPlain, false, Picture::Paste, "Paste records",
         "Paste records into List 1"},
        {Label10, "Label10", kLabel, Frame4, "List 2", kHeading, {9480, 240, 975, 255}, 32,
         "List 2"},
        {Text2, "Text2", kText, Frame4, "", kArial, {10560, 240, 3735, 285}, 54, "Note on List 2",
         kHighlight},
        {Label12, "Label12", kLabel, Frame4, "", kDefault, {15720, 240, 2415, 255}, 46,
         "Original records, List 2 count"},
        {CoolBar2, "CoolBar2", kBand, Frame4, "", kDefault, {18240, 120, 495, 390}, 29,
         "Original records, List 2, band"},
        {Toolbar2, "Toolbar2", kToolbar, CoolBar2, "", kDefault, {30, 30, 375, 330}, 30,
         "Original records, List 2, toolbar", kPlain, false, Picture::Paste, "Paste records",
         "Paste records into List 2"},
        {ListView1, "ListView1", kList, Frame4, "", kDefault, {120, 600, 9255, 1920}, 9,
         "Original records, List 1"},
        {ListView2, "ListView2", kList, Frame4, "", kDefault, {9480, 600, 9255, 1920}, 10,
         "Original records, List 2"},

        {Frame2, "Frame2", kFrame, {}, "Matches", kDefault, {120, 5640, 18855, 2700}, 24,
         "Matches"},
        {Label13, "Label13", kLabel, Frame2, "", kDefault, {6360, 240, 2415, 255}, 47,
         "Matches, List 1 count"},
        {CoolBar3, "CoolBar3", kBand, Frame2, "", kDefault, {8880, 120, 495, 390}, 37,
         "Matches, List 1, band"},
        {Toolbar3, "Toolbar3", kToolbar, CoolBar3, "", kDefault, {30, 30, 375, 330}, 38,
         "Matches, List 1, toolbar", kPlain, false, Picture::Copy, "Copy records",
         "Copy records: Matches, List 1"},
        {Label14, "Label14", kLabel, Frame2, "", kDefault, {15720, 240, 2415, 255}, 48,
         "Matches, List 2 count"},
        {CoolBar4, "CoolBar4", kBand, Frame2, "", kDefault, {18240, 120, 495, 390}, 39,
         "Matches, List 2, band"},
        {Toolbar4, "Toolbar4", kToolbar, CoolBar4, "", kDefault, {30, 30, 375, 330}, 40,
         "Matches, List 2, toolbar", kPlain, false, Picture::Copy, "Copy records",
         "Copy records: Matches, List 2"},
        {ListView3, "ListView3", kList, Frame2, "", kDefault, {120, 600, 9255, 1920}, 11,
         "Matches, List 1"},
        {ListView4, "ListView4", kList, Frame2, "", kDefault, {9480, 600, 9255, 1920}, 12,
         "Matches, List 2"},

        {Frame3, "Frame3", kFrame, {}, "Records not found", kDefault, {120, 8400, 18855, 2700}, 25,
         "Records not found"},
        {Label15, "Label15", kLabel, Frame3, "", kDefault, {6360, 240, 2415, 255}, 49,
         "Records not found, List 1 count"},
        {CoolBar5, "CoolBar5", kBand, Frame3, "", kDefault, {8880, 120, 495, 390}, 41,
         "Records not found, List 1, band"},
        {Toolbar5, "Toolbar5", kToolbar, CoolBar5, "", kDefault, {30, 30, 375, 330}, 42,
         "Records not found, List 1, toolbar", kPlain, false, Picture::Copy, "Copy records",
         "Copy records: Records not found, List 1"},
        {Label16, "Label16", kLabel, Frame3, "", kDefault, {15720, 240, 2415, 255}, 50,
         "Records not found, List 2 count"},
        {CoolBar6, "CoolBar6", kBand, Frame3, "", kDefault, {18240, 120, 495, 390}, 43,
         "Records not found, List 2, band"},
        {Toolbar6, "Toolbar6", kToolbar, CoolBar6, "", kDefault, {30, 30, 375, 330}, 44,
         "Records not found, List 2, toolbar", kPlain, false, Picture::Copy, "Copy records",
         "Copy records: Records not found, List 2"},
        {ListView5, "ListView5", kList, Frame3, "", kDefault, {120, 600, 9255, 1920}, 13,
         "Records not found, List 1"},
        {ListView6, "ListView6", kList, Frame3, "", kDefault, {9480, 600, 9255, 1920}, 14,
         "Records not found, List 2"},
    }};
    return table;
}

const Control& control(ControlId id) { return controls()[static_cast<std::size_t>(id)]; }

Font fontOf(FontId id) {
    switch (id) {
        case FontId::Underlined:
            return {"MS Sans Serif", 8.25, false, true};
        case FontId::Arial:
            return {"Arial", 8.25, false, false};
        case FontId::Heading:
            return {"MS Sans Serif", 12, true, false};
        case FontId::Default:
            break;
    }
    return {"MS Sans Serif", 8.25, false, false};
}

bool takesFocus(Kind kind) {
    return kind != Kind::Frame && kind != Kind::Label && kind != Kind::BandContainer;
}

std::span<const ControlId> tabOrder() {
    static const auto order = [] {
        std::vector<Control> focusable;
        for (const Control& c : controls()) {
            if (takesFocus(c.kind)) focusable.push_back(c);
        }
        std::sort(focusable.begin(), focusable.end(),
                  [](const Control& a, const Control& b) { return a.tab < b.tab; });
        std::vector<ControlId> ids;
        for (const Control& c : focusable) ids.push_back(c.id);
        return ids;
    }();
    return order;
}

namespace {

// Per list, in the order of ListId: its list view, count label and toolbar.
constexpr ControlId kListViews[] = {ListView1, ListView2, ListView3,
                                    ListView4, ListView5, ListView6};
constexpr ControlId kCountLabels[] = {Label11, Label12, Label13, Label14, Label15, Label16};
constexpr ControlId kToolbars[] = {Toolbar1, Toolbar2, Toolbar3, Toolbar4, Toolbar5, Toolbar6};

template <std::size_t N>
std::optional<ListId> indexIn(const ControlId (&ids)[N], ControlId id) {
    for (std::size_t k = 0; k < N; ++k) {
        if (ids[k] == id) return static_cast<ListId>(k);
    }
    return std::nullopt;
}

}  // namespace

ControlId listView(ListId id) { return kListViews[static_cast<int>(id)]; }
ControlId countLabel(ListId id) { return kCountLabels[static_cast<int>(id)]; }
ControlId toolbar(ListId id) { return kToolbars[static_cast<int>(id)]; }

ControlId chooser(core::Side side, int row) {
    const ControlId first = side == core::Side::List1 ? Combo1_0 : Combo2_0;
    return static_cast<ControlId>(static_cast<int>(first) + row);
}

std::optional<ListId> listOf(ControlId id) {
    if (auto list = indexIn(kListViews, id)) return list;
    if (auto list = indexIn(kCountLabels, id)) return list;
    return indexIn(kToolbars, id);
}

std::string countName(ListId id, const std::string& count) {
    std::string name = control(countLabel(id)).accessibleName;
    if (!count.empty()) name += ": " + count;
    return name;
}

std::string columnCaption(std::size_t column) { return std::to_string(column + 1); }

MessageDesign messageDesign(core::Message kind) {
    switch (kind) {
        case core::Message::ErrorReport:
            return {kWindowCaption, MessageIcon::None, MessageButtons::RetryCancel};
        case core::Message::Instructions:
            return {"Instructions", MessageIcon::Information, MessageButtons::Ok};
        case core::Message::Refusal:
            break;
    }
    return {kWindowCaption, MessageIcon::Exclamation, MessageButtons::Ok};
}

const char* instructionsText() {
    return "Sorvane is free software under the MIT licence and comes without any warranty.\n"
           "\n"
           "1. From Microsoft Excel select the first list of records and copy it to the "
           "clipboard.\n"
           "2. In this program, paste the list of records by using the paste records icon of "
           "List 1.\n"
           "3. From Microsoft Excel select the second list of records and Copy it to the "
           "clipboard.\n"
           "4. In this program, paste the list of records by using the paste records icon of "
           "List 2.\n"
           "5. In the 'Columns to compare' section, set the columns that will be compared.\n"
           "6. Press the 'Compare' button.\n"
           "\n"
           "Made by the Sorvane developers.";
}

}  // namespace sorvane::form
