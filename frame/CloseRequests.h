// The close requests that windows hold back while a launcher routine runs (a close asked for
// in the middle of an apply waits for its end). Windows only.
#pragma once

// Called once no launcher routine is running any more: every window that held back a close
// request gets it again.
void releaseHeldCloseRequests();
