#pragma once
// The effect pages of the effects dialog as a table: caption, parameters
// with their ranges and start values, whether the page works on the
// selection, and the effect call its preview and apply make.

#include "effects/effecttypes.h"
#include "platform/globalmem.h"

#include <QRgb>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <vector>

// A slider with its field. Decimal sliders hold tenths; their fields show
// position / 10.
struct SliderSpec {
    QString key;
    QString label;
    int min = 0;
    int max = 100;
    int start = 0;
    bool decimal = false;
    QString fieldStart;   // the field's first text when it differs from the start
};

struct CheckSpec {
    QString key;
    QString label;
    bool checked = false;
};

// Radio buttons of one group; title empty for buttons without a frame.
struct RadioSpec {
    QString key;
    QString title;
    QStringList labels;
    int selected = 0;
    QStringList hints;    // for buttons without captions
};

// The values a page's controls hold when its effect runs.
struct PageValues {
    std::map<QString, int> sliders;
    std::map<QString, bool> checks;
    std::map<QString, int> radios;
    QRgb background = 0;
    QRgb foreground = 0;
    QRgb windowColour = 0;   // the dialog's own button-face colour
    QRgb redEyeColour = 0;

    int slider(const QString& key) const;
    bool check(const QString& key) const;
    int radio(const QString& key) const;
};

// One run of a page's effect. source belongs to the run: the call may
// change it, replace it or take it (leaving null); whatever it holds
// afterwards and is not the answer is freed by the caller.
struct EffectRequest {
    GlobalHandle source = nullptr;
    int left = 0, top = 0, right = 0, bottom = 0;
    PageValues values;
    void* owner = nullptr;
    EffectProgress progress = nullptr;
    WarpFrameCallback frame = nullptr;
};
using EffectRun = std::function<GlobalHandle(EffectRequest&)>;

struct PageSpec {
    QString caption;
    QString id;               // ASCII name part of the page's controls
    bool selection = false;   // shows and uses the selection
    bool masterSource = false;// its preview runs on the master
    QString text;
    QString helpTopic;        // the page's help button; empty: none
    bool helpButton = false;
    std::vector<SliderSpec> sliders;
    std::vector<CheckSpec> checks;
    std::vector<RadioSpec> radios;
    bool backgroundButton = false;
    bool foregroundButton = false;
    EffectRun run;            // null: no preview or apply of its own
};

namespace effectpages {

constexpr int kPageCount = 38;

const std::vector<PageSpec>& pages();
// The page with this caption; null for none.
const PageSpec* find(const QString& caption);
// The help topic of the page index (F1); empty for page 0 and unknown ones.
QString helpTopic(int index);
// The component name of a page control: "tb"/"ed" slider and field, "cb"
// check box, "rb" radio button (key + index).
QString componentName(const char* prefix, const PageSpec& page, const QString& key, int index = -1);

// The start values of a page's controls.
PageValues startValues(const PageSpec& page);

}  // namespace effectpages
