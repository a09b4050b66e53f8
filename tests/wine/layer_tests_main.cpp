// The layer and the module's code linked into this program: the program plays the DLL's part,
// with its own instance as the module's and the module's templates in its resources.
#include <gtest/gtest.h>

#include "mfc/WinApp.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (!AfxDllProcessAttach(GetModuleHandleA(nullptr)))
        return 1;
    const int result = RUN_ALL_TESTS();
    AfxDllProcessDetach(false);
    return result;
}
