#pragma once
// The effects binding's life in a program: the help page is fixed when the
// program starts, and at its end the effects module is unloaded, the undo
// ring emptied and the help page cleared. Each program's main() holds one
// for as long as its windows live.

class EffectsSession {
public:
    EffectsSession();
    ~EffectsSession();
    EffectsSession(const EffectsSession&) = delete;
    EffectsSession& operator=(const EffectsSession&) = delete;
};
