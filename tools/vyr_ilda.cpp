// vyr-ilda: looks into ILDA files the way the player reads them.
//
//   vyr-ilda info FILE...   headers, frames, points and format codes per file
//   vyr-ilda dump FILE      every kept frame and point as text
//
// Exit status: 0 when every file loaded, 1 when one did not, 2 on usage errors.
// The reader's log lines go to standard error.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "app/log.h"
#include "content/ilda_reader.h"

namespace {

constexpr int kLoaded = 0;
constexpr int kNotLoaded = 1;
constexpr int kUsage = 2;

int Usage() {
    std::fputs("usage: vyr-ilda info FILE...\n"
               "       vyr-ilda dump FILE\n",
               stderr);
    return kUsage;
}

int Info(int count, char** files) {
    int status = kLoaded;
    for (int k = 0; k < count; ++k) {
        const std::string name = files[k];
        std::unique_ptr<vyr::FrameSequence> sequence;
        vyr::IldaReadStats stats;
        if (vyr::DoReadILDAFile(name, sequence, &stats) == 0) {
            std::printf("%s: not loaded\n", name.c_str());
            status = kNotLoaded;
            continue;
        }
        std::uint64_t points = 0;
        for (const vyr::Frame& frame : sequence->Frames()) points += frame.Size();
        std::string formats;
        for (std::size_t code = 0; code < stats.sectionsByFormat.size(); ++code) {
            if (stats.sectionsByFormat[code] == 0) continue;
            if (!formats.empty()) formats += ", ";
            formats += std::to_string(code) + " (" + std::to_string(stats.sectionsByFormat[code]) + ")";
        }
        std::printf("%s\n", name.c_str());
        std::printf("  headers %llu\n", static_cast<unsigned long long>(stats.headersRead));
        std::printf("  frames  %zu\n", sequence->Size());
        std::printf("  points  %llu\n", static_cast<unsigned long long>(points));
        std::printf("  formats %s\n", formats.empty() ? "none" : formats.c_str());
        if (stats.paletteEntries != 0)
            std::printf("  palette entries %llu\n", static_cast<unsigned long long>(stats.paletteEntries));
        std::printf("  end     %s\n", stats.endMarker ? "end marker"
                                      : stats.unknownFormat >= 0 ? "unknown format code"
                                                                 : "end of file");
    }
    return status;
}

int Dump(const std::string& name) {
    std::unique_ptr<vyr::FrameSequence> sequence;
    if (vyr::DoReadILDAFile(name, sequence) == 0) return kNotLoaded;
    std::printf("frames %d\n", static_cast<int>(sequence->frameCount));
    std::size_t index = 0;
    for (const vyr::Frame& frame : sequence->Frames()) {
        std::printf("frame %zu format %u number %d points %zu head %u\n", index++,
                    static_cast<unsigned>(frame.formatCode), static_cast<int>(frame.frameNumber), frame.Size(),
                    static_cast<unsigned>(frame.scannerHead));
        const bool trueColor = frame.IsTrueColor();
        for (const vyr::Point& p : frame.Points()) {
            if (trueColor) {
                std::printf("%d %d %d %u %u %u %u\n", p.x, p.y, p.z, static_cast<unsigned>(p.status),
                            static_cast<unsigned>(p.r), static_cast<unsigned>(p.g), static_cast<unsigned>(p.b));
            } else {
                std::printf("%d %d %d %u\n", p.x, p.y, p.z, static_cast<unsigned>(p.status));
            }
        }
    }
    return kLoaded;
}

}  // namespace

int main(int argc, char** argv) {
    vyr::Log::Instance().SetEcho(stderr);
    if (argc < 2) return Usage();
    const std::string_view command = argv[1];
    if (command == "info") {
        if (argc < 3) return Usage();
        return Info(argc - 2, argv + 2);
    }
    if (command == "dump") {
        if (argc != 3) return Usage();
        return Dump(argv[2]);
    }
    return Usage();
}
