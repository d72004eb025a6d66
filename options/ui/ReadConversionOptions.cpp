#include "options/ui/ReadConversionOptions.h"

#include "options/ui/AdvancedDlg.h"
#include "options/ui/DescriptionDlg.h"
#include "options/ui/SecurityDlg.h"
#include "framework/UiThread.h"

ConversionOptions ReadConversionOptions(const CDescriptionDlg& description, const CSecurityDlg& security,
                                        const CAdvancedDlg& advanced)
{
    Q_ASSERT(IsUiThread());
    ConversionOptions o;
    o.m_strDocTitle = description.m_strDocTitle;
    o.m_strDocSubject = description.m_strDocSubject;
    o.m_strDocAuthor = description.m_strDocAuthor;
    o.m_strDocKeywords = description.m_strDocKeywords;

    o.m_bEnableSecurity = security.m_bEnableSecurity;
    o.m_bOwnerPassword = security.m_bOwnerPassword;
    o.m_bUserPassword = security.m_bUserPassword;
    o.m_bCopyExtract = security.m_bCopyExtract;
    o.m_bFormFill = security.m_bFormFill;
    o.m_bChangeDoc = security.m_bChangeDoc;
    o.m_bPrinting = security.m_bPrinting;
    o.m_nEncryptionLevel = security.m_nEncryptionLevel;
    o.m_strUserPassword = security.m_strUserPassword;
    o.m_strOwnerPassword = security.m_strOwnerPassword;

    // A list with nothing selected (its page not created) leaves the default item.
    const auto take = [&advanced](int id, QString& field) {
        const QString text = advanced.SelectedText(id);
        if (!text.isEmpty())
            field = text;
    };
    take(1026, o.m_strPageLayout);
    take(1027, o.m_strPageMode);
    take(1028, o.m_strDocCompression);
    take(1029, o.m_strImageCompression);
    take(1024, o.m_strJpegQuality);
    take(1025, o.m_strPdfVersion);
    return o;
}
