// The system headers of the window binding: <windows.h> through the platform's one
// gateway, and the common controls.
#pragma once

#include "windows_support.h"

#include <commctrl.h>
#include <shobjidl.h>
