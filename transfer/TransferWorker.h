// The transfer worker: runs one transfer job on its own thread.
#pragma once

// Thread routine; `settings` is the TransferSettings record of the job. It
// reports to the progress window only through the worker messages and the
// transfer control flags.
unsigned TransferWorker(void* settings);
