// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>
#include <string>

namespace varnow {

// A switch value that is neither a number nor True/False.
class ConversionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The settings file could not be written ("Unable to write to %s"), or a value could not be
// stored in it.
class SettingsWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace varnow
