#pragma once

// The product's own fixed texts and its web address, in one place: the about
// box, the main window's Website button and the message box title use these.
namespace ProductInfo {

// Title of the program's windows and message boxes.
inline constexpr char kProductName[] = "Orvik Excel To PDF";
// Product name and version as the about box shows it.
inline constexpr char kProductLine[] = "Orvik Excel To PDF 4.0";
// The product's web site: the about box link and the Website button open it.
inline constexpr char kWebAddress[] = "https://www.orvik-software.example/excel-to-pdf/";

// About box texts.
inline constexpr char kAboutTitle[] = "About Orvik Excel To PDF";
inline constexpr char kNotice[] =
    "Converts Excel workbooks into PDF files, one PDF for each workbook, with "
    "document information, security and compression of your choice.";
inline constexpr char kRights[] = "Copyright (C) Orvik Software. All rights reserved.";

} // namespace ProductInfo
