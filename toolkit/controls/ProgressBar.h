// ProgressBar: A horizontal or vertical bar showing a value between a minimum and a maximum.
#pragma once

#include "toolkit/controls/Control.h"

class ProgressBar : public Control {};
