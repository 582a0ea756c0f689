#pragma once

#include <cstdio>

namespace vyr {

// The view's current show script: the open stream and where the interpreter
// stands. The stream may be borrowed from a live control button, which keeps
// ownership of it.
struct ScriptState {
    ScriptState() = default;
    ScriptState(const ScriptState&) = delete;
    ScriptState& operator=(const ScriptState&) = delete;
    ~ScriptState() { Close(); }

    bool StreamPresent() const { return stream != nullptr; }

    // Takes an owned stream, closing the one held before.
    void Replace(std::FILE* newStream) {
        Close();
        stream = newStream;
        borrowed = false;
    }
    void Close() {
        if (stream != nullptr && !borrowed) std::fclose(stream);
        stream = nullptr;
        borrowed = false;
    }

    std::FILE* stream = nullptr;
    bool borrowed = false;
    bool headerPending = false;  // the script's header line is still to be read
    bool playing = false;
};

}  // namespace vyr
