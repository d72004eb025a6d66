#include "options/ConversionOptions.h"

#include <gtest/gtest.h>

// A fresh start converts with no information, no security, Flate everywhere,
// the lowest JPEG quality and level 1.3.
TEST(ConversionOptions, FreshStartDefaults)
{
    const ConversionOptions o;
    EXPECT_TRUE(o.m_strDocTitle.isEmpty() && o.m_strDocSubject.isEmpty());
    EXPECT_TRUE(o.m_strDocAuthor.isEmpty() && o.m_strDocKeywords.isEmpty());
    EXPECT_EQ(0, o.m_bEnableSecurity + o.m_bOwnerPassword + o.m_bUserPassword + o.m_bCopyExtract
                     + o.m_bFormFill + o.m_bChangeDoc + o.m_bPrinting + o.m_nEncryptionLevel);
    EXPECT_EQ(QStringLiteral("Continuous"), o.m_strPageLayout);
    EXPECT_EQ(QStringLiteral("Normal"), o.m_strPageMode);
    EXPECT_EQ(QStringLiteral("Flate"), o.m_strDocCompression);
    EXPECT_EQ(QStringLiteral("Flate"), o.m_strImageCompression);
    EXPECT_EQ(QStringLiteral("Minimum"), o.m_strJpegQuality);
    EXPECT_EQ(QStringLiteral("V1.3(Acrobat 4.xx)"), o.m_strPdfVersion);
    EXPECT_FALSE(o.SecurityApplies());
}

TEST(ConversionOptions, ItemTextsAreExact)
{
    EXPECT_EQ(QStringList({"Flate", "LZW"}), OptionItems::DocCompression());
    EXPECT_EQ(QStringList({"Flate", "JPEG", "Automatic"}), OptionItems::ImageCompression());
    EXPECT_EQ(QStringList({"Minimum", "Low", "Medium", "Maximum"}), OptionItems::JpegQuality());
    EXPECT_EQ(QStringList({"V1.3(Acrobat 4.xx)", "V1.4", "V1.5"}), OptionItems::PdfVersion());
}

// Security needs the switch, the owner box and an owner text; a user password alone never protects.
TEST(ConversionOptions, SecurityAppliesOnlyWithOwnerPassword)
{
    ConversionOptions o;
    o.m_bEnableSecurity = 1;
    o.m_bOwnerPassword = 1;
    EXPECT_FALSE(o.SecurityApplies()) << "empty owner text";
    o.m_strOwnerPassword = QStringLiteral("secret");
    EXPECT_TRUE(o.SecurityApplies());
    o.m_bOwnerPassword = 0;
    o.m_bUserPassword = 1;
    o.m_strUserPassword = QStringLiteral("user");
    EXPECT_FALSE(o.SecurityApplies());
}
