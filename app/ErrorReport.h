// The one way errors reach the user.
//
// Every part of the program reports through ReportError with a kind, a
// sub-code, whether a transfer is running, and the name of the picture or file
// concerned; the answer steers what the caller does next. Outside a transfer
// every report is a plain message box and the answer is Cancel.
#pragma once

#include <string>

enum ErrorKind : int {
    kErrorDestination = -999,  // destination question before a transfer; sub-code says which
    kErrorCamera = -998,       // camera driver failure; sub-code is the driver status
    kErrorOutputFile = -997,   // an output file could not be created or written
    kErrorMemory = -996,       // out of memory, or any unexpected exception
    kErrorFileAccess = -995,   // sub-code is the system error number
    kErrorSystem = -993,
};

enum ErrorAnswer : int {
    kAnswerCancel = -999,  // also "Start Over"
    kAnswerRetry = -998,   // also "Replace"
    kAnswerSkip = -997,
};

int ReportError(int kind, int subCode, bool inTransfer, const std::string& itemName);

// The process's handler for exceptions that escape into the window layer: an
// unexpected memory error outside a transfer.
void ReportUnexpectedException();
