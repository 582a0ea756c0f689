#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace vyr {

// The program's one log writer. Every message becomes one or more CR LF lines
// (a '\n' inside a message starts a new line) and is flushed at once, so the
// file is complete up to the last message even if the program dies.
//
// The writer is process-wide on purpose: the model, the readers and the
// renderer all report failures, and threading a log through every frame and
// point would buy nothing. While no file is open, messages are dropped.
class Log {
public:
    static Log& Instance();

    // Creates (truncates) the file. Returns false when it cannot be opened.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    const std::string& Path() const { return path_; }

    void Write(std::string_view message);

    // Optional mirror of every message to standard error (command-line tools).
    void SetEcho(std::FILE* stream) { echo_ = stream; }

    Log(const Log&) = delete;
    Log& operator=(const Log&) = delete;

private:
    Log() = default;
    ~Log();

    std::FILE* file_ = nullptr;
    std::FILE* echo_ = nullptr;
    std::string path_;
};

// Shorthand used throughout the engine.
inline void LogMessage(std::string_view message) { Log::Instance().Write(message); }

// The name of the log file in the program directory.
inline constexpr const char* kLogFileName = "VYR_Player_log.txt";

}  // namespace vyr
