#include "corvo/recent_files.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Paths = std::vector<std::string>;

TEST(RecentFiles, NewestFirstWithoutRepeats) {
  corvo::RecentFiles recent;
  recent.add("/a.dat");
  recent.add("/b.dat");
  recent.add("/a.dat");
  EXPECT_EQ(recent.paths(), (Paths{"/a.dat", "/b.dat"}));
  recent.remove("/a.dat");
  EXPECT_EQ(recent.paths(), (Paths{"/b.dat"}));
}

TEST(RecentFiles, KeepsTheNewestEight) {
  corvo::RecentFiles recent;
  for (int i = 1; i <= 10; ++i) recent.add("/" + std::to_string(i) + ".dat");
  ASSERT_EQ(recent.paths().size(), 8u);
  EXPECT_EQ(recent.paths().front(), "/10.dat");
  EXPECT_EQ(recent.paths().back(), "/3.dat");
}

TEST(RecentFiles, StoredListIsTakenInItsOrder) {
  const corvo::RecentFiles recent(Paths{"/x.dat", "", "/y.dat", "/x.dat"});
  EXPECT_EQ(recent.paths(), (Paths{"/x.dat", "/y.dat"}));
}

}  // namespace
