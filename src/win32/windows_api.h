// windows.h for the Windows face, without its MessageBox macro, which would rename the Ui
// port's function of that name.
#pragma once

#include <windows.h>
#undef MessageBox
