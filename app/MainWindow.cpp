#include "app/MainWindow.h"

Form MainWindow(L"Fontiva", 50, 50, 580, 474);

void OnMainCreated() {}

void OnMainFirstActivated() {}
