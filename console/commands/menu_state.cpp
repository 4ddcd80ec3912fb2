#include "console/commands/menu_state.h"

#include "console/resources/resource.h"

namespace murlo {

namespace {

struct Rule {
    unsigned group;
    unsigned id;
    bool setsCheck;
    bool setsEnabled;
};

// Every item a rule governs, by group, in menu order.
constexpr Rule kRules[] = {
    {kMenuGroupFile, IDM_START_LOG, true, false},
    {kMenuGroupFile, IDM_SAVE_LOG, false, true},
    {kMenuGroupFile, IDM_LOG_TO_FILE, true, false},
    {kMenuGroupEdit, IDM_COPY, false, true},
    {kMenuGroupEdit, IDM_FIND_PREVIOUS, false, true},
    {kMenuGroupEdit, IDM_FIND_NEXT, false, true},
    {kMenuGroupView, IDM_SHOW_FILE_NAME, true, false},
    {kMenuGroupView, IDM_SHOW_PROCESS_ID, true, false},
    {kMenuGroupView, IDM_SHOW_DATE, true, false},
    {kMenuGroupView, IDM_SHOW_TIME, true, false},
    {kMenuGroupView, IDM_TRANSPARENT, true, true},
    {kMenuGroupView, IDM_ADD_LINE_END, true, false},
    {kMenuGroupView, IDM_WRAP, true, false},
    {kMenuGroupView, IDM_LEFT_SPACE, true, false},
    {kMenuGroupView, IDM_TOP_MOST, true, false},
    {kMenuGroupView, IDM_TRANSPARENCY, false, true},
    {kMenuGroupHelp, IDM_HELP, false, true},
};
static_assert(sizeof kRules / sizeof kRules[0] <= kMaxMenuItemStates);

bool Checked(unsigned id, const MenuStateInput& s) {
    switch (id) {
    case IDM_START_LOG: return s.loggingOn != 0;
    case IDM_LOG_TO_FILE: return s.logFileOpen;
    case IDM_SHOW_FILE_NAME: return s.showFileName != 0;
    case IDM_SHOW_PROCESS_ID: return s.showProcessId != 0;
    case IDM_SHOW_DATE: return s.showDate != 0;
    case IDM_SHOW_TIME: return s.showTime != 0;
    case IDM_TOP_MOST: return s.topMost != 0;
    case IDM_ADD_LINE_END: return s.addLineEnd != 0;
    case IDM_TRANSPARENT: return s.isNT5 && s.transparent != 0 && s.alpha != 255;
    case IDM_WRAP: return s.wrapToWindow != 0;
    case IDM_LEFT_SPACE: return s.leftSpace != 0;
    default: return false;
    }
}

bool Enabled(unsigned id, const MenuStateInput& s) {
    switch (id) {
    case IDM_SAVE_LOG: return !s.logFileOpen;
    case IDM_COPY: return !s.selectionEmpty;
    case IDM_FIND_PREVIOUS: return !s.findTextEmpty && s.richEdit2;
    case IDM_FIND_NEXT: return !s.findTextEmpty;
    case IDM_TRANSPARENT: return s.isNT5 && s.alpha != 255;
    case IDM_TRANSPARENCY: return s.isNT5;
    case IDM_HELP: return s.japaneseUi;
    default: return true;
    }
}

}  // namespace

unsigned MenuGroupsFor(int mainMenuPosition, bool isContextMenu) {
    if (isContextMenu) return kMenuGroupFile | kMenuGroupEdit | kMenuGroupView;
    switch (mainMenuPosition) {
    case 0: return kMenuGroupFile;
    case 1: return kMenuGroupEdit;
    case 2: return kMenuGroupView;
    case 3: return kMenuGroupHelp;
    default: return 0;
    }
}

size_t MenuItemStates(unsigned groups, const MenuStateInput& state, MenuItemState* out,
                      size_t capacity) {
    size_t count = 0;
    for (const Rule& rule : kRules) {
        if ((rule.group & groups) == 0) continue;
        if (count == capacity) break;
        out[count++] = MenuItemState{rule.id, rule.setsCheck, rule.setsCheck && Checked(rule.id, state),
                                     rule.setsEnabled, !rule.setsEnabled || Enabled(rule.id, state)};
    }
    return count;
}

}  // namespace murlo
