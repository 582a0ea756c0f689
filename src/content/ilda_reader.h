#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "model/frame_sequence.h"

namespace vyr {

// What a read met on its way through a file, for tools that report on files.
// The sequence itself only keeps the frames; palettes, end markers and unknown
// sections leave no trace there. `headersRead` is filled in when a read succeeds.
struct IldaReadStats {
    std::uint64_t headersRead = 0;                      // counted headers, end marker included
    std::array<std::uint64_t, 256> sectionsByFormat{};  // every format code read, unknown ones too
    std::uint64_t paletteEntries = 0;                   // colour records of format-2 sections
    bool endMarker = false;                             // reading ended at an end marker
    std::int32_t unknownFormat = -1;                    // the code that stopped reading, or -1
};

// Reads an ILDA file into a new sequence held by `sequenceSlot` (a sequence
// already there is destroyed first). After a failed parse the slot keeps the
// partly filled sequence. Returns 1 on success, 0 on failure (logged).
std::int16_t DoReadILDAFile(const std::string& fileName, std::unique_ptr<FrameSequence>& sequenceSlot,
                            IldaReadStats* stats = nullptr);

// Parses a whole open file into `sequence`. On success `frameCount` is the
// number of headers read. Frames added before a failure stay in the sequence.
std::int16_t ReadFile(std::FILE* file, FrameSequence* sequence, IldaReadStats* stats = nullptr);

// Reads one big-endian 16-bit word. `value` is 0 when the first byte is
// missing and holds the high byte alone when the second one is.
std::int16_t GetWord(std::FILE* file, std::int16_t& value);

}  // namespace vyr
