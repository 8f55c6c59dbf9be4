#pragma once
// The end-to-end harness in one include: start Pontara.exe and the stand-in programs, wait
// while dispatching messages, look at windows from outside, answer message boxes, take
// screenshots.

#include "harness/ChildProcess.h"
#include "harness/MessageBoxes.h"
#include "harness/Paths.h"
#include "harness/Pump.h"
#include "harness/Screenshot.h"
#include "harness/WindowQueries.h"
