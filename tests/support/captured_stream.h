#pragma once

#include <cstdio>
#include <string>

namespace vyr::test {

// A stream to hand to code that writes console messages; Text() is what it
// wrote so far.
class CapturedStream {
public:
    CapturedStream() : file_(std::tmpfile()) {}
    ~CapturedStream() {
        if (file_ != nullptr) std::fclose(file_);
    }
    CapturedStream(const CapturedStream&) = delete;
    CapturedStream& operator=(const CapturedStream&) = delete;

    std::FILE* Stream() const { return file_; }
    std::string Text() const {
        std::string out;
        if (file_ == nullptr) return out;
        std::fflush(file_);
        std::rewind(file_);
        for (int c = std::getc(file_); c != EOF; c = std::getc(file_)) out.push_back(static_cast<char>(c));
        return out;
    }

private:
    std::FILE* file_;
};

}  // namespace vyr::test
