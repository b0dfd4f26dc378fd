#ifndef METDB_DIRECTORY_TISARRAYASVECTOR_H_
#define METDB_DIRECTORY_TISARRAYASVECTOR_H_

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

// A sorted array of pointers to T, ordered by T's operator< and searched with
// T's operator== and operator<. Duplicates are allowed: an element is placed
// after every element equal to it, so equal elements keep the order in which
// they were added.
//
// The array owns its elements (deletes the ones it drops) while its
// ownership flag is on, which it is from construction; the owner may switch
// it off. Positions are unsigned and counted from the lower bound, which is
// always 0. Slots from count() up to the capacity are null.
//
// Adding appends in O(1): an element that does not sort before the last one
// simply goes to the end; otherwise it is kept in an unsorted tail that is
// sorted stably and merged into place before the array is next read. Every
// result is the same as inserting each element one by one, for element types
// whose operator< is a strict weak order (for Location: all coordinates that
// are numbers; with NaN coordinates the order among the incomparable
// elements may differ, but the array stays consistent and safe).
//
// Nothing is thrown but std::bad_alloc, which leaves the array as it was.
template <class T>
class TISArrayAsVector {
 public:
  // The position that find() gives when no element matches.
  static constexpr unsigned notFound = 2147483647u;

  // An empty array of capacity slots, growing by delta slots at a time
  // (0: never grows), with ownership on.
  TISArrayAsVector(unsigned capacity, unsigned lowerBound, unsigned delta)
      : slots_(new T*[capacity]()),
        allocated_(capacity),
        capacity_(capacity),
        lowerBound_(lowerBound),
        delta_(delta) {}

  // Flushes (deleting the elements when the array owns them), then frees the
  // slots.
  ~TISArrayAsVector() {
    flush(owns_);
    delete[] slots_;
  }

  TISArrayAsVector(const TISArrayAsVector&) = delete;
  TISArrayAsVector& operator=(const TISArrayAsVector&) = delete;

  // Sorted insertion of p. Returns false, leaving the array unchanged, only
  // when the array is full and cannot grow.
  bool add(T* p) {
    if (count_ + 1 > capacity_ && !grow(count_ + 1)) return false;
    if (sorted_ == count_ && (count_ == 0 || !(*p < *slots_[count_ - 1]))) ++sorted_;
    slots_[count_++] = p;
    return true;
  }

  // The position of an element equal to *key, or notFound. Where several
  // are equal, any one of them may be given.
  unsigned find(const T* key) {
    settle();
    if (count_ == 0) return notFound;
    long lo = 0;
    long hi = static_cast<long>(count_) - 1;
    while (lo < hi) {
      long mid = (lo + hi) / 2;
      if (*slots_[mid] == *key) return static_cast<unsigned>(mid);
      if (*slots_[mid] < *key) {
        lo = mid + 1;
      } else {
        hi = mid - 1;
        if (hi < 0) break;
      }
    }
    if (lo == hi && *slots_[lo] == *key) return static_cast<unsigned>(lo);
    return notFound;
  }

  // Removes the element at position, deleting it when del is set, and closes
  // the gap. A position at or past the count but inside the capacity only
  // nulls that slot. Returns false for a position outside the capacity.
  bool detach(unsigned position, bool del) {
    if (position >= capacity_) return false;
    settle();
    if (del && slots_[position] != nullptr) delete slots_[position];
    if (position < count_) {
      --count_;
      std::memmove(slots_ + position, slots_ + position + 1, (count_ - position) * sizeof(T*));
      slots_[count_] = nullptr;
      sorted_ = count_;
    } else {
      slots_[position] = nullptr;
    }
    return true;
  }

  // Removes every element for which doomed(element) is true, deleting it
  // when del is set, and closes the gaps in one pass: the others keep their
  // order. doomed sees each element once, in sorted order, and must not
  // change the array. Returns how many were removed.
  template <class Doomed>
  unsigned removeIf(Doomed doomed, bool del) {
    settle();
    unsigned kept = 0;
    for (unsigned i = 0; i < count_; ++i) {
      T* p = slots_[i];
      if (doomed(p)) {
        if (del) delete p;
      } else {
        slots_[kept++] = p;
      }
    }
    unsigned removed = count_ - kept;
    std::fill(slots_ + kept, slots_ + count_, nullptr);
    count_ = kept;
    sorted_ = kept;
    return removed;
  }

  // Empties the array, deleting the elements when del is set.
  void flush(bool del) {
    for (unsigned i = 0; i < count_; ++i) {
      if (del) delete slots_[i];
      slots_[i] = nullptr;
    }
    count_ = 0;
    sorted_ = 0;
  }

  // The number of elements.
  unsigned count() const { return count_; }
  // The number of slots; grows by delta() when an add or operator[] needs it.
  unsigned capacity() const { return capacity_; }
  // The lower bound given at construction; positions start at 0 regardless.
  unsigned lowerBound() const { return lowerBound_; }
  // The growth step; 0 when the array never grows.
  unsigned delta() const { return delta_; }

  // Whether the array owns its elements: then its destructor deletes those
  // still held (detach and flush delete only when asked).
  bool ownsElements() const { return owns_; }
  // Turns that ownership on or off, for the elements already held too.
  void ownsElements(bool owns) { owns_ = owns; }

  // Calls visit with each element in the order held, which is the sorted
  // order only once the array was last read by position; for work that does
  // not care about the order and should not pay for the sort.
  template <class Visit>
  void forEachUnordered(Visit visit) const {
    for (unsigned i = 0; i < count_; ++i) visit(slots_[i]);
  }

  // The pointer in slot i: null at or past the count. A position at or past
  // the capacity first grows the array to i + 1 slots (the count does not
  // change); when it cannot grow, the result is null.
  T* operator[](unsigned i) {
    if (i >= capacity_ && !grow(i + 1)) return nullptr;
    settle();
    return slots_[i];
  }

 private:
  static bool less(const T* a, const T* b) { return *a < *b; }

  // Grows the capacity to hold at least n slots, by whole growth steps.
  // The storage behind it grows at least geometrically, so that a small
  // growth step does not make a long run of adds copy the array over and
  // over; the capacity itself follows the growth step exactly.
  bool grow(unsigned n) {
    if (n <= capacity_ || delta_ == 0) return false;
    unsigned extra = n - capacity_;
    if (extra % delta_ != 0) extra += delta_ - extra % delta_;
    unsigned needed = capacity_ + extra;
    if (needed > allocated_) {
      unsigned size = std::max(needed, allocated_ + allocated_ / 2);
      T** bigger = new T*[size]();
      std::copy(slots_, slots_ + capacity_, bigger);
      delete[] slots_;
      slots_ = bigger;
      allocated_ = size;
    }
    capacity_ = needed;
    return true;
  }

  // A pointer with the first eight bytes of its element's name, folded to
  // lower case as the name comparison folds them. Comparing the keys orders
  // two elements whenever their names differ in those bytes, so sorting
  // rarely has to reach the elements themselves, which lie scattered in
  // memory. Every element type orders by name ignoring ASCII case first.
  struct Keyed {
    std::uint64_t key;
    T* element;
  };

  static std::uint64_t nameKey(const T* p) {
    const char* s = p->c_str();
    std::uint64_t key = 0;
    int i = 0;
    for (; i < 8 && s[i] != '\0'; ++i) {
      unsigned char c = static_cast<unsigned char>(s[i]);
      if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c + ('a' - 'A'));
      key = (key << 8) | c;
    }
    return key << (8 * (8 - i));
  }

  // The same order as less(), decided by the keys where they differ.
  static bool keyedLess(const Keyed& a, const Keyed& b) {
    if (a.key != b.key) return a.key < b.key;
    return *a.element < *b.element;
  }

  static std::vector<Keyed> keyed(T** begin, T** end) {
    std::vector<Keyed> out;
    out.reserve(static_cast<std::size_t>(end - begin));
    for (T** p = begin; p != end; ++p) out.push_back(Keyed{nameKey(*p), *p});
    return out;
  }

  // Merges the unsorted tail into the sorted prefix. A short tail is
  // inserted element by element; a long one is sorted stably and merged
  // after the prefix's equal elements, which keeps a long run of adds at
  // O(n log n) in all.
  void settle() {
    if (sorted_ == count_) return;
    T** begin = slots_;
    T** mid = slots_ + sorted_;
    T** end = slots_ + count_;
    if (end - mid <= 8) {
      for (T** p = mid; p != end; ++p) {
        T** at = std::upper_bound(begin, p, *p, less);
        std::rotate(at, p, p + 1);
      }
    } else {
      std::vector<Keyed> head = keyed(begin, mid);
      std::vector<Keyed> tail = keyed(mid, end);
      std::stable_sort(tail.begin(), tail.end(), keyedLess);
      auto h = head.begin();
      auto t = tail.begin();
      T** out = begin;
      while (h != head.end() && t != tail.end()) {
        *out++ = keyedLess(*t, *h) ? (t++)->element : (h++)->element;
      }
      for (; h != head.end(); ++h) *out++ = h->element;
      for (; t != tail.end(); ++t) *out++ = t->element;
    }
    sorted_ = count_;
  }

  T** slots_;
  unsigned allocated_;  // slots in storage; those past capacity_ are null
  unsigned capacity_;
  unsigned lowerBound_;
  unsigned delta_;
  unsigned count_ = 0;
  unsigned sorted_ = 0;  // slots_[0, sorted_) are in order
  bool owns_ = true;
};

#endif  // METDB_DIRECTORY_TISARRAYASVECTOR_H_
