#pragma once
// Entries of the codec engine module CRDE2001.so.
//
// The binding opens the module with dlopen and resolves every entry by name
// with dlsym; each entry has a function-pointer typedef <name>_fn here. When
// the engine itself is compiled (CRDE2001_BUILD defined) the same list also
// declares the exported functions.
//
// Conventions
// - Texts are zero-terminated; texts the engine returns go into buffers the
//   caller supplies together with their size (always zero-terminated, cut to
//   fit).
// - Pictures cross as GlobalHandle blocks (platform/globalmem.h) holding a
//   packed DIB: 40-byte BITMAPINFOHEADER, colour table, bottom-up rows aligned
//   to 4 bytes, little-endian. A handle the engine returns belongs to the
//   caller; the engine never frees a handle it was given.
// - A palette handle (PaletteHandle) is a GlobalHandle holding a logical
//   palette: uint16 version 0x300, uint16 entry count, then count entries of
//   {red, green, blue, flags} bytes (dibcore/logpalette.h reads and writes it).
// - A "device bitmap" is an uncompressed packed DIB in a GlobalHandle at the
//   depth of its source (1, 4 or 8 bits with a colour table; 24 bits
//   otherwise).
// - 16-bit results: above 0 is success unless an entry says otherwise.
// - The progress callback gets a percentage 0..100 and the sender; it returns
//   non-zero to go on and 0 to stop. A stopped decoder returns failure and no
//   picture. A null callback is allowed.
// - requested bits: 0 keeps the file's own depth (mapped to 1, 4, 8 or 24);
//   1, 4, 8 or 24 convert to that depth. dither: 0 maps colours to the
//   nearest palette entry, any other value dithers (Floyd-Steinberg error
//   diffusion) when colours are reduced.
// - A decoder reads only its own format, recognised by content: a picture of
//   another format under this format's name is refused. Transparent pixels
//   (PNG, GIF, TIFF, BMP, TGA and PCX alpha) are laid over white.
// - Damaged data (truncated, corrupt, sizes the data cannot hold, pixel
//   buffers over 1 GiB or over 1024 times the file's size plus 16 MiB) is a
//   failure with no picture; the information entries refuse such pictures
//   too.
// - The trailing flag word is 0.

#include <stdint.h>

#include "platform/globalmem.h"

extern "C" {
typedef int (*ProgressCallback)(int percent, void* sender);
typedef GlobalHandle PaletteHandle;

// Annotation layer callbacks; the first argument is the control.
// customDraw's dc is a QPainter*, customHardDraw's bitmap a GlobalHandle.
typedef int (*AnnoDoneCallback)(void* control);
typedef int (*AnnoCustomDrawCallback)(void* control, void* dc, const char* name, int x, int y, int xx, int yy);
typedef int (*AnnoCustomHardDrawCallback)(void* control, void* bitmap, const char* name, int x, int y, int xx,
                                          int yy);
typedef int (*AnnoBeforeDrawCallback)(void* control, int pass, short* canDraw, const char* name);
typedef int (*AnnoAfterDrawCallback)(void* control, const char* name);

// One entry of a context menu the layer shows through the program.
enum { annoMenuDisabled = 1, annoMenuSeparator = 2, annoMenuChecked = 4, annoMenuHeading = 8 };
// The commands of MenuMsg: those of the layer's menus, and those a program
// sends for keys (delete the selected object, undo and redo the last
// change of the layer since it was loaded or cleared).
enum {
    annoCmdNewObject = 100,   // + kind
    annoCmdBringToFront = 200,
    annoCmdSendToBack = 201,
    annoCmdProperties = 202,
    annoCmdDelete = 203,
    annoCmdIconic = 204,
    annoCmdUndo = 205,
    annoCmdRedo = 206,
    annoCmdEditShape = 207,
    annoCmdAddNode = 208,
    annoCmdDeleteNode = 209,
    annoCmdChangeStamp = 210,
    annoCmdPicture = 211,
    annoCmdSelectAll = 212,
};
struct AnnoMenuItem {
    int command;        // 0 for a separator or a heading
    int flags;          // annoMenu... bits
    const char* text;   // UTF-8
};

// The attributes of one object that its property dialog edits. Texts are
// UTF-8 and zero-terminated within their arrays.
struct AnnoProperties {
    int kind;           // 0 PolyLine .. 11 Image (annotationformat.h)
    int penWidth;       // 1..20
    int penStyle;       // 0..5
    uint32_t foreColor; // 0x00BBGGRR
    uint32_t backColor;
    int opaque;         // background filled
    int hatch;          // 0..5, 6 plain
    char fontName[64];
    int fontHeight;     // 1..210
    uint32_t fontColor;
    uint32_t fontBackColor;
    char text[4096];
};

// A picture the program read for the layer: width x height pixels (each
// 1..16384), top-down rows of B, G, R, A in a global memory block of at
// least width x height x 4 bytes. The layer takes the block over and frees
// it, also when it refuses the picture.
struct AnnoPicture {
    int width;
    int height;
    GlobalHandle pixels;
};

// A rubber stamp the user chose: its text (UTF-8, zero-terminated), or its
// picture when picture.pixels is set.
struct AnnoStamp {
    char text[1024];
    AnnoPicture picture;
};

// Services of the program that the annotation layer uses, set by the
// binding when it loads the module (SetAnnotationHost); the members may be
// filled in later. size is sizeof(AnnoHost) of the caller, so later
// members can be added. owner is the QWidget* given to InitAnnotation.
struct AnnoHost {
    uint32_t size;
    // Writes a file the program keeps beside the user's pictures: through a
    // temporary file and a rename, never through a symbolic link. Non-zero
    // on success.
    int (*writeOwnFile)(const char* path, const void* data, int64_t size);
    // Shows a context menu at (x, y) of owner; the chosen command, 0 for none.
    int (*showMenu)(void* owner, int x, int y, const AnnoMenuItem* items, int count);
    // Shows the property dialog (title and texts from the settings file:
    // the layer passes the dialog texts as "key=value" lines in labels);
    // non-zero when the user accepted the changed properties.
    int (*editProperties)(void* owner, const char* title, const char* labels, AnnoProperties* properties);
    // Shows the stamp chooser (texts in labels as above); non-zero when the
    // user chose a stamp, which then fills stamp.
    int (*chooseStamp)(void* owner, const char* labels, AnnoStamp* stamp);
    // Asks for a picture file and reads it; non-zero when picture is filled.
    int (*choosePicture)(void* owner, const char* labels, AnnoPicture* picture);
};
}

#if defined(CRDE2001_BUILD)
#define CRDE_EXPORT __attribute__((visibility("default")))
#define CRDE_ENTRY(ret, name, params) \
    extern "C" {                      \
    typedef ret(*name##_fn) params;   \
    CRDE_EXPORT ret name params;      \
    }
#else
#define CRDE_ENTRY(ret, name, params) \
    extern "C" {                      \
    typedef ret(*name##_fn) params;   \
    }
#endif

// ---- set-up (called before an entry is resolved, when exported) -----------
CRDE_ENTRY(short, InitDll, (void* window))
CRDE_ENTRY(short, TInitDLL, (void* window))

// ---- decoders from a file -------------------------------------------------
// (file, bits, dither, [extra], dib out, shared palette, sender, progress, flags)
// The shared palette may be null; it is not used by the decoders at present.
CRDE_ENTRY(short, rdjpgfiledib,
           (const char* file, short bits, short dither, short scale, GlobalHandle* dib, PaletteHandle palette,
            void* sender, ProgressCallback cb, int flags))
CRDE_ENTRY(short, rdbmpfiledib,
           (const char* file, short bits, short dither, GlobalHandle* dib, PaletteHandle palette, void* sender,
            ProgressCallback cb, int flags))
CRDE_ENTRY(short, rdpngfiledib,
           (const char* file, short bits, short dither, GlobalHandle* dib, PaletteHandle palette, void* sender,
            ProgressCallback cb, int flags))
CRDE_ENTRY(short, rdgiffiledib,
           (const char* file, short bits, short dither, GlobalHandle* dib, PaletteHandle palette, void* sender,
            ProgressCallback cb, int flags))
CRDE_ENTRY(short, rdpcxfiledib,
           (const char* file, short bits, short dither, GlobalHandle* dib, PaletteHandle palette, void* sender,
            ProgressCallback cb, int flags))
CRDE_ENTRY(short, readtgafiledib,
           (const char* file, short bits, short dither, GlobalHandle* dib, PaletteHandle palette, void* sender,
            ProgressCallback cb, int flags))
// page counts from 0
CRDE_ENTRY(short, readtiffiledib,
           (const char* file, short bits, short dither, short page, GlobalHandle* dib, PaletteHandle palette,
            void* sender, ProgressCallback cb, int flags))
// Photo CD image packs: pcdMode 0 base/16 (192x128), 1 base/4 (384x256),
// 2 base (768x512), as 24 bits before the requested depth; a pack with a
// rotation is turned upright. A pack too short for the asked resolution
// fails.
CRDE_ENTRY(short, readpcdfiledib,
           (const char* file, short bits, short dither, short pcdMode, GlobalHandle* dib, PaletteHandle palette,
            void* sender, ProgressCallback cb, int flags))
// EPS (plain, EPSI or DOS EPS binary): the PostScript is rendered through
// Ghostscript's library in a child process at the bounding box's size, 24
// bits when bits is 0. The progress callback is asked about ten times a
// second while it runs; a stop, or 30 seconds (GLIMRA_EPS_SECONDS, 1..600),
// ends it. When the PostScript cannot be rendered, a DOS EPS file's TIFF
// preview or else an EPSI preview is delivered; WMF previews are not read.
CRDE_ENTRY(short, readepsfiledib,
           (const char* file, short bits, short dither, GlobalHandle* dib, PaletteHandle palette, void* sender,
            ProgressCallback cb, int flags))
// Renders the drawing at width x height (0, 0: its own size; one side 0
// keeps the drawing's proportion) into a device bitmap and a palette (null
// when the bitmap has no colour table). ASCII DXF only; the bitmap has 24
// bits, white ground, entity colours (ACI 1-6, 8, 9; others black). The own
// size ("getdxfinfo", bits 24) puts 1024 pixels on the longer side of the
// extents, at least 16 on the other. A drawing with nothing to draw, or of
// more than 2 000 000 elements, fails.
CRDE_ENTRY(short, readdxftoddb,
           (const char* file, int width, int height, GlobalHandle* bitmap, PaletteHandle* palette, void* sender,
            ProgressCallback cb, int flags))

// ---- decoders from memory -------------------------------------------------
// (buffer, byte count, bits, dither, [extra], dib out, sender, progress, flags)
CRDE_ENTRY(short, rdjpgstreamdib,
           (const void* data, int64_t size, short bits, short dither, short scale, GlobalHandle* dib,
            void* sender, ProgressCallback cb, int flags))
CRDE_ENTRY(short, rdbmpstreamdib,
           (const void* data, int64_t size, short bits, short dither, GlobalHandle* dib, void* sender,
            ProgressCallback cb, int flags))
CRDE_ENTRY(short, rdpngstreamdib,
           (const void* data, int64_t size, short bits, short dither, GlobalHandle* dib, void* sender,
            ProgressCallback cb, int flags))
CRDE_ENTRY(short, rdgifstreamdib,
           (const void* data, int64_t size, short bits, short dither, GlobalHandle* dib, void* sender,
            ProgressCallback cb, int flags))
CRDE_ENTRY(short, rdpcxstreamdib,
           (const void* data, int64_t size, short bits, short dither, GlobalHandle* dib, void* sender,
            ProgressCallback cb, int flags))
CRDE_ENTRY(short, rddcxstreamdib,
           (const void* data, int64_t size, short bits, short dither, short page, GlobalHandle* dib,
            void* sender, ProgressCallback cb, int flags))
CRDE_ENTRY(short, readtgafilestreamdib,
           (const void* data, int64_t size, short bits, short dither, GlobalHandle* dib, void* sender,
            ProgressCallback cb, int flags))
CRDE_ENTRY(short, readtiffiledibstream,
           (const void* data, int64_t size, short bits, short dither, short page, GlobalHandle* dib,
            void* sender, ProgressCallback cb, int flags))
CRDE_ENTRY(short, readpcdfiledibstream,
           (const void* data, int64_t size, short bits, short dither, short pcdMode, GlobalHandle* dib,
            void* sender, ProgressCallback cb, int flags))
CRDE_ENTRY(short, readepsfiledibstream,
           (const void* data, int64_t size, short bits, short dither, GlobalHandle* dib, void* sender,
            ProgressCallback cb, int flags))

// ---- encoders ---------------------------------------------------------------
// (file, dib, bits to write, options..., sender, progress, flags)
// bits: 0 writes the DIB's own depth (1, 4 and 8 bits stay, deeper pictures
// become 24 bits); 1, 4, 8 or 24 convert to that depth first (dithered).
// Formats that hold fewer depths adapt the picture (below). A DIB whose
// header does not fit its block is refused.
// Every file is written whole to a temporary file beside it, which takes
// the file's place only when complete: a failure or a stop from the
// progress callback leaves no new file and an existing file as it was. The
// last progress report (100) comes before that replacement.
// JPEG: 8-bit grey when grey is set or the colour table holds only greys,
// else colour; bits is not used. quality 1..100, smoothing 0..100 (clamped).
CRDE_ENTRY(short, wrjpgfiledib,
           (const char* file, GlobalHandle dib, short bits, short quality, short smoothing, short grey,
            void* sender, ProgressCallback cb, int flags))
// PNG: 1, 4 and 8 bits as palette (grey when the table is a grey ramp), 24
// bits as RGB. interlace non-zero: Adam7.
CRDE_ENTRY(short, wrpngfiledib,
           (const char* file, GlobalHandle dib, short bits, short interlace, void* sender, ProgressCallback cb,
            int flags))
// GIF: at most 8 bits; a picture with more colours gets a palette made for it.
CRDE_ENTRY(short, wrgiffiledib,
           (const char* file, GlobalHandle dib, short bits, void* sender, ProgressCallback cb, int flags))
CRDE_ENTRY(short, wrpcxfiledib,
           (const char* file, GlobalHandle dib, short bits, void* sender, ProgressCallback cb, int flags))
// TGA: rle non-zero writes run-length packets; option2 is not used (0).
CRDE_ENTRY(short, writetgafiledib,
           (const char* file, GlobalHandle dib, short bits, short rle, short option2, void* sender,
            ProgressCallback cb, int flags))
// EPS: one PostScript Level 2 image, bounding box 0 0 width height (one
// point a pixel). level 0 "CMYK": DeviceCMYK data made as PostScript turns
// RGB into CMYK (full black generation and undercolour removal), so the
// plain conversion back gives the RGB again; 1 "Level 2": DeviceRGB data.
// 1-, 4- and 8-bit pictures keep their indices under an /Indexed space of
// that colour space. grey non-zero: 8-bit DeviceGray data (the luminance)
// at either level. compression 0: ASCII85 text; 1: LZW (/LZWDecode) under
// ASCII85, at either level. border non-zero: a one-point black frame over
// the picture's outer pixels. preview 0 "NONE": a plain EPS file; the others
// write a DOS EPS binary file with an uncompressed TIFF preview: 1 "4_BW" 16
// greys and 2 "1_BW" black and white (dithered), both at full size; 3 "1_4"
// 256 colours at a quarter of each side; 4 "1_1" 256 colours at full size.
// Values out of range (level 0..1, preview 0..4, compression 0..1) fail.
CRDE_ENTRY(short, writeepsfiledib,
           (const char* file, GlobalHandle dib, short bits, short level, short preview, short compression,
            short border, short grey, void* sender, ProgressCallback cb, int flags))
// compression: TIFF 6.0 code (1, 2, 3, 4, 5, 32773 as -32763); the CCITT
// codes 2, 3, 4 write black and white (a picture with other colours is
// dithered). append non-zero adds a page to an existing file (a missing
// file is made new); zero replaces the file.
CRDE_ENTRY(short, writetiffiledib,
           (const char* file, GlobalHandle dib, short bits, short compression, short append, void* sender,
            ProgressCallback cb, int flags))
// inserts the picture as page `page` (0-based; past the end appends) of an
// existing file; a missing file is made new with this page
CRDE_ENTRY(short, writetiffiledibpage,
           (const char* file, GlobalHandle dib, short bits, short compression, short page, void* sender,
            ProgressCallback cb, int flags))
// Removes page `page` (0-based); the only page of a file is not removed. The
// other pages keep their bytes; the removed page's data stays in the file
// unlinked.
CRDE_ENTRY(short, deletepage, (const char* file, short page, void* sender, ProgressCallback cb, int flags))

// ---- information ------------------------------------------------------------
// type: "JPEG", "PNG", "GIF", "BMP", "TIFF", "PCX", "DCX", "TGA", ...
// compression: "JPEG", "Deflate", "LZW", "RGB", "RLE8", "RLE4", "BITFIELDS",
// "RLE", "None", or a TIFF compression name.
CRDE_ENTRY(short, fileinfo,
           (const char* file, char* type, int typeSize, int* width, int* height, short* bits, short* planes,
            int* colours, char* compression, int compressionSize))
CRDE_ENTRY(short, streaminfo,
           (const void* data, int64_t size, char* type, int typeSize, char* compression, int compressionSize,
            int* colours, short* planes, short* bits, int* height, int* width))
// TIFF page information; page counts from 0. compression is the TIFF code of
// the page (as a signed 16-bit value). Failure: -1.
CRDE_ENTRY(short, getinfo,
           (const char* file, short page, int* width, int* height, short* bits, short* pages,
            short* compression))
// Failure: negative.
CRDE_ENTRY(short, getinfostream,
           (const void* data, int64_t size, short page, int* width, int* height, short* bits, short* pages,
            short* compression))
CRDE_ENTRY(short, getdxfinfo, (const char* file, int* width, int* height, short* bits))
// Why the last decoder or information entry called on this thread failed,
// when it knows (English, such as "the file is too small for the picture it
// claims"): 1 with the text in text, 0 with "" when it gave no reason.
CRDE_ENTRY(short, lastfailure, (char* text, int textSize))

// ---- scanning (failure: negative) -------------------------------------------
// Scanners are the SANE devices. window points to a ScanWindow or is null.
// selectsource lists the devices and lets window->choose pick one (without a
// chooser the only or first device is taken); the choice holds until the
// module is unloaded. 1: chosen, 0: cancelled, -1: no device or an error.
// aquiredibimage reads one frame from the chosen device (or the first one)
// and delivers it at the requested bits (0: the frame's own depth); it asks
// the device for colour when 24 bits are wanted, for grey at 4 and 8 bits
// and for line art at 1 bit, where the device offers those modes.
extern "C" {
typedef struct ScanWindow {
    void* context;
    // count devices by name and description; returns the chosen index or -1
    int (*choose)(void* context, const char* const* names, const char* const* descriptions, int count);
} ScanWindow;
}
CRDE_ENTRY(short, selectsource, (void* window))
CRDE_ENTRY(short, aquiredibimage,
           (void* window, short bits, short dither, GlobalHandle* dib, void* sender, ProgressCallback cb,
            int flags))

// ---- DIB conversions: a new handle, null on failure ------------------------
CRDE_ENTRY(GlobalHandle, CopyDIB, (GlobalHandle dib))
CRDE_ENTRY(GlobalHandle, DIB1to4, (GlobalHandle dib))
CRDE_ENTRY(GlobalHandle, DIB1To8, (GlobalHandle dib))
CRDE_ENTRY(GlobalHandle, DIB1To24, (GlobalHandle dib))
CRDE_ENTRY(GlobalHandle, DIB4To8, (GlobalHandle dib))
CRDE_ENTRY(GlobalHandle, DIB4To24, (GlobalHandle dib))
CRDE_ENTRY(GlobalHandle, DIB16To24, (GlobalHandle dib))
CRDE_ENTRY(GlobalHandle, DIB32To24, (GlobalHandle dib))
// dib: the locked packed DIB (RLE4/RLE8 allowed); size: its block size.
// Out: a device bitmap and a palette (null without a colour table).
CRDE_ENTRY(short, DibtoDdb, (const void* dib, int64_t size, PaletteHandle* palette, GlobalHandle* bitmap))

// ---- annotation layer ---------------------------------------------------------
// One layer per image control, addressed by the control pointer (any unique
// address; InitAnnotation registers it, DestroyAnnotation drops it; entries
// on an unregistered control answer 0). The Windows handles become Qt
// objects: InitAnnotation's window is the control's QPaintDevice* (its
// QWidget seen as a paint device) and owner its QWidget*; the dc of
// DrawAnnotationWholeDC is a QPainter*. Objects are kept in picture pixels;
// a device point is (picture point - origin) x zoom + centring offset.
// Pages count from 0. Annotation files: annotationformat.h. The pass code
// of the before-draw callback is 0 on the screen or a painter, 1 when
// burning in. Load, save, insert and remove answer 1 on success, 0 when the
// file is missing (load, remove), damaged (nothing is read or written then)
// or cannot be written.
//
// IsAnnotation: the number of objects (at most 32767).
// DrawAnnotation: onto the registered window, clipped to its size less the
//   scroll bar width at the right and bottom (0: none shown); call it after
//   the control's own painter has ended.
// HardDrawAnnotation: burns the objects into the packed DIB at scale 1,
//   origin 0 (pictures of 8 bits or fewer take the nearest table colours).
// LoadAnnotation: the layer becomes the page's objects (none when the file
//   has no such page). SaveAnnotation: the page of the file becomes the
//   layer's objects (an empty layer removes the page). InsertAnnotation: the
//   pages from page on move up one and the layer's objects become page.
//   RemoveAnnotation: page goes and the later pages move down one.
// AnnotationRevision: a number that changes with every change of the layer.
// AnnotationKindName: the kind name of object index ("PolyLine", "Hilite",
//   as the annotation settings name the kinds) into name; 0 past the end.
CRDE_ENTRY(short, IsAnnotation, (void* control))
CRDE_ENTRY(short, InitAnnotation,
           (void* control, void* window, void* owner, AnnoDoneCallback done, AnnoCustomDrawCallback customDraw,
            AnnoCustomHardDrawCallback customHardDraw, AnnoBeforeDrawCallback beforeDraw,
            AnnoAfterDrawCallback afterDraw, const char* settingsFile))
CRDE_ENTRY(short, DestroyAnnotation, (void* control))
CRDE_ENTRY(short, DrawAnnotation,
           (void* control, double zoom, int x, int y, short centreX, short centreY, int scrollWidth, int flags))
CRDE_ENTRY(short, DrawAnnotationWholeDC,
           (void* control, double scale, int x, int y, int centreX, int centreY, int flags, void* dc))
CRDE_ENTRY(short, HardDrawAnnotation, (void* control, GlobalHandle bitmap))
CRDE_ENTRY(short, MouseMon, (void* control, int message, int wparam, int position))
CRDE_ENTRY(short, MenuMsg, (void* control, int command))
CRDE_ENTRY(short, ClearAnnotation, (void* control))
CRDE_ENTRY(short, RubberBandOFF, (void* control))
CRDE_ENTRY(short, LoadAnnotation, (void* control, short page, const char* file))
CRDE_ENTRY(short, SaveAnnotation, (void* control, short page, const char* file))
CRDE_ENTRY(short, RemoveAnnotation, (void* control, short page, const char* file))
CRDE_ENTRY(short, InsertAnnotation, (void* control, short page, const char* file))
CRDE_ENTRY(int64_t, AnnotationRevision, (void* control))
CRDE_ENTRY(short, AnnotationKindName, (void* control, int index, char* name, int size))
CRDE_ENTRY(short, SetAnnotationHost, (const AnnoHost* host))

#undef CRDE_ENTRY
