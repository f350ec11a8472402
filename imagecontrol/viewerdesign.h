#pragma once
// The design values of the viewer's picture pane "PMultiImage2".

class TPMultiImage;

// Centred, single border, scroll bars on, ZoomBy 10, JPEG quality 100 and
// smoothing 5, default save name "Image1.bmp".
void applyViewerDesign(TPMultiImage& pane);
