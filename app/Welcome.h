// The welcome screen, at start-up or as the About box.
#pragma once

// Runs the welcome screen (start-up mode, or About mode when `startupMode` is
// false) with its "Display on Startup" check set to `displayOnStartup`, and
// returns the check's final value.
int RunWelcomeScreen(bool startupMode, int displayOnStartup);
