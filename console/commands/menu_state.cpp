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

bool Checked(unsigned id, const ViewOptions& o, const MenuFacts& f) {
    switch (id) {
    case IDM_START_LOG: return o.loggingOn != 0;
    case IDM_LOG_TO_FILE: return f.logFileOpen;
    case IDM_SHOW_FILE_NAME: return o.showFileName != 0;
    case IDM_SHOW_PROCESS_ID: return o.showProcessId != 0;
    case IDM_SHOW_DATE: return o.showDate != 0;
    case IDM_SHOW_TIME: return o.showTime != 0;
    case IDM_TOP_MOST: return o.topMost != 0;
    case IDM_ADD_LINE_END: return o.addLineEnd != 0;
    case IDM_TRANSPARENT: return f.isNT5 && o.transparent != 0 && o.alpha != 255;
    case IDM_WRAP: return o.wrapToWindow != 0;
    case IDM_LEFT_SPACE: return o.leftSpace != 0;
    default: return false;
    }
}

bool Enabled(unsigned id, const ViewOptions& o, const MenuFacts& f) {
    switch (id) {
    case IDM_SAVE_LOG: return !f.logFileOpen;
    case IDM_COPY: return !f.selectionEmpty;
    case IDM_FIND_PREVIOUS: return !f.findTextEmpty && f.richEdit2;
    case IDM_FIND_NEXT: return !f.findTextEmpty;
    case IDM_TRANSPARENT: return f.isNT5 && o.alpha != 255;
    case IDM_TRANSPARENCY: return f.isNT5;
    case IDM_HELP: return f.japaneseUi;
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

size_t MenuItemStates(unsigned groups, const ViewOptions& options, const MenuFacts& facts, MenuItemState* out,
                      size_t capacity) {
    size_t count = 0;
    for (const Rule& rule : kRules) {
        if ((rule.group & groups) == 0) continue;
        if (count == capacity) break;
        out[count++] = MenuItemState{rule.id, rule.setsCheck, rule.setsCheck && Checked(rule.id, options, facts),
                                     rule.setsEnabled, !rule.setsEnabled || Enabled(rule.id, options, facts)};
    }
    return count;
}

}  // namespace murlo
