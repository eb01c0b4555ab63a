// The order in which the process comes up.
#pragma once

// Constructs the globals, registers the exit routine, starts the toolkit,
// loads MainWindow and runs the message loop; returns the exit code.
int RunFontiva();
