#pragma once
// The window's own keys as its key handler numbers them.
namespace mushaf::form_keys {

constexpr int kF1 = 112, kF2 = 113, kF3 = 114, kF4 = 115, kF9 = 120, kF12 = 123;

// A key's number for the key handler: the function keys; 0 for any other.
constexpr int VbKeyCode(int qtKey, int qtF1, int qtF24) { return qtKey >= qtF1 && qtKey <= qtF24 ? kF1 + (qtKey - qtF1) : 0; }

}  // namespace mushaf::form_keys
