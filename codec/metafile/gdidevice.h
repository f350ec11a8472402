#pragma once
// The device context both metafile players draw through: the object table,
// the drawing state with its save stack, clipping, paths, and every drawing
// operation of the records, painted with a QPainter.
//
// Coordinates: records give logical coordinates; the mapping turns them
// into device coordinates; deviceToPainter places the device on the
// painter (the metafile's frame onto the target rectangle).

#include "gdistate.h"

#include <QPainter>
#include <QPolygonF>
#include <QRectF>
#include <QTransform>

#include <optional>
#include <set>
#include <vector>

class GdiDevice {
public:
    enum BkMode { TRANSPARENT = 1, OPAQUE = 2 };
    enum PolyFillMode { ALTERNATE = 1, WINDING = 2 };
    enum StretchMode { BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4 };
    enum ArcKind { Arc, ArcTo, Chord, Pie };
    enum RegionMode { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };
    enum TextOptions : unsigned { ETO_OPAQUE = 2, ETO_CLIPPED = 4 };
    // Raster operations of the blit records.
    enum Rop : quint32 {
        SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6, SRCINVERT = 0x00660046,
        SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008, NOTSRCERASE = 0x001100A6, MERGEPAINT = 0x00BB0226,
        PATCOPY = 0x00F00021, PATINVERT = 0x005A0049, DSTINVERT = 0x00550009, BLACKNESS = 0x00000042,
        WHITENESS = 0x00FF0062, DSTCOPY = 0x00AA0029,
    };

    // The painter's state is saved here and restored by the destructor.
    GdiDevice(QPainter& painter, const QTransform& deviceToPainter);
    ~GdiDevice();
    GdiDevice(const GdiDevice&) = delete;
    GdiDevice& operator=(const GdiDevice&) = delete;

    GdiState& state() { return state_; }
    GdiMapping& mapping() { return state_.mapping; }
    QTransform logicalToPainter() const;
    const QTransform& deviceToPainter() const { return deviceToPainter_; }
    // Marks the clip as changed after the state's clip was set directly.
    void clipChanged() { ++clipSerial_; }
    // True once clipping has cost all it may: clip changes are then ignored.
    bool clipFrozen() const { return clipWorkLeft_ <= 0; }
    // Where drawing reached so far, in painter coordinates.
    QRectF paintedBounds() const { return painted_; }
    // A transform that fits a device rectangle into target, keeping its
    // proportions, centred.
    static QTransform fitting(const QRectF& device, const QRectF& target);

    // Objects. The table holds at most kMaxObjects.
    static constexpr std::size_t kMaxObjects = 65536;
    void setObjectTableSize(std::size_t n);
    // Into the lowest free slot; -1 when the table is full.
    int addObject(gdi::Object object);
    void setObject(std::uint32_t index, gdi::Object object);
    const gdi::Object* object(std::uint32_t index) const;
    void selectObject(std::uint32_t index);
    void selectStockObject(std::uint32_t id);
    void deleteObject(std::uint32_t index);

    // A COLORREF: RGB, or an index into the selected palette.
    QColor color(std::uint32_t colorRef) const;
    static const QList<QRgb>& defaultPalette();
    const QList<QRgb>& palette() const;

    void saveDC();
    // Negative: that many levels back; positive: the level of that number.
    void restoreDC(int which);

    // Drawing, in logical coordinates.
    void moveTo(QPointF p);
    void lineTo(QPointF p);
    void polyline(const QPolygonF& points);
    void polylineTo(const QPolygonF& points);
    void polygon(const QPolygonF& points);
    void polyPolygon(const QList<QPolygonF>& polygons);
    void polyPolyline(const QList<QPolygonF>& lines);
    void polyBezier(const QPolygonF& points);
    void polyBezierTo(const QPolygonF& points);
    void rectangle(const QRectF& box);
    void roundRect(const QRectF& box, QSizeF corner);
    void ellipse(const QRectF& box);
    void arc(const QRectF& box, QPointF start, QPointF end, ArcKind kind);
    void angleArc(QPointF center, double radius, double startDegrees, double sweepDegrees);
    void setPixel(QPointF p, const QColor& c);
    void text(QPointF origin, const QString& text, const QList<double>& dx, unsigned options,
              const std::optional<QRectF>& rect);
    // source in the image's pixels, top row 0.
    void image(const QRectF& dest, const QImage& image, const QRectF& source, std::uint32_t rop);
    void patBlt(const QRectF& box, std::uint32_t rop);
    void fillRect(const QRectF& box, const gdi::Brush& brush);

    // Regions, in painter coordinates.
    void fillRegion(const QPainterPath& region, const gdi::Brush& brush);
    void frameRegion(const QPainterPath& region, const gdi::Brush& brush, QSizeF stroke);
    void invertRegion(const QPainterPath& region);

    // Clipping.
    void intersectClipRect(const QRectF& box);
    void excludeClipRect(const QRectF& box);
    void offsetClip(QPointF logicalOffset);
    // region in painter coordinates; none resets the clip (RGN_COPY).
    void selectClip(const std::optional<QPainterPath>& region, int mode);

    // Paths.
    void beginPath();
    void endPath();
    void abortPath();
    void closeFigure();
    void fillPath();
    void strokePath();
    void strokeAndFillPath();
    void selectClipPath(int mode);
    void widenPath();

private:
    void paint(const QPainterPath& logical, bool fill);
    void paintMapped(const QPainterPath& mapped, bool fill, bool stroke);
    void record(const QPainterPath& mapped);
    bool recording() const { return recording_.has_value(); }
    void applyClip();
    // Takes work from the clipping budget; false once it is spent.
    bool clipWork(qsizetype elements);
    void reached(const QRectF& r);
    QPainterPath everything() const;
    QPen qtPen() const;
    double penScale() const;
    QBrush qtBrush(const gdi::Brush& brush) const;
    bool beginRop2();
    void endRop2();
    QRectF insideFrame(const QRectF& box) const;
    QPainterPath arcPath(const QRectF& box, QPointF start, QPointF end, ArcKind kind) const;
    double arcSweepSign() const;
    void textRun(QPointF origin, const QString& text, const QList<double>& dx);

    QPainter& painter_;
    QTransform base_;
    QTransform deviceToPainter_;
    GdiState state_;
    std::vector<GdiState> saved_;
    std::vector<gdi::Object> objects_;
    std::set<std::uint32_t> freeSlots_;  // empty slots, lowest first
    std::optional<QPainterPath> recording_;  // open path, painter coordinates
    QPainterPath path_;                      // the ended path
    unsigned clipSerial_ = 1;
    qint64 clipWorkLeft_;
    unsigned appliedClip_ = 0;
    std::optional<QColor> ropColor_;         // R2_BLACK / R2_WHITE
    QRectF painted_;
};
