#pragma once
// Resource ids of Pontara.exe, shared by Pontara.rc and the program entry.

#define PONTARA_ICON 1
