// Random operations on a few text variables and temporaries, checked against
// the same operations on std::string: contents, comparisons, and that every
// temporary goes back to the pool.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_input.h"
#include "rt/runtime.h"
#include "rt/text_value.h"

namespace {

constexpr int kVariables = 4;

std::string contents(const TextValue& value) {
  return value.data ? std::string(value.data, text_length(&value)) : std::string();
}

int sign(int v) { return (v > 0) - (v < 0); }

int model_compare(const std::string& a, const std::string& b) {
  const int r = a.compare(b);  // bytes as unsigned chars: std::char_traits<char> compares as unsigned
  return sign(r);
}

// Zero-terminated byte operands stop at the first 0 byte.
std::string up_to_zero(const std::string& s) { return s.substr(0, s.find('\0')); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t length) {
  if (length > 4096) return 0;
  FuzzInput in(data, length);
  TextValue variables[kVariables] = {};
  std::string model[kVariables];

  for (int step = 0; step < 64 && !in.empty(); ++step) {
    const int i = in.below(kVariables), j = in.below(kVariables);
    int count = in.below(48);
    const uint8_t* raw = in.take(&count);
    const std::string bytes(reinterpret_cast<const char*>(raw), static_cast<size_t>(count));
    const std::string zbytes = bytes + '\0';
    switch (in.below(8)) {
      case 0:  // a temporary from bytes, assigned
        text_assign(&variables[i], kTextValueOperand, text_from_bytes(bytes.data(), count), kTextValueOperand, 0, 0);
        model[i] = bytes;
        break;
      case 1:  // zero-terminated bytes, assigned with a size that is no length
        text_assign(&variables[i], kTextValueOperand, zbytes.c_str(), in.value() == -1 ? 0 : count, 0, 0);
        model[i] = up_to_zero(bytes);
        break;
      case 2: {  // concatenation of a variable and a number
        const int n = in.value();
        text_assign(&variables[i], kTextValueOperand,
                    text_concat(nullptr, &variables[j], kTextValueOperand, text_from_int(n), kTextValueOperand),
                    kTextValueOperand, 0, 0);
        model[i] = model[j] + std::to_string(n);
        break;
      }
      case 3:  // compare with a temporary copy of another
        if (sign(text_compare(&variables[i], kTextValueOperand,
                              text_from_bytes(variables[j].data, static_cast<int>(text_length(&variables[j]))),
                              kTextValueOperand)) != model_compare(model[i], model[j]))
          std::abort();
        break;
      case 4:  // a variable assigned to another (copied, not taken over)
        text_assign(&variables[i], kTextValueOperand, &variables[j], kTextValueOperand, 0, 0);
        if (i != j && text_release(&variables[j]) != -1) std::abort();  // a variable is not a temporary
        model[i] = model[j];
        break;
      case 5: {  // into a fixed buffer
        char fixed[16];
        std::memset(fixed, 'x', sizeof fixed);
        const int size = 1 + in.below(16);
        text_assign(fixed, size, &variables[i], kTextValueOperand, in.byte() & 1, 0);
        const std::string expected = up_to_zero(model[i]).substr(0, static_cast<size_t>(size - 1));
        if (std::strncmp(fixed, expected.c_str(), static_cast<size_t>(size)) != 0 &&
            up_to_zero(model[i]) == model[i])
          std::abort();
        break;
      }
      case 6:  // emptied
        text_assign(&variables[i], kTextValueOperand, nullptr, 0, 0, 0);
        model[i].clear();
        break;
      case 7:  // a literal temporary: owns nothing
        text_assign(&variables[i], kTextValueOperand, text_literal(zbytes.c_str(), static_cast<int>(up_to_zero(bytes).size())),
                    kTextValueOperand, 0, 0);
        model[i] = up_to_zero(bytes);
        break;
    }
    if (contents(variables[i]) != model[i]) std::abort();
    if (text_pool_in_use() != 0) std::abort();
  }
  for (TextValue& v : variables) text_assign(&v, kTextValueOperand, nullptr, 0, 0, 0);
  return 0;
}
