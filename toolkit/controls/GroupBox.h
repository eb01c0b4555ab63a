// GroupBox: A frame with an optional caption that groups other controls.
#pragma once

#include "toolkit/controls/Control.h"

class GroupBox : public Control {};
