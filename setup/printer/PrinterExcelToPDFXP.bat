#!/bin/sh
# Installs the printer queue "OrvikExcelToPDF". The queue is the same on every
# system, so the Windows 7 named script does the work.
exec "$(dirname "$0")/PrinterExcelToPDFWin7.bat"
