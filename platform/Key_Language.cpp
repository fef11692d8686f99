#include "platform/Key_Language.h"

namespace mushaf {

namespace {
constexpr const char* kPersian = "00000429";
constexpr const char* kEnglish = "00000409";
constexpr unsigned kActivate = 1;
}  // namespace

void Set_Language(int32_t& which, KeyboardLayout& layouts) {
    if (which == 1) layouts.Load(kPersian, kActivate);
    else if (which == 2) layouts.Load(kEnglish, kActivate);
}

}  // namespace mushaf
