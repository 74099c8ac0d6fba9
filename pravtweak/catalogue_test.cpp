#include "catalogue.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

class CatalogueTest : public testing::Test {
  protected:
    void SetUp() override { reset_catalogue(); }
};

TEST_F(CatalogueTest, FindModelTakesFirstModelContainingTextInAnyCase) {
    struct Row {
        const char* text;
        int model;  // -1: none
    } rows[] = {
        {"PIPRAVOX10", 3}, {"pipravox10", 3}, {"Pipravox", 0}, {"0", 0},
        {"30", 1},         {"20C", 2},        {"", -1},        {"Pipravox40X2", -1},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(find_model(row.text), row.model >= 0) << row.text;
        EXPECT_EQ(current_model, row.model >= 0 ? &model_catalogue[row.model] : nullptr)
            << row.text;
    }
}

TEST_F(CatalogueTest, FindRankByNameTakesFirstMatchInTableOrder) {
    struct Row {
        const char *model, *text;
        int id;  // -1: none
    } rows[] = {
        {"40X", "Tibia Clausa I", 6}, {"40X", "Horn", 10},  {"40X", "Diapason", 1},
        {"40X", "tuba", 2},           {"40X", "", -1},      {"40X", "Organ", -1},
        {"10", "Flute", 0},           {"10", "Unknown", 8},
    };
    for (const Row& row : rows) {
        ASSERT_TRUE(find_model(row.model));
        const RankRecord* rank = find_rank_by_name(row.text);
        EXPECT_EQ(rank ? rank->id : -1, row.id) << row.text;
    }
    EXPECT_EQ(find_rank_by_id(9)->name, std::string("Traps"));
    EXPECT_EQ(find_rank_by_id(10), nullptr);
}

TEST_F(CatalogueTest, ListingHasModelLinesAndIndentedRankLines) {
    testing::internal::CaptureStdout();
    list_models();
    std::istringstream listing(testing::internal::GetCapturedStdout());
    std::vector<std::string> lines;
    for (std::string line; std::getline(listing, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 69u);
    EXPECT_EQ(lines[0], "Pipravox40X");
    EXPECT_EQ(lines[1], "  Flute");
    EXPECT_EQ(lines[28], "Pipravox30");
    EXPECT_EQ(lines[68], "  Traps");
}

}  // namespace
