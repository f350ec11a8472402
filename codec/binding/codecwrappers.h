#pragma once
// Thin wrappers over the entries of the codec module. Each one resolves its
// entry (loading the module; a module that cannot be loaded throws
// ErrorInvalid with the loading error), sets OperationText where the
// operation has one, calls the entry and returns success as a boolean. A
// missing entry, a codec failure or an exception inside the module returns
// false; a file name that does not fit the module's 511-byte buffer too.
//
// Pictures come back as packed-DIB handles owned by the caller (FreeDIB).
// A decoder that fails, or reports success without a picture, returns false
// and no handle.

#include "piclibtypes.h"
#include "platform/globalmem.h"

#include <QList>
#include <QString>
#include <QtGui/qrgb.h>

class TBitmap;

// Progress: percentage and sender in; non-zero to go on, 0 to stop.
using CodecProgress = int (*)(int percent, void* sender);

// The longest file name the module takes, in bytes of its local encoding.
constexpr int kMaxCodecFileName = 510;

// ---- decoders from a file ---------------------------------------------------
bool ReadJpgFileDib(const QString& file, int bits, bool dither, GlobalHandle& dib, void* sender = nullptr,
                    CodecProgress progress = nullptr);
// The JPEG decoded by DCT scaling at 1/scale of its size, each side rounded
// up (scale 1, 2, 4 or 8; any other scale fails without reading the file).
bool ReadJpgFileDibScaled(const QString& file, int bits, bool dither, int scale, GlobalHandle& dib,
                          void* sender = nullptr, CodecProgress progress = nullptr);
// The largest scale (8, 4, 2, else 1) at which a width x height JPEG still
// decodes to at least atLeastWidth x atLeastHeight.
int LargestJpegScale(int width, int height, int atLeastWidth, int atLeastHeight);
bool ReadBmpFileDib(const QString& file, int bits, bool dither, GlobalHandle& dib, void* sender = nullptr,
                    CodecProgress progress = nullptr);
bool ReadPngFileDib(const QString& file, int bits, bool dither, GlobalHandle& dib, void* sender = nullptr,
                    CodecProgress progress = nullptr);
bool ReadGifFileDib(const QString& file, int bits, bool dither, GlobalHandle& dib, void* sender = nullptr,
                    CodecProgress progress = nullptr);
bool ReadPcxFileDib(const QString& file, int bits, bool dither, GlobalHandle& dib, void* sender = nullptr,
                    CodecProgress progress = nullptr);
bool ReadTgaFileDib(const QString& file, int bits, bool dither, GlobalHandle& dib, void* sender = nullptr,
                    CodecProgress progress = nullptr);
bool ReadEpsFileDib(const QString& file, int bits, bool dither, GlobalHandle& dib, void* sender = nullptr,
                    CodecProgress progress = nullptr);
// page counts from 0
bool ReadTiffFileDib(const QString& file, int bits, bool dither, int page, GlobalHandle& dib,
                     void* sender = nullptr, CodecProgress progress = nullptr);
bool ReadPcdFileDib(const QString& file, int bits, bool dither, TPCDMode mode, GlobalHandle& dib,
                    void* sender = nullptr, CodecProgress progress = nullptr);
// A drawing rendered at width x height (0, 0: its own size): an
// uncompressed DIB and its palette.
bool ReadDxfFileDdb(const QString& file, int width, int height, GlobalHandle& bitmap, QList<QRgb>& palette,
                    void* sender = nullptr, CodecProgress progress = nullptr);

// ---- decoders from memory ----------------------------------------------------
// A null or empty buffer throws ErrorInvalid("Stream is nil or empty").
bool ReadJpgStreamDib(const void* data, qint64 size, int bits, bool dither, GlobalHandle& dib,
                      void* sender = nullptr, CodecProgress progress = nullptr);
// The JPEG decoded at 1/scale of its size (scale as ReadJpgFileDibScaled).
bool ReadJpgStreamDibScaled(const void* data, qint64 size, int bits, bool dither, int scale, GlobalHandle& dib,
                            void* sender = nullptr, CodecProgress progress = nullptr);
bool ReadBmpStreamDib(const void* data, qint64 size, int bits, bool dither, GlobalHandle& dib,
                      void* sender = nullptr, CodecProgress progress = nullptr);
bool ReadPngStreamDib(const void* data, qint64 size, int bits, bool dither, GlobalHandle& dib,
                      void* sender = nullptr, CodecProgress progress = nullptr);
bool ReadGifStreamDib(const void* data, qint64 size, int bits, bool dither, GlobalHandle& dib,
                      void* sender = nullptr, CodecProgress progress = nullptr);
bool ReadPcxStreamDib(const void* data, qint64 size, int bits, bool dither, GlobalHandle& dib,
                      void* sender = nullptr, CodecProgress progress = nullptr);
bool ReadDcxStreamDib(const void* data, qint64 size, int bits, bool dither, int page, GlobalHandle& dib,
                      void* sender = nullptr, CodecProgress progress = nullptr);
bool ReadTgaStreamDib(const void* data, qint64 size, int bits, bool dither, GlobalHandle& dib,
                      void* sender = nullptr, CodecProgress progress = nullptr);
bool ReadTiffStreamDib(const void* data, qint64 size, int bits, bool dither, int page, GlobalHandle& dib,
                       void* sender = nullptr, CodecProgress progress = nullptr);
bool ReadPcdStreamDib(const void* data, qint64 size, int bits, bool dither, TPCDMode mode, GlobalHandle& dib,
                      void* sender = nullptr, CodecProgress progress = nullptr);
bool ReadEpsStreamDib(const void* data, qint64 size, int bits, bool dither, GlobalHandle& dib,
                      void* sender = nullptr, CodecProgress progress = nullptr);

// ---- decoders into a bitmap object (decode, DIBToBitmap, free) --------------
bool ReadJpgFileBitmap(const QString& file, int bits, bool dither, TBitmap& bitmap, void* sender = nullptr,
                       CodecProgress progress = nullptr);
bool ReadBmpFileBitmap(const QString& file, int bits, bool dither, TBitmap& bitmap, void* sender = nullptr,
                       CodecProgress progress = nullptr);
bool ReadPngFileBitmap(const QString& file, int bits, bool dither, TBitmap& bitmap, void* sender = nullptr,
                       CodecProgress progress = nullptr);
bool ReadGifFileBitmap(const QString& file, int bits, bool dither, TBitmap& bitmap, void* sender = nullptr,
                       CodecProgress progress = nullptr);
bool ReadPcxFileBitmap(const QString& file, int bits, bool dither, TBitmap& bitmap, void* sender = nullptr,
                       CodecProgress progress = nullptr);
bool ReadTgaFileBitmap(const QString& file, int bits, bool dither, TBitmap& bitmap, void* sender = nullptr,
                       CodecProgress progress = nullptr);
bool ReadEpsFileBitmap(const QString& file, int bits, bool dither, TBitmap& bitmap, void* sender = nullptr,
                       CodecProgress progress = nullptr);
bool ReadTiffFileBitmap(const QString& file, int bits, bool dither, int page, TBitmap& bitmap,
                        void* sender = nullptr, CodecProgress progress = nullptr);
bool ReadPcdFileBitmap(const QString& file, int bits, bool dither, TPCDMode mode, TBitmap& bitmap,
                       void* sender = nullptr, CodecProgress progress = nullptr);

// ---- encoders ----------------------------------------------------------------
// bits: the depth to write, 0 (the picture's own), 1, 4, 8 or 24. A failed
// or stopped write leaves no new file and an existing file as it was. Each
// progress report is also a point where a test's fileops fault hook
// (Op::Write on the file) can make the write fail.
// JPEG: grey writes 8-bit grey; bits is not used by the format.
bool WriteJpgFileDib(const QString& file, GlobalHandle dib, int bits, int quality, int smoothing, bool grey,
                     void* sender = nullptr, CodecProgress progress = nullptr);
bool WritePngFileDib(const QString& file, GlobalHandle dib, int bits, bool interlaced, void* sender = nullptr,
                     CodecProgress progress = nullptr);
// More than 8 bits: the picture gets a palette made for it.
bool WriteGifFileDib(const QString& file, GlobalHandle dib, int bits, void* sender = nullptr,
                     CodecProgress progress = nullptr);
bool WritePcxFileDib(const QString& file, GlobalHandle dib, int bits, void* sender = nullptr,
                     CodecProgress progress = nullptr);
bool WriteTgaFileDib(const QString& file, GlobalHandle dib, int bits, void* sender = nullptr,
                     CodecProgress progress = nullptr);

struct EpsWriteOptions {
    qint16 level = 0;
    qint16 preview = 0;
    qint16 compression = 0;
    qint16 border = 0;
    qint16 grey = 0;
};
bool WriteEpsFileDib(const QString& file, GlobalHandle dib, int bits, const EpsWriteOptions& options,
                     void* sender = nullptr, CodecProgress progress = nullptr);
// compression: the TIFF 6.0 code (TiffCompressionCode). append: add the
// picture as a new last page of an existing file ("Inserting "); otherwise
// the file is replaced ("Writing ").
bool WriteTiffFileDib(const QString& file, GlobalHandle dib, int bits, int compression, bool append,
                      void* sender = nullptr, CodecProgress progress = nullptr);
// Puts the picture in as page `page` (0-based; past the end: appended).
bool WriteTiffFileDibPage(const QString& file, GlobalHandle dib, int bits, int compression, int page,
                          void* sender = nullptr, CodecProgress progress = nullptr);
// Removes page `page` (0-based); a file's only page stays.
bool DeleteTiffPage(const QString& file, int page, void* sender = nullptr, CodecProgress progress = nullptr);

// ---- information ---------------------------------------------------------------
// Why the last decoder or information call on this thread failed, when the
// module (or the binding's own BMP header reader) gave a reason; empty
// otherwise. English, like the module's texts.
QString CodecFailureReason();

struct PictureFileInfo {
    QString type;
    int width = 0;
    int height = 0;
    int bits = 0;
    int planes = 0;
    int colors = 0;
    QString compression;
};

// BMP and DIB files are read here (file and info header); others ask the module.
// A picture larger than its file can hold is refused, as the decoders do.
bool ReadFileInfo(const QString& file, PictureFileInfo& info);
// A buffer holding a TIFF answers "TIFF" with all numbers 0 at once.
bool ReadStreamInfo(const void* data, qint64 size, PictureFileInfo& info);

struct TiffPageInfo {
    int width = 0;
    int height = 0;
    int bits = 0;
    int pages = 0;
    int compressionCode = 0;
    QString compression;
};
bool ReadTiffPageInfo(const QString& file, int page, TiffPageInfo& info);
bool ReadTiffStreamPageInfo(const void* data, qint64 size, int page, TiffPageInfo& info);
bool ReadDxfInfo(const QString& file, int& width, int& height, int& bits);

// The BMP headers of a file, read without the module. False when the file
// cannot be read, is shorter than its headers or lacks the "BM" mark.
bool ReadBmpHeaderInfo(const QString& file, PictureFileInfo& info);
// Whether data starts with a TIFF byte-order mark ("II*\0" or "MM\0*").
bool HasTiffByteOrderMark(const void* data, qint64 size);

// ---- scanning (refused while another scan runs) --------------------------------
// window: the QWidget that owns the scanner chooser, or null. True when a
// scanner was chosen or the choice cancelled; false without scanners.
bool SelectScanSource(void* window);
bool AcquireDibImage(void* window, int bits, bool dither, GlobalHandle& dib, void* sender = nullptr,
                     CodecProgress progress = nullptr);
bool AcquireBitmap(void* window, int bits, bool dither, TBitmap& bitmap, void* sender = nullptr,
                   CodecProgress progress = nullptr);

// ---- DIB conversions of the module: a new handle, null on failure -------------
GlobalHandle CopyDIB(GlobalHandle dib);
GlobalHandle DIB1To4(GlobalHandle dib);
GlobalHandle DIB1To8(GlobalHandle dib);
GlobalHandle DIB1To24(GlobalHandle dib);
GlobalHandle DIB4To8(GlobalHandle dib);
GlobalHandle DIB4To24(GlobalHandle dib);
GlobalHandle DIB16To24(GlobalHandle dib);
GlobalHandle DIB32To24(GlobalHandle dib);
// The device bitmap (an uncompressed DIB) and palette of any DIB, RLE too.
bool DibToDdb(GlobalHandle dib, GlobalHandle& bitmap, QList<QRgb>& palette);

// The annotation settings file: "il_anno.ini" in the settings store's folder.
QString AnnotationSettingsFile();
