#pragma once

#include <QIcon>

namespace sorvane::ui {

/// The paste picture of the "Paste records" buttons: a sheet going onto a clipboard board.
QIcon pastePicture();

/// The copy picture of the "Copy records" buttons: two sheets of rows, one over the other.
QIcon copyPicture();

/// The window's icon (the application icon): two lists side by side with a line pairing one row
/// of each.
QIcon applicationIcon();

}  // namespace sorvane::ui
