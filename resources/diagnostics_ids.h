// Control ids of the log (IDD_LOG) and profiling (IDD_PROFILING) windows.
#pragma once
