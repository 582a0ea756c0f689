// Feeds arbitrary bytes to the configuration reader through a file, and checks
// that whatever it accepts is written back as a file that reads again, and
// that saving that file once more changes nothing.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "app/config_file.h"

namespace {

const std::string& WorkDir() {
    static const std::string dir = [] {
        char pattern[] = "/tmp/vyr-fuzz-config-XXXXXX";
        if (mkdtemp(pattern) == nullptr) std::abort();
        return std::string(pattern);
    }();
    return dir;
}

bool PutFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

std::string GetFile(const std::string& path) {
    std::string bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return bytes;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    std::fclose(f);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input = WorkDir() + "/input.ini";
    const std::string first = WorkDir() + "/first.ini";
    if (!PutFile(input, data, size)) std::abort();

    vyr::Settings settings;
    settings.CONTENT_DIRECTORY_NAME = "/srv/laser/";
    if (!vyr::ReadConfiguration(input, settings)) return 0;

    if (!vyr::WriteConfiguration(first, settings)) std::abort();
    const std::string written = GetFile(first);
    vyr::Settings again;
    if (!vyr::ReadConfiguration(first, again)) std::abort();
    if (!vyr::WriteConfiguration(first, again)) std::abort();
    if (GetFile(first) != written) std::abort();  // a saved file must read back as it was
    return 0;
}
