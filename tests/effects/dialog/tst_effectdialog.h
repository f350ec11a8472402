#pragma once

#include <QObject>

class TestEffectDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    // tst_effectdialog.cpp
    void pagesCallTheirEffects_data();
    void pagesCallTheirEffects();
    void redEyeFarFromOrigin();
    void paletteFileRoundTrip();
    void hostilePaletteFiles();
    void remapPictures();
    // tst_effectdialogwidgets.cpp
    void rubberBandDragging();
    void parameterFields();
    void previewsDoNotAccumulate();
    void applyAndStop();
    void selectionAtAnyZoom();
    void palettePageWritesTheFile();
    void closingAppliesThePreviewOnce();
};
