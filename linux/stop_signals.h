// SIGTERM and SIGINT, the way both of the Linux program's hosts end on them: the run loop stops
// after the frame in hand, and a wait for events that began just before the signal still ends at
// once, through a pipe the signal writes to.
#pragma once

// Makes SIGTERM and SIGINT end the run loop after the frame in hand, instead of ending the
// process at once.
void stopOnSignals();

// Whether a stop signal has come.
bool stopRequested();

// The read end of the pipe a stop signal writes to, for a wait to watch beside its own events;
// -1 when no pipe could be made (a stop then still ends a wait that a signal interrupts).
int stopSignalDescriptor();
