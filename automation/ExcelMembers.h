#pragma once

#include <cstdint>

// Dispatch ids of the members "Excel.Application" answers (the ids of the
// spreadsheet automation model the engine calls).
namespace XlMember {
constexpr int32_t Visible = 558;    // Application: property put VT_BOOL (get: VT_BOOL); Sheet: get VT_I4 (-1 shown, 0 hidden)
constexpr int32_t Workbooks = 572;  // Application: property get -> workbooks collection
constexpr int32_t Quit = 302;       // Application: method
constexpr int32_t Open = 682;       // Workbooks: method, 13 arguments -> workbook
constexpr int32_t Sheets = 485;     // Workbook: property get -> sheets collection
constexpr int32_t Close = 277;      // Workbook: method, 3 arguments
constexpr int32_t Count = 118;      // Sheets: property get -> VT_I4
constexpr int32_t Item = 170;       // Sheets: property get, 1-based index -> sheet
constexpr int32_t Activate = 304;   // Sheet: method
constexpr int32_t PrintOut = 1772;  // Sheet: method, 8 arguments -> VT_BOOL (false: empty sheet, no file)
constexpr int32_t PageSetup = 998;  // Sheet: property get -> page setup
constexpr int32_t Pages = 2705;     // PageSetup: property get -> pages (Count: VT_I4, the sheet's printed pages)
constexpr int32_t FitToPagesTall = 1008; // PageSetup: property put VT_I4 pages (VT_BOOL false: as many as needed)
constexpr int32_t FitToPagesWide = 1009; // PageSetup: property put VT_I4 pages (VT_BOOL false: as many as needed)
constexpr int32_t Name = 110;       // Sheet: property get -> VT_BSTR
} // namespace XlMember

// The status an Open raises when the workbook is encrypted and the password
// given (or none) does not open it; any other refusal of the file raises
// DISP_E_EXCEPTION, and a hung or ended office E_FAIL.
namespace XlError {
constexpr int32_t PasswordRequired = static_cast<int32_t>(0x80070005); // E_ACCESSDENIED
} // namespace XlError
