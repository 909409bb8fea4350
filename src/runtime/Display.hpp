#pragma once

/// Tells whether the X display named by displayName (the value of DISPLAY; null or empty
/// when unset) can be reached. A display on this machine (":0", "unix:1.0") is probed by
/// connecting to its server's socket; a display on another host ("host:10.0") is taken on
/// trust, since a probe over the network could hang for minutes. Never fails loudly.
bool displayReachable(const char* displayName);

/// What the demo writes when it has no display, as one line.
extern const char* const noDisplayMessage;

/// Checks for a display: when DISPLAY names none that can be reached, writes message as one
/// line on standard error and returns false. SFML aborts the process when the first texture,
/// render texture or shader is constructed without a display, so a program calls this before
/// it builds its resources, and ends with its own status when it fails.
bool checkDisplay(const char* message);
