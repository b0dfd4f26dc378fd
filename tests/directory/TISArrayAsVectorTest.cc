#include "directory/TISArrayAsVector.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "directory/Continent.h"
#include "directory/Location.h"

namespace {

Location* makeLocation(const std::string& name, int level, float lat, float lon, long index) {
  Location* l = new Location(name.c_str());
  l->level = static_cast<std::int8_t>(level);
  l->latitude = lat;
  l->longitude = lon;
  l->locationIndex = index;
  return l;
}

// The plain one-by-one sorted insertion that the array's results must equal.
void referenceInsert(std::vector<Location*>& v, Location* p) {
  v.push_back(p);
  size_t pos = v.size() - 1;
  while (pos != 0 && *p < *v[pos - 1]) {
    v[pos] = v[pos - 1];
    --pos;
  }
  v[pos] = p;
}

// Owns the locations of a test; the arrays under test do not.
struct Pool {
  std::vector<std::unique_ptr<Location>> all;
  Location* make(const std::string& name, int level, float lat, float lon) {
    all.emplace_back(makeLocation(name, level, lat, lon, static_cast<long>(all.size())));
    return all.back().get();
  }
};

TISArrayAsVector<Location>* unowned(unsigned capacity, unsigned delta) {
  auto* a = new TISArrayAsVector<Location>(capacity, 0, delta);
  a->ownsElements(false);
  return a;
}

TEST(TISArrayAsVectorTest, GrowsByWholeSteps) {
  Pool pool;
  std::unique_ptr<TISArrayAsVector<Location>> state(unowned(21, 10));
  for (int i = 0; i < 21; ++i) state->add(pool.make("L", 0, 0, 0));
  EXPECT_EQ(state->capacity(), 21u);
  state->add(pool.make("L", 0, 0, 0));
  EXPECT_EQ(state->capacity(), 31u);
  for (int i = 0; i < 10; ++i) state->add(pool.make("L", 0, 0, 0));
  EXPECT_EQ(state->capacity(), 41u);

  std::unique_ptr<TISArrayAsVector<Location>> list(unowned(1001, 500));
  for (int i = 0; i < 1001; ++i) list->add(pool.make("L", 0, 0, 0));
  EXPECT_EQ(list->capacity(), 1001u);
  list->add(pool.make("L", 0, 0, 0));
  EXPECT_EQ(list->capacity(), 1501u);
  EXPECT_EQ(list->count(), 1002u);

  TISArrayAsVector<Continent> continents(11, 0, 1);
  for (int i = 0; i < 12; ++i) continents.add(new Continent(std::to_string(i).c_str()));
  EXPECT_EQ(continents.capacity(), 12u);
}

TEST(TISArrayAsVectorTest, FullArrayWithoutGrowthRefusesAdd) {
  Pool pool;
  std::unique_ptr<TISArrayAsVector<Location>> a(unowned(2, 0));
  EXPECT_TRUE(a->add(pool.make("b", 0, 0, 0)));
  EXPECT_TRUE(a->add(pool.make("c", 0, 0, 0)));
  EXPECT_FALSE(a->add(pool.make("a", 0, 0, 0)));
  EXPECT_EQ(a->count(), 2u);
  EXPECT_EQ(*(*a)[0], "b");
  EXPECT_EQ((*a)[5], nullptr);  // cannot grow: no slot to read
  EXPECT_EQ(a->capacity(), 2u);
}

TEST(TISArrayAsVectorTest, IndexingPastCapacityGrowsWithoutCounting) {
  Pool pool;
  std::unique_ptr<TISArrayAsVector<Location>> a(unowned(21, 10));
  a->add(pool.make("a", 0, 0, 0));
  EXPECT_EQ((*a)[1], nullptr);
  EXPECT_EQ((*a)[21], nullptr);
  EXPECT_EQ(a->capacity(), 31u);
  EXPECT_EQ(a->count(), 1u);
}

TEST(TISArrayAsVectorTest, DuplicatesKeepTheOrderAdded) {
  Pool pool;
  std::unique_ptr<TISArrayAsVector<Location>> a(unowned(21, 10));
  Location* first = pool.make("Bergen", 1, 60, 5);
  Location* second = pool.make("BERGEN", 1, 60, 5);
  Location* before = pool.make("Bergen", 2, 99, 0);
  a->add(first);
  a->add(second);
  a->add(before);
  EXPECT_EQ((*a)[0], before);
  EXPECT_EQ((*a)[1], first);
  EXPECT_EQ((*a)[2], second);
}

TEST(TISArrayAsVectorTest, FindAtTheEdges) {
  Pool pool;
  std::unique_ptr<TISArrayAsVector<Location>> a(unowned(21, 10));
  Location* key = pool.make("m", 0, 0, 0);
  EXPECT_EQ(a->find(key), TISArrayAsVector<Location>::notFound);
  EXPECT_EQ(TISArrayAsVector<Location>::notFound, 2147483647u);
  a->add(pool.make("z", 0, 0, 0));
  EXPECT_EQ(a->find(key), TISArrayAsVector<Location>::notFound);
  EXPECT_EQ(a->find(pool.make("Z", 0, 0, 0)), 0u);
  std::vector<std::string> names = {"a", "c", "e", "g", "i", "k"};
  for (const auto& n : names) a->add(pool.make(n, 0, 0, 0));
  for (unsigned i = 0; i < a->count(); ++i) EXPECT_EQ(a->find((*a)[i]), i);
  EXPECT_EQ(a->find(pool.make("b", 0, 0, 0)), TISArrayAsVector<Location>::notFound);
  EXPECT_EQ(a->find(pool.make("0", 0, 0, 0)), TISArrayAsVector<Location>::notFound);
  EXPECT_EQ(a->find(pool.make("zz", 0, 0, 0)), TISArrayAsVector<Location>::notFound);
}

TEST(TISArrayAsVectorTest, DetachInsideCountCapacityAndBeyond) {
  Pool pool;
  std::unique_ptr<TISArrayAsVector<Location>> a(unowned(21, 10));
  Location* x = pool.make("x", 0, 0, 0);
  Location* y = pool.make("y", 0, 0, 0);
  Location* z = pool.make("z", 0, 0, 0);
  a->add(x);
  a->add(y);
  a->add(z);
  EXPECT_TRUE(a->detach(0, false));
  EXPECT_EQ(a->count(), 2u);
  EXPECT_EQ((*a)[0], y);
  EXPECT_EQ((*a)[1], z);
  EXPECT_EQ((*a)[2], nullptr);
  EXPECT_TRUE(a->detach(5, false));  // past the count, inside the capacity
  EXPECT_EQ(a->count(), 2u);
  EXPECT_TRUE(a->detach(20, false));
  EXPECT_FALSE(a->detach(21, false));
  EXPECT_TRUE(a->detach(1, false));
  EXPECT_EQ(a->count(), 1u);
}

TEST(TISArrayAsVectorTest, DeletionFollowsTheCallAndTheOwnershipFlag) {
  TISArrayAsVector<Continent> a(11, 0, 1);
  for (const char* n : {"Asia", "Europe", "Africa", "Oceania"}) a.add(new Continent(n));
  EXPECT_EQ(*a[0], "Africa");
  Continent* kept = a[0];
  EXPECT_TRUE(a.detach(0, false));
  EXPECT_EQ(*kept, "africa");  // still alive
  delete kept;
  EXPECT_TRUE(a.detach(0, true));  // Asia deleted (a leak otherwise, under ASan)
  Continent* europe = a[0];
  Continent* oceania = a[1];
  a.flush(false);
  EXPECT_EQ(a.count(), 0u);
  EXPECT_EQ(a[0], nullptr);
  EXPECT_EQ(*europe, "EUROPE");  // flush(false) deleted nothing
  delete europe;
  delete oceania;
  a.add(new Continent("Antarctica"));  // deleted by the owning array's destructor
}

// The fast add path must give exactly the one-by-one insertion's array, for
// random input with many equal keys, and stay so when reads (which settle
// the unsorted tail) are interleaved with adds.
TEST(TISArrayAsVectorTest, FastAddEqualsOneByOneInsertion) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 40; ++round) {
    Pool pool;
    std::unique_ptr<TISArrayAsVector<Location>> a(unowned(21, 10));
    std::vector<Location*> expect;
    int n = 1 + static_cast<int>(rng() % 3000);
    int alphabet = 1 + static_cast<int>(rng() % 30);
    for (int i = 0; i < n; ++i) {
      // Short names, and long ones sharing their first eight bytes, so that
      // both the name keys and the full comparison decide.
      std::string name(1, static_cast<char>((rng() % 2 ? 'a' : 'A') + rng() % alphabet % 26));
      if (round % 2 == 1) name = (rng() % 2 ? "Stations" : "STATIONs") + name.substr(0, rng() % 2);
      Location* p = pool.make(name, static_cast<int>(rng() % 5) - 2, static_cast<float>(rng() % 4),
                              static_cast<float>(rng() % 3));
      ASSERT_TRUE(a->add(p));
      referenceInsert(expect, p);
      if (rng() % 200 == 0) {  // an occasional read in the middle of a fill
        unsigned pos = static_cast<unsigned>(rng() % a->count());
        ASSERT_EQ((*a)[pos], expect[pos]);
      }
    }
    ASSERT_EQ(a->count(), expect.size());
    for (unsigned i = 0; i < expect.size(); ++i) ASSERT_EQ((*a)[i], expect[i]) << "at " << i;
    // find and detach see the settled order too.
    Location* victim = expect[expect.size() / 2];
    unsigned at = a->find(victim);
    ASSERT_NE(at, TISArrayAsVector<Location>::notFound);
    EXPECT_TRUE(*(*a)[at] == *victim);
  }
}

TEST(TISArrayAsVectorTest, SortedInputStaysOnTheAppendPath) {
  Pool pool;
  std::unique_ptr<TISArrayAsVector<Location>> a(unowned(1001, 500));
  for (int i = 0; i < 5000; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "n%06d", i);
    a->add(pool.make(name, 0, 0, 0));
  }
  for (unsigned i = 0; i < 5000; ++i) ASSERT_EQ((*a)[i]->locationIndex, static_cast<long>(i));
}

}  // namespace
