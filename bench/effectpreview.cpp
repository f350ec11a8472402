// bench_effects --preview: the preview latency of every page of the effects
// dialog on the 12-megapixel picture: from a changed value to the picture to show, as the dialog's
// worker makes it (a copy of the preview picture, the page's call on the
// selection, the result turned into an image). The preview picture is the
// master reduced to a preview control of 405 x 440. "Maschen" previews on
// the master; "Warp" draws frame by frame: both are measured, and marked.

#include "codec/binding/dibconvert.h"
#include "codec/binding/tbitmap.h"
#include "dibcore/dibcore.h"
#include "effects/dialog/effectpages.h"
#include "effects/effectcalls.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

double previewMs(const PageSpec& page, GlobalHandle master, GlobalHandle snapshot)
{
    QElapsedTimer timer;
    timer.start();
    EffectRequest r;
    r.source = dibcore::copyBlock(page.masterSource ? master : snapshot);
    r.values = effectpages::startValues(page);
    // values that make every page do visible work
    for (auto& [key, v] : r.values.sliders)
        if (v == 0)
            v = 5;
    r.right = 0, r.bottom = 0;
    GlobalHandle result = page.run(r);
    if (r.source != result)
        FreeDIB(r.source);
    TBitmap shown;
    if (result)
        DIBToGraphic(result, shown);
    FreeDIB(result);
    return double(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int previewLatency(GlobalHandle master)
{
    QElapsedTimer timer;
    timer.start();
    GlobalHandle snapshot = ScaleDib(master, 405, 440, 24);
    std::printf("preview picture from the master: %.1f ms\n", double(timer.nsecsElapsed()) / 1e6);
    int over = 0;
    for (const PageSpec& page : effectpages::pages()) {
        if (!page.run)
            continue;
        double best = 1e9;
        for (int i = 0; i < 3; ++i)
            best = std::min(best, previewMs(page, master, snapshot));
        const bool exempt = page.masterSource || page.caption == QLatin1String("Warp");
        if (!exempt && best >= 150)
            ++over;
        std::printf("%s %8.1f ms%s\n", page.caption.leftJustified(24).toUtf8().constData(), best,
                    exempt ? "  (exempt)" : best < 150 ? "" : "  OVER 150 ms");
    }
    std::printf("pages over 150 ms: %d\n", over);
    FreeDIB(snapshot);
    return 0;
}
