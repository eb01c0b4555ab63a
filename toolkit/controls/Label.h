// Label: A static text with font, colours, alignment, wrapping and text transitions.
#pragma once

#include "toolkit/controls/Control.h"

class Label : public Control {};
