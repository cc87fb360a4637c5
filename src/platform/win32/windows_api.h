// <windows.h> as the Win32 backend and the entry point see it.
//
// Every file of the backend includes <windows.h> through this header, so that all of them see the
// same macros: no min/max macros, a lean header set, and none of the 32-bit aliases that would
// rename methods of WindowManager.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif

#include <windows.h>

// On 32-bit Windows these two are macros for GetWindowLongW/SetWindowLongW; left defined they
// would rename the WindowManager methods of the same names in every file that includes this one.
#ifdef GetWindowLongPtrW
#undef GetWindowLongPtrW
#endif
#ifdef SetWindowLongPtrW
#undef SetWindowLongPtrW
#endif
