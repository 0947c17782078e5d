// The simulated host's basic suite: what it serves, what it refuses, and what it counts.
#include <gtest/gtest.h>

#include <string>

#include "host.h"
#include "host/suite_catalog.h"
#include "host/suites.h"

namespace {

struct CatalogRow {
    const char* name;
    std::int32_t version;
};

#define KELVANE_SIM_TEST_ROW(slot, type, name, version) {name, version},
constexpr CatalogRow kCatalog[] = {KELVANE_SUITE_CATALOG(KELVANE_SIM_TEST_ROW)};
#undef KELVANE_SIM_TEST_ROW

TEST(SimSuiteServing, ServesEveryCatalogRowByExactNameAndVersion) {
    sim::Host host;
    SPBasicSuite* basic = host.Basic();
    for (const CatalogRow& row : kCatalog) {
        const void* suite = nullptr;
        // A copy of the name: the host must compare texts, not addresses.
        const std::string name = row.name;
        EXPECT_EQ(basic->AcquireSuite(name.c_str(), row.version, &suite), kNoError) << row.name;
        EXPECT_NE(suite, nullptr) << row.name;
        EXPECT_EQ(basic->AcquireSuite(row.name, row.version + 1, &suite), kSuiteNotFoundStatus) << row.name;
        EXPECT_EQ(suite, nullptr) << row.name;
        EXPECT_EQ(basic->ReleaseSuite(row.name, row.version), kNoError) << row.name;
    }
    const void* suite = &host;
    EXPECT_EQ(basic->AcquireSuite("AI Art Suite ", 21, &suite), kSuiteNotFoundStatus);
    EXPECT_EQ(basic->AcquireSuite("ai art suite", 21, &suite), kSuiteNotFoundStatus);
    EXPECT_EQ(suite, nullptr);
    EXPECT_TRUE(host.SuitesBalanced());
    EXPECT_EQ(host.Uses("AI Art Suite").acquired, 1) << "refused requests are not acquisitions";
}

TEST(SimSuiteServing, RefusedSuitesAndUnbalancedReleases) {
    sim::Host host;
    SPBasicSuite* basic = host.Basic();
    host.RefuseSuite("AI Tool Suite");
    const void* suite = &host;
    EXPECT_EQ(basic->AcquireSuite("AI Tool Suite", 19, &suite), kSuiteNotFoundStatus);
    EXPECT_EQ(suite, nullptr);
    host.ServeSuite("AI Tool Suite");
    ASSERT_EQ(basic->AcquireSuite("AI Tool Suite", 19, &suite), kNoError);
    EXPECT_FALSE(host.SuitesBalanced());
    EXPECT_EQ(basic->ReleaseSuite("AI Tool Suite", 19), kNoError);
    EXPECT_NE(basic->ReleaseSuite("AI Tool Suite", 19), kNoError) << "released more often than acquired";
    EXPECT_EQ(host.Uses("AI Tool Suite").acquired, 1);
    EXPECT_EQ(host.Uses("AI Tool Suite").released, 1);
    EXPECT_TRUE(host.SuitesBalanced());
}

TEST(SimSuiteServing, TextEqualityAndBlocks) {
    sim::Host host;
    SPBasicSuite* basic = host.Basic();
    const std::string a = "AI Menu";
    EXPECT_NE(basic->IsEqual(a.c_str(), "AI Menu"), 0);
    EXPECT_EQ(basic->IsEqual(a.c_str(), "AI Menu "), 0);

    void* block = nullptr;
    ASSERT_EQ(basic->AllocateBlock(64, &block), kNoError);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(host.OutstandingBlocks(), 1u);
    EXPECT_EQ(basic->FreeBlock(block), kNoError);
    EXPECT_NE(basic->FreeBlock(block), kNoError) << "freed twice";
    EXPECT_EQ(host.OutstandingBlocks(), 0u);
}

TEST(SimSuiteServing, VoidRowsGetAPlaceholderOfTheirOwn) {
    sim::Host host;
    const void* blocks = nullptr;
    const void* art = nullptr;
    ASSERT_EQ(host.Basic()->AcquireSuite("SP Blocks Suite", 2, &blocks), kNoError);
    ASSERT_EQ(host.Basic()->AcquireSuite("AI Art Suite", 21, &art), kNoError);
    EXPECT_NE(blocks, art);
    EXPECT_NE(static_cast<const ArtSuite*>(art)->GetArtType, nullptr);
}

}  // namespace
