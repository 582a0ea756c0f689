#include "app/log.h"

namespace vyr {

Log& Log::Instance() {
    static Log log;
    return log;
}

Log::~Log() { Close(); }

bool Log::Open(const std::string& path) {
    Close();
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ != nullptr) path_ = path;
    return file_ != nullptr;
}

void Log::Close() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    path_.clear();
}

namespace {
void WriteLines(std::FILE* f, std::string_view message) {
    std::size_t start = 0;
    while (true) {
        const std::size_t nl = message.find('\n', start);
        std::string_view line =
            message.substr(start, nl == std::string_view::npos ? std::string_view::npos : nl - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // already CR LF
        std::fwrite(line.data(), 1, line.size(), f);
        std::fwrite("\r\n", 1, 2, f);
        if (nl == std::string_view::npos) break;
        start = nl + 1;
    }
    std::fflush(f);
}
}  // namespace

void Log::Write(std::string_view message) {
    if (file_ != nullptr) WriteLines(file_, message);
    if (echo_ != nullptr) {
        std::fwrite(message.data(), 1, message.size(), echo_);
        std::fputc('\n', echo_);
        std::fflush(echo_);
    }
}

}  // namespace vyr
