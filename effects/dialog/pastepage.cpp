#include "pastepage.h"

#include "codec/binding/codecwrappers.h"
#include "codec/binding/dibconvert.h"
#include "codec/binding/display.h"
#include "codec/binding/tbitmap.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

QImage imageOf(GlobalHandle dib)
{
    TBitmap bitmap;
    if (!dib || !DIBToGraphic(dib, bitmap))
        return {};
    return bitmap.image();
}

}  // namespace

PastePage::PastePage(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    model_ = new QFileSystemModel(this);
    model_->setNameFilters({QStringLiteral("*.BMP"), QStringLiteral("*.GIF"), QStringLiteral("*.JPG"),
                            QStringLiteral("*.PCX"), QStringLiteral("*.PNG"), QStringLiteral("*.TIF"),
                            QStringLiteral("*.PCD"), QStringLiteral("*.TGA")});
    model_->setNameFilterDisables(false);
    model_->setOption(QFileSystemModel::DontWatchForChanges);
    files_ = new QTreeView(this);
    files_->setModel(model_);
    for (int c = 1; c < model_->columnCount(); ++c)
        files_->hideColumn(c);
    files_->header()->hide();
    layout->addWidget(files_, 1);
    connect(files_, &QTreeView::activated, this, [this](const QModelIndex& index) {
        const QString path = model_->filePath(index);
        if (QFileInfo(path).isFile())
            LoadFile(path);
    });
    connect(files_, &QTreeView::clicked, this, [this](const QModelIndex& index) {
        const QString path = model_->filePath(index);
        if (QFileInfo(path).isFile())
            LoadFile(path);
    });

    auto* row = new QHBoxLayout;
    auto* select = new QPushButton(QStringLiteral("Scanner auswählen"), this);
    select->setToolTip(QStringLiteral("Scanner Select"));
    auto* scan = new QPushButton(QStringLiteral("Scanvorgang starten"), this);
    scan->setToolTip(QStringLiteral("Scan an Image"));
    clipboard_ = new QPushButton(QStringLiteral("Aus Zwischenablage einfügen"), this);
    clipboard_->setToolTip(QStringLiteral("Paste an Image from the clipboard on top of the master image"));
    clipboard_->setEnabled(false);
    for (QPushButton* b : {select, scan, clipboard_}) {
        b->setStatusTip(b->toolTip());
        row->addWidget(b);
    }
    layout->addLayout(row);
    preview_ = new QLabel(this);
    preview_->setFixedHeight(90);
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(preview_);

    connect(select, &QPushButton::clicked, this, [this] { SelectScanSource(window()); });
    connect(scan, &QPushButton::clicked, this, [this] {
        SetPicture(nullptr);
        GlobalHandle dib = nullptr;
        if (AcquireDibImage(window(), DeviceDepth(), false, dib))
            SetPicture(dib);
    });
    connect(clipboard_, &QPushButton::clicked, this, [this] { PasteFromClipboard(); });
    poll_ = new QTimer(this);
    poll_->setInterval(3000);
    connect(poll_, &QTimer::timeout, this, [this] { PollClipboard(); });
    connect(&runner_, &EffectRunner::finished, this, [this](const EffectOutcome& o) {
        EffectOutcome outcome = o;
        SetPicture(outcome.result);
        outcome.result = nullptr;
        EffectRunner::freeOutcome(outcome);
    });
}

PastePage::~PastePage()
{
    FreeDIB(picture_);
}

void PastePage::SetPicture(GlobalHandle dib)
{
    if (picture_ != dib)
        FreeDIB(picture_);
    picture_ = dib;
    image_ = imageOf(dib);
    preview_->setPixmap(image_.isNull() ? QPixmap()
                                        : QPixmap::fromImage(image_.scaled(preview_->width(), preview_->height(),
                                                                            Qt::KeepAspectRatio)));
    if (PictureChanged)
        PictureChanged();
}

GlobalHandle PastePage::DecodeFile(const QString& path, int bits)
{
    const QString ext = QLatin1Char('.') + QFileInfo(path).suffix().toUpper().left(3);
    GlobalHandle dib = nullptr;
    bool ok = false;
    if (ext == QLatin1String(".BMP") || ext == QLatin1String(".DIB"))
        ok = ReadBmpFileDib(path, bits, false, dib);
    else if (ext == QLatin1String(".PNG"))
        ok = ReadPngFileDib(path, bits, false, dib);
    else if (ext == QLatin1String(".GIF"))
        ok = ReadGifFileDib(path, bits, false, dib);
    else if (ext == QLatin1String(".PCX"))
        ok = ReadPcxFileDib(path, bits, false, dib);
    else if (ext == QLatin1String(".JPG"))
        ok = ReadJpgFileDib(path, bits, false, dib);
    else if (ext == QLatin1String(".TIF"))
        ok = ReadTiffFileDib(path, bits, false, 0, dib);
    else if (ext == QLatin1String(".PCD"))
        ok = ReadPcdFileDib(path, bits, false, pcd_BASE, dib);
    else if (ext == QLatin1String(".TGA"))
        ok = ReadTgaFileDib(path, bits, false, dib);
    if (!ok) {
        FreeDIB(dib);
        return nullptr;
    }
    return dib;
}

void PastePage::LoadFile(const QString& path)
{
    if (Started)
        Started();
    SetPicture(nullptr);
    const int bits = DeviceDepth();
    runner_.start([path, bits](const EffectRunner::Context&) {
        EffectOutcome outcome;
        outcome.result = DecodeFile(path, bits);
        return outcome;
    });
}

void PastePage::SetPolling(bool on)
{
    if (on) {
        PollClipboard();
        poll_->start();
    } else {
        poll_->stop();
    }
}

void PastePage::PollClipboard()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    clipboard_->setEnabled(data && (data->hasImage() || data->hasFormat(QStringLiteral("image/bmp"))));
}

void PastePage::PasteFromClipboard()
{
    const QImage image = QApplication::clipboard()->image();
    if (image.isNull())
        return;
    const TBitmap bitmap(image.convertToFormat(QImage::Format_RGB888), pf24bit);
    SetPicture(GraphicToDIB(&bitmap));
}
