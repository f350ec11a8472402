#include "enginecalls.h"

#include <QFile>
#include <QFileInfo>

#include "codec/engine/crde2001.h"
#include "enginemodule.h"

namespace enginecalls {

namespace {

QString extensionOf(const QString& path)
{
    return QFileInfo(path).suffix().toLower();
}

}  // namespace

Decoded decodeFile(const EngineModule& e, const QString& path, int page, int bits, int dither)
{
    Decoded d;
    const QByteArray name = QFile::encodeName(path);
    const QString ext = extensionOf(path);
    const auto b = short(bits), t = short(dither), p = short(page);
    if (ext == "jpg" || ext == "jpeg") {
        if (auto f = e.entry<rdjpgfiledib_fn>("rdjpgfiledib"))
            d.entryFound = true, d.result = f(name.constData(), b, t, 1, &d.dib, nullptr, nullptr, nullptr, 0);
    } else if (ext == "png") {
        if (auto f = e.entry<rdpngfiledib_fn>("rdpngfiledib"))
            d.entryFound = true, d.result = f(name.constData(), b, t, &d.dib, nullptr, nullptr, nullptr, 0);
    } else if (ext == "gif") {
        if (auto f = e.entry<rdgiffiledib_fn>("rdgiffiledib"))
            d.entryFound = true, d.result = f(name.constData(), b, t, &d.dib, nullptr, nullptr, nullptr, 0);
    } else if (ext == "bmp" || ext == "dib") {
        if (auto f = e.entry<rdbmpfiledib_fn>("rdbmpfiledib"))
            d.entryFound = true, d.result = f(name.constData(), b, t, &d.dib, nullptr, nullptr, nullptr, 0);
    } else if (ext == "pcx") {
        if (auto f = e.entry<rdpcxfiledib_fn>("rdpcxfiledib"))
            d.entryFound = true, d.result = f(name.constData(), b, t, &d.dib, nullptr, nullptr, nullptr, 0);
    } else if (ext == "tga") {
        if (auto f = e.entry<readtgafiledib_fn>("readtgafiledib"))
            d.entryFound = true, d.result = f(name.constData(), b, t, &d.dib, nullptr, nullptr, nullptr, 0);
    } else if (ext == "tif" || ext == "tiff") {
        if (auto f = e.entry<readtiffiledib_fn>("readtiffiledib"))
            d.entryFound = true, d.result = f(name.constData(), b, t, p, &d.dib, nullptr, nullptr, nullptr, 0);
    } else if (ext == "dcx") {
        return decodeStream(e, path, page, bits, dither);
    }
    return d;
}

Decoded decodeStream(const EngineModule& e, const QString& path, int page, int bits, int dither)
{
    Decoded d;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return d;
    const QByteArray data = file.readAll();
    const void* p = data.constData();
    const int64_t n = data.size();
    const QString ext = extensionOf(path);
    const auto b = short(bits), t = short(dither), pg = short(page);
    if (ext == "jpg" || ext == "jpeg") {
        if (auto f = e.entry<rdjpgstreamdib_fn>("rdjpgstreamdib"))
            d.entryFound = true, d.result = f(p, n, b, t, 1, &d.dib, nullptr, nullptr, 0);
    } else if (ext == "png") {
        if (auto f = e.entry<rdpngstreamdib_fn>("rdpngstreamdib"))
            d.entryFound = true, d.result = f(p, n, b, t, &d.dib, nullptr, nullptr, 0);
    } else if (ext == "gif") {
        if (auto f = e.entry<rdgifstreamdib_fn>("rdgifstreamdib"))
            d.entryFound = true, d.result = f(p, n, b, t, &d.dib, nullptr, nullptr, 0);
    } else if (ext == "bmp" || ext == "dib") {
        if (auto f = e.entry<rdbmpstreamdib_fn>("rdbmpstreamdib"))
            d.entryFound = true, d.result = f(p, n, b, t, &d.dib, nullptr, nullptr, 0);
    } else if (ext == "pcx") {
        if (auto f = e.entry<rdpcxstreamdib_fn>("rdpcxstreamdib"))
            d.entryFound = true, d.result = f(p, n, b, t, &d.dib, nullptr, nullptr, 0);
    } else if (ext == "dcx") {
        if (auto f = e.entry<rddcxstreamdib_fn>("rddcxstreamdib"))
            d.entryFound = true, d.result = f(p, n, b, t, pg, &d.dib, nullptr, nullptr, 0);
    } else if (ext == "tga") {
        if (auto f = e.entry<readtgafilestreamdib_fn>("readtgafilestreamdib"))
            d.entryFound = true, d.result = f(p, n, b, t, &d.dib, nullptr, nullptr, 0);
    } else if (ext == "tif" || ext == "tiff") {
        if (auto f = e.entry<readtiffiledibstream_fn>("readtiffiledibstream"))
            d.entryFound = true, d.result = f(p, n, b, t, pg, &d.dib, nullptr, nullptr, 0);
    }
    return d;
}

int pageCount(const EngineModule& e, const QString& path)
{
    const QString ext = extensionOf(path);
    if (ext != "tif" && ext != "tiff")
        return 1;
    auto f = e.entry<getinfo_fn>("getinfo");
    if (!f)
        return 0;
    int w = 0, h = 0;
    short bits = 0, pages = 0, compression = 0;
    const QByteArray name = QFile::encodeName(path);
    if (f(name.constData(), 0, &w, &h, &bits, &pages, &compression) == -1)
        return 0;
    return pages;
}

}  // namespace enginecalls
