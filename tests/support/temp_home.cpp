#include "support/temp_home.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "app/log.h"

namespace vyr::test {

TempHome::TempHome() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vyr-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
    Log::Instance().Open(File(kLogFileName));
}

TempHome::~TempHome() {
    Log::Instance().Close();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

std::string TempHome::LogText() const { return ReadFileBytes(File(kLogFileName)); }

std::vector<std::string> TempHome::LogLines() const { return CrLfLines(LogText()); }

std::vector<std::string> CrLfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string SharedFixturesDir() {
#ifdef VYR_SHARED_FIXTURES_DIR
    std::error_code ec;
    if (std::filesystem::is_directory(VYR_SHARED_FIXTURES_DIR, ec)) return VYR_SHARED_FIXTURES_DIR;
#endif
    return {};
}

}  // namespace vyr::test
