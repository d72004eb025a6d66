// The add-in library's only entry points, as the set-up tools call them: 0 when
// done, else a failure code (0x80070005 without the rights to do it).
#include "setup/addin/CalcExtension.h"

#include <cstdint>

extern "C" __attribute__((visibility("default"))) int32_t DllRegisterServer(void)
{
    return static_cast<int32_t>(CCalcExtension(CCalcExtension::LibraryFolder()).Register());
}

extern "C" __attribute__((visibility("default"))) int32_t DllUnregisterServer(void)
{
    return static_cast<int32_t>(CCalcExtension(CCalcExtension::LibraryFolder()).Unregister());
}
