#pragma once
// Switching the active keyboard layout: 1 Persian, 2 US English.
#include <cstdint>

#include "platform/Services.h"

namespace mushaf {

void Set_Language(int32_t& which, KeyboardLayout& layouts);

}  // namespace mushaf
