// The application's state: process-wide globals, constructed empty in this
// order at start-up and released once, in the same order, when the process
// ends (ReleaseGlobals). Control objects only become visible controls when
// a window's created handler calls their Create. Arrays are 1-based, as the
// catalogue's entry numbers are.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/platform/Downloader.h"
#include "toolkit/controls/Button.h"
#include "toolkit/controls/GroupBox.h"
#include "toolkit/controls/Label.h"
#include "toolkit/controls/LinkLabel.h"
#include "toolkit/controls/Picture.h"
#include "toolkit/controls/ProgressBar.h"
#include "toolkit/host/HostWindow.h"

// A global object that exists between ConstructGlobals and ReleaseGlobals.
template <class T>
class Global {
public:
    void Construct() { object = std::make_unique<T>(); }
    void Release() { object.reset(); }
    T* operator->() const { return object.get(); }
    T& operator*() const { return *object; }
    explicit operator bool() const { return object != nullptr; }
    template <class Index>
    auto& operator[](Index n) const { return (*object)[n]; }

private:
    std::unique_ptr<T> object;
};

// A fixed array indexed from 1 to N.
template <class T, size_t N>
class OneBased {
public:
    static constexpr size_t Count = N;
    T& operator[](size_t n) { return items[n - 1]; }
    const T& operator[](size_t n) const { return items[n - 1]; }
    static bool Contains(size_t n) { return n >= 1 && n <= N; }

private:
    std::array<T, N> items{};
};

// The text at 1-based position n, or an empty text when there is none.
const std::string& TextAt(const std::vector<std::string>& texts, size_t n);

struct DownloadState {
    int32_t total = 0;
    int32_t done = 0;
    DownloadSettings settings;
    DownloadTask task = 0;
    ~DownloadState() { ReleaseDownloadTask(task); }
};

extern std::string GameFolder;
extern std::vector<std::string> UpdateFields;
extern Global<LinkLabel> FeedbackLink;
extern Global<HostWindow> MainHost;
extern Global<Picture> PreviewPicture;
extern std::vector<std::string> FontNames;
extern Global<OneBased<Button, 8>> FontButtons;
extern std::vector<std::vector<unsigned char>> PreviewImages;
extern Global<OneBased<GroupBox, 5>> Frames;
extern Global<Button> ModifyButton;
extern Global<OneBased<Label, 10>> MainLabels;
extern int32_t SelectedFont;
extern std::vector<std::string> FontSizes;
extern Global<DownloadState> DownloadRecord;
extern Global<OneBased<Label, 5>> InfoLabels;
extern std::vector<std::string> InfoCaptions;
extern Global<ProgressBar> DownloadProgress;
extern Global<Label> ProgressText;
extern Global<HostWindow> DownloadHost;
extern Global<LinkLabel> DownloadFeedbackLink;
extern Global<Picture> LoadingPanel;
extern Global<Picture> LoadingSpinner;
extern Global<HostWindow> SplashHost;
extern Global<Picture> SplashSpinner;

// Constructs every global, empty, in declaration order.
void ConstructGlobals();

// Releases every global in declaration order; runs once however often it
// is called, so the exit routine and an explicit end can both call it.
void ReleaseGlobals();

// How often ReleaseGlobals has done its work in this process (0 or 1).
int ReleaseGlobalsRuns();

// Ends the program with exit code 0 after releasing the globals.
[[noreturn]] void EndProgram();
