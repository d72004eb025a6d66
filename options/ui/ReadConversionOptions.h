#pragma once

#include "options/ConversionOptions.h"

class CAdvancedDlg;
class CDescriptionDlg;
class CSecurityDlg;

// The options one workbook is converted with, copied from the pages: the
// document information and security members as they are, and for each output
// list the text of its selected item. Window thread only; the copy is the
// caller's to hand to a worker.
ConversionOptions ReadConversionOptions(const CDescriptionDlg& description, const CSecurityDlg& security,
                                        const CAdvancedDlg& advanced);
