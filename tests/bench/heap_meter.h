#pragma once
// Heap use of one call, counted at malloc itself, so zlib's and libjpeg's own buffers count
// as much as the encoders' vectors.
#include <cstddef>

namespace kadrix::bench {

struct HeapUse {
    std::size_t peak = 0;     // most bytes held at once above the level at the start
    std::size_t largest = 0;  // the largest single block asked for
};

// Meters the heap from construction until `use()` is read; one meter at a time.
class HeapMeter {
public:
    HeapMeter();
    HeapUse use() const;
};

}  // namespace kadrix::bench
