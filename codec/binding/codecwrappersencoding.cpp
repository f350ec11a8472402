// The codec wrappers: the encoders, and taking a page out of a TIFF file.

#include "codecwrappers.h"

#include "codeccall.h"

#include "platform/fileops.h"

using namespace codeccall;

namespace {

// Progress of a writer: the caller's callback, after the test hook of
// fileops, which can make the write fail at any report.
struct WriterProgress {
    CodecProgress callback;
    void* sender;
    QString file;
};

int watchWriter(int percent, void* watch)
{
    const auto* w = static_cast<const WriterProgress*>(watch);
    if (fileops::injectedFault(fileops::Op::Write, w->file))
        return 0;
    return w->callback ? w->callback(percent, w->sender) : 1;
}

}  // namespace

// ---- encoders ----------------------------------------------------------------------

bool WriteJpgFileDib(const QString& file, GlobalHandle dib, int bits, int quality, int smoothing, bool grey,
                     void* sender, CodecProgress progress)
{
    WriterProgress watch{progress, sender, file};
    return callFileEntry<wrjpgfiledib_fn>(
        "wrjpgfiledib", file, "Writing ", Judge::Positive, [&](wrjpgfiledib_fn fn, const char* name) {
            return fn(name, dib, short(bits), short(quality), short(smoothing), short(grey), &watch, watchWriter,
                      kCodecFlags);
        });
}

bool WritePngFileDib(const QString& file, GlobalHandle dib, int bits, bool interlaced, void* sender,
                     CodecProgress progress)
{
    WriterProgress watch{progress, sender, file};
    return callFileEntry<wrpngfiledib_fn>(
        "wrpngfiledib", file, "Writing ", Judge::Positive, [&](wrpngfiledib_fn fn, const char* name) {
            return fn(name, dib, short(bits), short(interlaced), &watch, watchWriter, kCodecFlags);
        });
}

bool WriteGifFileDib(const QString& file, GlobalHandle dib, int bits, void* sender, CodecProgress progress)
{
    WriterProgress watch{progress, sender, file};
    return callFileEntry<wrgiffiledib_fn>("wrgiffiledib", file, "Writing ", Judge::Positive,
                                          [&](wrgiffiledib_fn fn, const char* name) {
                                              return fn(name, dib, short(bits), &watch, watchWriter, kCodecFlags);
                                          });
}

bool WritePcxFileDib(const QString& file, GlobalHandle dib, int bits, void* sender, CodecProgress progress)
{
    WriterProgress watch{progress, sender, file};
    return callFileEntry<wrpcxfiledib_fn>("wrpcxfiledib", file, "Writing ", Judge::Positive,
                                          [&](wrpcxfiledib_fn fn, const char* name) {
                                              return fn(name, dib, short(bits), &watch, watchWriter, kCodecFlags);
                                          });
}

bool WriteTgaFileDib(const QString& file, GlobalHandle dib, int bits, void* sender, CodecProgress progress)
{
    WriterProgress watch{progress, sender, file};
    return callFileEntry<writetgafiledib_fn>(
        "writetgafiledib", file, "Writing ", Judge::Positive, [&](writetgafiledib_fn fn, const char* name) {
            return fn(name, dib, short(bits), 0, 0, &watch, watchWriter, kCodecFlags);
        });
}

bool WriteEpsFileDib(const QString& file, GlobalHandle dib, int bits, const EpsWriteOptions& o, void* sender,
                     CodecProgress progress)
{
    WriterProgress watch{progress, sender, file};
    return callFileEntry<writeepsfiledib_fn>(
        "writeepsfiledib", file, "Writing ", Judge::Positive, [&](writeepsfiledib_fn fn, const char* name) {
            return fn(name, dib, short(bits), o.level, o.preview, o.compression, o.border, o.grey, &watch,
                      watchWriter, kCodecFlags);
        });
}

bool WriteTiffFileDib(const QString& file, GlobalHandle dib, int bits, int compression, bool append, void* sender,
                      CodecProgress progress)
{
    WriterProgress watch{progress, sender, file};
    return callFileEntry<writetiffiledib_fn>(
        "writetiffiledib", file, append ? "Inserting " : "Writing ", Judge::Positive,
        [&](writetiffiledib_fn fn, const char* name) {
            return fn(name, dib, short(bits), short(compression), short(append), &watch, watchWriter,
                      kCodecFlags);
        });
}

bool WriteTiffFileDibPage(const QString& file, GlobalHandle dib, int bits, int compression, int page, void* sender,
                          CodecProgress progress)
{
    WriterProgress watch{progress, sender, file};
    return callFileEntry<writetiffiledibpage_fn>(
        "writetiffiledibpage", file, "Inserting ", Judge::Positive, [&](writetiffiledibpage_fn fn, const char* name) {
            return fn(name, dib, short(bits), short(compression), short(page), &watch, watchWriter, kCodecFlags);
        });
}

bool DeleteTiffPage(const QString& file, int page, void* sender, CodecProgress progress)
{
    WriterProgress watch{progress, sender, file};
    return callFileEntry<deletepage_fn>("deletepage", file, nullptr, Judge::Positive,
                                        [&](deletepage_fn fn, const char* name) {
                                            return fn(name, short(page), &watch, watchWriter, kCodecFlags);
                                        });
}
