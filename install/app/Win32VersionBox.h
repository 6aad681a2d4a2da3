// The wizard's F1 handler: the installer's version, and the product's when it was found. The
// caller lets the help request go on to its default handling afterwards.
#pragma once

#include <string>

namespace install {

void ShowVersionBox(void* owner, const std::wstring& productDisplayName, const std::wstring& productVersion);

}  // namespace install
