#include "options/ui/AdvancedDlg.h"

#include "framework/DataExchange.h"
#include "options/ConversionOptions.h"

#include <algorithm>

// The lists and their saved indices, in declaration order.
const CAdvancedDlg::ListSlot CAdvancedDlg::kLists[6] = {
    {&CAdvancedDlg::m_cbPageLayout, &CAdvancedDlg::m_nPageLayout},
    {&CAdvancedDlg::m_cbPageMode, &CAdvancedDlg::m_nPageMode},
    {&CAdvancedDlg::m_cbDocCompression, &CAdvancedDlg::m_nDocCompression},
    {&CAdvancedDlg::m_cbImageCompression, &CAdvancedDlg::m_nImageCompression},
    {&CAdvancedDlg::m_cbJpegQuality, &CAdvancedDlg::m_nJpegQuality},
    {&CAdvancedDlg::m_cbPdfVersion, &CAdvancedDlg::m_nPdfVersion},
};

CAdvancedDlg::CAdvancedDlg(QWidget* pParent)
    : COptionPage(IDD, pParent)
{
}

void CAdvancedDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, 1026, m_cbPageLayout);
    DDX_Control(pDX, 1027, m_cbPageMode);
    DDX_Control(pDX, 1028, m_cbDocCompression);
    DDX_Control(pDX, 1029, m_cbImageCompression);
    DDX_Control(pDX, 1024, m_cbJpegQuality);
    DDX_Control(pDX, 1025, m_cbPdfVersion);
}

bool CAdvancedDlg::OnInitDialog()
{
    COptionPage::OnInitDialog();
    InitComboItems();
    return true;
}

void CAdvancedDlg::InitComboItems()
{
    const QStringList* items[6] = {&OptionItems::PageLayout(),     &OptionItems::PageMode(),
                                   &OptionItems::DocCompression(), &OptionItems::ImageCompression(),
                                   &OptionItems::JpegQuality(),    &OptionItems::PdfVersion()};
    // Each list starts at the item a conversion takes by default.
    const ConversionOptions defaults;
    const QString selected[6] = {defaults.m_strPageLayout,     defaults.m_strPageMode,
                                 defaults.m_strDocCompression, defaults.m_strImageCompression,
                                 defaults.m_strJpegQuality,    defaults.m_strPdfVersion};
    for (int i = 0; i < 6; ++i) {
        QComboBox& list = this->*kLists[i].list;
        list.clear();
        list.addItems(*items[i]);
        list.setCurrentIndex(std::max(0, list.findText(selected[i])));
    }
}

void CAdvancedDlg::SaveSelections()
{
    for (const ListSlot& slot : kLists)
        this->*slot.saved = (this->*slot.list).currentIndex();
}

void CAdvancedDlg::RestoreSelections()
{
    for (const ListSlot& slot : kLists)
        (this->*slot.list).setCurrentIndex(this->*slot.saved);
}

const QComboBox* CAdvancedDlg::List(int id) const
{
    switch (id) {
    case 1026: return &m_cbPageLayout;
    case 1027: return &m_cbPageMode;
    case 1028: return &m_cbDocCompression;
    case 1029: return &m_cbImageCompression;
    case 1024: return &m_cbJpegQuality;
    case 1025: return &m_cbPdfVersion;
    default: return nullptr;
    }
}

QString CAdvancedDlg::SelectedText(int id) const
{
    const QComboBox* list = List(id);
    return list ? list->currentText() : QString();
}

