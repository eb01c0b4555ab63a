#include "app/platform/Downloader.h"

void ReleaseDownloadTask(DownloadTask task) {
    if (!task) return;
}
