// screenshot.h - the screen as a picture file, taken by the host itself so
// that a visit can be shown the same way on Windows and under Wine.
#pragma once

#include <string>

// Writes the whole screen to path as a 24-bit BMP; false when it cannot.
bool SaveScreenBitmap(const std::string &path);
