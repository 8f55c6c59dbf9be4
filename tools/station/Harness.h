#pragma once
// The end-to-end harness in one include: start Pontara.exe and the stand-in programs, wait
// while dispatching messages, look at windows from outside, answer message boxes, take
// screenshots.

#include "station/ChildProcess.h"
#include "station/MessageBoxes.h"
#include "station/Paths.h"
#include "station/Pump.h"
#include "station/Screenshot.h"
#include "station/WindowQueries.h"
