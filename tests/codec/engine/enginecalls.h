#pragma once
// Calls of the engine's decoders chosen by file extension, as the binding
// chooses them.

#include <QString>

#include "platform/globalmem.h"

class EngineModule;

namespace enginecalls {

struct Decoded {
    short result = 0;
    GlobalHandle dib = nullptr;
    bool entryFound = false;
};

// The file decoder for the extension (page for TIFF and DCX).
Decoded decodeFile(const EngineModule& engine, const QString& path, int page, int bits, int dither = 0);
// The memory decoder for the extension, over the file's bytes.
Decoded decodeStream(const EngineModule& engine, const QString& path, int page, int bits, int dither = 0);
// Number of pages of a TIFF file (getinfo), 1 for other files, 0 on failure.
int pageCount(const EngineModule& engine, const QString& path);

}  // namespace enginecalls
