#pragma once

// Included once by each fuzz target that draws text. The font library keeps
// a few blocks of each new font match it makes in caches it no longer points
// to; they are the system's, not ours, so the leak check passes over them.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
