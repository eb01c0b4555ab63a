// MainWindow: the window the user works in.
#pragma once

#include "app/platform/Form.h"

extern Form MainWindow;

// Timer identifiers of MainWindow's design-time timers.
constexpr UINT StatusTimerId = 1;

void OnMainCreated();
void OnMainFirstActivated();
