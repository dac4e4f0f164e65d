// Counts of a driven program's GDI and USER objects, for leak tests.
#pragma once

#include "window_driver.h"

struct GuiObjects {
    int gdi;
    int user;
};

// The program's GDI and USER objects. Where GetGuiResources is a stub (under
// Wine), the GDI count comes from the process's handle table and the USER
// count is the number of windows that belong to the program's thread.
GuiObjects CountGuiObjects(const Program& program);
