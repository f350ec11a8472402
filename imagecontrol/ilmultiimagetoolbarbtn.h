#pragma once
// The buttons of the image toolbar, in their order on the strip, with the
// resource suffix of each glyph and its hint texts.

#include <QString>
#include <QStringList>
#include <bitset>

enum TILMultiImageToolBarBtn {
    ibOpen, ibSave, ibback, ibnext, ibPrint, ibScan, ibSelectScanner, ibPanZoom,
    ibZoomIn, ibZoomOut, ibBestFit, ibCenter, ibResetZoom, ibCut, ibCopy, ibPaste,
    ibUndo, ibAnnotEdit, ibResize, ibChangeColor, ibInvert, ibRotate90, ibRotate180,
    ibEffects, ibFirstpage, ibPriorpage, ibNextpage, ibLastpage
};

constexpr int kToolBarButtonCount = ibLastpage + 1;

// A set of buttons, one bit per enumeration value.
using TILMultiImageToolBarBtns = std::bitset<kToolBarButtonCount>;

namespace toolbarbuttons {

// "OPEN" ... "LASTPAGE": the glyph resource is "ILTB_" + suffix.
QString glyphSuffix(TILMultiImageToolBarBtn button);
// The hint used when the toolbar's Hints line for the button is empty.
QString defaultHint(TILMultiImageToolBarBtn button);
// The German hints the viewer gives its toolbar, one line per button.
QStringList viewerHints();
// The buttons that stay down until clicked again.
bool isToggle(TILMultiImageToolBarBtn button);
TILMultiImageToolBarBtns all();

}  // namespace toolbarbuttons
