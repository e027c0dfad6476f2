#pragma once
// The application's hints (tooltips): their colour and how long they stay.

namespace kv::desktop {

inline constexpr int kHintColour = 15592423;  // 0xEDEBE7, as a stored colour value
inline constexpr int kHintPauseMs = 500000;

// Applies both to every widget of the application, present and future.
void applyHintSettings();

}  // namespace kv::desktop
