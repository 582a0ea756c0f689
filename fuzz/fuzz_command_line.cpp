// Feeds arbitrary words to the program's command-line parser and the front
// end's option splitter, and checks what they promise about the result.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "headless/front_end_options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Words are separated by NUL bytes, as the operating system hands them over.
    std::vector<std::string> words(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            words.emplace_back();
        } else {
            words.back().push_back(static_cast<char>(data[i]));
        }
    }

    vyr::FrontEndOptions options;
    std::vector<std::string> programWords;
    std::string error;
    if (!vyr::ParseFrontEndOptions(words, options, programWords, error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    if (options.width < 1 || options.height < 1 || (options.ticks && *options.ticks < 0)) std::abort();
    for (const std::string& word : programWords) {
        if (word.size() >= 2 && word.compare(0, 2, "--") == 0) std::abort();
    }

    vyr::CommandLineOptions parsed;
    for (const std::string& word : programWords) parsed.ParseWord(word);
    if ((parsed.flags & ~0x3F) != 0) std::abort();
    if (parsed.fileName.size() > vyr::CommandLineOptions::kMaxFileName) std::abort();
    if (parsed.paletteIndex < 0 || parsed.paletteIndex > 3) std::abort();
    if (!parsed.fileName.empty() && !parsed.Has(vyr::CommandLineOptions::kFileName)) std::abort();
    const std::string extension = vyr::FileNameExtension(parsed.fileName);
    if (!extension.empty() && extension.size() != 3) std::abort();
    return 0;
}
