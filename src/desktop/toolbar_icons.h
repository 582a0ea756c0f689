#pragma once

#include <QIcon>
#include <QSize>

namespace vyr {

// Toolbar buttons are 16 x 15 pixels.
inline constexpr QSize kToolbarIconSize{16, 15};

// The toolbar picture of a command, drawn here so that the program needs no
// image files; a null icon for a command without a button.
QIcon ToolbarIcon(int command);

}  // namespace vyr
