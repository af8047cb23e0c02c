#pragma once

namespace tarvex {

// Window state of the sounding's wind column, read-out, momentum transfer
// and omega display.
struct SoundingExtras {};

} // namespace tarvex
