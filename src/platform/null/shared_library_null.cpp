#include "platform/null/shared_library_null.h"

namespace vyr {

std::unique_ptr<SharedLibrary> NullLibraryLoader::Load(const std::string&) { return nullptr; }

}  // namespace vyr
