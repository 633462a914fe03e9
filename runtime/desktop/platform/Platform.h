#pragma once

// What the programs do differently on Unix desktops (X11, Wayland) and on
// Windows, one function per concern. Unix.cpp and Windows.cpp each define all
// of them; CMake builds the one for the target system.

#include <atomic>
#include <cstddef>

namespace runtime::platform {

// Writes into `buffer` the one sentence that says the program `name` found no
// display, and how to get one on this system.
void formatNoDisplaySentence(char *buffer, std::size_t size, const char *name);

// From now until releaseCrashesWhileStarting(), a crash while `starting` holds
// writes `sentence` to stderr and ends the process with status 1, instead of
// leaving the user a core dump. Only where the platform's start-up can crash
// when the display goes away; elsewhere it does nothing.
void catchCrashesWhileStarting(const char *sentence, const std::atomic<bool> &starting);
void releaseCrashesWhileStarting();

// Makes the fonts the forms and reports ask for available to the
// application. Fonts installed on the system are always found; where the
// programs ship fonts of their own, they are registered here.
void prepareFonts();

// Carries what an input method composes into the boxes. Qt's own handling
// serves every Unix input method; on Windows it loses syllables, and
// Windows.cpp takes the input method's messages itself (see Composition.h).
void prepareInputMethods();

} // namespace runtime::platform
