// One libFuzzer target over a reader of the codec binding that needs Qt:
// the metafile player (KV_FUZZ_ENTRY "wmf" or "emf") or the icon reader
// ("ico"). The input is the whole file.

#include <QByteArray>
#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "codec/binding/tbitmap.h"
#include "codec/icon/ticon.h"
#include "codec/metafile/metafileconvert.h"
#include "codec/metafile/tmetafile.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(*argc, *argv);  // fonts need it
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (std::strcmp(KV_FUZZ_ENTRY, "ico") == 0) {
        TIcon icon;
        if (icon.LoadFromData(bytes))
            for (int i = 0; i < icon.Entries().size(); ++i)
                icon.Image(i);
        return 0;
    }
    TMetafile metafile;
    if (metafile.LoadFromData(bytes)) {
        TBitmap bitmap;
        MetafileToBitmap(&bitmap, &metafile, size % 2 == 1);
    }
    return 0;
}
