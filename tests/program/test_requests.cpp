// Each parser of what a user types, against the rows of requests.tsv: the
// value asked for, or the input refused and the refusal's text.
#include <gtest/gtest.h>

#include "core/cp1252.h"
#include "core/regions.h"
#include "program/requests.h"
#include "request_rows.h"

using namespace karvel;
using namespace karvel::test;

namespace {

// Runs `parse` on each row of `kind`: a refusal must be the row's, and
// what is accepted must read as the row's answer.
template <class Parse>
void check_rows(const std::string& kind, Parse parse) {
    const auto rows = request_rows(kind);
    ASSERT_FALSE(rows.empty()) << kind;
    for (const RequestRow& row : rows) {
        SCOPED_TRACE(row.where);
        try {
            const std::vector<std::string> got = parse(row.typed);
            EXPECT_FALSE(row.refused) << "accepted";
            if (!row.refused) {
                EXPECT_EQ(got, row.answer);
            }
        } catch (const Refusal& r) {
            ASSERT_TRUE(row.refused) << r.what();
            EXPECT_EQ(r.what(), w1252(row.answer.at(0)));
            EXPECT_EQ(command_refusal(r), row.input + " : " + r.what());
        }
    }
}

std::vector<std::string> utf8(const std::vector<std::string>& texts) {
    std::vector<std::string> out;
    for (const std::string& t : texts) out.push_back(cp1252_to_utf8(t));
    return out;
}

}  // namespace

TEST(Requests, SelectionsByAirportAndByRegion) {
    check_rows("airport", [](const std::vector<std::string>& t) {
        const AirportRequest r = airport_request(t.at(0), t.at(1));
        return utf8({selection_text(r), sector_file_name(r), std::to_string(r.radius_nm)});
    });
    ProgramInfo info;
    load_region_index(KARVEL_SOURCE_DIR "/runtime/index_regions.txt", info.region_lines,
                      info.region_codes);
    check_rows("region", [&](const std::vector<std::string>& t) {
        const RegionRequest r = region_request(info, t.at(0), true);
        return utf8({r.code, r.line, sector_file_name(r)});
    });
    // The window never takes an empty code for the whole database; nor does
    // a file name hold what a file system refuses.
    EXPECT_THROW(region_request(info, ""), Refusal);
    EXPECT_EQ(sector_file_name(std::nullopt), "tout.sct");
    EXPECT_EQ(safe_file_stem("a\\b:c*d?e\"f<g>h|i\x01j"), "a_b_c_d_e_f_g_h_i_j");
}

TEST(Requests, TheSaveAndTheGround) {
    check_rows("identity", [](const std::vector<std::string>& t) {
        const SectorIdentity i = identity_request(t.at(0), t.at(1), t.at(2), t.at(3) == "1");
        return utf8({i.name, i.callsign, i.icao});
    });
    check_rows("centrelines", [](const std::vector<std::string>& t) {
        return std::vector<std::string>{std::to_string(centrelines_request(t.at(0)))};
    });
    check_rows("date", [](const std::vector<std::string>& t) {
        return std::vector<std::string>{date_text(date_request(t.at(0)))};
    });
    check_rows("clientfile", [](const std::vector<std::string>& t) {
        const ClientFile f = client_file_request(t.at(0));
        return std::vector<std::string>{
            std::to_string(static_cast<int>(f)),
            sector_file_name(airport_request("LFPG", "50"), client_file_extension(f))};
    });
    check_rows("ground", [](const std::vector<std::string>& t) {
        std::string codes;
        for (const std::string& c : ground_request(t.at(0), t.at(1) == "1"))
            codes += (codes.empty() ? "" : " ") + c;
        return std::vector<std::string>{codes};
    });
    check_rows("sectors", [](const std::vector<std::string>& t) {
        std::string kinds;
        for (const std::string& k : sector_kinds_request(t.at(0)))
            kinds += (kinds.empty() ? "" : " ") + k;
        return std::vector<std::string>{kinds};
    });
}
