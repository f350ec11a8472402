#include "epscodec.h"

#include "epsboundingbox.h"
#include "epsipreview.h"
#include "epsstructure.h"
#include "tiffcodec.h"

namespace epscodec {

namespace {

// A preview at its own depth; the caller's depth is applied afterwards.
GlobalHandle tiffPreview(ByteSpan tiff)
{
    if (tiff.size == 0)
        return nullptr;
    DecodeRequest own(0, 0, nullptr, nullptr);
    return tiffcodec::decode(tiff, 0, own);
}

}  // namespace

bool recognised(ByteSpan bytes)
{
    epsstructure::Sections sections;
    return epsstructure::split(bytes, sections);
}

GlobalHandle decode(ByteSpan bytes, DecodeRequest& request, const epsrender::Ask& ask)
{
    epsstructure::Sections sections;
    EpsBox box;
    if (!epsstructure::split(bytes, sections) || !epsboundingbox::find(sections.postscript, box))
        return nullptr;
    if (!request.progress(5))
        return nullptr;
    GlobalHandle picture = nullptr;
    switch (epsrender::render(sections.postscript, box, ask, &picture)) {
    case epsrender::Outcome::Rendered:
        return picture;
    case epsrender::Outcome::Stopped:
        return nullptr;
    case epsrender::Outcome::Failed:
        break;
    }
    if (!request.progress(90))
        return nullptr;
    if (GlobalHandle preview = tiffPreview(sections.tiff))
        return preview;
    return epsipreview::decode(sections.postscript);
}

bool info(ByteSpan bytes, PictureInfo& out)
{
    epsstructure::Sections sections;
    EpsBox box;
    if (!epsstructure::split(bytes, sections) || !epsboundingbox::find(sections.postscript, box))
        return false;
    out = PictureInfo{};
    out.type = "EPS";
    out.compression = "None";
    out.width = box.width;
    out.height = box.height;
    out.bits = 24;
    out.planes = 1;
    out.colours = 0;
    return true;
}

}  // namespace epscodec
