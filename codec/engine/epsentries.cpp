// The EPS entries of the module: reading through Ghostscript (with the
// previews as fallback) and our own writer.

#include <cstring>
#include <string>
#include <vector>

#include "entryframe.h"
#include "epscodec.h"
#include "epswriter.h"
#include "outputfile.h"
#include "writerinput.h"

namespace {

// The caller's callback asked again at every call, even at an unchanged
// percentage, so a stop reaches a long rendering.
epsrender::Ask askCaller(ProgressCallback cb, void* sender)
{
    return [cb, sender](int percent) { return !cb || cb(percent, sender) != 0; };
}

std::string baseName(const char* file)
{
    const char* slash = std::strrchr(file, '/');
    return slash ? slash + 1 : file;
}

}  // namespace

short readepsfiledib(const char* file, short bits, short dither, GlobalHandle* dib, PaletteHandle, void* sender,
                     ProgressCallback cb, int)
{
    DecodeRequest request(bits, dither, cb, sender);
    std::vector<std::uint8_t> bytes;
    return entryframe::deliver(dib, request, [&]() -> GlobalHandle {
        if (!filebytes::read(file, bytes))
            return nullptr;
        return epscodec::decode(ByteSpan{bytes.data(), bytes.size()}, request, askCaller(cb, sender));
    });
}

short readepsfiledibstream(const void* data, int64_t size, short bits, short dither, GlobalHandle* dib,
                           void* sender, ProgressCallback cb, int)
{
    DecodeRequest request(bits, dither, cb, sender);
    return entryframe::deliver(dib, request, [&]() -> GlobalHandle {
        ByteSpan span;
        if (!entryframe::spanOf(data, size, span))
            return nullptr;
        return epscodec::decode(span, request, askCaller(cb, sender));
    });
}

short writeepsfiledib(const char* file, GlobalHandle dib, short bits, short level, short preview,
                      short compression, short border, short grey, void* sender, ProgressCallback cb, int)
{
    try {
        DecodeRequest request(bits, 1, cb, sender);
        if (!file || !*file || !request.progress(0))
            return 0;
        epswriter::Options options;
        options.level = level;
        options.preview = preview;
        options.compression = compression;
        options.border = border != 0;
        options.grey = grey != 0;
        options.title = baseName(file);
        if (!epswriter::validOptions(options))
            return 0;
        WriterInput input(dib, request.bits());
        std::vector<std::uint8_t> bytes;
        if (!input.valid() || !epswriter::encode(input.view(), options, request, bytes))
            return 0;
        return outputfile::replace(file, bytes, request, 80) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}
