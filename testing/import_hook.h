// Test support: a test's own function in place of a system function for the
// calls this test program makes through its import table, so a test sees what
// the program hands the system without a seam in the product.
#pragma once

#include <windows.h>

namespace quenbol::testing {

class ImportHook {
public:
    // `dll` as the import table names it ("user32.dll"); the test fails if
    // the program does not import `function`. The original is back at the end.
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
