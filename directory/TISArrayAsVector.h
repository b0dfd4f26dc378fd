#ifndef METDB_DIRECTORY_TISARRAYASVECTOR_H_
#define METDB_DIRECTORY_TISARRAYASVECTOR_H_

#include <algorithm>
#include <cstring>

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
template <class T>
class TISArrayAsVector {
 public:
  // The position that find() gives when no element matches.
  static constexpr unsigned notFound = 2147483647u;

  // An empty array of capacity slots, growing by delta slots at a time
  // (0: never grows), with ownership on.
  TISArrayAsVector(unsigned capacity, unsigned lowerBound, unsigned delta)
      : slots_(new T*[capacity]()), capacity_(capacity), lowerBound_(lowerBound), delta_(delta) {}

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

  // Empties the array, deleting the elements when del is set.
  void flush(bool del) {
    for (unsigned i = 0; i < count_; ++i) {
      if (del) delete slots_[i];
      slots_[i] = nullptr;
    }
    count_ = 0;
    sorted_ = 0;
  }

  unsigned count() const { return count_; }
  unsigned capacity() const { return capacity_; }
  unsigned lowerBound() const { return lowerBound_; }
  unsigned delta() const { return delta_; }

  bool ownsElements() const { return owns_; }
  void ownsElements(bool owns) { owns_ = owns; }

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

  // Grows to hold at least n slots, by whole growth steps.
  bool grow(unsigned n) {
    if (n <= capacity_ || delta_ == 0) return false;
    unsigned extra = n - capacity_;
    if (extra % delta_ != 0) extra += delta_ - extra % delta_;
    T** bigger = new T*[capacity_ + extra]();
    std::copy(slots_, slots_ + capacity_, bigger);
    delete[] slots_;
    slots_ = bigger;
    capacity_ += extra;
    return true;
  }

  // Merges the unsorted tail into the sorted prefix. A short tail is
  // inserted element by element; a long one is sorted stably and merged,
  // which keeps a long run of adds at O(n log n) in all.
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
      std::stable_sort(mid, end, less);
      std::inplace_merge(begin, mid, end, less);
    }
    sorted_ = count_;
  }

  T** slots_;
  unsigned capacity_;
  unsigned lowerBound_;
  unsigned delta_;
  unsigned count_ = 0;
  unsigned sorted_ = 0;  // slots_[0, sorted_) are in order
  bool owns_ = true;
};

#endif  // METDB_DIRECTORY_TISARRAYASVECTOR_H_
