#pragma once

/// From this call on, SIGINT and SIGTERM no longer end the process: each is recorded, for a
/// long job (an export, a bench) to notice at its next check, stop, and remove what it left
/// half-written. Later signals of either kind change nothing: the first one is reported.
void catchInterrupts();

/// The signal that asked the process to stop since catchInterrupts, or 0.
int interruptSignal();

/// "SIGINT", "SIGTERM" or "signal <n>".
const char* interruptName(int signal);
