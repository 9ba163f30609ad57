// Longitudes around the globe: the rules every part of the program shares.
#include <gtest/gtest.h>

#include <cmath>

#include "core/geometry.h"

using namespace karvel;

TEST(Geometry, LongitudesGoRoundTheGlobe) {
    // (-180, 180]: the antimeridian is 180, never -180.
    EXPECT_EQ(normal_lon(-180), 180);
    EXPECT_EQ(normal_lon(180), 180);
    EXPECT_EQ(lon_near(-180.0L, 0), 180);  // the view's own longitudes likewise
    EXPECT_EQ(normal_lon(181.5), -178.5);
    EXPECT_EQ(normal_lon(-725), -5);
    EXPECT_EQ(normal_lon(2.5), 2.5);  // bit for bit where nothing wraps
    EXPECT_TRUE(std::isnan(normal_lon(NAN)));
    EXPECT_EQ(lon_difference(179.5L, -179.5L), 1);
    EXPECT_EQ(lon_difference(-179.5L, 179.5L), -1);
    EXPECT_EQ(lon_near(1e300L, 0), 1e300L);  // off the globe: left as it is

    // A box past 180 holds the points just west of it; one of 360 degrees
    // or more holds every longitude, where it starts too.
    EXPECT_TRUE(lon_within(-179.9, 175, 185));
    EXPECT_FALSE(lon_within(-170, 175, 185));
    EXPECT_TRUE(lon_within(-150, -100, 300));
    EXPECT_FALSE(lon_within(NAN, -100, 300));
    EXPECT_TRUE(lon_ranges_meet(-180, -170, 175, 185));
    EXPECT_FALSE(lon_ranges_meet(0, 10, 175, 185));
}
