// How the installed product is known: the entry's name hash and the product identity.
#include <gtest/gtest.h>

#include "core/package/ProductIdentity.h"

using namespace velkan;
using namespace velkan::package;

TEST(ProductIdentityTest, NamesWindowsTakesAsOneHashAlike)
{
    const std::wstring path = L"C:\\Program Files\\Caf\u00E9 \u0416\\Uninstal.exe";
    const std::wstring hash = NameHash(path);
    ASSERT_EQ(hash.size(), 16u);
    EXPECT_EQ(hash.find_first_not_of(L"0123456789ABCDEF"), std::wstring::npos);
    EXPECT_EQ(NameHash(L"c:\\program files\\caf\u00C9 \u0436\\UNINSTAL.EXE"), hash);
    EXPECT_NE(NameHash(L"C:\\Program Files\\Cafe \u0416\\Uninstal.exe"), hash);
    EXPECT_NE(NameHash(L"D:\\Program Files\\Caf\u00E9 \u0416\\Uninstal.exe"), hash);
}

TEST(ProductIdentityTest, TheIdentityIsTheVersionsNamesTitlesDirectoriesAndPaths)
{
    PackageContents product;
    product.versions.resize(2);
    product.versions[0].block.name = "Pro";
    product.versions[0].block.title = "Caf\xE9 Tool";
    product.versions[0].block.installDir = "#ProgramFiles#\\Cafe";
    product.versions[0].files.resize(1);
    product.versions[0].files[0].m_strPath = "app.exe";
    product.versions[1].block.name = "Lite";
    const std::wstring id = ProductId(product);
    EXPECT_EQ(id.size(), 16u);
    EXPECT_EQ(ProductId(product), id);

    PackageContents changed[4] = {product, product, product, product};
    changed[0].versions[1].block.name = "Light";
    changed[1].versions[0].block.title = "Cafe Tool";
    changed[2].versions[0].block.installDir = "#ProgramFiles#\\Caf\xE9";
    changed[3].versions[0].files[0].m_strPath = "app2.exe";
    for (const PackageContents& other : changed) EXPECT_NE(ProductId(other), id);

    // The entry shows the title, else the name.
    EXPECT_EQ(DisplayName(product.versions[0].block), "Caf\xE9 Tool");
    EXPECT_EQ(DisplayName(product.versions[1].block), "Lite");
}
