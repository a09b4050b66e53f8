// Control ids of the log (IDD_LOG) and profiling (IDD_PROFILING) windows.
#pragma once

// Log window (IDD_LOG)
#define IDC_LOG_LIST 2000

// Client profiling window (IDD_PROFILING)
#define IDC_PROFILING_LIST 2000
#define IDC_PROFILING_FRAMERATE 2005
