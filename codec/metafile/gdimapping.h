#pragma once
// The mapping of a metafile's logical coordinates onto its device: the map
// mode with window and viewport origins and extents, and the world
// transform of enhanced metafiles.

#include <QPointF>
#include <QSizeF>
#include <QTransform>

class GdiMapping {
public:
    enum MapMode {
        MM_TEXT = 1, MM_LOMETRIC = 2, MM_HIMETRIC = 3, MM_LOENGLISH = 4,
        MM_HIENGLISH = 5, MM_TWIPS = 6, MM_ISOTROPIC = 7, MM_ANISOTROPIC = 8,
    };
    enum WorldMode { MWT_IDENTITY = 1, MWT_LEFTMULTIPLY = 2, MWT_RIGHTMULTIPLY = 3, MWT_SET = 4 };

    // Device pixels per millimetre, for the metric and English modes.
    void setDeviceResolution(double pixelsPerMmX, double pixelsPerMmY);

    MapMode mapMode() const { return mode_; }
    // Unknown modes are ignored.
    void setMapMode(int mode);

    void setWindowOrg(QPointF org) { windowOrg_ = org; }
    void setViewportOrg(QPointF org) { viewportOrg_ = org; }
    void offsetWindowOrg(QPointF d) { windowOrg_ += d; }
    void offsetViewportOrg(QPointF d) { viewportOrg_ += d; }
    // Extents count only in the isotropic and anisotropic modes; a zero
    // extent is ignored.
    void setWindowExt(QSizeF ext);
    void setViewportExt(QSizeF ext);
    void scaleWindowExt(double xNum, double xDenom, double yNum, double yDenom);
    void scaleViewportExt(double xNum, double xDenom, double yNum, double yDenom);

    QPointF windowOrg() const { return windowOrg_; }
    QSizeF windowExt() const { return windowExt_; }

    // A transform whose scale or shear is not finite or zero is ignored.
    void setWorldTransform(const QTransform& t);
    void modifyWorldTransform(const QTransform& t, int mode);
    const QTransform& worldTransform() const { return world_; }

    // Logical (page) coordinates to device coordinates.
    QTransform pageTransform() const;

private:
    static bool usable(const QTransform& t);
    static bool scaleUsable(double num, double denom);
    bool extentsCount() const { return mode_ == MM_ISOTROPIC || mode_ == MM_ANISOTROPIC; }

    MapMode mode_ = MM_TEXT;
    double pxPerMmX_ = 96 / 25.4;
    double pxPerMmY_ = 96 / 25.4;
    QPointF windowOrg_;
    QPointF viewportOrg_;
    QSizeF windowExt_{1, 1};
    QSizeF viewportExt_{1, 1};
    QTransform world_;
};
