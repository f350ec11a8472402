#include "gridslideitems.h"

#include "thumbnails/piclibthumbnails.h"

#include <QPointer>

SlideItems GridSlideItems(TPicLibThumbnails* grid)
{
    // the grid may go before the show does
    const QPointer<TPicLibThumbnails> g(grid);
    SlideItems items;
    items.count = [g] { return g ? g->itemCount() : 0; };
    items.fileName = [g](int i) { return g && i >= 0 && i < g->itemCount() ? g->item(i).FileName : QString(); };
    items.page = [g](int i) { return g && i >= 0 && i < g->itemCount() ? g->item(i).PageIndex : 0; };
    items.checked = [g](int i) { return g && i >= 0 && i < g->itemCount() && g->GetChecked(i); };
    return items;
}
