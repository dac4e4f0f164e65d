// The About box with the version text and the link to the maker's page.
#include "ui.h"

// The About dialog comes with a later step of the program; until then the
// command shows nothing.
void ShowAboutBox()
{
}
