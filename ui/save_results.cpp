// Saving the results log to a text file chosen by the user.
#include "ui.h"

// The save dialog and the file writing come with the next step of the
// program; until then the command saves nothing.
void SaveResultsLog(HWND)
{
}
