// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>
#include <string>

#include "messages/ErrorTexts.h"

namespace varnow {

// A switch value that is neither a number nor True/False.
class ConversionError : public ProgramError {
 public:
  using ProgramError::ProgramError;
};

// The settings file could not be written ("Unable to write to %s"), or a value could not be
// stored in it.
class SettingsWriteError : public ProgramError {
 public:
  using ProgramError::ProgramError;
};

}  // namespace varnow
