// OrvikRegister: run by the installer after the files are in place. Installs the
// printer queue and registers the add-in; reads no arguments, always exits with 0.
#include "platform/InstallationFolder.h"
#include "setup/register/RegisterTool.h"

int main()
{
    CRegisterTool tool(InstallationFolder());
    return tool.Run();
}
