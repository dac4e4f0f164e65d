// The command line's run hooks: Ctrl-C cancels, progress goes to a terminal.
#pragma once

// Installs the Ctrl-C handler and starts the progress clock.
void BeginRunHooks();
// Removes the progress line, if one was drawn; true when Ctrl-C ended the run.
bool EndRunHooks();
