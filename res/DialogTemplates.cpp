#include "res/DialogTemplates.h"

#include "app/ProductInfo.h"

#include <algorithm>

namespace {
using namespace ControlStyle;
using K = ControlKind;

const QString kShellDlg = QStringLiteral("MS Shell Dlg");
const QString kSansSerif = QStringLiteral("Microsoft Sans Serif");

ControlTemplate Ctl(int id, K kind, const char* text, int x, int y, int w, int h, unsigned style = None)
{
    return ControlTemplate{id, kind, QString::fromUtf8(text), QRect(x, y, w, h), style};
}

ControlTemplate Button(int id, const char* text, int x, int y, int w, int h, unsigned style = None)
{
    return Ctl(id, K::PushButton, text, x, y, w, h, TabStop | style);
}

ControlTemplate Label(int id, const char* text, int x, int y, int w, int h, unsigned style = None)
{
    return Ctl(id, K::Static, text, x, y, w, h, style);
}

// Main window.
DialogTemplate Main()
{
    return {102, QRect(0, 0, 465, 332), WindowStyle::Visible | WindowStyle::SysMenu | WindowStyle::AppWindow,
            kShellDlg, 8,
            {
                Label(1001, "", 5, 57, 456, 251, Hidden | Group), // where the conversion page goes
                Button(1022, "Help", 328, 31, 40, 17),
                Button(1023, "About", 386, 31, 40, 17),
                Button(1025, "Website", 253, 31, 40, 17),
                Label(1032, "Static", 20, 2, 256, 13),
                Button(1033, "", 444, 0, 18, 14),
                Button(1036, "", 427, 0, 18, 14),
            }};
}

// About box.
DialogTemplate About()
{
    return {100, QRect(0, 0, 218, 172), WindowStyle::SysMenu, kSansSerif, 9,
            {
                Label(1032, "", 6, 2, 174, 15),
                Button(1033, "", 199, 0, 18, 14),
                Label(1034, "", 18, 37, 165, 23),
                Label(1041, "", 13, 78, 184, 39, Group),
                Label(1029, ProductInfo::kWebAddress, 14, 118, 105, 8, Group | Notify), // the web link
                Button(1, "OK", 150, 132, 50, 14),
                Label(1043, "", 68, 153, 146, 8),
            }};
}

// Skinned message box.
DialogTemplate MessageBoxTemplate()
{
    return {184, QRect(0, 0, 189, 91), WindowStyle::SysMenu, kShellDlg, 8,
            {
                Button(1, "OK", 67, 74, 50, 14, DefaultButton),
                Label(1032, "Static", 6, 3, 108, 9),
                Label(1041, "Static", 14, 35, 169, 34),
                Button(1033, "", 169, 0, 18, 14),
                Button(1049, "No", 121, 74, 50, 14, Hidden),
            }};
}

// Conversion page.
DialogTemplate ConversionPage()
{
    return {130, QRect(0, 0, 456, 253), WindowStyle::Child | WindowStyle::StaticEdge, kShellDlg, 8,
            {
                Label(1003, "Convert Excel To PDF", 26, 9, 114, 10),
                Ctl(1008, K::ListBox, "", 18, 25, 419, 91,
                    Sorted | ExtendedSel | Notify | VScroll | ScrollAlways | Border | TabStop | AcceptFiles),
                Button(1009, "Add File(s)", 25, 124, 63, 14),
                Button(1010, "Remove", 138, 125, 63, 14),
                Button(1011, "Remove All", 251, 125, 63, 14),
                Button(1037, "Setting", 364, 125, 63, 14),
                Label(-1, "Output Path:", 25, 163, 53, 8),
                Ctl(1017, K::Edit, "", 23, 180, 289, 14, Border | TabStop),
                Button(1018, "Browse", 338, 180, 63, 14),
                Label(1004, "Status", 25, 215, 46, 10),
                Ctl(1023, K::Edit, "", 76, 215, 200, 12, TabStop), // status line, no border
                Label(1027, "static", 23, 227, 291, 14),             // the progress bar
                Button(1019, "Convert", 338, 223, 63, 14),
            }};
}

// Finish dialog.
DialogTemplate Finish()
{
    return {136, QRect(0, 0, 248, 118), WindowStyle::SysMenu, kShellDlg, 8,
            {
                Label(1032, "Static", 7, 2, 195, 10),
                Button(1033, "", 224, 0, 17, 14, Hidden),
                Label(1027, "Static", 59, 24, 173, 9),
                Ctl(1024, K::ListBox, "", 13, 40, 221, 52, Sorted | Notify | VScroll | Border | TabStop),
                Button(1025, "Open File", 12, 97, 58, 14),
                Button(1026, "Open Folder", 92, 97, 58, 14, DefaultButton),
                Button(2, "Close", 176, 97, 58, 14),
            }};
}

// Settings window.
DialogTemplate Settings()
{
    return {162, QRect(0, 0, 288, 314), WindowStyle::Topmost, kShellDlg, 8,
            {
                Label(1038, "Static", 17, 55, 238, 219), // where the option pages go
                Label(1032, "Static", 9, 3, 150, 10),
                Button(1033, "", 259, 0, 20, 14),
                Button(1047, "OK", 203, 283, 50, 14),
                Button(1046, "Description", 18, 29, 50, 14),
                Button(1044, "Security", 80, 29, 50, 14),
                Button(1045, "Advanced", 142, 29, 50, 14),
            }};
}

// Advanced page.
DialogTemplate Advanced()
{
    const unsigned list = VScroll | TabStop;
    return {134, QRect(0, 0, 255, 200), WindowStyle::Child, kShellDlg, 8,
            {
                Label(-1, "Page Layout", 14, 8, 41, 8),
                Label(-1, "Page Mode", 14, 33, 36, 8),
                Label(-1, "Document Compression", 14, 61, 76, 8),
                Label(-1, "Images Compression", 14, 89, 67, 8),
                Label(-1, "JPEG Quality", 14, 117, 42, 8),
                Label(-1, "PDF Version", 14, 145, 39, 8),
                Ctl(1024, K::ComboBox, "", 95, 117, 133, 46, list),
                Ctl(1025, K::ComboBox, "", 95, 145, 133, 43, list | Sorted),
                Ctl(1026, K::ComboBox, "", 95, 8, 133, 45, list | Sorted),
                Ctl(1027, K::ComboBox, "", 95, 33, 133, 42, list | Sorted),
                Ctl(1028, K::ComboBox, "", 95, 61, 133, 44, list | Sorted),
                Ctl(1029, K::ComboBox, "", 95, 89, 133, 45, list),
                Ctl(1030, K::CheckBox, "", 163, 183, 8, 8, TabStop | Hidden),
                Label(-1, "Alternate EMF Rendering", 75, 182, 81, 9, Hidden),
            }};
}

// Security page.
DialogTemplate Security()
{
    const unsigned password = Border | TabStop | Password;
    return {133, QRect(0, 0, 262, 222), WindowStyle::Child, kShellDlg, 8,
            {
                Ctl(1005, K::CheckBox, "Enable PDF Security", 14, 9, 80, 10, TabStop),
                Ctl(1006, K::CheckBox, "Enable User Password", 33, 36, 92, 8, TabStop),
                Ctl(1007, K::CheckBox, "Enable Owner Password", 33, 69, 103, 8, TabStop),
                Ctl(1015, K::Edit, "", 33, 50, 101, 14, password),
                Ctl(1022, K::Edit, "", 33, 83, 101, 14, password),
                Ctl(1008, K::CheckBox, "Content Copying or Extraction", 33, 120, 117, 8, TabStop),
                Ctl(1009, K::CheckBox, "Form Filling,Signing,Commenting", 33, 135, 120, 8, TabStop),
                Ctl(1010, K::CheckBox, "Changing the Document", 33, 150, 118, 8, TabStop),
                Ctl(1011, K::CheckBox, "Printing", 33, 165, 120, 8, TabStop),
                Ctl(1012, K::RadioButton, "Low(40-bit RC4)", 31, 196, 68, 10, Group),
                Ctl(1013, K::RadioButton, "High(128-bit RC4)", 121, 196, 69, 10),
                Ctl(1021, K::GroupBox, "Allowed Actions", 15, 107, 217, 72),
                Ctl(1023, K::GroupBox, "Encryption Level", 15, 183, 217, 30),
                Ctl(1048, K::GroupBox, "Password", 15, 24, 217, 79),
            }};
}

// Description page.
DialogTemplate Description()
{
    const unsigned line = Border | TabStop;
    return {135, QRect(0, 0, 273, 236), WindowStyle::Child, kShellDlg, 8,
            {
                Ctl(1021, K::Edit, "", 13, 23, 221, 14, line),
                Ctl(1023, K::Edit, "", 13, 95, 221, 14, line),
                Ctl(1026, K::Edit, "", 13, 59, 221, 14, line),
                Label(-1, "Title", 13, 8, 14, 8),
                Label(-1, "Author", 13, 44, 23, 8),
                Label(-1, "Subject", 13, 80, 25, 8),
                Label(-1, "Keywords", 13, 116, 32, 8),
                Ctl(1024, K::Edit, "", 13, 131, 221, 67, line | VScroll | MultiLine | WantReturn),
            }};
}

// Workbook password prompt.
DialogTemplate PasswordPrompt()
{
    return {148, QRect(0, 0, 340, 113), WindowStyle::None, kShellDlg, 8,
            {
                Ctl(1031, K::Edit, "", 81, 59, 208, 14, Border | TabStop | Password),
                Button(1, "OK", 88, 82, 50, 14, DefaultButton),
                Button(2, "Cancel", 201, 82, 50, 14),
                Label(1050, "Enter Password:", 19, 60, 54, 8),
                Label(1030, "", 19, 29, 305, 27), // the message naming the workbook
                Label(1032, "", 3, 1, 301, 15),   // title line
                Button(1033, "", 310, 0, 20, 14),
            }};
}

std::vector<DialogTemplate> Build()
{
    std::vector<DialogTemplate> all = {About(),  Main(),     ConversionPage(), Security(),   Advanced(),
                                       Description(), Finish(), PasswordPrompt(), Settings(), MessageBoxTemplate()};
    std::sort(all.begin(), all.end(), [](const DialogTemplate& a, const DialogTemplate& b) { return a.id < b.id; });
    return all;
}
} // namespace

namespace DialogTemplates {
const std::vector<DialogTemplate>& All()
{
    static const std::vector<DialogTemplate> all = Build();
    return all;
}

const DialogTemplate* Find(int id)
{
    for (const DialogTemplate& t : All())
        if (t.id == id)
            return &t;
    return nullptr;
}
} // namespace DialogTemplates
