// Test support: how many GDI and USER objects and how much private memory the
// process holds, for checks that a repeated action leaks none of them.
// The system's own figures are used where it gives them. Wine 8 gives none
// (GetGuiResources is a stub, PrivateUsage reads 0), so there they are
// counted from inside the process: GDI objects by asking the type of every
// handle slot, USER objects as the process's windows and menus (icons,
// cursors and hooks are not seen), private memory as the committed private
// regions of the address space.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace quenbol::testing {

struct ProcessResources {
    long gdiObjects = 0;
    long userObjects = 0;
    std::size_t privateBytes = 0;
};

ProcessResources MeasureProcessResources();

// Where each figure comes from, for the test's report.
std::string ProcessResourceSources();

}  // namespace quenbol::testing
