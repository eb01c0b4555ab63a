// Button: a TextControl drawn with the shared nine-slice button skin and a
// focus light that travels around its border.
#pragma once

#include "toolkit/controls/TextControl.h"

class Button : public TextControl {};
