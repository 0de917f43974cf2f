// Counts the bytes the program holds on the heap (every operator new of the
// benchmark binary goes through here), so a benchmark can report the most
// extra memory a call needed.
#pragma once

#include <cstddef>

namespace quenbol::bench {

// Starts a measurement: the peak is reset to what is held now.
void ResetPeakMemory();
// The most bytes held at once since ResetPeakMemory, beyond what was held then.
std::size_t PeakExtraMemory();

}  // namespace quenbol::bench
