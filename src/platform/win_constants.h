// The Windows constants that LED Banner uses, with the values of the Windows ABI.
//
// Kept apart from the interface so that the Win32 backend, which sees <windows.h> and its macros
// of the same names, never includes this file.
#pragma once

#include "platform/window_manager.h"

namespace ledbanner::platform {

// Window messages.
inline constexpr UInt WM_NULL = 0x0000;
inline constexpr UInt WM_CREATE = 0x0001;
inline constexpr UInt WM_DESTROY = 0x0002;
inline constexpr UInt WM_MOVE = 0x0003;
inline constexpr UInt WM_SIZE = 0x0005;
inline constexpr UInt WM_ACTIVATE = 0x0006;
inline constexpr UInt WM_SETFOCUS = 0x0007;
inline constexpr UInt WM_KILLFOCUS = 0x0008;
inline constexpr UInt WM_ENABLE = 0x000A;
inline constexpr UInt WM_SETTEXT = 0x000C;
inline constexpr UInt WM_GETTEXT = 0x000D;
inline constexpr UInt WM_GETTEXTLENGTH = 0x000E;
inline constexpr UInt WM_PAINT = 0x000F;
inline constexpr UInt WM_CLOSE = 0x0010;
inline constexpr UInt WM_QUIT = 0x0012;
inline constexpr UInt WM_ERASEBKGND = 0x0014;
inline constexpr UInt WM_SHOWWINDOW = 0x0018;
inline constexpr UInt WM_SETCURSOR = 0x0020;
inline constexpr UInt WM_MOUSEACTIVATE = 0x0021;
inline constexpr UInt WM_SETFONT = 0x0030;
inline constexpr UInt WM_GETFONT = 0x0031;
inline constexpr UInt WM_WINDOWPOSCHANGED = 0x0047;
inline constexpr UInt WM_SETICON = 0x0080;
inline constexpr UInt WM_NCCREATE = 0x0081;
inline constexpr UInt WM_NCDESTROY = 0x0082;
inline constexpr UInt WM_NCHITTEST = 0x0084;
inline constexpr UInt WM_NCPAINT = 0x0085;
inline constexpr UInt WM_GETDLGCODE = 0x0087;
inline constexpr UInt WM_NCLBUTTONDOWN = 0x00A1;
inline constexpr UInt WM_KEYDOWN = 0x0100;
inline constexpr UInt WM_KEYUP = 0x0101;
inline constexpr UInt WM_CHAR = 0x0102;
inline constexpr UInt WM_SYSKEYDOWN = 0x0104;
inline constexpr UInt WM_SYSKEYUP = 0x0105;
inline constexpr UInt WM_SYSCHAR = 0x0106;
inline constexpr UInt WM_COMMAND = 0x0111;
inline constexpr UInt WM_SYSCOMMAND = 0x0112;
inline constexpr UInt WM_TIMER = 0x0113;
inline constexpr UInt WM_CTLCOLOREDIT = 0x0133;
inline constexpr UInt WM_CTLCOLORBTN = 0x0135;
inline constexpr UInt WM_CTLCOLORSTATIC = 0x0138;
inline constexpr UInt WM_MOUSEMOVE = 0x0200;
inline constexpr UInt WM_LBUTTONDOWN = 0x0201;
inline constexpr UInt WM_LBUTTONUP = 0x0202;
inline constexpr UInt WM_HOTKEY = 0x0312;
inline constexpr UInt WM_PRINTCLIENT = 0x0318;
inline constexpr UInt WM_USER = 0x0400;

// Control messages and notifications.
inline constexpr UInt EM_SETSEL = 0x00B1;
inline constexpr UInt EM_LIMITTEXT = 0x00C5;
inline constexpr UInt EM_SETMARGINS = 0x00D3;
inline constexpr UInt BM_GETCHECK = 0x00F0;
inline constexpr UInt BM_SETCHECK = 0x00F1;
inline constexpr UInt BM_CLICK = 0x00F5;
inline constexpr UInt EN_CHANGE = 0x0300;
inline constexpr UInt BN_CLICKED = 0;
inline constexpr WParam BST_UNCHECKED = 0;
inline constexpr WParam BST_CHECKED = 1;

// Window styles.
inline constexpr UInt WS_POPUP = 0x80000000U;
inline constexpr UInt WS_CHILD = 0x40000000U;
inline constexpr UInt WS_MINIMIZE = 0x20000000U;
inline constexpr UInt WS_VISIBLE = 0x10000000U;
inline constexpr UInt WS_DISABLED = 0x08000000U;
inline constexpr UInt WS_CLIPSIBLINGS = 0x04000000U;
inline constexpr UInt WS_CLIPCHILDREN = 0x02000000U;
inline constexpr UInt WS_MAXIMIZE = 0x01000000U;
inline constexpr UInt WS_CAPTION = 0x00C00000U;
inline constexpr UInt WS_BORDER = 0x00800000U;
inline constexpr UInt WS_DLGFRAME = 0x00400000U;
inline constexpr UInt WS_SYSMENU = 0x00080000U;
inline constexpr UInt WS_THICKFRAME = 0x00040000U;
inline constexpr UInt WS_GROUP = 0x00020000U;
inline constexpr UInt WS_TABSTOP = 0x00010000U;
inline constexpr UInt WS_MINIMIZEBOX = 0x00020000U;
inline constexpr UInt WS_MAXIMIZEBOX = 0x00010000U;

inline constexpr UInt WS_EX_TOPMOST = 0x00000008U;
inline constexpr UInt WS_EX_TRANSPARENT = 0x00000020U;
inline constexpr UInt WS_EX_TOOLWINDOW = 0x00000080U;
inline constexpr UInt WS_EX_CLIENTEDGE = 0x00000200U;
inline constexpr UInt WS_EX_CONTROLPARENT = 0x00010000U;
inline constexpr UInt WS_EX_APPWINDOW = 0x00040000U;

inline constexpr UInt ES_MULTILINE = 0x0004U;
inline constexpr UInt ES_AUTOHSCROLL = 0x0080U;
inline constexpr UInt ES_NOHIDESEL = 0x0100U;
inline constexpr UInt ES_READONLY = 0x0800U;
inline constexpr UInt BS_AUTOCHECKBOX = 0x0003U;
inline constexpr UInt BS_LEFT = 0x0100U;
inline constexpr UInt BS_VCENTER = 0x0C00U;
inline constexpr UInt BS_PUSHLIKE = 0x1000U;
inline constexpr UInt BS_MULTILINE = 0x2000U;
inline constexpr UInt BS_FLAT = 0x8000U;
inline constexpr UInt SS_NOPREFIX = 0x0080U;
inline constexpr UInt SS_NOTIFY = 0x0100U;

// ShowWindow commands.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_SHOWNA = 8;

// SetWindowPos.
inline constexpr UInt SWP_NOSIZE = 0x0001;
inline constexpr UInt SWP_NOMOVE = 0x0002;
inline constexpr UInt SWP_NOZORDER = 0x0004;
inline constexpr UInt SWP_NOREDRAW = 0x0008;
inline constexpr UInt SWP_NOACTIVATE = 0x0010;
inline constexpr UInt SWP_FRAMECHANGED = 0x0020;
inline constexpr UInt SWP_SHOWWINDOW = 0x0040;
inline constexpr UInt SWP_HIDEWINDOW = 0x0080;
inline constexpr UInt SWP_NOCOPYBITS = 0x0100;
inline constexpr UInt SWP_NOOWNERZORDER = 0x0200;
inline constexpr Hwnd HWND_TOP = 0;
inline constexpr Hwnd HWND_BOTTOM = 1;
inline constexpr Hwnd HWND_TOPMOST = static_cast<Hwnd>(-1);
inline constexpr Hwnd HWND_NOTOPMOST = static_cast<Hwnd>(-2);

// Window longs, ancestors, window relations.
inline constexpr int GWLP_WNDPROC = -4;
inline constexpr int GWLP_ID = -12;
inline constexpr int GWL_STYLE = -16;
inline constexpr int GWL_EXSTYLE = -20;
inline constexpr int GWLP_USERDATA = -21;
inline constexpr UInt GA_PARENT = 1;
inline constexpr UInt GA_ROOT = 2;
inline constexpr UInt GW_HWNDFIRST = 0;
inline constexpr UInt GW_HWNDLAST = 1;
inline constexpr UInt GW_HWNDNEXT = 2;
inline constexpr UInt GW_HWNDPREV = 3;
inline constexpr UInt GW_OWNER = 4;
inline constexpr UInt GW_CHILD = 5;

// Hit testing, activation, system commands.
inline constexpr LResult HTTRANSPARENT = -1;
inline constexpr LResult HTNOWHERE = 0;
inline constexpr LResult HTCLIENT = 1;
inline constexpr LResult HTCAPTION = 2;
inline constexpr WParam WA_INACTIVE = 0;
inline constexpr WParam WA_ACTIVE = 1;
inline constexpr WParam WA_CLICKACTIVE = 2;
inline constexpr LResult DLGC_WANTALLKEYS = 0x0004;
inline constexpr WParam SC_MOVE = 0xF010;
inline constexpr WParam SC_CLOSE = 0xF060;
inline constexpr WParam MK_LBUTTON = 0x0001;
inline constexpr WParam ICON_SMALL = 0;
inline constexpr WParam ICON_BIG = 1;

// Keys and hotkeys.
inline constexpr int VK_TAB = 0x09;
inline constexpr int VK_RETURN = 0x0D;
inline constexpr int VK_SHIFT = 0x10;
inline constexpr int VK_CONTROL = 0x11;
inline constexpr int VK_MENU = 0x12;  // Alt
inline constexpr int VK_ESCAPE = 0x1B;
inline constexpr int VK_SPACE = 0x20;
inline constexpr int VK_F1 = 0x70;
inline constexpr int VK_F2 = 0x71;
inline constexpr int VK_F3 = 0x72;
inline constexpr UInt MOD_ALT = 0x0001;
inline constexpr UInt MOD_CONTROL = 0x0002;
inline constexpr UInt MOD_SHIFT = 0x0004;

// Messages in the queue.
inline constexpr UInt PM_NOREMOVE = 0x0000;
inline constexpr UInt PM_REMOVE = 0x0001;
inline constexpr UInt SMTO_NORMAL = 0x0000;
inline constexpr UInt USER_TIMER_MINIMUM = 10;

// System metrics, colours, device capabilities, stock objects.
inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CXEDGE = 45;
inline constexpr int SM_CYEDGE = 46;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int LOGPIXELSY = 90;
inline constexpr int BLACK_BRUSH = 4;
inline constexpr int NULL_BRUSH = 5;
inline constexpr int DEFAULT_GUI_FONT = 17;
inline constexpr UInt IDC_ARROW = 32512;

// Text drawing.
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;
inline constexpr UInt DT_LEFT = 0x0000;
inline constexpr UInt DT_VCENTER = 0x0004;
inline constexpr UInt DT_WORDBREAK = 0x0010;
inline constexpr UInt DT_SINGLELINE = 0x0020;
inline constexpr UInt DT_NOCLIP = 0x0100;
inline constexpr UInt DT_CALCRECT = 0x0400;
inline constexpr UInt DT_NOPREFIX = 0x0800;
inline constexpr UInt ETO_OPAQUE = 0x0002;
inline constexpr UInt ETO_CLIPPED = 0x0004;

// Raster operations.
inline constexpr UInt SRCCOPY = 0x00CC0020;
inline constexpr UInt SRCAND = 0x008800C6;
inline constexpr UInt SRCPAINT = 0x00EE0086;
inline constexpr UInt PATCOPY = 0x00F00021;
// Destination where the source is 0, the selected brush where it is 1.
inline constexpr UInt ROP_DSPDXAX = 0x00E20746;

// Fonts.
inline constexpr std::int32_t FW_NORMAL = 400;
inline constexpr std::int32_t FW_BOLD = 700;
inline constexpr std::uint8_t ANSI_CHARSET = 0;
inline constexpr std::uint8_t DEFAULT_CHARSET = 1;
inline constexpr std::uint8_t GB2312_CHARSET = 134;
inline constexpr std::uint8_t OUT_DEFAULT_PRECIS = 0;
inline constexpr std::uint8_t CLIP_DEFAULT_PRECIS = 0;
inline constexpr std::uint8_t PROOF_QUALITY = 2;
inline constexpr std::uint8_t DEFAULT_PITCH = 0;

// Message boxes.
inline constexpr UInt MB_OK = 0x0000;
inline constexpr UInt MB_ICONERROR = 0x0010;
inline constexpr UInt MB_SETFOREGROUND = 0x00010000;

}  // namespace ledbanner::platform
