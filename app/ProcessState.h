// Everything the window thread and the worker thread share, in one place.
//
// The worker never touches a window: it posts the messages below to
// ProgressWindow and reads and writes the transfer control flags. Each flag
// is written by one side and read by the other; they are atomic so that the
// two hand-offs that wait on them (thumbnail taken, image block written) see
// each other's writes.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "winui/Thread.h"

// Messages from the worker to the progress window, in the order of their
// numbers. WM_USER .. WM_USER+2 are the dialog manager's own messages, so the
// numbering starts from WM_APP.
enum WorkerMessage : UINT {
    WM_WORKER_PICTURE_STARTED = WM_APP + 1,  // wParam: picture index from 0
    WM_WORKER_THUMBNAIL = WM_APP + 2,        // lParam: the worker's camera context
    WM_WORKER_COMPLETED = WM_APP + 3,        // the transfer ran and ended
    WM_WORKER_PROGRESS = WM_APP + 4,         // wParam: percent of the current picture
    WM_WORKER_IMAGE_BLOCK = WM_APP + 5,      // wParam: byte count, lParam: the block
    WM_WORKER_PREFLIGHT = WM_APP + 6,        // the destination check has started
    WM_WORKER_BACK_TO_MAIN = WM_APP + 7,     // gave up before the first picture: choose again
    WM_WORKER_MINIMIZE = WM_APP + 10,        // show the progress window minimised
    WM_WORKER_DELETING = WM_APP + 11,        // the source pictures are being deleted
};

struct TransferControl {
    std::atomic<std::int32_t> StopRequested{0};    // Stop was pressed
    std::atomic<std::int32_t> PauseRequested{0};   // the worker is to suspend itself at its next check
    std::atomic<std::int32_t> TransferFinished{0}; // ended; the completion notice is pending
    std::atomic<std::int32_t> ErrorCount{0};       // errors met in this transfer
    std::atomic<std::int32_t> ThumbnailTaken{0};   // the window has taken the posted thumbnail
    std::atomic<std::int32_t> ImageWritten{0};     // the window has written the posted block
    std::atomic<std::int32_t> WriteFailed{0};      // a writer failed on a block
    std::atomic<std::int32_t> ShowThumbnails{1};   // fetch and show a thumbnail per picture
};

inline TransferControl TransferState;

// The progress window: target of every worker message.
inline std::atomic<HWND> ProgressWindow{nullptr};
// The running (or last) worker; Pause and Stop suspend and resume it.
inline winui::Thread WorkerThread;
// The main dialog's source state, kept across its runs.
inline std::int32_t SourceState = 0;
