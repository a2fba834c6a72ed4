#pragma once
// Real input for the windows of a test: xdotool, a Unix program started
// through Wine's ability to run one, sends keys, moves and clicks through
// the X server of the session, as a user would.

#include <string>

// Running under Wine, with xdotool installed.
bool CanSendXInput();
// Starts `xdotool <arguments>` on the session's display. Wine hands back no
// handle for a Unix program, so callers wait for the effect instead of the
// process. False when it could not be started.
bool SendX(const std::string& arguments);
