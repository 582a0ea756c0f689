#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/shared_library.h"

namespace vyr {

// Loads shared libraries with dlopen. A bare name is looked for beside the
// executable first and then by the system's library search; a name with a
// '/' is loaded from that path only. A library name may be tied to an
// environment variable: when that variable is set, it names the full path to
// load instead, and nothing else is tried.
class DlopenLibraryLoader final : public SharedLibraryLoader {
public:
    using PathVariables = std::map<std::string, std::string>;  // library name -> variable

    // `executableDirectory` empty: the directory of the running executable.
    explicit DlopenLibraryLoader(PathVariables pathVariables = {}, std::string executableDirectory = {});

    std::unique_ptr<SharedLibrary> Load(const std::string& name) override;

    // What the dynamic loader said about the last failed Load.
    const std::string& LastError() const { return lastError_; }

private:
    PathVariables pathVariables_;
    std::string executableDirectory_;
    std::string lastError_;
};

// The environment variable that points the player at another RIYA library.
inline constexpr const char* kRiyaLibraryVariable = "VYR_RIYA_LIBRARY";

// The loader the player runs with: libRiyaNetServer.so may be redirected by
// VYR_RIYA_LIBRARY.
std::unique_ptr<SharedLibraryLoader> MakePlayerLibraryLoader();

}  // namespace vyr
