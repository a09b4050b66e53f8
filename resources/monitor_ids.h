// Control ids of the sensors (IDD_CAPTEURS) and slaves (IDD_SLAVES) windows.
#pragma once

// Sensors window
#define IDC_CAPTEURS_UPDATE 2027
#define IDC_CAPTEURS_FRAME 2028
#define IDC_MOUSE_SIMUL 2038

// Slaves window: box N is IDC_SLAVE_1 + N - 1
#define IDC_SLAVE_1 2039
#define IDC_SLAVE_2 2040
#define IDC_SLAVE_3 2041
#define IDC_SLAVE_4 2042
#define IDC_SLAVE_5 2043
#define IDC_SLAVE_6 2044
#define IDC_SLAVE_7 2045
