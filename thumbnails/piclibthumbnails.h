#pragma once
// The thumbnail grid: one cell per picture (per page of a multi-page TIFF)
// with its miniature, name, size, depth and file size; selection, marking,
// thumbnail making through the codec, and the per-folder database.

#include "databaseindexreader.h"
#include "th.h"
#include "thumbnailmaker.h"
#include "thumbnailqueue.h"
#include "thumbnailhost.h"

#include "codec/binding/piclibtypes.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class DatabaseSave;
class QTimer;

class TPicLibThumbnails : public QAbstractScrollArea {
    Q_OBJECT
public:
    using TSelectThumbEvent = std::function<void(QObject* Sender, int ACol, int ARow, int CurrentSelectedItem,
                                                 const QString& Filename, int Page)>;
    using ThOnThumbClick = std::function<void(int aRow, int aCol, int Index, const QString& Filename, int Page)>;
    using CompareFunction = std::function<int(const Th&, const Th&)>;

    explicit TPicLibThumbnails(QWidget* parent = nullptr);
    ~TPicLibThumbnails() override;

    // ---- the grid of cells
    int ColCount() const { return colCount_; }
    void setColCount(int n);
    int RowCount() const { return rowCount_; }
    void setRowCount(int n);
    int DefaultColWidth() const { return colWidth_; }
    void setDefaultColWidth(int w);
    int DefaultRowHeight() const { return rowHeight_; }
    void setDefaultRowHeight(int h);
    int GridLineWidth() const { return gridLineWidth_; }
    void setGridLineWidth(int w);
    int TopRow() const { return topRow_; }
    void setTopRow(int row);
    int VisibleRowCount() const;
    int Col() const { return col_; }
    int Row() const { return row_; }
    QColor Color() const { return color_; }
    void setColor(const QColor& c);
    QRect CellRect(int col, int row) const;
    // -1 for a point outside the cells.
    void MouseToCell(int x, int y, int& row, int& col) const;

    // ---- published properties
    int ThumbnailWidth() const { return thumbWidth_; }
    void setThumbnailWidth(int w);
    int ThumbnailHeight() const { return thumbHeight_; }
    void setThumbnailHeight(int h);
    bool ShowImageName() const { return showImageName_; }
    void setShowImageName(bool on);
    QColor ColorSelected = QColor(255, 0, 0);
    QColor ColorUnSelected = QColor(192, 192, 192);
    QColor ColorChecked = QColor(0, 128, 128);
    QColor ColorUnChecked = QColor(192, 192, 192);
    QColor FontColor = QColor(0, 0, 0);
    int CurrentSelected = -1;
    int Count() const { return count_; }
    bool AntiAliasedColorThumbNail = false;
    QString Filename() const { return filename_; }
    int Page() const { return page_; }
    TPicLibTypes Filter = {img_jpg, img_jpeg, img_png, img_tif, img_tiff, img_gif, img_tga, img_pcx, img_bmp, img_dib};
    TSelectThumbEvent OnSelectThumb;
    ThOnThumbClick OnThumbClick;
    ThOnThumbClick OnThumbDblClick;
    // The control's own key and mouse events, seen before the grid acts;
    // answer true to consume the key.
    std::function<bool(QKeyEvent*)> OnKeyDown;
    std::function<void(QMouseEvent*)> OnMouseUp;
    std::function<void(const QPoint&)> OnMouseMove;

    // ---- state set by the host
    int FrameWidth = 3;
    QColor FillColor = QColor(255, 255, 255);
    std::atomic<bool> CancelRequested{false};
    std::atomic<bool> Busy{false};
    bool Resizing = false;
    ThumbnailHost host;
    QString BrowsedFolder;

    // ---- items
    int itemCount() const { return int(items_.size()); }
    const Th& item(int index) const { return *items_[size_t(index)]; }
    // The item's miniature, read from the database file it was loaded from
    // if need be (item(i).Bitmap may be empty for those).
    const TBitmap& Miniature(int index);
    // Sorts the items with compare (not stable); the selection stays on its item.
    void sortItems(const CompareFunction& compare);

    int LoadFolder(const QString& path);
    void AddFile(const QString& path);
    void AddStream(const QByteArray& stream, const QString& name);
    void SetChecked(int index, bool value);
    bool GetChecked(int index) const;
    int IndexOfFile(const QString& name, int page);
    int SelectIndex(int index);
    void SetCheckedByName(const QString& name, bool value);
    bool BrowseFolder(QString& path);
    void DeleteItem(int index);
    void ReplaceFile(const QString& path);
    void Clear();
    void ScrollIntoView(int index);
    // Writes the database on the calling thread.
    bool SaveDatabase(const QString& fileName);
    // Writes it on a thread of the grid's own; done runs on the grid's
    // thread when the save has ended. False: nothing to write (done is not
    // called). Busy while it runs; CancelRequested stops it.
    bool SaveDatabaseInBackground(const QString& fileName, std::function<void()> done = {});
    // A save has begun and not ended (on any thread).
    bool Saving() const { return saving_; }
    void WaitForSave();
    // A save in steps: the entries taken on the grid's thread (null: nothing
    // to write), DatabaseSave::write on any thread, the end on the grid's.
    std::shared_ptr<DatabaseSave> BeginSave(const QString& fileName);
    void EndSave(const DatabaseSave& save);
    void readStoredFromTheSavedFile(const DatabaseSave& save);
    // Sets the host's progress from any thread.
    std::function<void(int)> progressReporter();

    // ---- filling from workers: placeholders first, miniatures as they come
    void RemoveItems(const std::function<bool(const Th&)>& drop);
    void AddPlaceholders(std::vector<std::unique_ptr<Th>> placeholders);
    // Takes finished miniatures from the queue in batches until EndMaking.
    void BeginMaking(std::shared_ptr<ThumbnailQueue> queue);
    // Takes what is finished: placeholders become their items or go.
    // Answers the number of files finished.
    int TakeMade();
    // Takes the rest; placeholders still waiting go. Answers the items made
    // since BeginMaking.
    int EndMaking();
    // Files finished since BeginMaking (taken into the grid).
    int FinishedFiles() const { return finishedFiles_; }
    // False when CancelRequested stopped the load.
    bool LoadDatabase(const QString& fileName);
    // A load in steps: the grid cleared (null: nothing to load), the index
    // read on any thread and handed over in batches, the end.
    std::unique_ptr<DatabaseIndexReader> BeginLoad(const QString& fileName);
    void TakeLoaded(std::vector<std::unique_ptr<Th>> items);
    bool EndLoad(const DatabaseIndexReader& reader, DatabaseIndexReader::State state);
    // Entries handed to the grid at a time while a database loads.
    std::atomic<int> LoadBatch{256};
    // The database file whose load was cut short (cancelled or a read
    // error): it holds entries the grid lacks, so it is not written over.
    QString InterruptedDatabase() const { return interruptedLoad_; }

    // The miniature of source at w x h, centred on a FillColor cell of the
    // thumbnail size; empty for an empty source.
    TBitmap MakeThumbnail(int w, int h, const TBitmap& source) const;
    // scale: a JPEG may be decoded at 1/2, 1/4 or 1/8 of its size.
    TBitmap DecodeFile(const QString& path, const QString& type, int page, int scale = 1) const;
    TBitmap DecodeStream(const QByteArray& stream, const QString& type, int page, int scale = 1) const;
    // The largest JPEG scale that still leaves twice the miniature's size.
    int jpegScaleFor(int width, int height) const;
    // What a worker needs to make miniatures as this grid would.
    ThumbnailMaker::Settings makerSettings() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void drawCell(QPainter& p, int col, int row, const QRect& rect);
    void selectCell(int col, int row);
    void selectItem(int index);
    void preferVisible();
    void ensureMiniature(Th& item);
    void releaseStoredMiniatures();
    void sortIfSorted();
    void followSelectedItem(const Th* selectedItem);
    void moveCurrentCell(int col, int row);
    void updateScrollBar();
    void recomputeRows();
    void layoutColumns();
    void appendItem(std::unique_ptr<Th> item);
    void afterItemAdded();
    void processEvents() const;
    void setHostProgress(int position);
    void advanceHostProgress(int steps);
    void setCommandsWhileFilling(bool filling);
    void clickAt(const QPoint& pos, bool doubleClick);
    ThumbnailMaker maker() const;
    void recordDatabase(const QString& fileName);
    void finishLoad();
    void markInSync(const QString& fileName, quint64 generation);
    bool inSyncWith(const QString& fileName) const;
    QString shortenedName(const QString& name, int maxWidth, const QFontMetrics& fm) const;

    std::vector<std::unique_ptr<Th>> items_;
    int colCount_ = 2, rowCount_ = 2;
    int colWidth_ = 108, rowHeight_ = 130;
    int gridLineWidth_ = 1;
    int topRow_ = 0;
    int col_ = 0, row_ = 0;
    QColor color_ = QColor(255, 255, 255);
    int thumbWidth_ = 100, thumbHeight_ = 100;
    bool showImageName_ = true;
    int count_ = -1;
    QString filename_;
    int page_ = -1;
    QPoint lastMouse_;
    // Changes of the item list, and the database file that last matched it.
    quint64 generation_ = 0;
    QString interruptedLoad_;
    std::shared_ptr<ThumbnailQueue> making_;
    QTimer* takeTimer_ = nullptr;
    int madeItems_ = 0;
    static constexpr int kStoredHeld = 400;
    int storedInMemory_ = 0;
    int finishedFiles_ = 0;
    std::atomic<bool> saving_{false};
    std::thread saver_;
    struct {
        QString file;
        qint64 size = -1;
        QDateTime modified;
        quint64 generation = 0;
    } sync_;
};
