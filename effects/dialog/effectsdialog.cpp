#include "effectsdialog.h"

#include "effectform.h"

#include "codec/binding/dibconvert.h"
#include "dibcore/dibcore.h"

namespace {

std::function<int(TEffectForm& form)>& runner()
{
    static std::function<int(TEffectForm& form)> run;
    return run;
}

}  // namespace

void SetEffectsDialogRunner(std::function<int(TEffectForm& form)> run)
{
    runner() = std::move(run);
}

bool RunEffectsDialog(QWidget* parent, GlobalHandle& master)
{
    TEffectForm form(parent);
    form.MasterDib = master ? dibcore::copyBlock(master) : nullptr;
    const int ended = runner() ? runner()(form) : form.exec();
    if (ended != QDialog::Accepted)
        return false;
    const GlobalHandle result = form.TakeMaster();
    if (!result)
        return false;
    FreeDIB(master);
    master = result;
    return true;
}
