// Resource ids of the module's dialog templates and controls.
#pragma once

#define IDD_PROGRESS 2001
#define IDD_DUMMY 2003

// Progress window (IDD_PROGRESS)
#define IDC_PROGRESS_BAR 2002
#define IDC_PROGRESS_PERCENT 2003
#define IDC_PROGRESS_MESSAGE 2004
