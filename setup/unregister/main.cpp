// OrvikUnregister: run by the uninstaller before the files are removed. Ends
// Excel processes after one warning, unregisters the add-in and deletes the
// printer queue; reads no arguments, always exits with 0.
#include "platform/InstallationFolder.h"
#include "setup/unregister/UnregisterTool.h"

int main()
{
    CUnregisterTool tool(InstallationFolder());
    return tool.Run();
}
