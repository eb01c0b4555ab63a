// TextControl: a clickable text with per-state looks, an optional icon and
// an Alt-key mnemonic; the base of Button.
#pragma once

#include "toolkit/controls/Control.h"

class TextControl : public Control {};
