#pragma once

#include <QString>

struct Th;

// The colour-depth text under a miniature ("256", "24Bit", "16 K", "Mono").
QString DepthText(const Th& item);
