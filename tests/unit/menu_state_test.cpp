#include "console/commands/menu_state.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "console/resources/resource.h"

namespace murlo::test {
namespace {

// The options and the facts the rules read.
struct State {
    ViewOptions options;
    MenuFacts facts;
};

// The console's state right after start: logging on, everything else off.
State Fresh() {
    State s{};
    s.options.loggingOn = 1;
    s.options.alpha = 255;
    s.facts.selectionEmpty = true;
    s.facts.findTextEmpty = true;
    s.facts.richEdit2 = true;
    return s;
}

std::vector<MenuItemState> States(unsigned groups, const State& s) {
    std::vector<MenuItemState> out(kMaxMenuItemStates);
    out.resize(MenuItemStates(groups, s.options, s.facts, out.data(), out.size()));
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
    void (*change)(State&);
    unsigned groups;
    std::vector<Expect> expect;
};

TEST(MenuState, RulesTable) {
    const std::vector<Case> cases = {
        {"fresh file menu", [](State&) {}, kMenuGroupFile,
         {{IDM_START_LOG, 1, -1}, {IDM_LOG_TO_FILE, 0, -1}, {IDM_SAVE_LOG, -1, 1}}},
        {"logging off", [](State& s) { s.options.loggingOn = 0; }, kMenuGroupFile,
         {{IDM_START_LOG, 0, -1}}},
        {"log file open", [](State& s) { s.facts.logFileOpen = true; }, kMenuGroupFile,
         {{IDM_LOG_TO_FILE, 1, -1}, {IDM_SAVE_LOG, -1, 0}}},
        {"fresh edit menu", [](State&) {}, kMenuGroupEdit,
         {{IDM_COPY, -1, 0}, {IDM_FIND_PREVIOUS, -1, 0}, {IDM_FIND_NEXT, -1, 0}}},
        {"selection", [](State& s) { s.facts.selectionEmpty = false; }, kMenuGroupEdit,
         {{IDM_COPY, -1, 1}}},
        {"find text with rich edit 2.0", [](State& s) { s.facts.findTextEmpty = false; },
         kMenuGroupEdit, {{IDM_FIND_PREVIOUS, -1, 1}, {IDM_FIND_NEXT, -1, 1}}},
        {"find text with rich edit 1.0",
         [](State& s) { s.facts.findTextEmpty = false; s.facts.richEdit2 = false; }, kMenuGroupEdit,
         {{IDM_FIND_PREVIOUS, -1, 0}, {IDM_FIND_NEXT, -1, 1}}},
        {"rich edit 1.0 without find text", [](State& s) { s.facts.richEdit2 = false; },
         kMenuGroupEdit, {{IDM_FIND_PREVIOUS, -1, 0}, {IDM_FIND_NEXT, -1, 0}}},
        {"fresh view menu", [](State&) {}, kMenuGroupView,
         {{IDM_SHOW_FILE_NAME, 0, -1}, {IDM_SHOW_PROCESS_ID, 0, -1}, {IDM_SHOW_DATE, 0, -1},
          {IDM_SHOW_TIME, 0, -1}, {IDM_TOP_MOST, 0, -1}, {IDM_ADD_LINE_END, 0, -1},
          {IDM_TRANSPARENT, 0, 0}, {IDM_WRAP, 0, -1}, {IDM_LEFT_SPACE, 0, -1},
          {IDM_TRANSPARENCY, -1, 0}}},
        {"view toggles on, stored numbers other than 1",
         [](State& s) {
             s.options.showFileName = 1; s.options.showProcessId = 7; s.options.showDate = 0x100; s.options.showTime = 1;
             s.options.topMost = 2; s.options.addLineEnd = 1; s.options.wrapToWindow = 0x80000000u; s.options.leftSpace = 1;
         },
         kMenuGroupView,
         {{IDM_SHOW_FILE_NAME, 1, -1}, {IDM_SHOW_PROCESS_ID, 1, -1}, {IDM_SHOW_DATE, 1, -1},
          {IDM_SHOW_TIME, 1, -1}, {IDM_TOP_MOST, 1, -1}, {IDM_ADD_LINE_END, 1, -1},
          {IDM_WRAP, 1, -1}, {IDM_LEFT_SPACE, 1, -1}}},
        {"NT 5, opaque, transparent on",
         [](State& s) { s.facts.isNT5 = true; s.options.transparent = 1; }, kMenuGroupView,
         {{IDM_TRANSPARENT, 0, 0}, {IDM_TRANSPARENCY, -1, 1}}},
        {"NT 5, alpha 254, transparent on",
         [](State& s) { s.facts.isNT5 = true; s.options.transparent = 1; s.options.alpha = 254; },
         kMenuGroupView, {{IDM_TRANSPARENT, 1, 1}, {IDM_TRANSPARENCY, -1, 1}}},
        {"NT 5, alpha 0, transparent off",
         [](State& s) { s.facts.isNT5 = true; s.options.alpha = 0; }, kMenuGroupView,
         {{IDM_TRANSPARENT, 0, 1}}},
        {"not NT 5, alpha 100, transparent on",
         [](State& s) { s.options.transparent = 1; s.options.alpha = 100; }, kMenuGroupView,
         {{IDM_TRANSPARENT, 0, 0}, {IDM_TRANSPARENCY, -1, 0}}},
        {"help, not Japanese", [](State&) {}, kMenuGroupHelp, {{IDM_HELP, -1, 0}}},
        {"help, Japanese", [](State& s) { s.facts.japaneseUi = true; }, kMenuGroupHelp,
         {{IDM_HELP, -1, 1}}},
        {"context menu takes file, edit and view",
         [](State& s) { s.facts.selectionEmpty = false; s.facts.isNT5 = true; s.options.alpha = 9; s.options.transparent = 1; },
         MenuGroupsFor(-1, true),
         {{IDM_START_LOG, 1, -1}, {IDM_COPY, -1, 1}, {IDM_TRANSPARENT, 1, 1}, {IDM_WRAP, 0, -1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        State s = Fresh();
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
    State s = Fresh();
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
    State s = Fresh();
    MenuItemState out[3];
    out[2].id = 12345;
    EXPECT_EQ(MenuItemStates(kMenuGroupView, s.options, s.facts, out, 2), 2u);
    EXPECT_EQ(out[2].id, 12345u);
    EXPECT_EQ(MenuItemStates(kMenuGroupView, s.options, s.facts, out, 0), 0u);
}

// The accelerators' commands: greyed exactly when their menu item is.
TEST(MenuState, AcceleratorCommands) {
    struct Row {
        unsigned id;
        void (*change)(State&);
        bool enabled;
    };
    const Row rows[] = {
        {IDM_SELECT_ALL, [](State&) {}, true},
        {IDM_FIND, [](State&) {}, true},
        {IDM_CLEAR, [](State& s) { s.facts.logFileOpen = true; }, true},
        {IDM_COPY, [](State&) {}, false},
        {IDM_COPY, [](State& s) { s.facts.selectionEmpty = false; }, true},
        {IDM_SAVE_LOG, [](State&) {}, true},
        {IDM_SAVE_LOG, [](State& s) { s.facts.logFileOpen = true; }, false},
        {IDM_TRANSPARENT, [](State& s) { s.options.alpha = 3; }, false},
        {IDM_TRANSPARENT, [](State& s) { s.facts.isNT5 = true; }, false},
        {IDM_TRANSPARENT, [](State& s) { s.facts.isNT5 = true; s.options.alpha = 3; }, true},
        {IDM_FIND_NEXT, [](State&) {}, false},
        {IDM_FIND_NEXT, [](State& s) { s.facts.findTextEmpty = false; s.facts.richEdit2 = false; }, true},
        {IDM_FIND_PREVIOUS, [](State& s) { s.facts.findTextEmpty = false; }, true},
        {IDM_FIND_PREVIOUS, [](State& s) { s.facts.findTextEmpty = false; s.facts.richEdit2 = false; }, false},
    };
    const unsigned allGroups = kMenuGroupFile | kMenuGroupEdit | kMenuGroupView | kMenuGroupHelp;
    for (const auto& row : rows) {
        State s = Fresh();
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
