#include "saveoptionspanel.h"

#include "mmopendialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>

#include <algorithm>

namespace {

constexpr int kLabelHeight = 13;
constexpr int kCheckHeight = 14;
constexpr int kBarHeight = 20;
constexpr int kBoxHeight = 20;
constexpr int kListHeight = 21;
constexpr int kBarWidth = 126;
constexpr int kBoxWidth = 28;

int inRangeOr(int value, int low, int high, int fallback)
{
    return value < low || value > high ? fallback : value;
}

// A whole number in low..high, else false.
bool numberIn(const QString& text, int low, int high, int& value)
{
    bool ok = false;
    value = text.trimmed().toInt(&ok);
    return ok && value >= low && value <= high;
}

}  // namespace

SaveOptionsPanel::SaveOptionsPanel(TMMOpenDialog& dialog, QWidget* parent) : QFrame(parent), dialog_(dialog)
{
    Beep = [] { QApplication::beep(); };
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setFixedHeight(kHeight);
    QFont small(QStringLiteral("Liberation Sans"));
    small.setPixelSize(11);
    setFont(small);
    buildJpeg();
    buildPng();
    buildTiff();
    buildEps();
    buildAnnotations();
    connectControls();
    for (QList<QWidget*>& group : groups_)
        for (QWidget* w : group)
            w->hide();
    for (QWidget* w : groups_[NoGroup])
        w->show();
}

QLabel* SaveOptionsPanel::label(const QString& text, int x, int y)
{
    auto* l = new QLabel(text, this);
    l->setGeometry(x, y, l->sizeHint().width(), kLabelHeight);
    building_->append(l);
    return l;
}

QCheckBox* SaveOptionsPanel::checkBox(const QString& text, int x, int y)
{
    auto* c = new QCheckBox(text, this);
    c->setGeometry(x, y, c->sizeHint().width(), kCheckHeight);
    building_->append(c);
    return c;
}

QComboBox* SaveOptionsPanel::list(const QStringList& entries, int x, int y, int width)
{
    auto* c = new QComboBox(this);
    c->addItems(entries);
    c->setGeometry(x, y, width, kListHeight);
    building_->append(c);
    return c;
}

QSlider* SaveOptionsPanel::bar(int x, int y)
{
    auto* s = new QSlider(Qt::Horizontal, this);
    s->setRange(0, 100);
    s->setPageStep(10);
    s->setGeometry(x, y, kBarWidth, kBarHeight);
    building_->append(s);
    return s;
}

QLineEdit* SaveOptionsPanel::box(int x, int y)
{
    auto* e = new QLineEdit(this);
    e->setMaxLength(3);
    e->setGeometry(x, y, kBoxWidth, kBoxHeight);
    building_->append(e);
    return e;
}

void SaveOptionsPanel::buildJpeg()
{
    building_ = &groups_[JpegGroup];
    label(QStringLiteral("JPEG Qualität"), 12, 1);
    jpegQualityBar_ = bar(6, 12);
    jpegQualityBox_ = box(130, 12);
    label(QStringLiteral("JPEG Glättern"), 12, 32);
    jpegSmoothBar_ = bar(6, 43);
    jpegSmoothBox_ = box(130, 43);
}

void SaveOptionsPanel::buildPng()
{
    building_ = &groups_[PngGroup];
    pngInterlaced_ = checkBox(QStringLiteral("PNG verflochten"), 12, 64);
}

void SaveOptionsPanel::buildTiff()
{
    building_ = &groups_[TiffGroup];
    tiffAppend_ = checkBox(QStringLiteral("TIFF Seite(n) hinzufügen"), 12, 4);
    tiffMode_ = list({QStringLiteral("Anhängen"), QStringLiteral("Einfügen"), QStringLiteral("Erzetzen")}, 56, 24, 94);
    label(QStringLiteral("Als Seite"), 60, 54);
    tiffPage_ = new QSpinBox(this);
    tiffPage_->setRange(1, 255);
    tiffPage_->setGeometry(110, 50, 44, kBoxHeight);
    building_->append(tiffPage_);
    label(QStringLiteral("TIFF Komprimierung"), 12, 70);
    tiffCompression_ = list({QStringLiteral("NONE"), QStringLiteral("CCITT"), QStringLiteral("FAXCCITT3"),
                             QStringLiteral("FAXCCITT4"), QStringLiteral("LZW"), QStringLiteral("PACKBITS")},
                            12, 90, 143);
}

void SaveOptionsPanel::buildEps()
{
    building_ = &groups_[EpsGroup];
    const QStringList captions = {QStringLiteral("Farbstandard"), QStringLiteral("Komprimierung"),
                                  QStringLiteral("Vorschau"), QStringLiteral("Rand")};
    // the lists start at 85 unless a caption in this font reaches further
    int listLeft = 85;
    for (const QString& caption : captions)
        listLeft = std::max(listLeft, 12 + fontMetrics().horizontalAdvance(caption) + 4);
    label(captions[0], 12, 14);
    epsLevel_ = list({QStringLiteral("CMYK"), QStringLiteral("Level 2")}, listLeft, 10, 70);
    label(captions[1], 12, 40);
    epsCompression_ = list({QStringLiteral("Keine"), QStringLiteral("LZW")}, listLeft, 36, 70);
    label(captions[2], 12, 66);
    epsPreview_ = list({QStringLiteral("NONE"), QStringLiteral("4_BW"), QStringLiteral("1_BW"), QStringLiteral("1_4"),
                        QStringLiteral("1_1")},
                       listLeft, 62, 70);
    label(captions[3], 12, 92);
    epsBorder_ = list({QStringLiteral("Keinen"), QStringLiteral("Rand")}, listLeft, 88, 70);
}

void SaveOptionsPanel::buildAnnotations()
{
    building_ = &groups_[NoGroup];
    annoSave_ = checkBox(QStringLiteral("Anmerkung speichern"), 12, 116);
    annoSave_->setChecked(true);
    annoEmbed_ = checkBox(QStringLiteral("Anmerkung einbetten"), 12, 130);
    building_ = nullptr;
}

void SaveOptionsPanel::connectControls()
{
    connect(jpegQualityBar_, &QSlider::valueChanged, this,
            [this](int v) { jpegBarMoved(jpegQualityBar_, jpegQualityBox_, v); });
    connect(jpegSmoothBar_, &QSlider::valueChanged, this,
            [this](int v) { jpegBarMoved(jpegSmoothBar_, jpegSmoothBox_, v); });
    connect(jpegQualityBox_, &QLineEdit::textEdited, this,
            [this](const QString& t) { jpegBoxEdited(jpegQualityBar_, jpegQualityBox_, t); });
    connect(jpegSmoothBox_, &QLineEdit::textEdited, this,
            [this](const QString& t) { jpegBoxEdited(jpegSmoothBar_, jpegSmoothBox_, t); });
    // a box left holding a refused value shows its bar's value again
    connect(jpegQualityBox_, &QLineEdit::editingFinished, this,
            [this] { jpegQualityBox_->setText(QString::number(jpegQualityBar_->value())); });
    connect(jpegSmoothBox_, &QLineEdit::editingFinished, this,
            [this] { jpegSmoothBox_->setText(QString::number(jpegSmoothBar_->value())); });

    connect(pngInterlaced_, &QCheckBox::toggled, this, [this](bool on) { dialog_.PNGInterLaced = on; });
    connect(tiffAppend_, &QCheckBox::toggled, this, [this](bool on) {
        dialog_.TIFFAppended = on;
        updateTiffPageControls();
    });
    bindList(tiffMode_, dialog_.TIFFARI);
    connect(tiffPage_, &QSpinBox::valueChanged, this,
            [this](int v) { dialog_.TIFFFirfPageValue = std::clamp(v, 1, 255); });
    bindList(tiffCompression_, dialog_.TIFFCompres);
    bindList(epsLevel_, dialog_.EPSSaveLevel);
    bindList(epsCompression_, dialog_.EPSSaveCompression);
    bindList(epsPreview_, dialog_.EPSSavePreview);
    bindList(epsBorder_, dialog_.EPSSaveBorder);
    connect(annoSave_, &QCheckBox::toggled, this, [this](bool on) { dialog_.Annosave = on; });
    connect(annoEmbed_, &QCheckBox::toggled, this, [this](bool on) { dialog_.Annoeinbetten = on; });
}

void SaveOptionsPanel::bindList(QComboBox* list, qint32& property)
{
    connect(list, &QComboBox::currentIndexChanged, this, [&property](int i) {
        if (i >= 0)
            property = i;
    });
}

void SaveOptionsPanel::jpegBarMoved(QSlider* bar, QLineEdit* box, int value)
{
    int shown = 0;
    if (!numberIn(box->text(), 0, 100, shown) || shown != value)
        box->setText(QString::number(value));
    if (loading_)
        return;
    if (bar == jpegQualityBar_)
        dialog_.JPEGQualiy = value;
    else
        dialog_.JPEGSmooth = value;
}

void SaveOptionsPanel::jpegBoxEdited(QSlider* bar, QLineEdit*, const QString& text)
{
    int value = 0;
    if (!numberIn(text, 0, 100, value)) {
        if (Beep)
            Beep();
        return;
    }
    bar->setValue(value);
    if (bar == jpegQualityBar_)
        dialog_.JPEGQualiy = value;
    else
        dialog_.JPEGSmooth = value;
}

void SaveOptionsPanel::updateTiffPageControls()
{
    const bool on = tiffAppend_->isChecked();
    tiffMode_->setEnabled(on);
    tiffPage_->setEnabled(on);
}

void SaveOptionsPanel::LoadProperties()
{
    loading_ = true;
    dialog_.JPEGQualiy = std::clamp(dialog_.JPEGQualiy, 0, 100);
    dialog_.JPEGSmooth = std::clamp(dialog_.JPEGSmooth, 0, 100);
    jpegQualityBar_->setValue(dialog_.JPEGQualiy);
    jpegQualityBox_->setText(QString::number(dialog_.JPEGQualiy));
    jpegSmoothBar_->setValue(dialog_.JPEGSmooth);
    jpegSmoothBox_->setText(QString::number(dialog_.JPEGSmooth));
    loading_ = false;

    pngInterlaced_->setChecked(dialog_.PNGInterLaced);
    tiffAppend_->setChecked(dialog_.TIFFAppended);
    dialog_.TIFFFirfPageValue = inRangeOr(dialog_.TIFFFirfPageValue, 1, 255, 1);
    dialog_.TIFFCompres = inRangeOr(dialog_.TIFFCompres, 0, 5, 0);
    dialog_.TIFFARI = inRangeOr(dialog_.TIFFARI, 0, 2, 0);
    dialog_.EPSSaveLevel = inRangeOr(dialog_.EPSSaveLevel, 0, 1, 0);
    dialog_.EPSSavePreview = inRangeOr(dialog_.EPSSavePreview, 0, 4, 0);
    dialog_.EPSSaveCompression = inRangeOr(dialog_.EPSSaveCompression, 0, 1, 0);
    dialog_.EPSSaveBorder = inRangeOr(dialog_.EPSSaveBorder, 0, 1, 0);
    const int page = dialog_.TIFFFirfPageValue;
    const int compression = dialog_.TIFFCompres;
    const int mode = dialog_.TIFFARI;
    const int level = dialog_.EPSSaveLevel;
    const int preview = dialog_.EPSSavePreview;
    const int epsCompression = dialog_.EPSSaveCompression;
    const int border = dialog_.EPSSaveBorder;
    tiffPage_->setValue(page);
    tiffCompression_->setCurrentIndex(compression);
    tiffMode_->setCurrentIndex(mode);
    epsLevel_->setCurrentIndex(level);
    epsPreview_->setCurrentIndex(preview);
    epsCompression_->setCurrentIndex(epsCompression);
    epsBorder_->setCurrentIndex(border);
    const bool save = dialog_.Annosave;
    const bool embed = dialog_.Annoeinbetten;
    annoSave_->setChecked(save);
    annoEmbed_->setChecked(embed);
    updateTiffPageControls();
}

SaveOptionsPanel::Group SaveOptionsPanel::GroupOf(int filterIndex)
{
    switch (filterIndex) {
    case 3:
    case 9: return JpegGroup;
    case 5: return PngGroup;
    case 6:
    case 10: return TiffGroup;
    case 11: return EpsGroup;
    default: return NoGroup;
    }
}

void SaveOptionsPanel::ShowTypeOf(int filterIndex)
{
    shown_ = GroupOf(filterIndex);
    for (int g = JpegGroup; g <= EpsGroup; ++g)
        for (QWidget* w : groups_[g])
            w->setVisible(g == shown_);
}

QList<QWidget*> SaveOptionsPanel::GroupControls(Group group) const
{
    return groups_[group];
}
