// Control ids of the sensors (IDD_CAPTEURS) and slaves (IDD_SLAVES) windows.
#pragma once
