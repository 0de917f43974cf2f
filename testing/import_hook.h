// Test support: puts a function of a test's own in place of one system
// function, for every call that this test program makes through its import
// table, and puts the original back when the hook goes. Product code calls
// system functions directly; this lets a test see exactly what the program
// hands to the system (a file dialog's set-up, where an icon is drawn)
// without a seam in the product.
#pragma once

#include <windows.h>

namespace quenbol::testing {

class ImportHook {
public:
    // `dll` as the import table names it ("user32.dll"), `function` by name.
    // The test fails if this program does not import it.
    ImportHook(const char* dll, const char* function, void* replacement);
    ~ImportHook();
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;

    // The system's own function, to pass calls on to.
    template <class F>
    F Original() const {
        return reinterpret_cast<F>(original_);
    }

private:
    void** slot_ = nullptr;
    void* original_ = nullptr;
};

}  // namespace quenbol::testing
