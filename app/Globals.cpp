#include "app/Globals.h"

#include <atomic>
#include <cstdlib>

std::string GameFolder;
std::vector<std::string> UpdateFields;
Global<LinkLabel> FeedbackLink;
Global<HostWindow> MainHost;
Global<Picture> PreviewPicture;
std::vector<std::string> FontNames;
Global<OneBased<Button, 8>> FontButtons;
std::vector<std::vector<unsigned char>> PreviewImages;
Global<OneBased<GroupBox, 5>> Frames;
Global<Button> ModifyButton;
Global<OneBased<Label, 10>> MainLabels;
int32_t SelectedFont = 0;
std::vector<std::string> FontSizes;
Global<DownloadState> DownloadRecord;
Global<OneBased<Label, 5>> InfoLabels;
std::vector<std::string> InfoCaptions;
Global<ProgressBar> DownloadProgress;
Global<Label> ProgressText;
Global<HostWindow> DownloadHost;
Global<LinkLabel> DownloadFeedbackLink;
Global<Picture> LoadingPanel;
Global<Picture> LoadingSpinner;
Global<HostWindow> SplashHost;
Global<Picture> SplashSpinner;

namespace {

std::atomic<bool> released{false};
int releaseRuns = 0;

template <class T>
void FreeText(T& text) {
    T().swap(text);
}

}  // namespace

const std::string& TextAt(const std::vector<std::string>& texts, size_t n) {
    static const std::string empty;
    return n >= 1 && n <= texts.size() ? texts[n - 1] : empty;
}

void ConstructGlobals() {
    GameFolder.clear();
    UpdateFields.clear();
    FeedbackLink.Construct();
    MainHost.Construct();
    PreviewPicture.Construct();
    FontNames.clear();
    FontButtons.Construct();
    PreviewImages.clear();
    Frames.Construct();
    ModifyButton.Construct();
    MainLabels.Construct();
    SelectedFont = 0;
    FontSizes.assign(8, std::string());
    DownloadRecord.Construct();
    InfoLabels.Construct();
    InfoCaptions.assign(5, std::string());
    DownloadProgress.Construct();
    ProgressText.Construct();
    DownloadHost.Construct();
    DownloadFeedbackLink.Construct();
    LoadingPanel.Construct();
    LoadingSpinner.Construct();
    SplashHost.Construct();
    SplashSpinner.Construct();
    released = false;
}

void ReleaseGlobals() {
    if (released.exchange(true)) return;
    ++releaseRuns;
    FreeText(GameFolder);
    FreeText(UpdateFields);
    FeedbackLink.Release();
    MainHost.Release();
    PreviewPicture.Release();
    FreeText(FontNames);
    FontButtons.Release();
    FreeText(PreviewImages);
    Frames.Release();
    ModifyButton.Release();
    MainLabels.Release();
    FreeText(FontSizes);
    DownloadRecord.Release();
    InfoLabels.Release();
    FreeText(InfoCaptions);
    DownloadProgress.Release();
    ProgressText.Release();
    DownloadHost.Release();
    DownloadFeedbackLink.Release();
    LoadingPanel.Release();
    LoadingSpinner.Release();
    SplashHost.Release();
    SplashSpinner.Release();
}

int ReleaseGlobalsRuns() { return releaseRuns; }

void EndProgram() {
    ReleaseGlobals();
    std::exit(0);
}
