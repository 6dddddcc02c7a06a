#pragma once

#include "tessera_global.h"

class QKeyEvent;

namespace NumberKeys {
// Whether a number box lets a key through: digits, "." and the editing keys
// (Backspace, Delete, Tab, arrows), plus select all, copy and cut. Any other
// typed character is swallowed.
TESSERA_EXPORT bool accepts(const QKeyEvent &key);
} // namespace NumberKeys
