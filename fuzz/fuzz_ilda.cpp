// Feeds arbitrary bytes to the ILDA reader through an in-memory FILE.

#include <stdio.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "content/ilda_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // fmemopen refuses an empty buffer; an empty file is /dev/null.
    std::FILE* file = size == 0 ? std::fopen("/dev/null", "rb")
                                : fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (file == nullptr) return 0;
    vyr::FrameSequence sequence;
    vyr::IldaReadStats stats;
    const std::int16_t ok = vyr::ReadFile(file, &sequence, &stats);
    std::fclose(file);

    // What a successful read promises, whatever the bytes.
    if (ok == 1) {
        if (sequence.frameCount < 0) std::abort();
        if (static_cast<std::uint64_t>(sequence.frameCount) > stats.headersRead) std::abort();
        if (sequence.Size() > stats.headersRead) std::abort();
    }
    std::size_t points = 0;
    for (const vyr::Frame& frame : sequence.Frames()) {
        if (frame.Size() != frame.pointCount) std::abort();
        if (frame.Points().capacity() != frame.Size()) std::abort();
        points += frame.Size();
    }
    // Every kept point came from at least six bytes of the input.
    if (points * 6 > size) std::abort();
    return 0;
}
