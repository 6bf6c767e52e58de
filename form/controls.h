#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "commands.h"
#include "workspace.h"

namespace sorvane::form {

// The window Principal as data: every control it shows, with what each toolkit needs to build
// it. Each window is built by one loop over this table, so both show the same controls with the
// same names, captions, fonts, places, tab order and accessible names.

/// Every control of the window, named as the design names it; also its index in controls().
/// The column choosers are two control arrays, Combo1(0..3) and Combo2(0..3), named
/// Combo1_0 .. Combo2_3.
enum class ControlId : std::uint8_t {
    Frame1, Label1, Label2, Label3, Label4, Label5, Label18,
    Combo1_0, Combo1_1, Combo1_2, Combo1_3,
    Label6, Label7, Label8, Label17,
    Combo2_0, Combo2_1, Combo2_2, Combo2_3,
    Command1, Command2,
    Frame4, Label9, Text1, Label11, CoolBar1, Toolbar1,
    Label10, Text2, Label12, CoolBar2, Toolbar2, ListView1, ListView2,
    Frame2, Label13, CoolBar3, Toolbar3, Label14, CoolBar4, Toolbar4, ListView3, ListView4,
    Frame3, Label15, CoolBar5, Toolbar5, Label16, CoolBar6, Toolbar6, ListView5, ListView6,
};
inline constexpr std::size_t kControlCount = static_cast<std::size_t>(ControlId::ListView6) + 1;

/// What kind of control each is, as the common controls of Windows name them.
enum class Kind {
    Frame,          ///< a group box with a caption
    Label,          ///< static text
    ComboBox,       ///< drop-down list with an editable text field, not sorted
    PushButton,     ///< with an access key marked by &
    TextBox,        ///< single-line edit box
    ListView,       ///< a record list: list view in report mode
    BandContainer,  ///< a rebar of one band, holding one toolbar
    Toolbar,        ///< a toolbar of one image button with a tooltip
};

/// The fonts the controls use.
enum class FontId {
    Default,     ///< the window's: "MS Sans Serif" 8.25 pt
    Underlined,  ///< the same, underlined: the "List 1" and "List 2" column headings
    Arial,       ///< "Arial" 8.25 pt
    Heading,     ///< "MS Sans Serif" 12 pt bold
};

/// A font as the design gives it. Where the face is missing, the nearest sans serif stands in.
struct Font {
    const char* family;
    double points;
    bool bold;
    bool underline;
};

/// The font of `id`.
Font fontOf(FontId id);

/// The colour a control's text is drawn in.
enum class TextColour {
    Default,
    Navy,       ///< kNavyRgb: the column choosers
    Highlight,  ///< the system's highlight colour: the two note boxes
};

/// A colour of the design.
struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

/// The navy of the column choosers' text.
inline constexpr Rgb kNavyRgb{0, 0, 128};

/// The two pictures of the toolbar buttons.
enum class Picture { None, Paste, Copy };

/// A rectangle in twips (15 to a pixel at 96 dots per inch), relative to the client area of its
/// container. Values may be fractional; each window rounds them to its pixels.
struct TwipRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    bool operator==(const TwipRect&) const = default;
};

/// One control of the window.
struct Control {
    ControlId id;
    const char* name;                   ///< the design's name, which each window gives it too
    Kind kind;
    std::optional<ControlId> container;  ///< the frame or band it stands in; none: the window
    const char* caption;                ///< a frame's, label's or button's text, a chooser's
                                        ///< field as the window shows it first; "" for none
    FontId font;
    TwipRect rect;                      ///< as designed, before the window is first laid out
    int tab;                            ///< tab position: lower first, where the kind takes focus
    const char* accessibleName;         ///< what a screen reader says of it
    TextColour colour = TextColour::Default;
    bool centred = false;               ///< a label's text centred in its width
    Picture picture = Picture::None;    ///< a toolbar's button picture
    const char* tooltip = "";           ///< a toolbar button's tooltip
    const char* buttonName = "";        ///< a toolbar button's own accessible name
};

/// Every control, in the order of ControlId.
std::span<const Control, kControlCount> controls();

/// One control.
const Control& control(ControlId id);

/// Whether a control of this kind takes the keyboard focus: labels, frames and band
/// containers never do.
bool takesFocus(Kind kind);

/// The controls that take the focus, in tab order.
std::span<const ControlId> tabOrder();

/// The window's caption, and the title of every message box without a title of its own.
inline constexpr const char* kWindowCaption = "Sorvane";

/// The window's client area when created, in twips.
inline constexpr double kClientWidth = 19080;
inline constexpr double kClientHeight = 11175;

/// The width of every column of a record list when it is added, in twips: one inch. A width
/// the user sets is kept until the program ends.
inline constexpr double kColumnWidth = 1440;

/// The caption of column `column` (0-based) of a record list: its number, from 1.
std::string columnCaption(std::size_t column);

/// The number of comparison rows: the choosers of each side are rows 0 to kComparisonRows - 1.
inline constexpr int kComparisonRows = static_cast<int>(core::kComparisonRows);

/// How a message box looks.
enum class MessageIcon { None, Exclamation, Information };
/// Which buttons a message box offers: OK alone, or Retry (the default) and Cancel, where
/// closing the box answers Cancel.
enum class MessageButtons { Ok, RetryCancel };
/// A message box of the design.
struct MessageDesign {
    const char* title;
    MessageIcon icon;
    MessageButtons buttons;
};

/// How each of the window's messages looks.
MessageDesign messageDesign(core::Message kind);

/// The record list shown by each list view.
ControlId listView(core::ListId id);
/// The count label of each list.
ControlId countLabel(core::ListId id);
/// The toolbar of each list: Paste records for an input list, Copy records for a result list.
ControlId toolbar(core::ListId id);
/// The column chooser of a side in comparison row `row` (0 to 3).
ControlId chooser(core::Side side, int row);

/// The list whose list view, count label or toolbar `id` is; none for other controls.
std::optional<core::ListId> listOf(ControlId id);

/// A count label's accessible name: its list, then the count it shows, where it shows one.
std::string countName(core::ListId id, const std::string& count);

/// The instructions message shown by "?": the workflow in six steps, between a line on the
/// terms of distribution and a line naming who made the program, separated by LF alone.
const char* instructionsText();

}  // namespace sorvane::form
