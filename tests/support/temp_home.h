#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vyr::test {

// A fresh temporary directory that serves as the program's home for one test:
// the log is opened there and closed again when the test ends.
class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::filesystem::path& Path() const { return dir_; }
    std::string File(const std::string& name) const { return (dir_ / name).string(); }

    // The log's lines so far, without their CR LF.
    std::vector<std::string> LogLines() const;
    // The raw bytes of the log so far.
    std::string LogText() const;

private:
    std::filesystem::path dir_;
};

// The lines of a CR LF text, without their line ends.
std::vector<std::string> CrLfLines(const std::string& text);

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// Directory of third-party fixtures; empty when it is absent (tests then skip).
std::string SharedFixturesDir();

}  // namespace vyr::test
