// The console's literal texts: registered names, registry key and value
// names, captions. Each is written here once.
#pragma once

#include "common/protocol_names.h"

namespace murlo {

inline constexpr char kWindowTitle[] = "Lumbrix";
inline constexpr char kCaption[] = "Murlo";

inline constexpr char kValueX[] = "X";
inline constexpr char kValueY[] = "Y";
inline constexpr char kValueWidth[] = "Width";
inline constexpr char kValueHeight[] = "Height";
// The eleven stored options are named in kStoredOptions (view_options.h).
inline constexpr char kValueFont[] = "Font";
inline constexpr char kValueTextColor[] = "TextColor";
inline constexpr char kValueBackColor[] = "BackColor";
inline constexpr char kValueUserDefinedColor[] = "UserDefinedColor";

inline constexpr char kFileNameOkMessageName[] = "commdlg_FileNameOK";
inline constexpr char kFindReplaceMessageName[] = "commdlg_FindReplace";
inline constexpr char kWheelRollMessageName[] = "MSWHEEL_ROLLMSG";
inline constexpr char kScrollLinesMessageName[] = "MSH_SCROLL_LINES_MSG";
inline constexpr char kWheelDriverClass[] = "MouseZ";
inline constexpr char kWheelDriverTitle[] = "Magellan MSWHEEL";

// Command-line option words, after '/' or '-'.
inline constexpr char kOptionWordClear[] = "clear";
inline constexpr char kOptionWordStop[] = "stop";
// The pause box's text: the atom's name and the number.
inline constexpr char kPauseFormat[] = "%s(%d)";

inline constexpr char kUserLibrary[] = "USER32.DLL";
inline constexpr char kSetLayeredWindowAttributesName[] = "SetLayeredWindowAttributes";
inline constexpr char kDllGetVersionName[] = "DllGetVersion";

inline constexpr char kJapaneseResourceLibrary[] = "MURLOJP.DLL";
inline constexpr char kRichEdit20Library[] = "RICHED20.DLL";
inline constexpr char kRichEdit10Library[] = "RICHED32.DLL";
inline constexpr char kRichEdit20Class[] = "RichEdit20A";
inline constexpr char kRichEdit10Class[] = "RICHEDIT";
inline constexpr char kCommonControlsLibrary[] = "COMCTL32.DLL";

inline constexpr char kDebugBufferReadyEvent[] = "DBWIN_BUFFER_READY";
inline constexpr char kDebugDataReadyEvent[] = "DBWIN_DATA_READY";
inline constexpr char kDebugBufferSection[] = "DBWIN_BUFFER";
inline constexpr char kKillMonitorEvent[] = "MURLO_KILL_MONITOR";
inline constexpr char kRingFilePrefix[] = "MUR";
inline constexpr char kDefaultExtension[] = "TXT";
inline constexpr char kHelpExtension[] = "HLP";

// Face name written into every stored font: MS Gothic in code page 932.
inline constexpr unsigned char kFixedFaceName[14] = {0x82, 0x6C, 0x82, 0x72, 0x20, 0x83, 0x53,
                                                     0x83, 0x56, 0x83, 0x62, 0x83, 0x4E, 0x00};

inline constexpr unsigned kViewTextLimit = 0x7000;
inline constexpr unsigned kSaveBufferSize = 0x7000;

}  // namespace murlo
