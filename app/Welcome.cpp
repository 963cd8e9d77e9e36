#include "app/Welcome.h"

// The welcome screen is not built yet: nothing is shown, and the check keeps
// the value it was given.
int RunWelcomeScreen(bool /*startupMode*/, int displayOnStartup) { return displayOnStartup; }
