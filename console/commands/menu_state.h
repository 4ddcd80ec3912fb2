// The menu state rules: which items are checked and which are greyed, from
// the console's ViewOptions and a few facts about the window. Portable:
// OnInitMenuPopup applies the result, and through it the accelerators follow
// the same rules.
#pragma once

#include <cstddef>
#include <cstdint>

#include "console/shell/view_options.h"

namespace murlo {

// What the rules look at besides the options.
struct MenuFacts {
    bool logFileOpen;
    bool selectionEmpty;
    bool findTextEmpty;
    bool richEdit2;
    bool isNT5;
    bool japaneseUi;
};

// Rule groups, one per popup of the main menu; the context menu takes the
// File, Edit and View groups.
enum MenuGroup : unsigned {
    kMenuGroupFile = 1,
    kMenuGroupEdit = 2,
    kMenuGroupView = 4,
    kMenuGroupHelp = 8,
};

// The groups for a popup: mainMenuPosition is its position in the main
// menu's bar (-1 when it is none of them), isContextMenu whether it is the
// context menu being tracked.
unsigned MenuGroupsFor(int mainMenuPosition, bool isContextMenu);

// One item's state. An item that a rule does not check keeps its check mark
// (setsCheck false); one that no rule greys keeps its enabled state.
struct MenuItemState {
    unsigned id;
    bool setsCheck;
    bool checked;
    bool setsEnabled;
    bool enabled;
};

inline constexpr size_t kMaxMenuItemStates = 24;

// Writes the states of every item the groups govern into out (at most
// capacity entries) and returns how many were written.
size_t MenuItemStates(unsigned groups, const ViewOptions& options, const MenuFacts& facts, MenuItemState* out,
                      size_t capacity);

// The toggles' new value: 1 when the field was 0, else 0.
inline uint32_t Toggled(uint32_t value) { return value == 0 ? 1u : 0u; }

}  // namespace murlo
