#pragma once
// The binding's vocabulary of picture files: picture types and their
// extensions, load and save options, and the events the picture controls
// publish.

#include <QString>
#include <QtGlobal>
#include <QtCore/qnamespace.h>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

class QObject;

enum TPicLibType : int {
    img_jpg, img_jpeg, img_png, img_tif, img_tiff, img_gif, img_tga,
    img_pcx, img_bmp, img_dib, img_eps, img_wmf, img_emf, img_ico
};
constexpr int kPicLibTypeCount = img_ico + 1;

// A set of picture types.
class TPicLibTypes {
public:
    constexpr TPicLibTypes() = default;
    constexpr TPicLibTypes(std::initializer_list<TPicLibType> types)
    {
        for (TPicLibType t : types)
            bits_ |= bit(t);
    }
    constexpr bool contains(TPicLibType t) const { return (bits_ & bit(t)) != 0; }
    constexpr void insert(TPicLibType t) { bits_ |= bit(t); }
    constexpr void remove(TPicLibType t) { bits_ &= ~bit(t); }
    constexpr bool isEmpty() const { return bits_ == 0; }
    constexpr bool operator==(const TPicLibTypes&) const = default;

private:
    static constexpr std::uint32_t bit(TPicLibType t) { return std::uint32_t(1) << int(t); }
    std::uint32_t bits_ = 0;
};

// Extensions by type, without and with the leading dot.
extern const std::array<const char*, kPicLibTypeCount> PicLibExtensions;
extern const std::array<const char*, kPicLibTypeCount> PicLibDotExtensions;

// The type named by the text after the last dot of the file name (case
// ignored); none when the name has no extension or an unknown one.
std::optional<TPicLibType> PicLibTypeOfFile(const QString& fileName);

enum TLoadResolution {
    lColorVga, lMonoChrome, lColor16, lColor256, lColor15b, lColor16b,
    lColorTrue, lColor32b, lAutoMatic
};
enum TSaveResolution {
    sColorVga, sMonoChrome, sColor16, sColor256, sColor15b, sColor16b,
    sColorTrue, sColor32b, sJpegGray, sAutoMatic
};
enum TTiffCompression { sNONE, sCCITT, sFAXCCITT3, sFAXCCITT4, sLZW, sPACKBITS };
enum TBlitMode { sLight, sDark, sLightest };
enum TPCDMode { pcd_BASE16, pcd_BASE4, pcd_BASE };
enum TScanSaveOpt { sMultiPageAppend, sMultiPageOverWrite, sSinglePage };
enum TTifSaveOpt { tiffAppend, tiffReplace, tiffInsert };
enum TTwainColorres { t_TW_ANYTYPE, t_TW_BW, t_TW_GRAY, t_TW_GRAY4, t_TW_RGB, t_TW_PALETTE };
enum TLoadAnnoFrom { anFromFile, anFromStream };

// Events: sender first.
using TILMesProgress = std::function<void(QObject* Sender, qint16 Progress, const QString& PMessage,
                                          bool& CancelProcess)>;
using TlibError = std::function<void(QObject* Sender, qint16 ErrorCode, const QString& ErrorString,
                                     const char* ErrorPChar)>;
using TILMesTag = std::function<void(QObject* Sender, quint16 iTag, qint16 iLen, qint32 lValue,
                                     const QString& sStrData, const QString& iTagName, bool iReadOnly,
                                     qint16 iPage, bool& CancelProcess)>;
using TOnMMFileName = std::function<bool(QObject* Sender, const QString& FileName)>;
using TRubberband = std::function<void(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift,
                                       qint32 X, qint32 Y, qint32 XX, qint32 YY)>;
using TPaintArea = std::function<void(QObject* Sender, int X, int Y, int XX, int YY)>;
using TSaveAnnoFile = std::function<void(QObject* Sender, const QString& SavedToThisFile)>;
using TLoadAnnoFile = std::function<void(QObject* Sender, QString& LoadFromThisFile)>;
using TSaveAnnoStream = std::function<void(QObject* Sender, char** SavedToThisPChar)>;
using TLoadAnnoStream = std::function<void(QObject* Sender, const char*& LoadFromThisPChar)>;

// The pixel format of a bitmap; the ordinal is the pixel-format code stored
// with thumbnails (0 device, 1 one bit ... 7 32 bits, 8 other).
enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };

// 1, 4, 8, 15, 16, 24, 32 bits to codes 1 to 7, anything else to 8.
int PixelFormatCode(int bitsPerPixel);
// The thumbnail stream's variant: anything else gives 0.
int PixelFormatCodeOrDevice(int bitsPerPixel);
TPixelFormat PixelFormatOfBits(int bitsPerPixel);
// Bits per pixel of a format; 0 for device and other.
int BitsOfPixelFormat(TPixelFormat format);
