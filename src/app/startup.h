// Start-up and shutdown of the program, in the steps that tests reach one by one.
#pragma once

#include <cstdint>

#include "platform/declared_functions.h"
#include "toolkit/form.h"
#include "toolkit/runtime.h"

namespace ledbanner::app {

// The start hook; does nothing.
int StartRoutine();

// The exit routine: frees the window snapshot.
void ProgramCleanup();

// Builds the banner window with events held, binds its handlers, raises its created event and
// shows it.
void LoadBannerWindow(toolkit::Runtime& runtime, toolkit::Form& form,
                      platform::DeclaredFunctions& user32);

// Prepares the process, loads the banner window and runs the message loop until it is gone.
std::int32_t ProgramStart(toolkit::Runtime& runtime, toolkit::Form& form,
                          platform::DeclaredFunctions& user32);

}  // namespace ledbanner::app
