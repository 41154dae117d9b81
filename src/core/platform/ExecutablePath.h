// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>

namespace varnow {

// The full path of the running program's executable; empty when the system does not say.
std::filesystem::path ExecutablePath();

}  // namespace varnow
