#pragma once

#include <cstdint>

// Members of the spreadsheet application's automation model that printing a
// workbook uses, by dispatch id.
namespace ExcelDispid {
constexpr int32_t Visible = 0x22E;     // Application, property put, VT_BOOL
constexpr int32_t Workbooks = 0x23C;   // Application, property get: the workbooks collection
constexpr int32_t Open = 0x2AA;        // Workbooks, method, 13 arguments: the workbook
constexpr int32_t Sheets = 0x1E5;      // Workbook, property get: the sheets collection
constexpr int32_t Count = 0x76;        // Sheets, property get: VT_I4
constexpr int32_t Item = 0xAA;         // Sheets, property get, VT_I2 index (1-based): the sheet
constexpr int32_t Activate = 0x130;    // Sheet, method
constexpr int32_t PrintOut = 0x6EC;    // Sheet, method, 8 arguments
constexpr int32_t PageSetup = 0x3E6;   // Sheet, property get: the page setup
constexpr int32_t Pages = 0xA91;       // PageSetup, property get: the pages (Count: the sheet's printed pages)
constexpr int32_t FitToPagesTall = 0x3F0; // PageSetup, property put: pages tall (VT_BOOL false: any number)
constexpr int32_t FitToPagesWide = 0x3F1; // PageSetup, property put: pages wide (VT_BOOL false: any number)
constexpr int32_t Name = 0x6E;        // Sheet, property get: VT_BSTR
constexpr int32_t Close = 0x115;       // Workbook, method, 3 arguments
constexpr int32_t Quit = 0x12E;        // Application, method
} // namespace ExcelDispid

// The number of arguments Open and PrintOut take.
constexpr int kOpenArgumentCount = 13;
constexpr int kPrintOutArgumentCount = 8;

// What Open raises for an encrypted workbook whose password it was not given
// (E_ACCESSDENIED); other refusals raise DISP_E_EXCEPTION, a failed application E_FAIL.
namespace ExcelError {
constexpr int32_t PasswordRequired = static_cast<int32_t>(0x80070005);
} // namespace ExcelError
