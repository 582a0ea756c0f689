#include "platform/posix/shared_library_dlopen.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

namespace vyr {

namespace {

class DlopenLibrary final : public SharedLibrary {
public:
    explicit DlopenLibrary(void* handle) : handle_(handle) {}
    ~DlopenLibrary() override { dlclose(handle_); }
    DlopenLibrary(const DlopenLibrary&) = delete;
    DlopenLibrary& operator=(const DlopenLibrary&) = delete;

    void* Symbol(const char* name) override { return dlsym(handle_, name); }

private:
    void* handle_;
};

std::string ExecutableDirectory() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return exe.parent_path().string();
}

}  // namespace

DlopenLibraryLoader::DlopenLibraryLoader(PathVariables pathVariables, std::string executableDirectory)
    : pathVariables_(std::move(pathVariables)), executableDirectory_(std::move(executableDirectory)) {}

std::unique_ptr<SharedLibrary> DlopenLibraryLoader::Load(const std::string& name) {
    lastError_.clear();
    auto open = [this](const std::string& path) -> std::unique_ptr<SharedLibrary> {
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            const char* error = dlerror();
            lastError_ = error != nullptr ? error : "cannot load " + path;
            return nullptr;
        }
        return std::make_unique<DlopenLibrary>(handle);
    };

    // The variable is read on every load so that it can change during a run.
    if (const auto it = pathVariables_.find(name); it != pathVariables_.end()) {
        if (const char* path = std::getenv(it->second.c_str()); path != nullptr && *path != '\0') {
            return open(path);
        }
    }
    if (name.find('/') != std::string::npos) return open(name);

    const std::string dir = executableDirectory_.empty() ? ExecutableDirectory() : executableDirectory_;
    if (!dir.empty()) {
        std::error_code ec;
        const std::filesystem::path beside = std::filesystem::path(dir) / name;
        if (std::filesystem::exists(beside, ec)) {
            if (auto library = open(beside.string())) return library;
        }
    }
    return open(name);
}

std::unique_ptr<SharedLibraryLoader> MakePlayerLibraryLoader() {
    return std::make_unique<DlopenLibraryLoader>(
        DlopenLibraryLoader::PathVariables{{"libRiyaNetServer.so", kRiyaLibraryVariable}});
}

}  // namespace vyr
