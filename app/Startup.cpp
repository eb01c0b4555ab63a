#include "app/Startup.h"

#include <cstdlib>

#include "app/Globals.h"
#include "app/MainWindow.h"
#include "app/platform/SafeLibraries.h"
#include "toolkit/host/Toolkit.h"

namespace {

// The program icon is resource 1, in 48, 32 and 16 pixel images.
constexpr int ProgramIconId = 1;

HICON LoadProgramIcon(int size) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                         MAKEINTRESOURCEW(ProgramIconId), IMAGE_ICON, size, size,
                                         LR_DEFAULTCOLOR));
}

}  // namespace

int RunFontiva() {
    RestrictLibrarySearch();
    ConstructGlobals();
    std::atexit(ReleaseGlobals);
    StartToolkit();

    MainWindow.SetIcon(LoadProgramIcon(GetSystemMetrics(SM_CXICON)),
                       LoadProgramIcon(GetSystemMetrics(SM_CXSMICON)));
    MainWindow.SetOnCreated(OnMainCreated);
    MainWindow.SetOnFirstActivated(OnMainFirstActivated);
    MainWindow.Load();
    return RunMessageLoop();
}
