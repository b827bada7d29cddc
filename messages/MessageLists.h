#pragma once

namespace rt {
class ListView;
} // namespace rt

// What the three message lists (out-box, saved, sent) share in their layout.
namespace MessageLists {

// Sizes the list's columns to what the list shows: the icon column (1) 25 pixels wide,
// the title column what the others leave of the visible width, less 5 pixels, so that a
// vertical scroll bar never pushes the last column out of sight. The list keeps them so
// whenever its visible width changes (a resize, a scroll bar that comes or goes). A list
// too narrow for the other columns keeps its old title width.
void FitTitleColumn(rt::ListView& list, int titleColumn);

} // namespace MessageLists
