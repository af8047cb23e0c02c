#include "store/ProfileArrays.h"

namespace tarvex {

void ThrowIndexError(const char* array, int m, int t, int level) {
    std::string message = std::string("index outside the sounding store: ") + array + "(";
    message += "model " + std::to_string(m);
    if (t >= 0 || level >= 0) message += ", time " + std::to_string(t);
    if (level >= 0 || (t < 0 && level != -1)) message += ", level " + std::to_string(level);
    message += ")";
    throw std::out_of_range(message);
}

} // namespace tarvex
