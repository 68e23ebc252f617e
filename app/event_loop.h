// The event loop: the only place where events are taken and dispatched.
#pragma once

// Runs until `app.quitRequested` is 1 at the end of a turn.
void RunEventLoop();
// Acts on one event as the loop's tables say.
void DispatchEvent(int code, int item);
