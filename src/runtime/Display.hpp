#pragma once

/// Tells whether the X display named by displayName (the value of DISPLAY; null or empty
/// when unset) can be reached. A display on this machine (":0", "unix:1.0") is probed by
/// connecting to its server's socket; a display on another host ("host:10.0") is taken on
/// trust, since a probe over the network could hang for minutes. Never fails loudly.
bool displayReachable(const char* displayName);

/// What the demo writes when it has no display, as one line.
extern const char* const noDisplayMessage;

/// Checks for a display when it is constructed: when DISPLAY names none that can be
/// reached, writes message as one line on standard error and ends the process with
/// exitStatus. SFML aborts the process when the first texture, render texture or shader
/// is constructed without a display, and the program-wide ones are static objects, so an
/// entry point defines one guard with the earliest initialisation priority.
class DisplayGuard
{
public:
    DisplayGuard(const char* message, int exitStatus);
};
