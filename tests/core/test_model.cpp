// The ID indexes answer as a scan of the ordered list would.
#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "core/cp1252.h"
#include "core/model.h"

using namespace karvel;

TEST(IdIndex, AnUnpairedPlaceMatchesNothingNotEvenAnEmptyId) {
    IdIndex ids2;
    ids2.append_empty();
    ids2.append_empty();
    EXPECT_EQ(ids2.find(""), -1);
    ids2.set(1, "");  // a paired end whose ID happens to be empty
    EXPECT_EQ(ids2.find(""), 1);
    ids2.set(0, "R27");
    EXPECT_EQ(ids2.find("r27"), 0);
    // Re-pairing record 0 with another end: the old ID no longer matches.
    ids2.set(0, "R26");
    EXPECT_EQ(ids2.find("R27"), -1);
    EXPECT_EQ(ids2.find("R26"), 0);
}

// Random appends and re-sets against a plain list searched from the start.
TEST(IdIndex, AgreesWithALinearScanUnderRandomEdits) {
    std::mt19937 rng(7);
    const std::vector<std::string> pool = {"a", "A", "b", "B", "c", "", "\xC9t\xE9", "\xE9T\xC9"};
    IdIndex index;
    std::vector<std::optional<std::string>> list;
    auto scan = [&](const std::string& id) {
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i] && equals_nocase(*list[i], id)) return static_cast<int>(i);
        return -1;
    };
    for (int step = 0; step < 3000; ++step) {
        const std::string& id = pool[rng() % pool.size()];
        const int op = static_cast<int>(rng() % 4);
        if (op == 0 || list.empty()) {
            index.append(id);
            list.emplace_back(id);
        } else if (op == 1) {
            index.append_empty();
            list.emplace_back(std::nullopt);
        } else {
            const int p = static_cast<int>(rng() % list.size());
            index.set(p, id);
            list[static_cast<size_t>(p)] = id;
        }
        for (const std::string& probe : pool) ASSERT_EQ(index.find(probe), scan(probe)) << step;
    }
}
