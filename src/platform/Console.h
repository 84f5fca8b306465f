#pragma once

namespace zo {

// The command line's console.

// Turns Ctrl+C (and a termination request) into a flag the program polls, so a running transfer
// can be cancelled cleanly instead of leaving half-written files behind.
void installInterruptHandler();
bool interruptRequested();

// Whether standard error is a terminal a person watches (progress is shown only then).
bool stderrIsTerminal();

} // namespace zo
