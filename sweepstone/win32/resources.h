// Resource identifiers of sweepstone.exe.
#pragma once

#define IDI_SWEEPSTONE 1
#define IDR_BACKGROUND 101
