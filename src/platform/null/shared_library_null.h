#pragma once

#include "platform/shared_library.h"

namespace vyr {

// For tests and headless runs without hardware: no library is ever found.
class NullLibraryLoader final : public SharedLibraryLoader {
public:
    std::unique_ptr<SharedLibrary> Load(const std::string& name) override;
};

}  // namespace vyr
