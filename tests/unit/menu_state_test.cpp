#include "console/commands/menu_state.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "console/resources/resource.h"

namespace murlo::test {
namespace {

// The console's state right after start: logging on, everything else off.
MenuStateInput Fresh() {
    MenuStateInput s{};
    s.loggingOn = 1;
    s.selectionEmpty = true;
    s.findTextEmpty = true;
    s.richEdit2 = true;
    s.alpha = 255;
    return s;
}

std::vector<MenuItemState> States(unsigned groups, const MenuStateInput& s) {
    std::vector<MenuItemState> out(kMaxMenuItemStates);
    out.resize(MenuItemStates(groups, s, out.data(), out.size()));
    return out;
}

std::optional<MenuItemState> Find(const std::vector<MenuItemState>& states, unsigned id) {
    for (const auto& item : states)
        if (item.id == id) return item;
    return std::nullopt;
}

// Expected state of one item: -1 means the rule leaves that part alone.
struct Expect {
    unsigned id;
    int checked;
    int enabled;
};

struct Case {
    const char* name;
    void (*change)(MenuStateInput&);
    unsigned groups;
    std::vector<Expect> expect;
};

TEST(MenuState, RulesTable) {
    const std::vector<Case> cases = {
        {"fresh file menu", [](MenuStateInput&) {}, kMenuGroupFile,
         {{IDM_START_LOG, 1, -1}, {IDM_LOG_TO_FILE, 0, -1}, {IDM_SAVE_LOG, -1, 1}}},
        {"logging off", [](MenuStateInput& s) { s.loggingOn = 0; }, kMenuGroupFile,
         {{IDM_START_LOG, 0, -1}}},
        {"log file open", [](MenuStateInput& s) { s.logFileOpen = true; }, kMenuGroupFile,
         {{IDM_LOG_TO_FILE, 1, -1}, {IDM_SAVE_LOG, -1, 0}}},
        {"fresh edit menu", [](MenuStateInput&) {}, kMenuGroupEdit,
         {{IDM_COPY, -1, 0}, {IDM_FIND_PREVIOUS, -1, 0}, {IDM_FIND_NEXT, -1, 0}}},
        {"selection", [](MenuStateInput& s) { s.selectionEmpty = false; }, kMenuGroupEdit,
         {{IDM_COPY, -1, 1}}},
        {"find text with rich edit 2.0", [](MenuStateInput& s) { s.findTextEmpty = false; },
         kMenuGroupEdit, {{IDM_FIND_PREVIOUS, -1, 1}, {IDM_FIND_NEXT, -1, 1}}},
        {"find text with rich edit 1.0",
         [](MenuStateInput& s) { s.findTextEmpty = false; s.richEdit2 = false; }, kMenuGroupEdit,
         {{IDM_FIND_PREVIOUS, -1, 0}, {IDM_FIND_NEXT, -1, 1}}},
        {"rich edit 1.0 without find text", [](MenuStateInput& s) { s.richEdit2 = false; },
         kMenuGroupEdit, {{IDM_FIND_PREVIOUS, -1, 0}, {IDM_FIND_NEXT, -1, 0}}},
        {"fresh view menu", [](MenuStateInput&) {}, kMenuGroupView,
         {{IDM_SHOW_FILE_NAME, 0, -1}, {IDM_SHOW_PROCESS_ID, 0, -1}, {IDM_SHOW_DATE, 0, -1},
          {IDM_SHOW_TIME, 0, -1}, {IDM_TOP_MOST, 0, -1}, {IDM_ADD_LINE_END, 0, -1},
          {IDM_TRANSPARENT, 0, 0}, {IDM_WRAP, 0, -1}, {IDM_LEFT_SPACE, 0, -1},
          {IDM_TRANSPARENCY, -1, 0}}},
        {"view toggles on, stored numbers other than 1",
         [](MenuStateInput& s) {
             s.showFileName = 1; s.showProcessId = 7; s.showDate = 0x100; s.showTime = 1;
             s.topMost = 2; s.addLineEnd = 1; s.wrapToWindow = 0x80000000u; s.leftSpace = 1;
         },
         kMenuGroupView,
         {{IDM_SHOW_FILE_NAME, 1, -1}, {IDM_SHOW_PROCESS_ID, 1, -1}, {IDM_SHOW_DATE, 1, -1},
          {IDM_SHOW_TIME, 1, -1}, {IDM_TOP_MOST, 1, -1}, {IDM_ADD_LINE_END, 1, -1},
          {IDM_WRAP, 1, -1}, {IDM_LEFT_SPACE, 1, -1}}},
        {"NT 5, opaque, transparent on",
         [](MenuStateInput& s) { s.isNT5 = true; s.transparent = 1; }, kMenuGroupView,
         {{IDM_TRANSPARENT, 0, 0}, {IDM_TRANSPARENCY, -1, 1}}},
        {"NT 5, alpha 254, transparent on",
         [](MenuStateInput& s) { s.isNT5 = true; s.transparent = 1; s.alpha = 254; },
         kMenuGroupView, {{IDM_TRANSPARENT, 1, 1}, {IDM_TRANSPARENCY, -1, 1}}},
        {"NT 5, alpha 0, transparent off",
         [](MenuStateInput& s) { s.isNT5 = true; s.alpha = 0; }, kMenuGroupView,
         {{IDM_TRANSPARENT, 0, 1}}},
        {"not NT 5, alpha 100, transparent on",
         [](MenuStateInput& s) { s.transparent = 1; s.alpha = 100; }, kMenuGroupView,
         {{IDM_TRANSPARENT, 0, 0}, {IDM_TRANSPARENCY, -1, 0}}},
        {"help, not Japanese", [](MenuStateInput&) {}, kMenuGroupHelp, {{IDM_HELP, -1, 0}}},
        {"help, Japanese", [](MenuStateInput& s) { s.japaneseUi = true; }, kMenuGroupHelp,
         {{IDM_HELP, -1, 1}}},
        {"context menu takes file, edit and view",
         [](MenuStateInput& s) { s.selectionEmpty = false; s.isNT5 = true; s.alpha = 9; s.transparent = 1; },
         MenuGroupsFor(-1, true),
         {{IDM_START_LOG, 1, -1}, {IDM_COPY, -1, 1}, {IDM_TRANSPARENT, 1, 1}, {IDM_WRAP, 0, -1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MenuStateInput s = Fresh();
        c.change(s);
        auto states = States(c.groups, s);
        for (const auto& e : c.expect) {
            SCOPED_TRACE(e.id);
            auto item = Find(states, e.id);
            ASSERT_TRUE(item.has_value());
            EXPECT_EQ(item->setsCheck, e.checked != -1);
            if (e.checked != -1) {
                EXPECT_EQ(item->checked, e.checked == 1);
            }
            EXPECT_EQ(item->setsEnabled, e.enabled != -1);
            EXPECT_TRUE(e.enabled == -1 ? item->enabled : item->enabled == (e.enabled == 1));
        }
    }
}

TEST(MenuState, GroupsGovernOnlyTheirItems) {
    MenuStateInput s = Fresh();
    EXPECT_EQ(States(kMenuGroupFile, s).size(), 3u);
    EXPECT_EQ(States(kMenuGroupEdit, s).size(), 3u);
    EXPECT_EQ(States(kMenuGroupView, s).size(), 10u);
    EXPECT_EQ(States(kMenuGroupHelp, s).size(), 1u);
    EXPECT_EQ(States(MenuGroupsFor(-1, true), s).size(), 16u);
    EXPECT_FALSE(Find(States(MenuGroupsFor(-1, true), s), IDM_HELP).has_value());
    EXPECT_TRUE(States(0, s).empty());

    EXPECT_EQ(MenuGroupsFor(0, false), unsigned(kMenuGroupFile));
    EXPECT_EQ(MenuGroupsFor(1, false), unsigned(kMenuGroupEdit));
    EXPECT_EQ(MenuGroupsFor(2, false), unsigned(kMenuGroupView));
    EXPECT_EQ(MenuGroupsFor(3, false), unsigned(kMenuGroupHelp));
    EXPECT_EQ(MenuGroupsFor(4, false), 0u);
    EXPECT_EQ(MenuGroupsFor(-1, false), 0u);
    EXPECT_EQ(MenuGroupsFor(3, true), unsigned(kMenuGroupFile | kMenuGroupEdit | kMenuGroupView));
}

TEST(MenuState, OutputBoundedByCapacity) {
    MenuStateInput s = Fresh();
    MenuItemState out[3];
    out[2].id = 12345;
    EXPECT_EQ(MenuItemStates(kMenuGroupView, s, out, 2), 2u);
    EXPECT_EQ(out[2].id, 12345u);
    EXPECT_EQ(MenuItemStates(kMenuGroupView, s, out, 0), 0u);
}

// The accelerators' commands: greyed exactly when their menu item is.
TEST(MenuState, AcceleratorCommands) {
    struct Row {
        unsigned id;
        void (*change)(MenuStateInput&);
        bool enabled;
    };
    const Row rows[] = {
        {IDM_SELECT_ALL, [](MenuStateInput&) {}, true},
        {IDM_FIND, [](MenuStateInput&) {}, true},
        {IDM_CLEAR, [](MenuStateInput& s) { s.logFileOpen = true; }, true},
        {IDM_COPY, [](MenuStateInput&) {}, false},
        {IDM_COPY, [](MenuStateInput& s) { s.selectionEmpty = false; }, true},
        {IDM_SAVE_LOG, [](MenuStateInput&) {}, true},
        {IDM_SAVE_LOG, [](MenuStateInput& s) { s.logFileOpen = true; }, false},
        {IDM_TRANSPARENT, [](MenuStateInput& s) { s.alpha = 3; }, false},
        {IDM_TRANSPARENT, [](MenuStateInput& s) { s.isNT5 = true; }, false},
        {IDM_TRANSPARENT, [](MenuStateInput& s) { s.isNT5 = true; s.alpha = 3; }, true},
        {IDM_FIND_NEXT, [](MenuStateInput&) {}, false},
        {IDM_FIND_NEXT, [](MenuStateInput& s) { s.findTextEmpty = false; s.richEdit2 = false; }, true},
        {IDM_FIND_PREVIOUS, [](MenuStateInput& s) { s.findTextEmpty = false; }, true},
        {IDM_FIND_PREVIOUS, [](MenuStateInput& s) { s.findTextEmpty = false; s.richEdit2 = false; }, false},
    };
    const unsigned allGroups = kMenuGroupFile | kMenuGroupEdit | kMenuGroupView | kMenuGroupHelp;
    for (const auto& row : rows) {
        MenuStateInput s = Fresh();
        row.change(s);
        // An item no rule governs is never greyed.
        auto item = Find(States(allGroups, s), row.id);
        EXPECT_EQ(!item || !item->setsEnabled || item->enabled, row.enabled) << row.id;
    }
}

TEST(MenuState, ToggleWritesOneOrZero) {
    EXPECT_EQ(Toggled(0), 1u);
    EXPECT_EQ(Toggled(1), 0u);
    EXPECT_EQ(Toggled(7), 0u);
    EXPECT_EQ(Toggled(0xFFFFFFFFu), 0u);
}

}  // namespace
}  // namespace murlo::test
