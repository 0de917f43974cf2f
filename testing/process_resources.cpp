// Test support: counting the process's GDI and USER objects and private memory.
#include "testing/process_resources.h"

#include <psapi.h>

namespace quenbol::testing {
namespace {

// Zero from GetGuiResources means the system does not count (Wine).
bool SystemCountsGuiObjects() {
    static const bool counts = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) != 0;
    return counts;
}

// Wine takes a handle without its upper word as the object in that slot.
long CountGdiHandleSlots() {
    long n = 0;
    for (UINT_PTR slot = 1; slot <= 0xFFFF; ++slot) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(slot))) ++n;
    }
    return n;
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<long*>(count);
    return TRUE;
}

BOOL CALLBACK CountWindowAndChildren(HWND hwnd, LPARAM count) {
    ++*reinterpret_cast<long*>(count);
    EnumChildWindows(hwnd, CountChild, count);
    return TRUE;
}

// Windows of this (single-threaded) program, and menus found by slot as above.
long CountWindowsAndMenus() {
    long n = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindowAndChildren, reinterpret_cast<LPARAM>(&n));
    for (UINT_PTR slot = 0x20; slot <= 0xFFEE; slot += 2) {
        if (IsMenu(reinterpret_cast<HMENU>(slot))) ++n;
    }
    return n;
}

std::size_t CommittedPrivateRegions() {
    std::size_t bytes = 0;
    MEMORY_BASIC_INFORMATION region;
    const char* at = nullptr;
    while (VirtualQuery(at, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) bytes += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return bytes;
}

std::size_t PrivateUsage() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters)) {
        return 0;
    }
    return counters.PrivateUsage;
}

}  // namespace

ProcessResources MeasureProcessResources() {
    ProcessResources r;
    if (SystemCountsGuiObjects()) {
        r.gdiObjects = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
        r.userObjects = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
    } else {
        r.gdiObjects = CountGdiHandleSlots();
        r.userObjects = CountWindowsAndMenus();
    }
    r.privateBytes = PrivateUsage();
    if (r.privateBytes == 0) r.privateBytes = CommittedPrivateRegions();
    return r;
}

std::string ProcessResourceSources() {
    std::string gui = SystemCountsGuiObjects() ? "GetGuiResources" : "GDI handle slots; windows and menus";
    return gui + (PrivateUsage() ? "; PrivateUsage" : "; committed private regions");
}

}  // namespace quenbol::testing
