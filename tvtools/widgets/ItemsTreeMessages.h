#pragma once

// Codes of the messages a selection tree sends its parent (user-message base 1024 + n).
namespace tvtree {

// Notification after the user toggled a check box with the mouse or the Space key.
inline constexpr int kNotifyCheckChange = 1025;
// Right button pressed on an item's check box, icon or label.
inline constexpr int kMessageRightClick = 1027;
// Delete key pressed.
inline constexpr int kMessageDeleteKey = 1029;

} // namespace tvtree
