#include "content/font_list.h"

#include <algorithm>
#include <utility>

#include "app/log.h"

namespace vyr {

namespace {

// Reads the sections of a font file field by field, reporting the first field
// it cannot read on the message stream.
class FontReader {
public:
    FontReader(std::FILE* file, std::FILE* messages) : file_(file), messages_(messages) {}

    void Say(const char* text) const {
        if (messages_ != nullptr) std::fputs(text, messages_);
    }

    bool Bytes(std::uint8_t* out, std::size_t n, const char* failure) const {
        if (std::fread(out, 1, n, file_) == n) return true;
        Say(failure);
        return false;
    }
    bool Byte(std::uint8_t& out, const char* failure) const { return Bytes(&out, 1, failure); }
    bool Word(std::int16_t& out, const char* failure) const {
        std::uint8_t b[2];
        if (!Bytes(b, 2, failure)) return false;
        out = static_cast<std::int16_t>(static_cast<std::uint16_t>((b[0] << 8) | b[1]));
        return true;
    }
    // True when no byte is left. A clean end after a whole section ends the
    // font as well as an end marker does.
    bool AtEnd() const {
        const int c = std::getc(file_);
        if (c == EOF) return true;
        std::ungetc(c, file_);
        return false;
    }

private:
    std::FILE* file_;
    std::FILE* messages_;
};

struct SectionHeader {
    std::uint8_t formatCode = 0;
    std::uint16_t points = 0;
};

bool ReadHeader(const FontReader& in, SectionHeader& header) {
    std::uint8_t bytes[8];
    if (!in.Bytes(bytes, 4, "Error reading ILDA preamble.\r\n")) return false;
    if (!in.Bytes(bytes, 3, "Error reading first 3 unused bytes.\r\n")) return false;
    if (bytes[0] != 0 || bytes[1] != 0 || bytes[2] != 0) in.Say("One or more of first 3 unused bytes not zero.\r\n");
    if (!in.Byte(header.formatCode, "Error reading format code.\r\n")) return false;
    if (!in.Bytes(bytes, 8, "Error reading frame name.\r\n")) return false;
    if (!in.Bytes(bytes, 8, "Error reading company name.\r\n")) return false;
    std::int16_t word = 0;
    if (!in.Word(word, "Error reading total points.\r\n")) return false;
    header.points = static_cast<std::uint16_t>(word);
    if (!in.Word(word, "Error reading frame number.\r\n")) return false;
    if (!in.Word(word, "Error reading total frames.\r\n")) return false;
    if (!in.Byte(bytes[0], "Error reading scanner head.\r\n")) return false;
    if (!in.Byte(bytes[0], "Error reading future value.\r\n")) return false;
    if (bytes[0] != 0) in.Say("Non zero future value.\r\n");
    return true;
}

// One point record in the layout of its format code: 0 and 4 carry a Z, 1
// and 5 do not; 0 and 1 end in a status word (bit 14 blanks), 4 and 5 in a
// status byte (bit 6 blanks) and three colour bytes the font has no use for.
bool ReadGlyphPoint(const FontReader& in, std::uint8_t formatCode, GlyphPoint& point) {
    std::int16_t x = 0, y = 0, z = 0;
    if (!in.Word(x, "Error reading X coordinate.\r\n")) return false;
    if (!in.Word(y, "Error reading Y coordinate.\r\n")) return false;
    const bool threeD = formatCode == 0 || formatCode == 4;
    if (threeD && !in.Word(z, "Error reading Z coordinate.\r\n")) return false;
    bool blanked = false;
    if (formatCode == 0 || formatCode == 1) {
        std::int16_t status = 0;
        if (!in.Word(status, "Error reading point status.\r\n")) return false;
        blanked = (static_cast<std::uint16_t>(status) & 0x4000) != 0;
    } else {
        std::uint8_t status = 0;
        if (!in.Byte(status, "Error reading point status.\r\n")) return false;
        std::uint8_t colour[3];
        if (!in.Bytes(colour, 3, "Error reading point colour.\r\n")) return false;
        blanked = (status & 0x40) != 0;
    }
    point.x = std::int32_t{x} + 32767;
    point.y = std::int32_t{y} + 32767;
    point.blanked = blanked ? 1 : 0;
    return true;
}

bool KnownFormat(std::uint8_t formatCode) {
    return formatCode == 0 || formatCode == 1 || formatCode == 2 || formatCode == 4 || formatCode == 5;
}

// Reads glyph sections into `font` until an end marker (a section without
// points), the end of the file, or the last character of the font.
bool ReadSections(const FontReader& in, Font& font) {
    int character = 0;
    while (true) {
        SectionHeader header;
        if (!ReadHeader(in, header)) return false;
        if (!KnownFormat(header.formatCode)) {
            // Without the record size nothing after this header can be found.
            char text[64];
            std::snprintf(text, sizeof text, "Unknown format code %u.\r\n", static_cast<unsigned>(header.formatCode));
            in.Say(text);
            return false;
        }
        if (header.points == 0) return true;  // the end marker

        if (header.formatCode == 2) {
            // A colour palette is not a glyph: skipped, the next section is
            // still this character's.
            for (std::uint32_t i = 0; i < header.points; ++i) {
                std::uint8_t entry[3];
                if (!in.Bytes(entry, 3, "Error reading palette entry.\r\n")) return false;
            }
            if (in.AtEnd()) return true;
            continue;
        }

        FontEntry& entry = font.entries[static_cast<std::size_t>(character)];
        entry.first = static_cast<std::uint32_t>(font.points.size());
        for (std::uint32_t i = 0; i < header.points; ++i) {
            GlyphPoint point;
            if (!ReadGlyphPoint(in, header.formatCode, point)) return false;
            font.points.push_back(point);
            entry.minX = std::min(entry.minX, point.x);
            entry.maxX = std::max(entry.maxX, point.x);
            ++entry.count;
        }
        if (in.AtEnd()) return true;
        // A font has 95 characters; sections after the last one are ignored.
        if (++character == Font::kCharacters) return true;
    }
}

}  // namespace

std::int16_t FontList::ReadFontFile(std::FILE* file) {
    if (file == nullptr) return 0;
    Font font;
    const FontReader in(file, messages_);
    if (!ReadSections(in, font)) return 0;
    in.Say("\n");
    fonts_[static_cast<std::size_t>(currentFont)] = std::move(font);
    fontLoaded = 1;
    return 1;
}

std::int16_t FontList::ReadFontFile(const std::string& fileName) {
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (file == nullptr) {
        LogMessage("FontList::ReadFontFile(): Unable to open font file " + fileName + " for reading.");
        return 0;
    }
    const std::int16_t result = ReadFontFile(file);
    std::fclose(file);
    return result;
}

}  // namespace vyr
