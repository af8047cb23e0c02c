#pragma once

#include "files/SoundingReader.h"

namespace tarvex {

struct Session;

// Everything a read computes once the file's values are in the store: the
// surface fields of every time, the totals, the missing station parameters,
// the surface level and the shifted wind slots, the precipitation type, the
// wet-bulb zero, the convective condensation level, the diagram's range and
// height tables, and the reset of every cache. Works on the current model.
void CompleteSoundingRead(Session& session, SoundingLayout layout);

} // namespace tarvex
