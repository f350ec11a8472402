#include "viewerdesign.h"

#include "pmultiimage.h"

void applyViewerDesign(TPMultiImage& pane)
{
    pane.setObjectName(QStringLiteral("PMultiImage2"));
    pane.setCenter(true);
    pane.setBorderStyle(bsSingle);
    pane.setScrolling(true);
    pane.setShowScrollbars(true);
    pane.ZoomBy = 10;
    pane.setJPegSaveQuality(100);
    pane.setJPegSaveSmooth(5);
    pane.DefSaveFilename = QStringLiteral("Image1.bmp");
}
