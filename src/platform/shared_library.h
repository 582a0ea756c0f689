#pragma once

#include <memory>
#include <string>

namespace vyr {

// A shared library loaded at run time. Releasing the object unloads it (the
// platform counts references, so several objects may hold one library).
class SharedLibrary {
public:
    virtual ~SharedLibrary() = default;
    // The address of an exported routine, or nullptr when the library has none.
    virtual void* Symbol(const char* name) = 0;
};

// Finds and loads shared libraries by name.
class SharedLibraryLoader {
public:
    virtual ~SharedLibraryLoader() = default;
    // nullptr when the library cannot be found or loaded.
    virtual std::unique_ptr<SharedLibrary> Load(const std::string& name) = 0;
};

// Turns a routine address from Symbol() into a typed function pointer.
template <typename Fn>
Fn SymbolAs(SharedLibrary& library, const char* name) {
    return reinterpret_cast<Fn>(library.Symbol(name));
}

}  // namespace vyr
