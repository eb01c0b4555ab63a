// LinkLabel: a Label that underlines on hover and opens its address.
#pragma once

#include "toolkit/controls/Label.h"

class LinkLabel : public Label {};
