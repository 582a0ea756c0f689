#include "content/ilda_reader.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <string_view>
#include <vector>

#include "app/log.h"

namespace vyr {

namespace {

constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kMaxBlock = std::size_t{1} << 20;
constexpr std::size_t kMinBlock = 256;

// Point record sizes by format code; 0 marks codes the ILDA format does not define.
constexpr std::size_t RecordSize(std::uint8_t formatCode) {
    switch (formatCode) {
        case 0: return 8;   // X, Y, Z, status
        case 1: return 6;   // X, Y, status
        case 2: return 3;   // palette entry: red, green, blue
        case 4: return 10;  // X, Y, Z, status byte, blue, green, red
        case 5: return 8;   // X, Y, status byte, blue, green, red
        default: return 0;
    }
}

inline std::uint16_t Be16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}
inline std::int16_t Be16s(const std::uint8_t* p) { return static_cast<std::int16_t>(Be16(p)); }

// The file read in large blocks. Files are parsed from memory a block at a
// time; only the few bytes of a record cut by a block boundary are moved.
class BlockReader {
public:
    explicit BlockReader(std::FILE* file) : file_(file) {
        // Size the block to what is left of the file when that can be told:
        // fonts and short clips then cost no more than their own size.
        std::size_t capacity = kMaxBlock;
        const long here = std::ftell(file);
        if (here >= 0 && std::fseek(file, 0, SEEK_END) == 0) {
            const long end = std::ftell(file);
            if (std::fseek(file, here, SEEK_SET) == 0 && end >= here) {
                const auto left = static_cast<std::size_t>(end - here);
                capacity = std::clamp(left + 1, kMinBlock, kMaxBlock);
            }
        }
        buffer_.resize(capacity);
    }

    // Makes at least `n` (<= block size) bytes available unless the file ends
    // or fails first; returns how many are available.
    std::size_t Ensure(std::size_t n) {
        if (end_ - pos_ >= n) return end_ - pos_;
        if (pos_ > 0) {
            std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
            end_ -= pos_;
            pos_ = 0;
        }
        while (end_ < n && !eof_ && !error_) {
            const std::size_t wanted = buffer_.size() - end_;
            const std::size_t got = std::fread(buffer_.data() + end_, 1, wanted, file_);
            end_ += got;
            if (got < wanted) {
                if (std::ferror(file_) != 0) {
                    error_ = true;
                } else {
                    eof_ = true;
                }
            }
        }
        return end_ - pos_;
    }

    const std::uint8_t* Data() const { return buffer_.data() + pos_; }
    void Skip(std::size_t n) { pos_ += n; }
    bool Error() const { return error_; }

private:
    std::FILE* file_;
    std::vector<std::uint8_t> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool eof_ = false;
    bool error_ = false;
};

// A 16-bit field of `avail` bytes at `offset`: logs what a byte-wise read of
// it would have logged when it is cut short.
bool WordPresent(std::size_t avail, std::size_t offset) {
    if (avail < offset + 1) {
        LogMessage("GetWord(): fread failed for MS byte.");
        return false;
    }
    if (avail < offset + 2) {
        LogMessage("GetWord(): fread failed for LS byte.");
        return false;
    }
    return true;
}

std::int16_t Saturated(std::uint64_t count) {
    constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int16_t>::max());
    return static_cast<std::int16_t>(std::min(count, kMax));
}

struct Header {
    std::uint8_t formatCode = 0;
    std::uint16_t points = 0;
    std::int16_t frameNumber = 0;
    std::int16_t totalFrames = 0;
    std::uint8_t scannerHead = 0;
};

enum class HeaderResult { kRead, kEndOfFile, kUnknownFormat, kFailed };

// One section header, field by field in file order, from the `avail` bytes at `p`.
HeaderResult ParseHeader(const std::uint8_t* p, std::size_t avail, bool readError, FrameSequence& sequence,
                         IldaReadStats* stats, Header& header) {
    if (avail < 4) {
        if (readError) {
            LogMessage("ReadFile(): Unable to read ILDA character marker.");
            return HeaderResult::kFailed;
        }
        // The end of the file, also when it cuts the marker itself.
        return HeaderResult::kEndOfFile;
    }
    // Bytes 0-3 name the format ("ILDA") but are not compared: files whose
    // writers got them wrong still play.
    if (avail < 7) {
        LogMessage("ReadFile(): Unable to read initial unused bytes.");
        return HeaderResult::kFailed;
    }
    if (p[4] != 0 || p[5] != 0 || p[6] != 0) LogMessage("ReadFile(): Initial unused bytes not all zero.");
    if (avail < 8) {
        LogMessage("ReadFile(): Unable to read frame format code.");
        return HeaderResult::kFailed;
    }
    header.formatCode = p[7];
    if (stats != nullptr) ++stats->sectionsByFormat[header.formatCode];
    if (RecordSize(header.formatCode) == 0) {
        // Without a known record size nothing after this header can be found.
        LogMessage("ReadFile(): Reading stopped at unknown frame format code " + std::to_string(header.formatCode));
        if (stats != nullptr) stats->unknownFormat = header.formatCode;
        return HeaderResult::kUnknownFormat;
    }
    if (avail < 16) {
        LogMessage("ReadFile(): Unable to read frame name.");
        return HeaderResult::kFailed;
    }
    if (avail < 24) {
        LogMessage("ReadFile(): Unable to read company name.");
        return HeaderResult::kFailed;
    }
    if (!WordPresent(avail, 24)) {
        LogMessage("ReadFile(): Unable to read total image points.");
        return HeaderResult::kFailed;
    }
    header.points = Be16(p + 24);
    if (!WordPresent(avail, 26)) {
        LogMessage("ReadFile(): Unable to read frame number.");
        return HeaderResult::kFailed;
    }
    header.frameNumber = Be16s(p + 26);
    if (!WordPresent(avail, 28)) {
        LogMessage("ReadFile(): Unable to read number of frames in sequence.");
        return HeaderResult::kFailed;
    }
    header.totalFrames = Be16s(p + 28);
    sequence.frameCount = header.totalFrames;  // held here until the read completes
    if (avail < 31) {
        LogMessage("ReadFile(): Unable to read scanner head number.");
        return HeaderResult::kFailed;
    }
    header.scannerHead = p[30];
    if (avail < 32) {
        LogMessage("ReadFile(): Unable to read byte reserved for future use.");
        return HeaderResult::kFailed;
    }
    if (p[31] != 0) LogMessage("ReadFile(): Byte reserved for future use is not zero.");
    return HeaderResult::kRead;
}

std::string OfPoints(std::uint32_t i, std::uint16_t n) { return std::to_string(i) + " of " + std::to_string(n); }

// Logs which field of point `i` a record of `avail` (< record size) bytes lacks.
void ReportCutPoint(std::uint8_t formatCode, std::size_t avail, std::uint32_t i, std::uint16_t n) {
    const bool trueColor = formatCode == 4 || formatCode == 5;
    const bool twoD = formatCode == 1 || formatCode == 5;
    if (!WordPresent(avail, 0)) {
        LogMessage("ReadFile(): Unable to read X coordinate of point " + OfPoints(i, n));
        return;
    }
    if (!WordPresent(avail, 2)) {
        LogMessage("ReadFile(): Unable to read Y coordinate of point " + OfPoints(i, n));
        return;
    }
    std::size_t offset = 4;
    if (!twoD) {
        if (!WordPresent(avail, 4)) {
            LogMessage("ReadFile(): Unable to read Z coordinate of point " + OfPoints(i, n));
            return;
        }
        offset = 6;
    }
    if (!trueColor) {
        WordPresent(avail, offset);
        LogMessage("ReadFile(): Unable to read status info of point " + OfPoints(i, n));
        return;
    }
    if (avail < offset + 1) {
        LogMessage("ReadFile(): Unable to read status info of point " + OfPoints(i, n));
        return;
    }
    LogMessage("ReadFile(): Unable to read colour of point " + OfPoints(i, n));
}

// Decodes `count` whole records of a frame section into the frame.
void DecodePoints(std::uint8_t formatCode, const std::uint8_t* p, std::size_t count, Frame& frame) {
    switch (formatCode) {
        case 0:
            for (std::size_t k = 0; k < count; ++k, p += 8)
                frame.AddPoint(Point(Be16s(p), Be16s(p + 2), Be16s(p + 4), Be16(p + 6)));
            break;
        case 1:
            for (std::size_t k = 0; k < count; ++k, p += 6)
                frame.AddPoint(Point(Be16s(p), Be16s(p + 2), 0, Be16(p + 4)));
            break;
        case 4:
            // The status byte moves to the high byte of the status word, so the
            // blanking bit lands on bit 14 and the palette index is 0.
            for (std::size_t k = 0; k < count; ++k, p += 10) {
                Point point(Be16s(p), Be16s(p + 2), Be16s(p + 4), static_cast<std::uint16_t>(p[6] << 8));
                point.b = p[7];
                point.g = p[8];
                point.r = p[9];
                frame.AddPoint(point);
            }
            break;
        case 5:
            for (std::size_t k = 0; k < count; ++k, p += 8) {
                Point point(Be16s(p), Be16s(p + 2), 0, static_cast<std::uint16_t>(p[4] << 8));
                point.b = p[5];
                point.g = p[6];
                point.r = p[7];
                frame.AddPoint(point);
            }
            break;
        default:
            break;
    }
}

}  // namespace

std::int16_t GetWord(std::FILE* file, std::int16_t& value) {
    value = 0;
    unsigned char byte = 0;
    if (file == nullptr || std::fread(&byte, 1, 1, file) != 1) {
        LogMessage("GetWord(): fread failed for MS byte.");
        return 0;
    }
    const auto high = static_cast<std::uint16_t>(byte << 8);
    value = static_cast<std::int16_t>(high);
    if (std::fread(&byte, 1, 1, file) != 1) {
        LogMessage("GetWord(): fread failed for LS byte.");
        return 0;
    }
    value = static_cast<std::int16_t>(static_cast<std::uint16_t>(high | byte));
    return 1;
}

std::int16_t ReadFile(std::FILE* file, FrameSequence* sequence, IldaReadStats* stats) {
    if (sequence == nullptr) {
        LogMessage("ReadFile(): Unexpected NULL FrameSequence pointer.");
        return 0;
    }
    if (file == nullptr) {
        LogMessage("ReadFile(): Unexpected NULL FILE pointer.");
        return 0;
    }
    sequence->frameCount = 0;
    std::uint64_t headers = 0;  // wider than frameCount: long files must not wrap it
    bool addedFrame = false;
    BlockReader reader(file);

    // Reading is complete: at the end of the file, at the end marker, or at a
    // section that cannot be read on. A last kept frame without points is not
    // a frame to show, so it goes.
    auto finish = [&]() -> std::int16_t {
        Frame* last = addedFrame ? sequence->CurrentFrame() : nullptr;
        if (last != nullptr && last->pointCount == 0) sequence->DeleteFrame(last);
        sequence->frameCount = Saturated(headers);
        if (stats != nullptr) stats->headersRead = headers;
        return 1;
    };

    while (true) {
        Header header;
        const std::size_t headerBytes = reader.Ensure(kHeaderSize);
        switch (ParseHeader(reader.Data(), headerBytes, reader.Error(), *sequence, stats, header)) {
            case HeaderResult::kEndOfFile:
                return finish();
            case HeaderResult::kUnknownFormat:
                // Not an ILDA file at all when nothing was read before it.
                if (headers == 0) return 0;
                return finish();
            case HeaderResult::kFailed:
                return 0;
            case HeaderResult::kRead:
                break;
        }
        reader.Skip(kHeaderSize);

        const std::uint16_t n = header.points;
        const std::size_t recordSize = RecordSize(header.formatCode);

        if (n == 0 && header.frameNumber == header.totalFrames) {
            // The end marker: whatever follows it (often padding) is not content.
            ++headers;
            if (stats != nullptr) stats->endMarker = true;
            return finish();
        }

        if (header.formatCode == 2) {
            // A colour palette: skipped whole, it is not a frame.
            std::uint32_t i = 0;
            while (i < n) {
                const std::size_t avail = reader.Ensure(recordSize);
                const std::size_t whole = std::min<std::size_t>(n - i, avail / recordSize);
                if (whole == 0) {
                    LogMessage("ReadFile(): Unable to read colour palette entry " + OfPoints(i, n));
                    return 0;
                }
                reader.Skip(whole * recordSize);
                i += static_cast<std::uint32_t>(whole);
            }
            if (stats != nullptr) stats->paletteEntries += n;
            ++headers;
            continue;
        }

        Frame frame;
        frame.formatCode = header.formatCode;
        if (n != 0) frame.pointCount = n;
        frame.frameNumber = header.frameNumber;
        frame.scannerHead = header.scannerHead;
        frame.ReservePoints(n);
        std::uint32_t i = 0;
        while (i < n) {
            const std::size_t avail = reader.Ensure(recordSize);
            const std::size_t whole = std::min<std::size_t>(n - i, avail / recordSize);
            if (whole == 0) {
                ReportCutPoint(header.formatCode, avail, i, n);
                return 0;
            }
            DecodePoints(header.formatCode, reader.Data(), whole, frame);
            reader.Skip(whole * recordSize);
            i += static_cast<std::uint32_t>(whole);
        }
        sequence->AddFrame(std::move(frame));
        addedFrame = true;
        ++headers;
    }
}

std::int16_t DoReadILDAFile(const std::string& fileName, std::unique_ptr<FrameSequence>& sequenceSlot,
                            IldaReadStats* stats) {
    sequenceSlot.reset();
    sequenceSlot.reset(new (std::nothrow) FrameSequence());
    if (!sequenceSlot) {
        LogMessage("DoReadILDAFile(): Unable to new memory for frameSeqPtr.");
        return 0;
    }
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (file == nullptr) {
        LogMessage("DoReadILDAFile(): Unable to open file \n" + fileName);
        return 0;
    }
    if (ReadFile(file, sequenceSlot.get(), stats) == 0) {
        LogMessage("DoReadILDAFile(): Call to ReadFile() failed for file \n" + fileName);
        std::fclose(file);
        return 0;
    }
    std::fclose(file);
    sequenceSlot->SetCurrentToFirst();
    return 1;
}

}  // namespace vyr
