#include "app/save_form.h"

#include <cstring>

namespace {

struct Extension {
  const char* text;
  SaveForm form;
};
constexpr Extension kExtensions[] = {{".html", SaveForm::kHtmlReport}, {".htm", SaveForm::kHtmlReport},
                                     {".txt", SaveForm::kTextReport},  {".csv", SaveForm::kCsvLog},
                                     {".jsonl", SaveForm::kJsonlLog}};
// The types' extensions, in the dialog's order: the first of each form above.
constexpr int kTypeExtension[kSaveTypeCount] = {0, 2, 3, 4};

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool same_case_blind(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b)
    if (lower(*a) != lower(*b)) return false;
  return *a == *b;
}

const char* file_part(const char* path) {
  const char* name = path;
  for (const char* p = path; *p != '\0'; ++p)
    if (*p == '\\' || *p == '/') name = p + 1;
  return name;
}

int type_of(int type_index) { return type_index >= 1 && type_index <= kSaveTypeCount ? type_index - 1 : 0; }

void set_extension(char* path, size_t size, char* dot, const char* extension) {
  const size_t stem = dot != nullptr ? static_cast<size_t>(dot - path) : std::strlen(path);
  if (stem + std::strlen(extension) >= size) return;
  std::strcpy(path + stem, extension);
}

}  // namespace

SaveForm save_type_form(int type_index) { return kExtensions[kTypeExtension[type_of(type_index)]].form; }

const char* save_type_extension(int type_index) { return kExtensions[kTypeExtension[type_of(type_index)]].text; }

SaveForm save_form_for(char* path, size_t size, int type_index, const char* proposed) {
  const SaveForm type_form = save_type_form(type_index);
  if (path == nullptr || size == 0) return type_form;
  char* name = const_cast<char*>(file_part(path));
  char* dot = std::strrchr(name, '.');
  if (proposed != nullptr && same_case_blind(name, proposed)) {
    set_extension(path, size, dot, save_type_extension(type_index));
    return type_form;
  }
  if (dot != nullptr)
    for (const Extension& extension : kExtensions)
      if (same_case_blind(dot, extension.text)) return extension.form;
  if (dot == nullptr) set_extension(path, size, nullptr, save_type_extension(type_index));
  return type_form;
}
