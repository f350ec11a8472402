#include "dxfcodec.h"

#include "dxfreader.h"
#include "dxfrenderer.h"

namespace dxfcodec {

GlobalHandle render(ByteSpan bytes, int width, int height, DecodeRequest& request)
{
    DxfDrawing drawing;
    if (!dxfreader::read(bytes, drawing, [&](int percent) { return request.progress(percent / 2); }))
        return nullptr;
    int w = 0, h = 0;
    if (!dxfrenderer::pictureSize(drawing, width, height, w, h))
        return nullptr;
    return dxfrenderer::render(drawing, w, h, [&](int percent) { return request.progress(50 + percent / 2); });
}

bool ownSize(ByteSpan bytes, int& width, int& height)
{
    DxfDrawing drawing;
    return dxfreader::read(bytes, drawing) && dxfrenderer::pictureSize(drawing, 0, 0, width, height);
}

}  // namespace dxfcodec
