// Resource ids of the module's dialog templates and controls.
#pragma once

#define IDD_PROFILING 2000
#define IDD_PROGRESS 2001
#define IDD_LOG 2002
#define IDD_DUMMY 2003
#define IDD_SETUP 2005
#define IDB_LOG_ICONS 2006
#define IDD_CAPTEURS 2007
#define IDD_SLAVES 2008

// Progress window (IDD_PROGRESS)
#define IDC_PROGRESS_BAR 2002
#define IDC_PROGRESS_PERCENT 2003
#define IDC_PROGRESS_MESSAGE 2004

// Each subsystem's own control ids.
#include "setup_ids.h"
#include "monitor_ids.h"
#include "diagnostics_ids.h"
