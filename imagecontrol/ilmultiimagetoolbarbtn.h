#pragma once
// The buttons of the image toolbar, in their order on the strip, with the
// resource suffix of each glyph and its hint texts.

#include <QList>
#include <QString>
#include <QStringList>
#include <bitset>

enum TILMultiImageToolBarBtn {
    ibOpen, ibSave, ibback, ibnext, ibPrint, ibScan, ibSelectScanner, ibPanZoom,
    ibZoomIn, ibZoomOut, ibBestFit, ibCenter, ibResetZoom, ibCut, ibCopy, ibPaste,
    ibUndo, ibAnnotEdit, ibResize, ibChangeColor, ibInvert, ibRotate90, ibRotate180,
    ibEffects, ibFirstpage, ibPriorpage, ibNextpage, ibLastpage,
    // The editor's selection toggle; on the strip it follows ibSelectScanner.
    ibShowsel
};

// The buttons every toolbar has; the editor's variant adds ibShowsel.
constexpr int kToolBarButtonCount = ibLastpage + 1;
constexpr int kEditorToolBarButtonCount = ibShowsel + 1;

// A set of buttons, one bit per enumeration value.
using TILMultiImageToolBarBtns = std::bitset<kEditorToolBarButtonCount>;

namespace toolbarbuttons {

// "OPEN" ... "LASTPAGE": the glyph resource is "ILTB_" + suffix.
QString glyphSuffix(TILMultiImageToolBarBtn button);
// The hint used when the toolbar's Hints line for the button is empty.
QString defaultHint(TILMultiImageToolBarBtn button);
// The German hints the viewer gives its toolbar, one line per button.
QStringList viewerHints();
// The buttons that stay down until clicked again.
bool isToggle(TILMultiImageToolBarBtn button);
// The buttons every toolbar has (all but ibShowsel).
TILMultiImageToolBarBtns all();
// The buttons on the strip, left to right.
QList<TILMultiImageToolBarBtn> stripOrder();

}  // namespace toolbarbuttons
