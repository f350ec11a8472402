#include "effectssession.h"

#include "effectsstate.h"

EffectsSession::EffectsSession()
{
    InitEffectsHelpFile();
}

EffectsSession::~EffectsSession()
{
    ShutdownEffects();
}
