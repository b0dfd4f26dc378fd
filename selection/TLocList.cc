#include "selection/TLocList.h"

#include <algorithm>
#include <cstring>

TLocList::TLocList() : name{}, selectAll(false), subList(nullptr), nextEntry(nullptr) {}

TLocList::TLocList(const char* name, bool selectAll)
    : name{}, selectAll(selectAll), subList(nullptr), nextEntry(nullptr) {
  if (name != nullptr) {
    // Stops at the NUL or at the field's capacity, so the text handed in
    // need not end within 80 characters.
    const char* end = std::find(name, name + (kNameSize - 1), '\0');
    std::memcpy(this->name, name, end - name);
  }
}
