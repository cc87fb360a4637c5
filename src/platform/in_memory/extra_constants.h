// Windows constants that only the in-memory window manager needs, with their Windows values.
//
// Kept in their own namespace so that they never clash with names added to win_constants.h.
#pragma once

#include "platform/window_manager.h"

namespace ledbanner::platform::extra {

inline constexpr UInt WM_GETICON = 0x007F;
inline constexpr UInt WM_NCLBUTTONUP = 0x00A2;
inline constexpr UInt EN_SETFOCUS = 0x0100;
inline constexpr UInt EN_KILLFOCUS = 0x0200;

inline constexpr LResult DLGC_WANTARROWS = 0x0001;
inline constexpr LResult DLGC_HASSETSEL = 0x0008;
inline constexpr LResult DLGC_UNDEFPUSHBUTTON = 0x0020;
inline constexpr LResult DLGC_WANTCHARS = 0x0080;
inline constexpr LResult DLGC_STATIC = 0x0100;
inline constexpr LResult DLGC_BUTTON = 0x2000;

inline constexpr LResult MA_ACTIVATE = 1;
inline constexpr LResult MA_ACTIVATEANDEAT = 2;
inline constexpr LResult MA_NOACTIVATEANDEAT = 4;
inline constexpr LResult HTERROR = -2;
inline constexpr LResult HTBORDER = 18;

inline constexpr int VK_LBUTTON = 0x01;
inline constexpr int VK_BACK = 0x08;
inline constexpr int VK_F4 = 0x73;

inline constexpr UInt BS_TYPEMASK = 0x000F;
inline constexpr UInt BS_CHECKBOX = 0x0002;
inline constexpr UInt BS_3STATE = 0x0005;
inline constexpr UInt BS_AUTO3STATE = 0x0006;
inline constexpr UInt BS_RADIOBUTTON = 0x0004;
inline constexpr UInt BS_AUTORADIOBUTTON = 0x0009;

inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_RESTORE = 9;
inline constexpr int SW_SHOWDEFAULT = 10;

inline constexpr int GWLP_HINSTANCE = -6;
inline constexpr int GWLP_HWNDPARENT = -8;
inline constexpr UInt GA_ROOTOWNER = 3;
inline constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000U);
inline constexpr WParam SIZE_RESTORED = 0;
inline constexpr UInt SMTO_ABORTIFHUNG = 0x0002;

inline constexpr int WHITE_BRUSH = 0;
inline constexpr int LTGRAY_BRUSH = 1;
inline constexpr int GRAY_BRUSH = 2;
inline constexpr int DKGRAY_BRUSH = 3;
inline constexpr int BLACK_BRUSH = 4;
inline constexpr int NULL_BRUSH = 5;
inline constexpr int SYSTEM_FONT = 13;

inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;

inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr int BITSPIXEL = 12;
inline constexpr int PLANES = 14;
inline constexpr int LOGPIXELSX = 88;

inline constexpr int SM_CYCAPTION = 4;
inline constexpr int SM_CXBORDER = 5;
inline constexpr int SM_CYBORDER = 6;
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;
inline constexpr int SM_CXSMICON = 49;
inline constexpr int SM_CYSMICON = 50;

}  // namespace ledbanner::platform::extra
