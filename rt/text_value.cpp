// The runtime's text values: a pool of 256 temporaries, the growth rule,
// and the operations that consume temporaries.
#include "rt/text_value.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "rt/runtime.h"

namespace {

struct PoolEntry {
  TextValue value;  // first, so that a value's address is its entry's
  PoolEntry* next;
  PoolEntry* previous;
  bool taken;  // on the used list
};

constexpr int kPoolSize = 256;
PoolEntry pool[kPoolSize];
PoolEntry* free_list = nullptr;
PoolEntry* used_list = nullptr;
bool pool_ready = false;
int in_use = 0;

// Lengths past this cannot be sized without overflowing the growth rule.
constexpr uint32_t kMaxTextLength = 0x7FFFFF00u;

void pool_set_up() {
  if (pool_ready) return;
  pool_ready = true;
  for (int i = kPoolSize - 1; i >= 0; --i) {
    pool[i].next = free_list;
    pool[i].previous = nullptr;
    free_list = &pool[i];
  }
}

bool in_pool(const TextValue* value) {
  auto address = reinterpret_cast<uintptr_t>(value);
  return address >= reinterpret_cast<uintptr_t>(&pool[0]) &&
         address < reinterpret_cast<uintptr_t>(&pool[kPoolSize]);
}

TextValue* pool_take() {
  pool_set_up();
  PoolEntry* entry = free_list;
  if (!entry) return nullptr;
  free_list = entry->next;
  entry->next = used_list;
  entry->previous = nullptr;
  if (used_list) used_list->previous = entry;
  used_list = entry;
  entry->taken = true;
  std::memset(&entry->value, 0, sizeof entry->value);
  ++in_use;
  return &entry->value;
}

void pool_give_back(TextValue* value) {
  auto* entry = reinterpret_cast<PoolEntry*>(value);
  // A descriptor already back in the pool must not be linked in twice: the
  // pool would hand it out to two owners.
  if (!entry->taken) return;
  entry->taken = false;
  if (entry->previous) entry->previous->next = entry->next;
  else used_list = entry->next;
  if (entry->next) entry->next->previous = entry->previous;
  std::memset(&entry->value, 0, sizeof entry->value);
  entry->previous = nullptr;
  entry->next = free_list;
  free_list = entry;
  --in_use;
}

uint32_t round_up_32(uint32_t n) { return (n + 31u) & ~31u; }

void make_empty(TextValue* value) {
  value->data = nullptr;
  value->length = 0;
  value->capacity = 0;
}

// Gives a value a new buffer for the preferred capacity, or failing that
// for exactly n characters; false (and the value empty) when neither can be had.
bool allocate_buffer(TextValue* value, uint32_t preferred, uint32_t n) {
  value->data = static_cast<char*>(std::malloc(preferred + 1u));
  value->capacity = static_cast<int32_t>(preferred);
  if (!value->data) {
    value->data = static_cast<char*>(std::malloc(n + 1u));
    value->capacity = static_cast<int32_t>(n);
  }
  if (!value->data) {
    make_empty(value);
    return false;
  }
  return true;
}

// Sizes a value's buffer for n characters; false when it cannot.
bool text_resize(TextValue* value, uint32_t n, bool preserve) {
  if (n > kMaxTextLength) return false;
  const uint32_t rounded = round_up_32(n);
  const uint32_t target = rounded + (rounded >> 3);
  const auto capacity = static_cast<uint32_t>(value->capacity > 0 ? value->capacity : 0);
  const bool keep = value->data && capacity >= n && capacity - (capacity >> 3) <= target;
  if (!keep) {
    if (preserve) {
      char* grown = static_cast<char*>(std::realloc(value->data, target + 1u));
      uint32_t new_capacity = target;
      if (!grown) {
        grown = static_cast<char*>(std::realloc(value->data, n + 1u));
        new_capacity = n;
      }
      if (!grown) return false;
      value->data = grown;
      value->capacity = static_cast<int32_t>(new_capacity);
    } else {
      std::free(value->data);
      if (!allocate_buffer(value, target, n)) return false;
    }
  }
  value->length = (value->length & kTextTemporary) | n;
  return true;
}

// Sizing for a destination assigned for the first time.
bool text_size_fresh(TextValue* value, uint32_t n) {
  if (n > kMaxTextLength || !allocate_buffer(value, round_up_32(n), n)) return false;
  value->length = n;
  return true;
}

struct Operand {
  const char* bytes;
  uint32_t length;
  bool present;
};

Operand operand(const void* reference, int size) {
  if (!reference) return {nullptr, 0, false};
  if (size == kTextValueOperand) {
    auto* value = static_cast<const TextValue*>(reference);
    return {value->data, value->data ? text_length(value) : 0, true};
  }
  auto* bytes = static_cast<const char*>(reference);
  return {bytes, static_cast<uint32_t>(std::strlen(bytes)), true};
}

void release_operand(const void* reference, int size) {
  if (reference && size == kTextValueOperand) text_release(static_cast<TextValue*>(const_cast<void*>(reference)));
}

// A temporary sized for 12 characters holding the decimal digits of a
// magnitude, with a leading "-" when asked.
TextValue* text_from_magnitude(uint32_t magnitude, bool negative) {
  char reversed[10];
  uint32_t count = 0;
  do {
    reversed[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude);
  TextValue* value = text_temp(nullptr, 12);
  if (!value) return text_empty();
  uint32_t n = 0;
  if (negative) value->data[n++] = '-';
  while (count) value->data[n++] = reversed[--count];
  value->data[n] = 0;
  value->length = kTextTemporary | n;
  return value;
}

}  // namespace

TextValue* text_empty() {
  TextValue* empty = &runtime_context().empty_text;
  // Nothing may give the shared value data; it always reads as empty.
  make_empty(empty);
  return empty;
}

int text_pool_in_use() { return in_use; }

TextValue* text_literal(const char* bytes, int length) {
  TextValue* value = pool_take();
  if (!value) return text_empty();
  if (length < 0 || !bytes) length = 0;
  value->data = const_cast<char*>(bytes);
  value->length = static_cast<uint32_t>(length);
  value->capacity = length;
  return value;
}

TextValue* text_literal_z(const char* bytes) {
  return text_literal(bytes, bytes ? static_cast<int>(std::strlen(bytes)) : 0);
}

TextValue* text_temp(TextValue* descriptor, int length) {
  if (length < 0) return nullptr;
  const bool took = descriptor == nullptr;
  if (took) descriptor = pool_take();
  if (!descriptor) return nullptr;
  if (!text_resize(descriptor, static_cast<uint32_t>(length), false)) {
    if (took) pool_give_back(descriptor);
    return nullptr;
  }
  descriptor->length |= kTextTemporary;
  return descriptor;
}

int text_release(TextValue* value) {
  if (!value || !in_pool(value) || !reinterpret_cast<PoolEntry*>(value)->taken) return -1;
  if (value->length & kTextTemporary) std::free(value->data);
  pool_give_back(value);
  return 0;
}

TextValue* text_from_bytes(const char* bytes, int length) {
  if (!bytes || length < 0) length = 0;
  TextValue* value = text_temp(nullptr, length);
  if (!value) return text_empty();
  if (length > 0) std::memcpy(value->data, bytes, static_cast<size_t>(length));
  value->data[length] = 0;
  return value;
}

TextValue* text_from_int(int32_t value) {
  const uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  return text_from_magnitude(magnitude, value < 0);
}

TextValue* text_from_uint(uint32_t value) { return text_from_magnitude(value, false); }

TextValue* text_concat(TextValue* destination, const void* a, int a_size, const void* b, int b_size) {
  const Operand first = operand(a, a_size);
  const Operand second = operand(b, b_size);
  const uint64_t total = static_cast<uint64_t>(first.length) + second.length;
  TextValue* result = destination;
  if (total > kMaxTextLength) {
    result = text_empty();
  } else if (total != 0) {
    result = text_temp(destination, static_cast<int>(total));
    if (result) {
      if (first.length) std::memcpy(result->data, first.bytes, first.length);
      if (second.length) std::memcpy(result->data + first.length, second.bytes, second.length);
      result->data[total] = 0;
    } else {
      result = text_empty();
    }
  } else if (destination) {
    std::free(destination->data);
    make_empty(destination);
  } else {
    result = text_empty();
  }
  // The destination is distinct from both operands, so releasing them
  // cannot free the result.
  release_operand(a, a_size);
  release_operand(b, b_size);
  return result;
}

int text_compare(const void* a, int a_size, const void* b, int b_size) {
  const Operand first = operand(a, a_size);
  const Operand second = operand(b, b_size);
  int result = 0;
  if (first.present && second.present) {
    const uint32_t common = first.length < second.length ? first.length : second.length;
    for (uint32_t i = 0; i < common && result == 0; ++i) {
      const auto x = static_cast<uint8_t>(first.bytes[i]);
      const auto y = static_cast<uint8_t>(second.bytes[i]);
      if (x != y) result = x > y ? 1 : -1;
    }
    if (result == 0 && first.length != second.length) result = first.length > second.length ? 1 : -1;
  } else if (first.present) {
    result = first.length ? 1 : 0;
  } else if (second.present) {
    result = second.length ? -1 : 0;
  }
  release_operand(a, a_size);
  release_operand(b, b_size);
  return result;
}

void* text_assign(void* destination, int destination_size, const void* source, int source_size,
                  int fill, int fresh) {
  if (!destination) {
    release_operand(source, source_size);
    return nullptr;
  }
  const Operand from = operand(source, source_size);
  if (destination_size == kTextValueOperand) {
    auto* target = static_cast<TextValue*>(destination);
    if (target == source) return destination;  // assigning a value to itself changes nothing
    if (from.length == 0) {
      if (fresh) std::memset(target, 0, sizeof *target);
      else {
        std::free(target->data);
        make_empty(target);
      }
    } else if (source_size == kTextValueOperand &&
               (static_cast<const TextValue*>(source)->length & kTextTemporary) &&
               in_pool(static_cast<const TextValue*>(source))) {
      // Take over the temporary's buffer instead of copying it.
      auto* temporary = static_cast<TextValue*>(const_cast<void*>(source));
      if (!fresh) std::free(target->data);
      target->data = temporary->data;
      target->length = text_length(temporary);
      target->capacity = temporary->capacity;
      make_empty(temporary);
      pool_give_back(temporary);
      return destination;
    } else {
      bool sized;
      if (fresh) sized = text_size_fresh(target, from.length);
      else if (target->data && text_length(target) == from.length) sized = true;
      else sized = text_resize(target, from.length, false);
      if (sized) {
        std::memmove(target->data, from.bytes, from.length);
        target->data[from.length] = 0;
        target->length = from.length | (target->length & kTextTemporary);
      }
    }
  } else if (destination_size >= 0) {  // a negative size is no buffer, not an unbounded one
    auto* buffer = static_cast<char*>(destination);
    uint32_t count = from.length;
    if (destination_size > 0 && count > static_cast<uint32_t>(destination_size - 1))
      count = static_cast<uint32_t>(destination_size - 1);
    if (count) std::memmove(buffer, from.bytes, count);
    buffer[count] = 0;
    if (fill && destination_size > 0)
      std::memset(buffer + count + 1, 0, static_cast<size_t>(destination_size) - count - 1);
  }
  release_operand(source, source_size);
  return destination;
}
