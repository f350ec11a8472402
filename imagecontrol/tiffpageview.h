#pragma once
// One page of a TIFF file shown fitted and centred, scaled smoothly (two-level
// pages become anti-aliased grey), with first, prior, next and last page.

#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <functional>

class TiffPageView : public QWidget {
    Q_OBJECT
public:
    explicit TiffPageView(QWidget* parent = nullptr);

    // Load progress 0..100; true asks the load to stop.
    std::function<bool(int percent)> OnProgress;
    // The page shown (from 0) and the file's page count.
    std::function<void(int page, int count)> OnPageShown;

    // Shows page `page` (from 0) of a file of `count` pages; false when it
    // does not decode (the view is then empty).
    bool LoadPage(const QString& file, int page, int count);
    void Clear();

    void FirstPage();
    void PriorPage();
    void NextPage();
    void LastPage();

    QString FileName() const { return file_; }
    int Page() const { return page_; }
    int PageCount() const { return count_; }
    bool Busy() const { return busy_; }
    // The decoded page at its own size.
    const QImage& PageImage() const { return image_; }
    // The page as painted: fitted into the view.
    QRect PageRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    static int codecProgress(int percent, void* sender);
    void showPage(int page);
    void rescale();

    QString file_;
    int page_ = 0;
    int count_ = 0;
    bool busy_ = false;
    QImage image_;
    QPixmap scaled_;
};
