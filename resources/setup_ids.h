// Control ids of the setup editor (IDD_SETUP).
#pragma once
