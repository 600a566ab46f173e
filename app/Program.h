#pragma once

#include <functional>

namespace kw {

class Screens;

// Koerswacht from start to end: the start-up work, the application object, the main menu, the
// event loop. `started`, when given, runs once the main menu shows (a test drives the program so).
// Returns the exit status; when a print job is still stuck in the print system at the end, the
// process ends here and now rather than wait for it.
int RunProgram(char* programName, const std::function<void(Screens&)>& started = {});

} // namespace kw
