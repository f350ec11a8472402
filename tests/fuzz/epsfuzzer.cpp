// libFuzzer target over the EPS reader's parsing layers: the DOS EPS binary
// header, the bounding box comments, the EPSI preview and the TIFF preview
// (through the TIFF decoder). Ghostscript is not started, so every run
// stays fast; its output is checked by the reader's own tests.

#include <cstddef>
#include <cstdint>

#include "decoderequest.h"
#include "dibcore/dibguard.h"
#include "epsboundingbox.h"
#include "epscodec.h"
#include "epsipreview.h"
#include "epsstructure.h"
#include "tiffcodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ByteSpan bytes{data, size};
    PictureInfo info;
    epscodec::info(bytes, info);
    epsstructure::Sections sections;
    if (!epsstructure::split(bytes, sections))
        return 0;
    EpsBox box;
    epsboundingbox::find(sections.postscript, box);
    dibcore::DibGuard epsi(epsipreview::decode(sections.postscript));
    if (sections.tiff.size > 0) {
        DecodeRequest request(0, 0, nullptr, nullptr);
        dibcore::DibGuard tiff(tiffcodec::decode(sections.tiff, 0, request));
    }
    return 0;
}
