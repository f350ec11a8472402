#pragma once
// The save options of the open and save dialog: JPEG quality and smoothing,
// interlaced PNG, TIFF page mode, page and compression, the EPS choices and
// the two annotation boxes. Every control writes its property of the dialog
// at once; only the options of the chosen file type are visible.

#include <QFrame>
#include <QList>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;
class QSpinBox;
class TMMOpenDialog;

class SaveOptionsPanel : public QFrame {
    Q_OBJECT
public:
    enum Group { NoGroup, JpegGroup, PngGroup, TiffGroup, EpsGroup };

    static constexpr int kHeight = 150;

    explicit SaveOptionsPanel(TMMOpenDialog& dialog, QWidget* parent = nullptr);

    // Copies the dialog's properties into the controls; values out of range
    // are reset (and written back).
    void LoadProperties();
    // Shows the options of the type of a filter index (1-based).
    void ShowTypeOf(int filterIndex);
    Group ShownGroup() const { return shown_; }
    static Group GroupOf(int filterIndex);

    // Called where a typed value is refused; the system beep by default.
    std::function<void()> Beep;

    QSlider* JpegQualityBar() const { return jpegQualityBar_; }
    QLineEdit* JpegQualityBox() const { return jpegQualityBox_; }
    QSlider* JpegSmoothBar() const { return jpegSmoothBar_; }
    QLineEdit* JpegSmoothBox() const { return jpegSmoothBox_; }
    QCheckBox* PngInterlacedBox() const { return pngInterlaced_; }
    QCheckBox* TiffAppendBox() const { return tiffAppend_; }
    QComboBox* TiffModeList() const { return tiffMode_; }
    QSpinBox* TiffPageBox() const { return tiffPage_; }
    QComboBox* TiffCompressionList() const { return tiffCompression_; }
    QComboBox* EpsLevelList() const { return epsLevel_; }
    QComboBox* EpsCompressionList() const { return epsCompression_; }
    QComboBox* EpsPreviewList() const { return epsPreview_; }
    QComboBox* EpsBorderList() const { return epsBorder_; }
    QCheckBox* AnnoSaveBox() const { return annoSave_; }
    QCheckBox* AnnoEmbedBox() const { return annoEmbed_; }
    // Every control of one group, labels included.
    QList<QWidget*> GroupControls(Group group) const;

private:
    QLabel* label(const QString& text, int x, int y);
    QCheckBox* checkBox(const QString& text, int x, int y);
    QComboBox* list(const QStringList& entries, int x, int y, int width);
    QSlider* bar(int x, int y);
    QLineEdit* box(int x, int y);
    void buildJpeg();
    void buildPng();
    void buildTiff();
    void buildEps();
    void buildAnnotations();
    void connectControls();
    // The list's index written into the property on every change.
    void bindList(QComboBox* list, qint32& property);
    void jpegBarMoved(QSlider* bar, QLineEdit* box, int value);
    void jpegBoxEdited(QSlider* bar, QLineEdit* box, const QString& text);
    void updateTiffPageControls();

    TMMOpenDialog& dialog_;
    Group shown_ = NoGroup;
    bool loading_ = false;
    QList<QWidget*> groups_[5];
    QList<QWidget*>* building_ = nullptr;

    QSlider* jpegQualityBar_ = nullptr;
    QLineEdit* jpegQualityBox_ = nullptr;
    QSlider* jpegSmoothBar_ = nullptr;
    QLineEdit* jpegSmoothBox_ = nullptr;
    QCheckBox* pngInterlaced_ = nullptr;
    QCheckBox* tiffAppend_ = nullptr;
    QComboBox* tiffMode_ = nullptr;
    QSpinBox* tiffPage_ = nullptr;
    QComboBox* tiffCompression_ = nullptr;
    QComboBox* epsLevel_ = nullptr;
    QComboBox* epsCompression_ = nullptr;
    QComboBox* epsPreview_ = nullptr;
    QComboBox* epsBorder_ = nullptr;
    QCheckBox* annoSave_ = nullptr;
    QCheckBox* annoEmbed_ = nullptr;
};
