// Menu states, status-bar help and the context menu. The platform's
// accelerator translation sends WM_INITMENUPOPUP for the popup that holds
// an accelerator's item and drops the key when the item is greyed, so the
// same rules govern the keys.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include "console/commands/menu_state.h"
#include "console/console_window.h"
#include "console/resources/resource.h"

namespace murlo {

namespace {

// Pairs handed to MenuHelp: a 0 and a command id each.
UINT g_statusHelpIds[32] = {
    0, IDM_START_LOG,   0, IDM_SAVE_LOG,        0, IDM_LOG_TO_FILE, 0, IDM_EXIT,
    0, IDM_COPY,        0, IDM_CLEAR,           0, IDM_SELECT_ALL,  0, IDM_SHOW_FILE_NAME,
    0, IDM_SHOW_PROCESS_ID, 0, IDM_SHOW_DATE,   0, IDM_SHOW_TIME,   0, IDM_TOP_MOST,
    0, IDM_FONT,        0, IDM_ADD_LINE_END,    0, IDM_HELP,        0, IDM_ABOUT,
};

CHARRANGE ViewSelection(HWND view) {
    CHARRANGE selection = {0, 0};
    SendMessageA(view, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    return selection;
}

MenuFacts CurrentMenuFacts(const ConsoleWindow& console) {
    const PlatformInfo& platform = g_console.platform;
    CHARRANGE selection = ViewSelection(console.viewWindow);
    MenuFacts facts{};
    facts.logFileOpen = console.log.file != nullptr;
    facts.selectionEmpty = selection.cpMin == selection.cpMax;
    facts.findTextEmpty = console.find.text[0] == '\0';
    facts.richEdit2 = platform.richEdit2;
    facts.isNT5 = platform.isNT5;
    facts.japaneseUi = platform.japaneseUi;
    return facts;
}

int MainMenuPosition(HWND mainWindow, HMENU popup) {
    HMENU bar = GetMenu(mainWindow);
    if (!bar || !popup) return -1;
    for (int position = 0; position < 4; ++position)
        if (GetSubMenu(bar, position) == popup) return position;
    return -1;
}

}  // namespace

void ConsoleWindow::OnInitMenuPopup(HMENU menu, UINT, BOOL isWindowMenu) {
    if (isWindowMenu) return;
    bool isContextMenu = contextMenu != nullptr && menu == contextMenu;
    unsigned groups = MenuGroupsFor(MainMenuPosition(mainWindow, menu), isContextMenu);
    if (groups == 0) return;
    MenuItemState states[kMaxMenuItemStates];
    size_t count = MenuItemStates(groups, options, CurrentMenuFacts(*this), states, kMaxMenuItemStates);
    // Items absent from this popup make the calls fail and stay untouched.
    for (size_t i = 0; i < count; ++i) {
        const MenuItemState& item = states[i];
        if (item.setsCheck)
            CheckMenuItem(menu, item.id, MF_BYCOMMAND | (item.checked ? MF_CHECKED : MF_UNCHECKED));
        if (item.setsEnabled)
            EnableMenuItem(menu, item.id, MF_BYCOMMAND | (item.enabled ? MF_ENABLED : MF_GRAYED | MF_DISABLED));
    }
}

void ConsoleWindow::OnMenuSelect(HMENU menu, UINT item, UINT flags) {
    // A popup title passes its popup and item 0; the menu closing comes as
    // flags 0xFFFF (which include MF_POPUP) with no menu.
    HMENU popup = nullptr;
    if (flags & MF_POPUP) {
        popup = menu ? GetSubMenu(menu, static_cast<int>(item)) : nullptr;
        item = 0;
    }
    MenuHelp(WM_MENUSELECT, MAKEWPARAM(item, flags), reinterpret_cast<LPARAM>(popup), GetMenu(mainWindow),
             g_console.resourceModule, statusWindow, g_statusHelpIds);
}

void ConsoleWindow::OnContextMenu(int x, int y) {
    // The keyboard form carries -1, -1: the menu opens at the caret.
    POINT at = {x, y};
    if (at.x < 0) {
        CHARRANGE selection = ViewSelection(viewWindow);
        POINTL position = {0, 0};
        SendMessageA(viewWindow, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&position), selection.cpMin);
        at = POINT{position.x, position.y};
        ClientToScreen(viewWindow, &at);
    }
    HMENU menu = LoadMenuA(g_console.resourceModule, MAKEINTRESOURCEA(IDM_CONTEXT_MENU));
    if (!menu) return;
    contextMenu = GetSubMenu(menu, 0);
    if (contextMenu) TrackPopupMenu(contextMenu, 0, at.x, at.y, 0, mainWindow, nullptr);
    contextMenu = nullptr;
    DestroyMenu(menu);
}

}  // namespace murlo
