#pragma once
// The thumbnail grid as the source of a slide show.

#include "slidesequence.h"

class TPicLibThumbnails;

SlideItems GridSlideItems(TPicLibThumbnails* grid);
