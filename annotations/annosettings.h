#pragma once
// TAnnoSettings: the texts of the annotation menus and dialogs and the
// default attributes of each object kind. Every property reads its store
// (with its default) and writes it at once; nothing is kept in memory. The
// connected-lines properties and the ellipse's pen width, pen style and
// foreground colour live in the "Annotation" group of the settings store;
// all others in the annotation settings file "il_anno.ini" beside it, which
// the annotation layer reads.

#include <QString>
#include <cstdint>

enum TAnnoPenStyles { an_PS_SOLID, an_PS_DASH, an_PS_DOT, an_PS_DASHDOT, an_PS_DASHDOTDOT, an_PS_NULL };
enum TAnnoHatchStyles {
    an_HS_HORIZONTAL,
    an_HS_VERTICAL,
    an_HS_FDIAGONAL,
    an_HS_BDIAGONAL,
    an_HS_CROSS,
    an_HS_DIAGCROSS,
    an_HS_SOLID
};
enum TAnnoBackgroundMode { an_TRANSPARENT, an_OPAQUE };

// The object kinds, in the order of the annotation file.
enum class TAnnoKind { PolyLine, Ellipse, Rectangle, Polygon, Pointer, Notes, Label, Line, Hilite, RubberStamp, Freehand, Image };

class TAnnoSettings {
public:
    // The profile file: the annotation settings file unless given.
    explicit TAnnoSettings(QString profileFile = QString());

    QString profileFile() const { return profile_; }

    // Attributes (kind + suffix in the published names, e.g. PolyLinePenWidth).
    int PenWidth(TAnnoKind kind) const;
    void setPenWidth(TAnnoKind kind, int width);
    TAnnoPenStyles PenStyle(TAnnoKind kind) const;
    void setPenStyle(TAnnoKind kind, TAnnoPenStyles style);
    std::uint32_t ForeGroundColor(TAnnoKind kind) const;
    void setForeGroundColor(TAnnoKind kind, std::uint32_t colour);
    std::uint32_t BackGroundColor(TAnnoKind kind) const;
    void setBackGroundColor(TAnnoKind kind, std::uint32_t colour);
    TAnnoBackgroundMode BackGroundMode(TAnnoKind kind) const;
    void setBackGroundMode(TAnnoKind kind, TAnnoBackgroundMode mode);
    TAnnoHatchStyles HatchStyle(TAnnoKind kind) const;
    void setHatchStyle(TAnnoKind kind, TAnnoHatchStyles style);
    bool MenuEnabled(TAnnoKind kind) const;
    void setMenuEnabled(TAnnoKind kind, bool on);
    std::uint32_t FontColor(TAnnoKind kind) const;
    void setFontColor(TAnnoKind kind, std::uint32_t colour);
    std::uint32_t FontBackColor(TAnnoKind kind) const;
    void setFontBackColor(TAnnoKind kind, std::uint32_t colour);
    QString FontName(TAnnoKind kind) const;
    void setFontName(TAnnoKind kind, const QString& name);
    int FontHeight(TAnnoKind kind) const;
    void setFontHeight(TAnnoKind kind, int height);
    QString Text(TAnnoKind kind) const;
    void setText(TAnnoKind kind, const QString& text);

    // MenuName_<kind>, MenuName_<kind>Delete, MenuName_<kind>Properties.
    QString MenuName(TAnnoKind kind) const;
    void setMenuName(TAnnoKind kind, const QString& text);
    QString MenuNameDelete(TAnnoKind kind) const;
    void setMenuNameDelete(TAnnoKind kind, const QString& text);
    QString MenuNameProperties(TAnnoKind kind) const;
    void setMenuNameProperties(TAnnoKind kind, const QString& text);
    // The general menu texts MenuName_<name> ("LineMenu", "Fill", ...) and
    // the dialog texts DialogItem_<name> ("LineDiag", "ImageStamp", ...).
    QString MenuText(const QString& name) const;
    void setMenuText(const QString& name, const QString& text);
    QString DialogText(const QString& name) const;
    void setDialogText(const QString& name, const QString& text);

    // The values of the viewer's form, written in one go.
    void ApplyViewerForm();

private:
    QString profile_;
};
