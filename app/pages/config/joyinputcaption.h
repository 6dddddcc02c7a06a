#pragma once

#include <QString>
#include <cstdint>

// What an input uses, as its pin caption on the configuration page shows it,
// from the input's configuration word: bits 0-3 the kind (0 none, 1 analogue
// axis, else digital inputs), bits 4-7 the axis, bits 8-11 and 12-15 the two
// digital input numbers.
namespace JoyInputCaption {

// The caption for `word`; `current` is kept where the word names no caption
// (an axis number of 8 or more).
QString describe(uint16_t word, const QString &current);

} // namespace JoyInputCaption
