#pragma once

#include <QString>

namespace tv::test {

// Writes a small Motion-JPEG AVI of moving colour bars: a real video file the
// board's player decodes, made without any encoder program.
bool writeTestVideo(const QString& file, int width, int height, int frames, int fps);

} // namespace tv::test
