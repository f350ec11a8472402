#include "effectsdialog.h"

#include "effectform.h"

#include "codec/binding/dibconvert.h"
#include "dibcore/dibcore.h"

bool RunEffectsDialog(QWidget* parent, GlobalHandle& master)
{
    TEffectForm form(parent);
    form.MasterDib = master ? dibcore::copyBlock(master) : nullptr;
    if (form.exec() != QDialog::Accepted)
        return false;
    const GlobalHandle result = form.TakeMaster();
    if (!result)
        return false;
    FreeDIB(master);
    master = result;
    return true;
}
