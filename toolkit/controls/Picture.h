// Picture: A picture or animated GIF drawn from encoded bytes or an icon.
#pragma once

#include "toolkit/controls/Control.h"

class Picture : public Control {};
