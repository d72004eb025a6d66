// OrvikExcelToPDF: the converter window program. It reads no arguments.
#include "app/shell/OrvikAllToPDFApp.h"

int main(int argc, char** argv)
{
    return COrvikAllToPDFApp::Main(argc, argv);
}
