#include "core/package/CertificateTable.h"

#include <gtest/gtest.h>

#include "core/package/CMemoryPackageInput.h"

using namespace velkan;

namespace {

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
}
void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v)
{
    b.at(at) = static_cast<uint8_t>(v);
    b.at(at + 1) = static_cast<uint8_t>(v >> 8);
}

constexpr size_t kPe = 0x40;
constexpr size_t kSecurityEntry = kPe + 24 + 112 + 4 * 8;  // PE32+ data directory 4
constexpr size_t kPackageEnd = 1001;                       // not a multiple of 8

// A PE32+ image of kPackageEnd bytes: a header and, after it, the stand-in for the package.
std::vector<uint8_t> Image()
{
    std::vector<uint8_t> b(kPackageEnd, 0x5A);
    std::fill(b.begin(), b.begin() + 512, 0);
    b[0] = 'M', b[1] = 'Z';
    Put32(b, 0x3C, kPe);
    Put32(b, kPe, 0x00004550);
    Put16(b, kPe + 4 + 16, 240);   // size of the optional header
    Put16(b, kPe + 24, 0x20B);     // PE32+
    Put32(b, kPe + 24 + 108, 16);  // data directories
    return b;
}

std::vector<uint8_t> Entry(uint32_t length, uint16_t revision = 0x0200, uint16_t type = 2)
{
    std::vector<uint8_t> e(length, 0x30);
    Put32(e, 0, length);
    Put16(e, 4, revision);
    Put16(e, 6, type);
    return e;
}

// Signs as the signing tools do: zero padding to 8 bytes, the entries, the directory entry.
std::vector<uint8_t> Signed(std::vector<uint8_t> image,
                            const std::vector<std::vector<uint8_t>>& entries)
{
    while (image.size() % 8) image.push_back(0);
    const size_t table = image.size();
    for (const auto& e : entries) {
        image.insert(image.end(), e.begin(), e.end());
        while (image.size() % 8) image.push_back(0);
    }
    Put32(image, kSecurityEntry, static_cast<uint32_t>(table));
    Put32(image, kSecurityEntry + 4, static_cast<uint32_t>(image.size() - table));
    return image;
}

std::optional<std::string> Problem(std::vector<uint8_t> bytes)
{
    CMemoryPackageInput input(std::move(bytes), "setup.exe");
    return ProblemAfterPackage(input, kPackageEnd);
}

}  // namespace

TEST(CertificateTable, OnlyASignatureMayFollowThePackage)
{
    const auto signedOnce = Signed(Image(), {Entry(1480)});
    const auto signedTwice = Signed(Image(), {Entry(100), Entry(61, 0x0100, 1)});
    auto junkAfter = signedOnce;
    junkAfter.push_back(0);
    auto dirtyPadding = signedOnce;
    dirtyPadding[kPackageEnd + 2] = 1;
    auto shortTable = signedOnce;
    Put32(shortTable, kSecurityEntry + 4, 1480 - 8);
    auto badType = Signed(Image(), {Entry(64, 0x0200, 9)});
    auto overlongEntry = signedOnce;
    Put32(overlongEntry, 1008, 5000);
    auto unnamed = signedOnce;
    Put32(unnamed, kSecurityEntry, 0);
    Put32(unnamed, kSecurityEntry + 4, 0);
    auto notPe = signedOnce;
    notPe[kPe] = 'X';
    auto plus = Image();
    plus.push_back(1);

    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* problem;  // null: accepted
    };
    const Case cases[] = {
        {"nothing after the package", Image(), nullptr},
        {"one certificate", signedOnce, nullptr},
        {"two certificates", signedTwice, nullptr},
        {"a byte after the table", junkAfter, "does not end where the file ends"},
        {"non-zero padding", dirtyPadding, "the padding before the certificate table is not zero"},
        {"a table shorter than its entries", shortTable, "does not end where the file ends"},
        {"an unknown certificate type", badType, "is malformed"},
        {"an entry longer than the table", overlongEntry, "is malformed"},
        {"a header that names no table", unnamed, "names no certificate table"},
        {"no PE header", notPe, "names no certificate table"},
        {"bytes but no table", plus, "1 bytes follow the package at offset 1001"},
    };
    for (const Case& c : cases) {
        auto problem = Problem(c.bytes);
        if (!c.problem) {
            EXPECT_FALSE(problem) << c.what << ": " << *problem;
        } else {
            ASSERT_TRUE(problem) << c.what;
            EXPECT_NE(problem->find(c.problem), std::string::npos) << c.what << ": " << *problem;
        }
    }

    // The table must start within the padding after the package.
    CMemoryPackageInput input(signedOnce, "setup.exe");
    EXPECT_TRUE(ProblemAfterPackage(input, kPackageEnd - 8));
    ASSERT_TRUE(FindCertificateTable(input));
    EXPECT_EQ(FindCertificateTable(input)->offset, 1008u);
    EXPECT_EQ(FindCertificateTable(input)->size, 1480u);
}
